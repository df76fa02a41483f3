// The display names of the 456 input codes in each language.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "game/language/Language.h"

namespace {

class KeyNames : public ::testing::Test {
protected:
    std::array<UString, Language::NUMINPUTCODES> names;

    void apply(int languageNumber)
    {
        names.fill(u"stale");
        language.setKeyNameTable(names.data());
        language.setLanguage(languageNumber);
    }

    Language language;
};

TEST_F(KeyNames, EnglishNames)
{
    apply(0);
    EXPECT_EQ(names[0], u"");
    EXPECT_EQ(names[1], u"Esc");
    EXPECT_EQ(names[28], u"Enter");
    EXPECT_EQ(names[57], u"Space");
    EXPECT_EQ(names[83], u"Num .");
    EXPECT_EQ(names[84], u"UNKNOWN-84");
    EXPECT_EQ(names[86], u"OEM 102");
    EXPECT_EQ(names[99], u"UNKNOWN-99");
    EXPECT_EQ(names[100], u"F13");
    EXPECT_EQ(names[156], u"Num Enter");
    EXPECT_EQ(names[211], u"Delete");
    EXPECT_EQ(names[237], u"Media Select");
    EXPECT_EQ(names[255], u"UNKNOWN-255");
    EXPECT_EQ(names[256], u"(1) JOYUP");
    EXPECT_EQ(names[259], u"(1) JOYRIGHT");
    EXPECT_EQ(names[260], u"UNKNOWN-260");
    EXPECT_EQ(names[271], u"UNKNOWN-271");
    EXPECT_EQ(names[272], u"(1) JOYBUTTON0");
    EXPECT_EQ(names[304], u"(2) JOYUP");
    EXPECT_EQ(names[320], u"(2) JOYBUTTON0");
    EXPECT_EQ(names[401], u"(4) JOYDOWN");
    EXPECT_EQ(names[447], u"(4) JOYBUTTON31");
    EXPECT_EQ(names[448], u"MOUSE UP");
    EXPECT_EQ(names[452], u"MOUSE BUTTON 0");
    EXPECT_EQ(names[455], u"MOUSE BUTTON 3");
    EXPECT_EQ(language.getKeyName(1), u"Esc");
    EXPECT_EQ(language.getKeyName(456), u"");
    EXPECT_EQ(language.getKeyName(-1), u"");
}

TEST_F(KeyNames, GermanNames)
{
    apply(1);
    EXPECT_EQ(names[1], u"Esc");
    EXPECT_EQ(names[84], u"UNBEKANNT-84");
    EXPECT_EQ(names[256], u"(1) JOY-HOCH");
    EXPECT_EQ(names[57], u"Leertaste");
    EXPECT_EQ(names[452], u"MAUSTASTE 0");
}

TEST_F(KeyNames, ArrowKeysAreSymbolGlyphsInBothLanguages)
{
    for (int languageNumber = 0; languageNumber < Language::NUMLANGUAGES; ++languageNumber) {
        apply(languageNumber);
        EXPECT_EQ(names[200], UString(1, char16_t(5)));
        EXPECT_EQ(names[203], UString(1, char16_t(3)));
        EXPECT_EQ(names[205], UString(1, char16_t(4)));
        EXPECT_EQ(names[208], UString(1, char16_t(6)));
    }
}

TEST_F(KeyNames, EveryCodeIsRewrittenAndNamedKeysAreDistinct)
{
    for (int languageNumber = 0; languageNumber < Language::NUMLANGUAGES; ++languageNumber) {
        apply(languageNumber);
        std::set<UString> seen;
        int keyboardNames = 0;
        for (int code = 0; code < Language::NUMINPUTCODES; ++code) {
            EXPECT_NE(names[code], u"stale") << code;
            if (code > 0) {
                EXPECT_FALSE(names[code].empty()) << code;
                EXPECT_TRUE(seen.insert(names[code]).second) << "two codes named " << wideToUtf8(names[code]);
            }
            if (code < 256 && code > 0 && !names[code].starts_with(language.getText(STR_DIK_UNKNOWN))) {
                ++keyboardNames;
            }
        }
        EXPECT_EQ(keyboardNames, 144);
    }
}

TEST_F(KeyNames, WithoutAnInputTableTheStoreKeepsItsOwn)
{
    language.setLanguage(0);
    EXPECT_EQ(language.getKeyName(84), u"UNKNOWN-84");
    EXPECT_EQ(language.getKeyName(0), u"");
}

} // namespace
