#pragma once
// Every user-visible text of the program in every language, addressed by a fixed text id or by its
// upper-case key, plus the current language, its reading direction and the display names of the input
// codes. The engine object creates the one instance, passes it the "languageMask" setting and the input
// system's name table, and owns it.
#include <array>
#include <cstdint>
#include <unordered_map>

#include "engine/core/UString.h"
#include "game/language/StringIds.h"

class Language {
public:
    static constexpr int NUMLANGUAGES = 2; // 0 English, 1 German
    static constexpr int NUMSTRINGS = 1174;
    static constexpr int NUMINPUTCODES = 456;
    static_assert(STR_COUNT == NUMSTRINGS, "the key list must hold one key per text id");

    Language();
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    // The engine's factory hooks (Kiv::setLanguageFactory): a store that takes the engine's language
    // mask and names the input codes in the engine's input system.
    static Language* createForEngine();
    static void destroyForEngine(Language* language);

    // The text of an id in the current language. Before a language is chosen this reads English; an id
    // outside the table (one from a remote call, say) gives the empty text.
    const char16_t* getText(std::uint32_t id) const
    {
        return id < static_cast<std::uint32_t>(NUMSTRINGS) ? currentRow[id] : u"";
    }
    // The current language's text of a key. An unknown key is fatal when mustExist is set, else "".
    const char16_t* getTextByString(UStringView key, bool mustExist) const;
    bool hasString(UStringView key) const;
    // The id of a key, or -1.
    int getStringId(UStringView key) const;
    // The key of an id (the empty text outside the table).
    static const char16_t* getKey(int id);

    // The engine's language mask: character i is '1' when language i is on offer; empty offers all.
    void setLanguageMask(UStringView mask) { languageMask = UString(mask); }
    bool isLanguageAllowed(int language) const;
    // Chooses the current language (0 when the number is out of range or not on offer), sets the reading
    // direction and renames the input codes.
    void setLanguage(int language);
    // Writes the current language's name of every input code into the name table.
    void applyLanguage();

    // The input system's table of NUMINPUTCODES names; until one is connected, a table of our own.
    void setKeyNameTable(UString* names) { keyNames = names != nullptr ? names : ownKeyNames.data(); }
    const UString& getKeyName(int code) const;

    // Run by the constructor: stops the program at the first id without a text, English first.
    void checkCompleteness() const;
    std::size_t getKeyCount() const { return stringIds.size(); }

    // Row = language, column = text id. Points at constant texts; null means missing.
    const char16_t* texts[NUMLANGUAGES][NUMSTRINGS];
    int currentLanguage = -1;
    int bRightToLeft = 0;

private:
    void registerStringKeys();
    void registerStringKey(const char16_t* key, int id);
    void addLanguageEnglish();
    void addLanguageGerman();

    std::unordered_map<UString, int> stringIds;
    const char16_t* const* currentRow;
    UString languageMask;
    std::array<UString, NUMINPUTCODES> ownKeyNames;
    UString* keyNames = ownKeyNames.data();
};
