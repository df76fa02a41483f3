#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

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
    // A long text quoted short: cut, never between the halves of a surrogate pair.
    EXPECT_EQ(shortened(u"abcdef", 6), u"abcdef");
    EXPECT_EQ(shortened(u"abcdef", 4), u"abcd...");
    EXPECT_EQ(shortened(u"ab\U0001F34Ecd", 3), u"ab...");
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

TEST(Format, EdgeCasesOfWidthPrecisionAndSpecialValues)
{
    EXPECT_EQ(formatString(u"%08.3f|%-6.1f|", -3.14159, 2.25), u"-003.142|2.2   |");
    EXPECT_EQ(formatString(u"%08.3f", std::numeric_limits<double>::infinity()), u"     inf");
    EXPECT_EQ(formatString(u"%.0f %.0f", 2.5, 3.5), u"2 4"); // ties to even, as printf
    EXPECT_EQ(formatString(u"%*d|%-*d|%.*f", 5, 42, 4, 7, 2, 3.14159), u"   42|7   |3.14");
    EXPECT_EQ(formatString(u"%.3s|%5s|%-5s|", u"abcdef", u"ab", "cd"), u"abc|   ab|cd   |");
    EXPECT_EQ(formatString(u"%s", static_cast<const char*>(nullptr)), u"(null)");
    EXPECT_EQ(formatString(u"%lld", -9223372036854775807LL - 1), u"-9223372036854775808");
    EXPECT_EQ(formatString(u"%08lx|%p", static_cast<const void*>(reinterpret_cast<void*>(0x1234)),
                           static_cast<const void*>(nullptr)),
              u"00001234|00000000");
    EXPECT_EQ(formatString(u"%-3c|%3c", char16_t(u'x'), char16_t(u'y')), u"x  |  y");
    EXPECT_EQ(formatString(u"%5.3d|%05.3d", 7, 7), u"  007|  007"); // a precision turns off zero padding
    EXPECT_EQ(formatString(u"%#x|%#o|%+d|% d", 255u, 8u, 3, 3), u"0xff|010|+3| 3");
    EXPECT_EQ(formatString(u"%e|%g|%g", 12345.678, 0.0001, 1e20), u"1.234568e+04|0.0001|1e+20");
    EXPECT_EQ(formatString(u"%I64d|%hd|%ls", 5LL, 6, u"w"), u"5|6|w");
    // A floating argument to an integer conversion is truncated, held within the conversion's range.
    EXPECT_EQ(formatString(u"%d|%d|%d|%u|%u", 2.9, 1e39, std::nan(""), -1.0, 1e39),
              u"2|9223372036854775807|0|0|18446744073709551615");

    // formatStringInto replaces what the target held.
    UString out = u"old text";
    formatStringInto(out, u"%d-%d", 1, 2);
    EXPECT_EQ(out, u"1-2");
}

TEST(Format, ResultsDoNotDependOnTheCLocale)
{
    // Whatever locale the process runs under, numbers keep a point and no grouping.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) == nullptr) {
            continue;
        }
        EXPECT_EQ(formatString(u"%.9lf|%d|%g", 1234.5, 1234567, 0.5), u"1234.500000000|1234567|0.5") << name;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(UString, Utf8ConversionsFollowTheirByteRules)
{
    // 1, 2 and 3 bytes per UTF-16 unit; a surrogate pair becomes two 3-byte sequences.
    EXPECT_EQ(wideToUtf8(u"A\u00e4\u20ac"), "A\xc3\xa4\xe2\x82\xac");
    const UString pair = u"\U0001F600";
    EXPECT_EQ(wideToUtf8(pair).size(), 6u);
    EXPECT_EQ(utf8ToWide(wideToUtf8(pair)), pair);
    // Decoding stops at NUL; broken sequences and other lead bytes pass through as their value.
    EXPECT_EQ(utf8ToWide(std::string_view("ab\0cd", 5)), u"ab");
    EXPECT_EQ(utf8ToWide("\xc3"), u"\u00c3");
    EXPECT_EQ(utf8ToWide("\xff\x41"), u"\u00ffA");
    EXPECT_EQ(utf8ToWide("\xe2\x82"), u"\u00e2\u0082");
    // A well-formed four-byte sequence, as outside text carries it, is one surrogate pair.
    EXPECT_EQ(utf8ToWide("a\xf0\x9f\x98\x80" "b"), u"a\U0001F600b");
    EXPECT_EQ(utf8ToWide("\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"), u"\U00010000\U0010FFFF");
    // Overlong, beyond U+10FFFF, cut short or broken: each byte stays its own value.
    EXPECT_EQ(utf8ToWide("\xf0\x8f\xbf\xbf"), u"\u00f0\u008f\u00bf\u00bf");
    EXPECT_EQ(utf8ToWide("\xf4\x90\x80\x80"), u"\u00f4\u0090\u0080\u0080");
    EXPECT_EQ(utf8ToWide("\xf5\x80\x80\x80"), u"\u00f5\u0080\u0080\u0080");
    EXPECT_EQ(utf8ToWide("\xf0\x9f\x98"), u"\u00f0\u009f\u0098");
    EXPECT_EQ(utf8ToWide("\xf0\x9f\x98" "A"), u"\u00f0\u009f\u0098A");
    const char field[4] = {'a', 'b', 'c', 'd'}; // a full fixed field has no NUL
    EXPECT_EQ(toUString(field, sizeof(field)), u"abcd");
    EXPECT_EQ(toUString(nullptr), u"");
}

TEST(UString, TextBuffersLinesAndTrimming)
{
    const unsigned char utf8Bom[] = {0xEF, 0xBB, 0xBF, 'h', 'i'};
    EXPECT_EQ(decodeTextBuffer(utf8Bom, sizeof(utf8Bom)), u"hi");
    const unsigned char utf16[] = {0xFF, 0xFE, 'h', 0, 0xAC, 0x20, 'x'}; // odd trailing byte dropped
    EXPECT_EQ(decodeTextBuffer(utf16, sizeof(utf16)), u"h\u20ac");
    const unsigned char plain[] = {'a', 0xC3, 0xA4};
    EXPECT_EQ(decodeTextBuffer(plain, sizeof(plain)), u"a\u00e4");
    EXPECT_EQ(decodeTextBuffer(nullptr, 0), u"");

    EXPECT_EQ(splitLines(u"a\r\nb\n\nc"), (std::vector<UString>{u"a", u"b", u"", u"c"}));
    EXPECT_EQ(splitLines(u"one\r"), (std::vector<UString>{u"one\r"})); // only a CR before a LF goes
    EXPECT_EQ(splitLines(u""), (std::vector<UString>{u""}));

    UString t = u" \t\r\n key = value \n";
    trimString(t);
    EXPECT_EQ(t, u"key = value");
    UString blank = u" \t ";
    trimString(blank);
    EXPECT_EQ(blank, u"");
}
