// The English and German tables: the settings rows, and the formatting that code relies on staying the
// same in every language (printf conversions, key placeholders, colour markup, symbol glyphs).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "engine/core/Format.h"
#include "game/language/Language.h"

namespace {

const Language& store()
{
    static const Language language;
    return language;
}

UStringView text(int languageNumber, int id) { return store().texts[languageNumber][id]; }
std::string name(int id) { return wideToUtf8(Language::getKey(id)); }

// The printf conversions of a text in order ("%s", "%.2lf"); "%%" is not a conversion.
std::vector<std::string> conversions(UStringView t)
{
    static const std::regex spec(R"(%[-+ #0]*(\d+|\*)?(\.(\d+|\*))?(hh|h|ll|l|L|I64)?[diuoxXfFeEgGcsp])");
    std::vector<std::string> out;
    const std::string s = wideToUtf8(t);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            continue;
        }
        if (i + 1 < s.size() && s[i + 1] == '%') {
            ++i;
            continue;
        }
        std::smatch m;
        const std::string rest = s.substr(i);
        if (std::regex_search(rest, m, spec, std::regex_constants::match_continuous)) {
            out.push_back(m.str());
            i += m.length() - 1;
        } else {
            out.push_back("%");
        }
    }
    return out;
}

std::vector<std::u16string> placeholders(UStringView t)
{
    static const UString known[] = {u"#LEFT#", u"#RIGHT#", u"#FIRE#", u"#UP#",
                                    u"#DOWN#", u"#ESC#",   u"#ALTFIRE#", u"#MAP#"};
    std::vector<std::u16string> out;
    for (const UString& p : known) {
        for (std::size_t at = t.find(p); at != UStringView::npos; at = t.find(p, at + 1)) {
            out.push_back(p);
        }
    }
    return out;
}

bool isWindows1252(char16_t c)
{
    static const char16_t upper[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                                     0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                     0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    return c < 0x80 || (c >= 0xA0 && c <= 0xFF) || std::find(std::begin(upper), std::end(upper), c) != std::end(upper);
}

TEST(LanguageTexts, SettingsRowsOfBothLanguages)
{
    const char16_t* english[] = {u"", u"English", u"en", u"1252", u"LTR", u"Yes", u",", u".", u" "};
    const char16_t* german[] = {u"", u"Deutsch", u"de", u"1252", u"LTR", u"Yes", u" ", u",", u""};
    for (int id = 0; id <= 8; ++id) {
        EXPECT_EQ(text(0, id), english[id]) << name(id);
        EXPECT_EQ(text(1, id), german[id]) << name(id);
    }
    EXPECT_EQ(text(0, STR_DIK_UNKNOWN), u"UNKNOWN");
    EXPECT_EQ(text(1, STR_DIK_UNKNOWN), u"UNBEKANNT");
}

TEST(LanguageTexts, QuotedCaptionsAndSymbolGlyphs)
{
    EXPECT_EQ(text(0, STR_BACK), u"\t  Back");
    EXPECT_EQ(text(0, STR_NEXT), u"Next  \n");
    EXPECT_EQ(text(0, STR_CANCEL), u"\x02  Cancel");
    EXPECT_EQ(text(0, STR_QUIT), u"\x02  Quit");
    EXPECT_EQ(text(1, STR_BACK).front(), u'\t');
    EXPECT_EQ(text(1, STR_NEXT).back(), u'\n');
    EXPECT_EQ(text(1, STR_QUIT).front(), u'\x02');
    EXPECT_EQ(text(0, STR_HINTCOLDWATER), u"Ah! Cold! \x1e{0000ff}COLD!\x1e{000001}");
    EXPECT_EQ(text(0, STR_PRESSXKEYTOCONTINUE), u"Press %s to continue");
    EXPECT_EQ(text(0, STR_HINTMOVELEFTRIGHT), u"Press #LEFT# and #RIGHT# to walk around");
    EXPECT_EQ(text(0, STR_RECIPEPART0), u"Part 1");
    EXPECT_EQ(text(0, STR_RECIPEPART31), u"Part 32");
    EXPECT_EQ(text(0, STR_IOS_PRESSXKEYTOCONTINUE), u"Tap to continue");
}

TEST(LanguageTexts, EmptyRows)
{
    const int emptyInBoth[] = {STR_NULL, STR_DIK_NONE, STR_HINTENDLEVEL30, STR_HINTENDLEVEL31, STR_IOS_HINTLETSGO};
    for (int id : emptyInBoth) {
        EXPECT_TRUE(text(0, id).empty()) << name(id);
        EXPECT_TRUE(text(1, id).empty()) << name(id);
    }
    for (int id = 0; id < Language::NUMSTRINGS; ++id) {
        if (name(id).starts_with("RESERVED")) {
            EXPECT_TRUE(text(0, id).empty() && text(1, id).empty()) << name(id);
        } else if (id >= STR_DIK_ESCAPE && id != STR_HINTENDLEVEL30 && id != STR_HINTENDLEVEL31 &&
                   id != STR_IOS_HINTLETSGO) {
            EXPECT_FALSE(text(0, id).empty()) << name(id);
            EXPECT_FALSE(text(1, id).empty()) << name(id);
        }
    }
}

TEST(LanguageTexts, PrintfConversionsAreTheSameInBothLanguages)
{
    const std::map<int, std::vector<std::string>> formatted = {
        {STR_HELLO, {"%s"}},
        {STR_FPSTESTRESULT, {"%.1lf"}},
        {STR_FPSTESTFAIL2, {"%.0lf"}},
        {STR_FAILEDWITHCODE, {"%d"}},
        {STR_ERRORREPORTUPLOADING, {"%s"}},
        {STR_ERRORMINVERSIONCLIENT, {"%s", "%.2lf"}},
        {STR_ERRORMINVERSIONSERVER, {"%s", "%.2lf"}},
        {STR_CONNECTEDTO, {"%s"}},
        {STR_DISCONNECTEDFROM, {"%s"}},
        {STR_PLAYERJOINED, {"%s"}},
        {STR_PLAYERLEFT, {"%s"}},
        {STR_TOTALSCORE, {"%s", "%s"}},
        {STR_LEVELX, {"%d"}},
        {STR_XMOREAPPLES, {"%d"}},
        {STR_PRESSXKEYTOCONTINUE, {"%s"}},
        {STR_RECIPELOCKED2, {"%s"}},
        {STR_IOS_KMLEGAL2, {"%s", "%s"}},
    };
    for (int id = 0; id < Language::NUMSTRINGS; ++id) {
        const auto it = formatted.find(id);
        if (it != formatted.end()) {
            EXPECT_EQ(conversions(text(0, id)), it->second) << name(id);
            EXPECT_EQ(conversions(text(1, id)), it->second) << name(id);
        } else {
            // Shown as they are: a percent sign here is literal, and both languages have as many.
            EXPECT_EQ(std::count(text(0, id).begin(), text(0, id).end(), u'%'),
                      std::count(text(1, id).begin(), text(1, id).end(), u'%'))
                << name(id);
        }
    }
    for (int languageNumber = 0; languageNumber < Language::NUMLANGUAGES; ++languageNumber) {
        const UString locked = formatString(text(languageNumber, STR_RECIPELOCKED2), u"Orchard Lane");
        EXPECT_NE(locked.find(u"\"Orchard Lane\""), UString::npos);
        EXPECT_NE(locked.find(u"100%"), UString::npos);
        EXPECT_EQ(locked.find(u"%%"), UString::npos);
    }
    EXPECT_NE(text(0, STR_HINTALLCOMPLETETITLE).find(u"100%"), UStringView::npos);
}

TEST(LanguageTexts, KeyPlaceholdersAreKeptByTheTranslation)
{
    std::vector<std::u16string> used;
    int hintsWithPlaceholders = 0;
    for (int id = 0; id < Language::NUMSTRINGS; ++id) {
        const auto english = placeholders(text(0, id));
        auto sortedEnglish = english;
        auto sortedGerman = placeholders(text(1, id));
        std::sort(sortedEnglish.begin(), sortedEnglish.end());
        std::sort(sortedGerman.begin(), sortedGerman.end());
        EXPECT_EQ(sortedEnglish, sortedGerman) << name(id);
        if (!english.empty()) {
            ++hintsWithPlaceholders;
            EXPECT_TRUE(name(id).starts_with("HINT")) << name(id);
            used.insert(used.end(), english.begin(), english.end());
        }
        if (name(id).starts_with("IOS_")) {
            EXPECT_TRUE(english.empty()) << name(id); // touch input has no keys to name
        }
    }
    EXPECT_EQ(hintsWithPlaceholders, 16);
    for (const char16_t* p : {u"#LEFT#", u"#RIGHT#", u"#FIRE#", u"#UP#", u"#ESC#", u"#ALTFIRE#", u"#MAP#"}) {
        EXPECT_NE(std::find(used.begin(), used.end(), UString(p)), used.end()) << wideToUtf8(p);
    }
}

TEST(LanguageTexts, ColourMarkupParsesEverywhere)
{
    for (int languageNumber = 0; languageNumber < Language::NUMLANGUAGES; ++languageNumber) {
        for (int id = 0; id < Language::NUMSTRINGS; ++id) {
            const UStringView t = text(languageNumber, id);
            for (std::size_t i = 0; i < t.size(); ++i) {
                if (t[i] == u'{') {
                    EXPECT_TRUE(i > 0 && t[i - 1] == 0x1E) << name(id) << ": a brace outside a colour marker";
                }
                if (t[i] != 0x1E) {
                    continue;
                }
                ASSERT_LE(i + 9, t.size()) << name(id);
                const UStringView colour = t.substr(i + 1, 8);
                EXPECT_TRUE(colour == u"{0000ff}" || colour == u"{ff0000}" || colour == u"{000001}")
                    << name(id) << " language " << languageNumber;
            }
        }
    }
}

TEST(LanguageTexts, OnlyWindows1252AndKnownSymbolGlyphs)
{
    const UString symbols = u"\x01\x02\x03\x04\x05\x06\t\n\x1e";
    for (int id = 0; id < Language::NUMSTRINGS; ++id) {
        UString controls[2];
        for (int languageNumber = 0; languageNumber < Language::NUMLANGUAGES; ++languageNumber) {
            const UStringView t = text(languageNumber, id);
            EXPECT_LE(t.size(), 752u) << name(id);
            for (char16_t c : t) {
                EXPECT_TRUE(isWindows1252(c)) << name(id) << " U+" << std::hex << int(c);
                if (c < 0x20) {
                    EXPECT_NE(symbols.find(c), UString::npos) << name(id) << " control " << int(c);
                    controls[languageNumber] += c;
                }
            }
        }
        // The translation keeps the symbol glyphs (only English puts one before Cancel).
        if (id != STR_CANCEL) {
            std::sort(controls[0].begin(), controls[0].end());
            std::sort(controls[1].begin(), controls[1].end());
            EXPECT_EQ(controls[0], controls[1]) << name(id);
        }
    }
}

} // namespace
