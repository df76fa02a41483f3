// The text store: choosing the language, the language mask, reading texts and the fatal paths.
#include <gtest/gtest.h>

#include "engine/core/ErrorManager.h"
#include "engine/text/FontQuad.h"
#include "game/language/Language.h"

namespace {

class LanguageStore : public ::testing::Test {
protected:
    void SetUp() override { ErrorManager::setThrowForTests(true); }
    void TearDown() override { ErrorManager::setThrowForTests(false); }

    int chooseWithMask(const char16_t* mask, int requested)
    {
        Language fresh;
        fresh.setLanguageMask(mask);
        fresh.setLanguage(requested);
        return fresh.currentLanguage;
    }

    Language language;
};

TEST_F(LanguageStore, FreshObjectHasNoLanguageYetAndReadsEnglish)
{
    EXPECT_EQ(language.currentLanguage, -1);
    EXPECT_EQ(language.bRightToLeft, 0);
    // A text read too early comes from the first language rather than from before the table.
    EXPECT_EQ(UStringView(language.getText(STR_LANGUAGENAME)), u"English");
}

TEST_F(LanguageStore, SetLanguageSwitchesTheTexts)
{
    language.setLanguage(0);
    EXPECT_EQ(UStringView(language.getText(1)), u"English");
    EXPECT_EQ(UStringView(language.getTextByString(u"LANGUAGENAME", true)), u"English");
    Language german;
    german.setLanguage(1);
    EXPECT_EQ(german.currentLanguage, 1);
    EXPECT_EQ(UStringView(german.getText(1)), u"Deutsch");
    EXPECT_EQ(UStringView(german.getText(STR_DIK_UNKNOWN)), u"UNBEKANNT");
    EXPECT_EQ(german.bRightToLeft, 0);
    // The fonts follow the chosen language's code page.
    FontQuad::setLanguage(u"", false);
    german.setLanguage(1);
    EXPECT_EQ(FontQuad::getLanguageCodePage(), u"1252");
}

TEST_F(LanguageStore, MaskDecidesWhichLanguagesAreOnOffer)
{
    // Empty mask: everything, even numbers the store has no row for.
    EXPECT_TRUE(language.isLanguageAllowed(0));
    EXPECT_TRUE(language.isLanguageAllowed(2));
    EXPECT_TRUE(language.isLanguageAllowed(-1));
    language.setLanguageMask(u"11");
    EXPECT_TRUE(language.isLanguageAllowed(1));
    EXPECT_FALSE(language.isLanguageAllowed(2));
    EXPECT_FALSE(language.isLanguageAllowed(-1));
    language.setLanguageMask(u"01");
    EXPECT_FALSE(language.isLanguageAllowed(0));
    EXPECT_TRUE(language.isLanguageAllowed(1));
    language.setLanguageMask(u"1x");
    EXPECT_FALSE(language.isLanguageAllowed(1)); // only '1' admits
}

TEST_F(LanguageStore, RefusedOrUnknownLanguageFallsBackToEnglish)
{
    EXPECT_EQ(chooseWithMask(u"", 1), 1);
    EXPECT_EQ(chooseWithMask(u"10", 1), 0);
    EXPECT_EQ(chooseWithMask(u"1", 1), 0); // mask too short for index 1
    EXPECT_EQ(chooseWithMask(u"01", 5), 0);
    EXPECT_EQ(chooseWithMask(u"01", -1), 0); // English even though the mask refuses it
    EXPECT_EQ(chooseWithMask(u"", 2), 0);
}

TEST_F(LanguageStore, OnlyTheExactReadingOrderRtlMirrors)
{
    const char16_t* forms[] = {u"rtl", u"RTL ", u" RTL", u"RT", u"LTR"};
    for (const char16_t* form : forms) {
        Language other;
        other.texts[1][STR_LANGUAGEREADINGORDER] = form;
        other.setLanguage(1);
        EXPECT_EQ(other.bRightToLeft, 0) << wideToUtf8(form);
    }
    Language mirrored;
    mirrored.texts[1][STR_LANGUAGEREADINGORDER] = u"RTL";
    mirrored.setLanguage(1);
    EXPECT_EQ(mirrored.bRightToLeft, 1);
    // Falling back to English also falls back to its reading order.
    mirrored.setLanguageMask(u"1");
    mirrored.setLanguage(1);
    EXPECT_EQ(mirrored.bRightToLeft, 0);
}

TEST_F(LanguageStore, UnknownKeys)
{
    language.setLanguage(0);
    const char16_t* text = language.getTextByString(u"NOSUCHKEY", false);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(UStringView(text), u"");
    try {
        language.getTextByString(u"NOSUCHKEY", true);
        FAIL() << "an unknown key that must exist is fatal";
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Unknown string identifier 'NOSUCHKEY'");
        EXPECT_NE(e.report.find(u"Language::getTextByString"), UString::npos);
    }
}

TEST_F(LanguageStore, IdOutsideTheTableGivesTheEmptyText)
{
    language.setLanguage(1);
    EXPECT_EQ(UStringView(language.getText(1174)), u"");
    EXPECT_EQ(UStringView(language.getText(0xFFFFFFFFu)), u"");
    EXPECT_EQ(UStringView(language.getText(1173)), UStringView(language.texts[1][1173]));
}

TEST_F(LanguageStore, MissingTextStopsTheCheckAtTheFirstGap)
{
    language.texts[1][470] = nullptr;
    language.texts[1][900] = nullptr;
    try {
        language.checkCompleteness();
        FAIL() << "a missing text is fatal";
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"String 470 ('Start Game') is missing from language 1.");
        EXPECT_NE(e.report.find(u"Function: Language::Language()"), UString::npos);
    }
    // English is checked first; a missing English text is named by its key, never by a null text.
    language.texts[0][1173] = nullptr;
    try {
        language.checkCompleteness();
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"String 1173 ('IOS_HINTHAT') is missing from language 0.");
    }
}

TEST_F(LanguageStore, EmptyTextsArePresent)
{
    EXPECT_NO_THROW(language.checkCompleteness());
    EXPECT_NE(language.texts[0][STR_NULL], nullptr);
    EXPECT_NE(language.texts[1][STR_PLACEHOLDER0], nullptr);
}

} // namespace
