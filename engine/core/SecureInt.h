#pragma once
// An integer kept XOR-ed with a random key, so that memory editors cannot find it; each read re-keys it.
// The keys come from a generator of their own, never from the shared one, so reading a counter does not
// change what the level's effects draw.
#include <cstdint>

class SecureInt {
public:
    SecureInt() { set(0); }
    explicit SecureInt(int32_t value) { set(value); }

    int32_t get();
    void set(int32_t value);
    void add(int32_t delta) { set(get() + delta); }

private:
    static uint32_t nextKey();

    uint32_t key = 0;
    uint32_t stored = 0;
};
