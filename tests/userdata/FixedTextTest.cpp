#include <gtest/gtest.h>

#include <cstring>

#include "game/userdata/FixedText.h"

TEST(FixedText, LongTextIsCutAtAWholeUnitSoThatItsUtf8Fits)
{
    char field[256];
    std::memset(field, 0x55, sizeof field);
    // 300 ASCII characters keep 255.
    FixedText256::assign(field, UString(300, u'a'));
    EXPECT_EQ(std::strlen(field), 255u);
    EXPECT_EQ(FixedText256::read(field), UString(255, u'a'));

    // Three-byte units: 85 of them fill 255 bytes exactly; a leading ASCII letter leaves room for 84.
    FixedText256::assign(field, UString(300, u'\u20ac'));
    EXPECT_EQ(FixedText256::read(field), UString(85, u'\u20ac'));
    FixedText256::assign(field, u"x" + UString(300, u'\u20ac'));
    EXPECT_EQ(FixedText256::read(field), u"x" + UString(84, u'\u20ac'));
    EXPECT_EQ(std::strlen(field), 253u);

    char small[16];
    std::memset(small, 0x55, sizeof small);
    // 14 bytes of two-byte units would leave no room for a 15th byte: "ää..." keeps 7 units.
    FixedText16::assign(small, UString(10, u'\u00e4'));
    EXPECT_EQ(FixedText16::read(small), UString(7, u'\u00e4'));
    // Bytes after the NUL keep what they held.
    EXPECT_EQ(static_cast<unsigned char>(small[15]), 0x55);
}

TEST(FixedText, ShortTextAndTerminationOfDamagedFields)
{
    char field[32];
    std::memset(field, 'z', sizeof field);
    FixedText32::assign(field, u"Tobble");
    EXPECT_EQ(FixedText32::read(field), u"Tobble");
    EXPECT_EQ(field[7], 'z');
    // A field with a NUL is left as it is; one without gets one in its last byte.
    FixedText32::terminate(field);
    EXPECT_EQ(field[31], 'z');
    std::memset(field, 'z', sizeof field);
    EXPECT_EQ(FixedText32::read(field), UString(32, u'z'));
    FixedText32::terminate(field);
    EXPECT_EQ(FixedText32::read(field), UString(31, u'z'));
}
