#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/files/Md5.h"

TEST(Md5, KnownDigestsWholeAndInPieces)
{
    EXPECT_EQ(md5ToHex(md5Digest("", 0).data()), u"d41d8cd98f00b204e9800998ecf8427e");
    const std::string fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(md5ToHex(md5Digest(fox.data(), fox.size()).data()), u"9e107d9d372bb6826bd81d3542a419d6");

    Md5 md5;
    md5.update(fox.data(), 10);
    md5.update(fox.data() + 10, 0);
    md5.update(fox.data() + 10, fox.size() - 10);
    const Md5Digest pieces = md5.final();
    EXPECT_TRUE(md5Equal(pieces, md5Digest(fox.data(), fox.size())));
    // The context starts over after final().
    md5.update("", 0);
    EXPECT_EQ(md5ToHex(md5.final().data()), u"d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5, PrefixedDigestPutsTheValueFirstInLittleEndianOrder)
{
    const std::string data = "entry";
    const std::string joined = std::string("\x71\x9E\x3C\x5A", 4) + data;
    EXPECT_TRUE(md5Equal(md5DigestPrefixed(0x5A3C9E71u, data.data(), data.size()),
                         md5Digest(joined.data(), joined.size())));
    Md5Digest a = md5Digest("a", 1);
    Md5Digest b = a;
    b[15] ^= 1;
    EXPECT_FALSE(md5Equal(a, b));
}
