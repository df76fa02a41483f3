#include <gtest/gtest.h>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/Logger.h"

TEST(Format, IntegersWidthsAndPadding)
{
    EXPECT_EQ(formatString(u"%d", -42), u"-42");
    EXPECT_EQ(formatString(u"%5d|%-5d|%05d", 42, 42, -42), u"   42|42   |-0042");
    EXPECT_EQ(formatString(u"%02d:%02d", 3, 7), u"03:07");
    EXPECT_EQ(formatString(u"%x %08x %08lx %X", 255u, 0xABCu, 0x1234u, 0xbeefu), u"ff 00000abc 00001234 BEEF");
    EXPECT_EQ(formatString(u"%08x", -1), u"ffffffff");
    EXPECT_EQ(formatString(u"%u", 4000000000u), u"4000000000");
}

TEST(Format, FloatsStringsAndCharacters)
{
    EXPECT_EQ(formatString(u"%.9lf", 1.5), u"1.500000000");
    EXPECT_EQ(formatString(u"t=%.3lf", 2.0 / 3.0), u"t=0.667");
    EXPECT_EQ(formatString(u"%lf", -0.25), u"-0.250000");
    EXPECT_EQ(formatString(u"%s(): %s", "Loader::loadStuff", UString(u"\u00e4\u20ac")), u"Loader::loadStuff(): \u00e4\u20ac");
    EXPECT_EQ(formatString(u"%c%c", char16_t(u'A'), char16_t(0x20AC)), u"A\u20ac");
    EXPECT_EQ(formatString(u"100%%"), u"100%");
    EXPECT_EQ(formatString(u"%d%s%d%%", 100, u".", 0), u"100.0%");
}

TEST(Format, MissingArgumentsAndUnknownConversionsStayVisible)
{
    EXPECT_EQ(formatString(u"%d and %d", 1), u"1 and %d");
    EXPECT_EQ(formatString(u"%y", 3), u"%y");
    EXPECT_EQ(formatString(u"end %"), u"end %");
}

TEST(ErrorManager, QualifiedNameFromPrettyFunction)
{
    EXPECT_EQ(ErrorManager::qualifiedName("void Loader::loadStuff(int)"), "Loader::loadStuff");
    EXPECT_EQ(ErrorManager::qualifiedName("Kiv::Kiv()"), "Kiv::Kiv");
    EXPECT_EQ(ErrorManager::qualifiedName("static std::vector<int> A::b(const char*)"), "A::b");
}

TEST(ErrorManager, ReportFormatsInTestMode)
{
    ErrorManager::setThrowForTests(true);
    try {
        ErrorManager::error(u"Boom", "void A::b()", "a.cpp", 12);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.report, u"Error: Boom\n Function: A::b()\n File: a.cpp\n Line: 12");
    }
    try {
        KIV_ASSERT(1 + 1 == 3);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Assertion failed.");
        EXPECT_NE(e.report.find(u" Statement: 1 + 1 == 3\n"), UString::npos);
    }
}
