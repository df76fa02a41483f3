#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/ErrorManager.h"
#include "engine/files/MemoryIniFile.h"
#include "support/TempDir.h"

namespace {

MemoryIniFile parse(const std::string& bytes) { return MemoryIniFile::fromText(bytes.data(), bytes.size()); }

std::string utf16le(const std::u16string& text, bool bom)
{
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

const char* const SAMPLE = "top=1\r\n"
                           "[Graphics]\r\n"
                           "hq2x = 2 \r\n"
                           "bFullScreen=Yes\r\n"
                           "\r\n"
                           "[Language]\r\n"
                           "languageMask=\r\n"
                           "name=K\xC3\xA4se=gut\r\n";

void expectSample(const MemoryIniFile& ini)
{
    EXPECT_EQ(ini.getString(u"", u"top"), u"1");
    EXPECT_EQ(ini.getString(u"Graphics", u"hq2x"), u"2");
    EXPECT_EQ(ini.getString(u"Graphics", u"bFullScreen"), u"Yes");
    EXPECT_TRUE(ini.keyExists(u"Language", u"languageMask"));
    EXPECT_EQ(ini.getString(u"Language", u"languageMask"), u"");
    EXPECT_EQ(ini.getString(u"Language", u"name"), u"K\u00e4se=gut");
    EXPECT_FALSE(ini.keyExists(u"Graphics", u"top"));
    EXPECT_FALSE(ini.keyExists(u"graphics", u"hq2x"));
}

} // namespace

TEST(MemoryIniFile, ParsesTheSameWithEitherByteOrderMarkAndEitherLineEnd)
{
    std::string lf = SAMPLE;
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) {
        lf.erase(p, 1);
    }
    expectSample(parse(SAMPLE));
    expectSample(parse(lf));
    expectSample(parse("\xEF\xBB\xBF" + std::string(SAMPLE)));
    expectSample(parse(utf16le(utf8ToWide(SAMPLE), true)));
    expectSample(parse(utf16le(utf8ToWide(lf), true)));
}

TEST(MemoryIniFile, StrayLinesAreSectionHeadersWithTheirEndsDropped)
{
    const MemoryIniFile ini = parse("a=1\n"
                                    "garbage\n"
                                    "b=2\n"
                                    "x\n"
                                    "c=3\n"
                                    "[Last]\n"
                                    "d=4\n"
                                    "d=5\n");
    EXPECT_EQ(ini.getString(u"", u"a"), u"1");
    EXPECT_EQ(ini.getString(u"arbag", u"b"), u"2");
    EXPECT_EQ(ini.getString(u"", u"c"), u"3"); // a one-character line names the section ""
    EXPECT_EQ(ini.getString(u"Last", u"d"), u"5");
    EXPECT_FALSE(ini.keyExists(u"", u"b"));
}

TEST(MemoryIniFile, EmptyAndBrokenInputGiveAnEmptyIni)
{
    EXPECT_FALSE(parse("").keyExists(u"", u""));
    EXPECT_FALSE(MemoryIniFile::fromText(nullptr, 0).keyExists(u"", u"a"));
    // A lone byte-order mark, and a UTF-16 text cut in the middle of a unit.
    EXPECT_FALSE(parse("\xEF\xBB\xBF").keyExists(u"", u"a"));
    const MemoryIniFile cut = parse(utf16le(u"a=1\r\nb=2", true) + "x");
    EXPECT_EQ(cut.getString(u"", u"b"), u"2");
}

TEST(MemoryIniFile, MissingKeyIsFatalWithItsNameAndSection)
{
    ErrorManager::setThrowForTests(true);
    const MemoryIniFile ini = parse("[Audio]\nvolume=5\n");
    try {
        (void)ini.getString(u"Audio", u"bMute");
        FAIL() << "no fatal error";
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Key 'bMute' could not be found in section 'Audio'.");
    }
}

TEST(MemoryIniFile, TypedReadsWriteTheDefaultOnlyWhenTheKeyIsMissing)
{
    MemoryIniFile ini = parse("[Kiv]\n"
                              "defaultLanguage=junk\n"
                              "bWindowed=no\n"
                              "bOther=maybe\n"
                              "scale=1.5\n"
                              "count=+7\n");
    EXPECT_EQ(ini.getInt(u"Kiv", u"defaultLanguage", -2), -2);
    EXPECT_EQ(ini.getString(u"Kiv", u"defaultLanguage"), u"junk"); // an unreadable value is kept
    EXPECT_EQ(ini.getInt(u"Kiv", u"count", 0), 7);
    EXPECT_FALSE(ini.getBool(u"Kiv", u"bWindowed", true));
    EXPECT_TRUE(ini.getBool(u"Kiv", u"bOther", true));
    EXPECT_DOUBLE_EQ(ini.getDouble(u"Kiv", u"scale", 0.0), 1.5);

    EXPECT_EQ(ini.getInt(u"Kiv", u"missingInt", -2), -2);
    EXPECT_TRUE(ini.getBool(u"New", u"bMissing", true));
    EXPECT_FLOAT_EQ(ini.getFloat(u"Kiv", u"missingFloat", 0.25f), 0.25f);
    EXPECT_EQ(ini.getString(u"Kiv", u"missingText", u"localhost"), u"localhost");
    EXPECT_EQ(ini.getString(u"Kiv", u"missingInt"), u"-2");
    EXPECT_EQ(ini.getString(u"New", u"bMissing"), u"Yes");
    EXPECT_EQ(ini.getString(u"Kiv", u"missingFloat"), u"0.25");
    EXPECT_EQ(ini.getString(u"Kiv", u"missingText"), u"localhost");
}

TEST(MemoryIniFile, SavedFileIsUtf8WithMarkAndReadsBackUnderTheWarningLine)
{
    TempDir dir;
    MemoryIniFile ini = parse("loose=1\n[Graphics]\nwidth=800\n[Empty]\n");
    ini.setBool(u"Graphics", u"bFullScreen", false);
    ini.setString(u"Player", u"name", u"K\u00e4the");
    const UString warning = u"Do NOT modify this file unless you are explicitly instructed to do so!";
    ASSERT_TRUE(ini.save(dir.file(".cfg"), warning));

    std::FILE* f = std::fopen(dir.file(".cfg").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[512] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof(buffer), f);
    std::fclose(f);
    const std::string text(buffer, n);
    EXPECT_EQ(text, "\xEF\xBB\xBF"
                    "Do NOT modify this file unless you are explicitly instructed to do so!\r\n"
                    "[]\r\nloose=1\r\n"
                    "[Graphics]\r\nwidth=800\r\nbFullScreen=No\r\n"
                    "[Player]\r\nname=K\xC3\xA4the\r\n");

    MemoryIniFile back;
    ASSERT_TRUE(back.load(dir.file(".cfg")));
    EXPECT_EQ(back.getString(u"", u"loose"), u"1");
    EXPECT_FALSE(back.getBool(u"Graphics", u"bFullScreen", true));
    EXPECT_EQ(back.getString(u"Player", u"name"), u"K\u00e4the");
    // Saving what was read gives the same file again.
    ASSERT_TRUE(back.save(dir.file(".cfg2"), warning));
    MemoryIniFile again;
    ASSERT_TRUE(again.load(dir.file(".cfg2")));
    EXPECT_EQ(again.toText(warning), back.toText(warning));
    EXPECT_EQ(back.toText(warning), ini.toText(warning));

    MemoryIniFile missing;
    EXPECT_FALSE(missing.load(dir.file("nothing.cfg")));
}
