#pragma once
// The packed user file: this 64-byte header, then the payload's uncompressed size as a little-endian u32
// and the zlib stream of the payload. The digest covers every byte after the header.
#include <cstddef>
#include <cstdint>

struct UserFileHeader {
    char gameTag[32];        // the game id, NUL-padded
    char version[16];        // the version text, NUL-padded
    std::uint8_t digest[16]; // MD5 of every byte after byte 63
};
static_assert(sizeof(UserFileHeader) == 64);
static_assert(offsetof(UserFileHeader, gameTag) == 0);
static_assert(offsetof(UserFileHeader, version) == 32);
static_assert(offsetof(UserFileHeader, digest) == 48);

inline constexpr std::size_t USER_FILE_SIZE_FIELD = 4;
inline constexpr int USER_FILE_ZLIB_LEVEL = 6;
