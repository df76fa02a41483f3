#pragma once
// The archive ("WAD") layout, version 2, all little-endian:
//   header (16 bytes) at offset 0;
//   entry data, each a zlib stream starting at an offset that is a multiple of 8;
//   the directory: `count` entries of 92 bytes at `directoryOffset`, which lies after all entry data.
// Names are UTF-8 with "/" between folders and no leading "./"; look-ups ignore ASCII case.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::uint32_t WAD_MAGIC = 0x4441574B; // "KWAD"
inline constexpr std::uint32_t WAD_VERSION = 2;
inline constexpr std::uint32_t WAD_ALIGNMENT = 8;
inline constexpr std::uint32_t WAD_ENTRY_ZLIB = 1; // the entry's bytes are a zlib stream
inline constexpr std::size_t WAD_NAME_SIZE = 64;

struct WadHeader {
    std::uint32_t magic;
    std::uint32_t version;
    std::uint32_t count;
    std::uint32_t directoryOffset;
};
static_assert(sizeof(WadHeader) == 16);
static_assert(offsetof(WadHeader, magic) == 0);
static_assert(offsetof(WadHeader, version) == 4);
static_assert(offsetof(WadHeader, count) == 8);
static_assert(offsetof(WadHeader, directoryOffset) == 12);

struct WadEntry {
    char name[WAD_NAME_SIZE]; // NUL-padded; at least one NUL
    std::uint32_t offset;
    std::uint32_t packedSize;
    std::uint32_t unpackedSize;
    std::uint32_t flags;
    std::uint32_t crc32; // of the unpacked bytes
    std::uint32_t reserved[2];
};
static_assert(sizeof(WadEntry) == 92);
static_assert(offsetof(WadEntry, name) == 0);
static_assert(offsetof(WadEntry, offset) == 64);
static_assert(offsetof(WadEntry, packedSize) == 68);
static_assert(offsetof(WadEntry, unpackedSize) == 72);
static_assert(offsetof(WadEntry, flags) == 76);
static_assert(offsetof(WadEntry, crc32) == 80);
static_assert(offsetof(WadEntry, reserved) == 84);

static_assert(std::endian::native == std::endian::little, "the records are read and written as they are stored");

// The stored form of a file name: "\\" becomes "/" and leading "./" and "/" are dropped ("./levels/b1.lev"
// -> "levels/b1.lev").
std::string wadEntryName(std::string_view name);
// The key that look-ups compare: the stored form in ASCII lower case.
std::string wadLookupKey(std::string_view name);
