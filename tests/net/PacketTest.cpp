#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/net/Packet.h"

namespace {

std::vector<uint8_t> bytesOf(const Packet& p) { return std::vector<uint8_t>(p.data(), p.data() + p.size()); }

Packet readerOf(const std::vector<uint8_t>& bytes)
{
    Packet p(Packet::FLAG_COMMANDS, 16);
    p.setReadData(bytes.data(), bytes.size());
    return p;
}

template <class F>
UString fatalMessage(F&& f)
{
    ErrorManager::setThrowForTests(true);
    try {
        f();
    } catch (const FatalError& e) {
        return e.report;
    }
    return u"(no fatal error)";
}

std::vector<uint8_t> varUInt(uint32_t v)
{
    Packet p;
    p.doVarUInt(v);
    return bytesOf(p);
}

std::vector<uint8_t> varInt(int32_t v)
{
    Packet p;
    p.doVarInt(v);
    return bytesOf(p);
}

std::vector<uint8_t> half(float v)
{
    Packet p;
    p.doHalfFloat(v);
    return bytesOf(p);
}

float halfRoundTrip(float v)
{
    Packet p;
    p.doHalfFloat(v);
    p.rewindToRead();
    float out = -1.0f;
    p.doHalfFloat(out);
    return out;
}

} // namespace

TEST(Packet, VarIntsHaveKnownBytesAndRoundTripAtTheLimits)
{
    EXPECT_EQ(varUInt(0), (std::vector<uint8_t>{0x00}));
    EXPECT_EQ(varUInt(127), (std::vector<uint8_t>{0x7F}));
    EXPECT_EQ(varUInt(128), (std::vector<uint8_t>{0x80, 0x01}));
    EXPECT_EQ(varUInt(300), (std::vector<uint8_t>{0xAC, 0x02}));
    EXPECT_EQ(varUInt(0xFFFFFFFFu), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));

    EXPECT_EQ(varInt(-1), (std::vector<uint8_t>{0x41}));
    EXPECT_EQ(varInt(0), (std::vector<uint8_t>{0x00}));
    EXPECT_EQ(varInt(63), (std::vector<uint8_t>{0x3F}));
    EXPECT_EQ(varInt(64), (std::vector<uint8_t>{0x80, 0x01}));
    EXPECT_EQ(varInt(-64), (std::vector<uint8_t>{0xC0, 0x01}));

    Packet p;
    const int32_t ints[] = {0, 1, -1, 63, -63, 64, -64, 8191, -8192, INT32_MAX, INT32_MIN};
    const uint32_t uints[] = {0, 1, 127, 128, 16383, 16384, 0x7FFFFFFF, 0xFFFFFFFF};
    for (int32_t v : ints) {
        p.doVarInt(v);
    }
    for (uint32_t v : uints) {
        p.doVarUInt(v);
    }
    p.rewindToRead();
    for (int32_t v : ints) {
        int32_t r = 12345;
        p.doVarInt(r);
        EXPECT_EQ(r, v);
    }
    for (uint32_t v : uints) {
        uint32_t r = 12345;
        p.doVarUInt(r);
        EXPECT_EQ(r, v);
    }
    EXPECT_FALSE(p.hasMoreToRead());
}

TEST(Packet, HalfFloatsHaveKnownBytesAndClampAtBothEnds)
{
    EXPECT_EQ(half(0.07f), (std::vector<uint8_t>{0x7A, 0x2C}));
    EXPECT_EQ(half(0.35f), (std::vector<uint8_t>{0x99, 0x35}));
    EXPECT_EQ(half(0.0f), (std::vector<uint8_t>{0x00, 0x00}));
    EXPECT_EQ(halfRoundTrip(0.0f), 0.0f);
    EXPECT_EQ(halfRoundTrip(1.0f), 1.0f);
    EXPECT_EQ(halfRoundTrip(-2.5f), -2.5f);
    EXPECT_NEAR(halfRoundTrip(0.07f), 0.07f, 0.0001f);

    // Clamps: tiny magnitudes become the smallest, huge ones the largest, each keeping its sign.
    EXPECT_EQ(half(1e-9f), half(3.1e-5f));
    EXPECT_EQ(half(-1e-9f), half(-3.1e-5f));
    EXPECT_EQ(half(1e9f), half(130000.0f));
    EXPECT_EQ(half(-1e9f), half(-130000.0f));
    EXPECT_NEAR(halfRoundTrip(1e9f), 130000.0f, 130000.0f / 1024);
    EXPECT_NEAR(halfRoundTrip(-1e9f), -130000.0f, 130000.0f / 1024);
    EXPECT_NEAR(halfRoundTrip(1e-9f), 3.1e-5f, 1e-7f);
    EXPECT_GT(halfRoundTrip(1e-9f), 0.0f);
    EXPECT_LT(halfRoundTrip(-1e-9f), 0.0f);
    EXPECT_EQ(halfRoundTrip(std::nanf("")), 0.0f);
}

TEST(Packet, BitsShareReservedBytesWithInterleavedData)
{
    Packet p;
    uint8_t flags = 0b0000'0101;
    p.doBit(flags, 0); // 1
    p.doBit(flags, 1); // 0
    uint32_t between = 0x55;
    p.doVarUInt(between);
    p.doBit(flags, 2); // 1, still in the first bit byte
    for (int i = 0; i < 5; ++i) {
        uint8_t one = 1;
        p.doBit(one, 0);
    }
    uint8_t ninth = 1;
    p.doBit(ninth, 0); // the first bit byte is full: a new one is reserved at the cursor
    EXPECT_EQ(bytesOf(p), (std::vector<uint8_t>{0xFD, 0x55, 0x01}));

    p.rewindToRead();
    uint8_t r = 0xF0;
    p.doBit(r, 0);
    p.doBit(r, 1);
    uint32_t b = 0;
    p.doVarUInt(b);
    p.doBit(r, 2);
    EXPECT_EQ(r, 0xF5);
    EXPECT_EQ(b, 0x55u);
}

TEST(Packet, StringsAtTheirLimits)
{
    ErrorManager::setThrowForTests(true);
    Packet p;
    UString empty;
    UString accents = u"\u00e4\u20ac-x";
    UString longest(1023, u'a'); // 1023 UTF-8 bytes: the longest allowed
    UString capped(256, u'b');
    p.doUString(empty, -1);
    p.doUString(accents, 4);
    p.doUString(longest, -1);
    p.doUString(capped, 256);
    EXPECT_EQ(p.data()[0], 0);
    EXPECT_EQ(p.data()[1], 7); // two- and three-byte characters count as bytes
    p.rewindToRead();
    UString a, b, c, d;
    p.doUString(a, -1);
    p.doUString(b, 4);
    p.doUString(c, -1);
    p.doUString(d, 256);
    EXPECT_EQ(a, empty);
    EXPECT_EQ(b, accents);
    EXPECT_EQ(c, longest);
    EXPECT_EQ(d, capped);

    // 1024 UTF-8 bytes (342 three-byte characters is 1026) fail when written...
    EXPECT_NE(fatalMessage([] {
                  Packet w;
                  UString tooLong(342, u'\u20ac');
                  w.doUString(tooLong, -1);
              }).find(u"length < BUFFERSIZE"),
              UString::npos);
    // ... and when read.
    EXPECT_NE(fatalMessage([] {
                  Packet r = readerOf({0x80, 0x08});
                  UString s;
                  r.doUString(s, -1);
              }).find(u"length < BUFFERSIZE"),
              UString::npos);
    EXPECT_NE(fatalMessage([] {
                  Packet w;
                  UString s(257, u'c');
                  w.doUString(s, 256);
              }).find(u"data->length() <= maxLength"),
              UString::npos);
}

TEST(Packet, TruncatedAndHostileStreamsEndInTheFatalPath)
{
    EXPECT_NE(fatalMessage([] {
                  Packet r = readerOf({0x05, 'a', 'b'});
                  UString s;
                  r.doUString(s, -1);
              }).find(u"Packet truncated"),
              UString::npos);
    EXPECT_NE(fatalMessage([] {
                  Packet r = readerOf({0x80, 0x80});
                  uint32_t v;
                  r.doVarUInt(v);
              }).find(u"Packet truncated"),
              UString::npos);
    EXPECT_NE(fatalMessage([] {
                  Packet r = readerOf({0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
                  uint32_t v;
                  r.doVarUInt(v);
              }).find(u"overlong"),
              UString::npos);
    // From outside, a fifth byte with bits beyond the 32 is refused the packet's way, unsigned and signed.
    {
        Packet peer(Packet::FLAG_COMMANDS | Packet::FLAG_PEER, 16);
        const uint8_t bytes[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x10};
        peer.setReadData(bytes, sizeof(bytes));
        uint32_t u = 0;
        EXPECT_THROW(peer.doVarUInt(u), PacketDecodeError);
        Packet signedPeer(Packet::FLAG_COMMANDS | Packet::FLAG_PEER, 16);
        signedPeer.setReadData(bytes + 5, 6);
        int32_t i = 0;
        EXPECT_THROW(signedPeer.doVarInt(i), PacketDecodeError);
    }
    EXPECT_NE(fatalMessage([] {
                  Packet r = readerOf({0x01, 0x02, 0x03});
                  uint32_t v;
                  r.doDWORD(v);
              }).find(u"Packet truncated"),
              UString::npos);
    EXPECT_NE(fatalMessage([] {
                  Packet r = readerOf({});
                  uint8_t b = 0;
                  r.doBit(b, 0);
              }).find(u"Packet truncated"),
              UString::npos);
    EXPECT_NE(fatalMessage([] {
                  Packet r = readerOf({});
                  r.rewindToRead();
              }).find(u"bWriting"),
              UString::npos);
}

TEST(Packet, RawWordsGrowthAndCrc)
{
    Packet p(Packet::FLAG_COMMANDS, 2); // grows past its capacity
    uint32_t word = 0x11223344;
    float f = 1.5f;
    double d = -0.1;
    char raw[5] = {'h', 'e', 'l', 'l', 'o'};
    p.doDWORD(word);
    p.doFloat(f);
    p.doDouble(d);
    p.doBytes(raw, 5);
    EXPECT_EQ(p.size(), 4u + 4u + 8u + 5u);
    EXPECT_EQ(p.data()[0], 0x44);
    EXPECT_EQ(p.data()[3], 0x11);
    p.rewindToRead();
    uint32_t w2 = 0;
    float f2 = 0;
    double d2 = 0;
    char raw2[5] = {};
    p.doDWORD(w2);
    p.doFloat(f2);
    p.doDouble(d2);
    p.doBytes(raw2, 5);
    EXPECT_EQ(w2, word);
    EXPECT_EQ(f2, f);
    EXPECT_EQ(d2, d);
    EXPECT_EQ(std::memcmp(raw, raw2, 5), 0);

    EXPECT_EQ(Packet::crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Packet::crc32("", 0), 0u);
    EXPECT_EQ(Packet(Packet::FLAG_COMMANDS, -1).capacity(), 0x40000u);
}
