#include "engine/core/SecureInt.h"

#include <chrono>

uint32_t SecureInt::nextKey()
{
    // xorshift32, started from the clock.
    static uint32_t state = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()) | 1u;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int32_t SecureInt::get()
{
    const int32_t value = static_cast<int32_t>(stored ^ key);
    set(value);
    return value;
}

void SecureInt::set(int32_t value)
{
    key = nextKey();
    stored = static_cast<uint32_t>(value) ^ key;
}
