#include "engine/files/Md5.h"

#include <cstring>
#include <new>

#include <openssl/evp.h>

Md5::Md5() : context(EVP_MD_CTX_new())
{
    if (context == nullptr) {
        throw std::bad_alloc();
    }
    restart();
}

Md5::~Md5() { EVP_MD_CTX_free(context); }

void Md5::restart() { EVP_DigestInit_ex(context, EVP_md5(), nullptr); }

void Md5::update(const void* bytes, std::size_t length)
{
    if (length > 0) {
        EVP_DigestUpdate(context, bytes, length);
    }
}

void Md5::final(std::uint8_t digest[16])
{
    unsigned int length = 16;
    EVP_DigestFinal_ex(context, digest, &length);
    restart();
}

Md5Digest Md5::final()
{
    Md5Digest digest{};
    final(digest.data());
    return digest;
}

UString md5ToHex(const std::uint8_t digest[16])
{
    static const char16_t* const HEX = u"0123456789abcdef";
    UString text;
    text.reserve(32);
    for (int i = 0; i < 16; ++i) {
        text.push_back(HEX[digest[i] >> 4]);
        text.push_back(HEX[digest[i] & 15]);
    }
    return text;
}

Md5Digest md5Digest(const void* data, std::size_t size)
{
    Md5 md5;
    md5.update(data, size);
    return md5.final();
}

Md5Digest md5DigestPrefixed(std::uint32_t value, const void* data, std::size_t size)
{
    const std::uint8_t prefix[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                    static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    Md5 md5;
    md5.update(prefix, sizeof(prefix));
    md5.update(data, size);
    return md5.final();
}

bool md5Equal(const std::uint8_t a[16], const std::uint8_t b[16]) { return std::memcmp(a, b, 16) == 0; }
