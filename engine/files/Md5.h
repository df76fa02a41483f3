#pragma once
// MD5 (RFC 1321) digests, used for the packed user files, the salted high-score tags and the checks on
// replies from the web host.
#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/core/UString.h"

using Md5Digest = std::array<std::uint8_t, 16>;

// A context fed in pieces. final() finishes it; the context starts over afterwards.
class Md5 {
public:
    Md5();
    ~Md5();
    Md5(const Md5&) = delete;
    Md5& operator=(const Md5&) = delete;

    void update(const void* bytes, std::size_t length);
    void final(std::uint8_t digest[16]);
    Md5Digest final();

private:
    void restart();
    struct evp_md_ctx_st* context;
};

// 32 lower-case hexadecimal digits, two per byte in byte order.
UString md5ToHex(const std::uint8_t digest[16]);
Md5Digest md5Digest(const void* data, std::size_t size);
// The digest of the value's four bytes in little-endian order followed by the data.
Md5Digest md5DigestPrefixed(std::uint32_t value, const void* data, std::size_t size);
bool md5Equal(const std::uint8_t a[16], const std::uint8_t b[16]);
inline bool md5Equal(const Md5Digest& a, const Md5Digest& b) { return md5Equal(a.data(), b.data()); }
