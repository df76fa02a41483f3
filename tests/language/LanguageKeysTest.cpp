// The key list: its size and form, the fixed ids that screens, level files and peers rely on.
#include <gtest/gtest.h>

#include <set>

#include "engine/core/Format.h"
#include "game/language/Language.h"

namespace {

UString key(int id) { return Language::getKey(id); }

class LanguageKeys : public ::testing::Test {
protected:
    Language language;
};

TEST_F(LanguageKeys, EveryIdHasOneUniqueUpperCaseKey)
{
    EXPECT_EQ(language.getKeyCount(), 1174u);
    std::set<UString> seen;
    for (int id = 0; id < Language::NUMSTRINGS; ++id) {
        const UString k = key(id);
        ASSERT_FALSE(k.empty()) << id;
        EXPECT_LE(k.size(), 26u) << id;
        for (char16_t c : k) {
            EXPECT_TRUE((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_') << id;
        }
        EXPECT_TRUE(seen.insert(k).second) << "duplicate key at id " << id;
        EXPECT_EQ(language.getStringId(k), id);
        EXPECT_TRUE(language.hasString(k));
    }
}

TEST_F(LanguageKeys, FixedIdsOfTheNumbering)
{
    EXPECT_EQ(language.getStringId(u"NULL"), 0);
    EXPECT_EQ(language.getStringId(u"LANGUAGEREADINGORDER"), 4);
    EXPECT_EQ(language.getStringId(u"DIK_UNKNOWN"), 10);
    EXPECT_EQ(language.getStringId(u"DIK_ESCAPE"), 11);
    EXPECT_EQ(language.getStringId(u"DIK_UP"), 131);
    EXPECT_EQ(language.getStringId(u"DIK_LEFT"), 133);
    EXPECT_EQ(language.getStringId(u"DIK_RIGHT"), 134);
    EXPECT_EQ(language.getStringId(u"DIK_DOWN"), 136);
    EXPECT_EQ(language.getStringId(u"DIK_MEDIASELECT"), 154);
    EXPECT_EQ(language.getStringId(u"DIK_MOUSEBUTTON3"), 198);
    EXPECT_EQ(language.getStringId(u"CONFIRM"), 440);
    EXPECT_EQ(language.getStringId(u"STARTGAME"), 470);
    EXPECT_EQ(language.getStringId(u"WELCOME"), 785);
    EXPECT_EQ(language.getStringId(u"HINTENDLEVEL31"), 900);
    EXPECT_EQ(language.getStringId(u"HINTCASTCHICKEN2"), 1031);
    EXPECT_EQ(language.getStringId(u"RECIPEDOTS"), 1032);
    EXPECT_EQ(language.getStringId(u"IOS_KMLEGAL1"), 1112);
    EXPECT_EQ(language.getStringId(u"IOS_ARROWPLACEMENT"), 1122);
    EXPECT_EQ(language.getStringId(u"IOS_HOWTOPLAY"), 1148);
    EXPECT_EQ(language.getStringId(u"IOS_HINTHAT"), 1173);
    EXPECT_EQ(language.getTextByString(u"STARTGAME", true), language.getText(470));
    EXPECT_EQ(language.getTextByString(u"HINTENDLEVEL31", true), language.getText(900));
    // The key formed for a level number past the last is not registered.
    EXPECT_FALSE(language.hasString(u"HINTENDLEVEL32"));
}

TEST_F(LanguageKeys, FamiliesReadByOffsetAreConsecutive)
{
    struct Run {
        const char16_t* first;
        const char16_t* last;
        int span;
    };
    const Run runs[] = {
        {u"LEVELTITLE0", u"LEVELTITLE31", 31},       {u"HINTENDLEVEL0", u"HINTENDLEVEL31", 31},
        {u"COUNTRYNONE", u"COUNTRYZW", 240},          {u"ENUMDETAIL0", u"ENUMDETAIL1", 1},
        {u"ENUMSOUNDQUALITY0", u"ENUMSOUNDQUALITY2", 2}, {u"SEASON0", u"SEASON3", 3},
        {u"RECIPEPART0", u"RECIPEPART31", 31},       {u"RECIPE0", u"RECIPE31", 31},
        {u"IOS_HOWTOPLAYTEXT1", u"IOS_HOWTOPLAYTEXT5", 4}, {u"IOS_ENUMARROWPLACEMENT0", u"IOS_ENUMARROWPLACEMENT1", 1},
        {u"DIK_JOYBUTTON0", u"DIK_JOYBUTTON31", 31},
    };
    for (const Run& run : runs) {
        EXPECT_EQ(language.getStringId(run.last) - language.getStringId(run.first), run.span) << wideToUtf8(run.first);
    }
    EXPECT_EQ(language.getStringId(u"LEVELTITLE31"), 868);
    EXPECT_EQ(language.getStringId(u"COUNTRYZW"), 439);
    EXPECT_EQ(key(STR_COUNTRYNONE + 82), u"COUNTRYDE");
    // Numbered keys count up with their ids within each family.
    for (int n = 0; n < 32; ++n) {
        EXPECT_EQ(key(STR_LEVELTITLE0 + n), formatString(u"LEVELTITLE%d", n));
        EXPECT_EQ(key(STR_HINTENDLEVEL0 + n), formatString(u"HINTENDLEVEL%d", n));
        EXPECT_EQ(key(STR_RECIPEPART0 + n), formatString(u"RECIPEPART%d", n));
        EXPECT_EQ(key(STR_RECIPE0 + n), formatString(u"RECIPE%d", n));
        EXPECT_EQ(key(STR_DIK_JOYBUTTON0 + n), formatString(u"DIK_JOYBUTTON%d", n));
    }
}

TEST_F(LanguageKeys, LookupsAreCaseSensitive)
{
    EXPECT_TRUE(language.hasString(u"STARTGAME"));
    EXPECT_FALSE(language.hasString(u"startgame"));
    EXPECT_FALSE(language.hasString(u"StartGame"));
    EXPECT_FALSE(language.hasString(u"STARTGAME "));
    EXPECT_FALSE(language.hasString(u""));
}

TEST_F(LanguageKeys, EveryTouchVariantReplacesARegisteredKey)
{
    int variants = 0;
    for (int id = 0; id < Language::NUMSTRINGS; ++id) {
        const UString k = key(id);
        if (k.starts_with(u"IOS_HINT")) {
            ++variants;
            EXPECT_TRUE(language.hasString(k.substr(4))) << wideToUtf8(k);
        }
    }
    EXPECT_EQ(variants, 19); // the valley hint and the 18 in-level hints
    // No touch variant exists for the level-end hints; the desktop text stays.
    EXPECT_FALSE(language.hasString(u"IOS_HINTENDLEVEL5"));
}

TEST_F(LanguageKeys, SpareIdsAreRegisteredUnderReservedKeys)
{
    const int spare[] = {454, 462, 555, 556, 641, 686, 808, 809, 1102, 1111, 1121, 1133, 1147};
    for (int id : spare) {
        EXPECT_EQ(key(id), formatString(u"RESERVED%04d", id));
        EXPECT_EQ(language.getStringId(key(id)), id);
    }
}

TEST_F(LanguageKeys, KeyOfAnIdOutsideTheTableIsEmpty)
{
    EXPECT_EQ(key(-1), u"");
    EXPECT_EQ(key(1174), u"");
    EXPECT_EQ(language.getStringId(u"NOSUCHKEY"), -1);
}

} // namespace
