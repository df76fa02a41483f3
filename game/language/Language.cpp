#include "game/language/Language.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "game/language/LanguageTables.h"

// Screens read these families as a first id plus an index, so the key list must keep them together.
static_assert(STR_LEVELTITLE31 - STR_LEVELTITLE0 == 31);
static_assert(STR_HINTENDLEVEL31 - STR_HINTENDLEVEL0 == 31);
static_assert(STR_COUNTRYZW - STR_COUNTRYNONE == 240);
static_assert(STR_ENUMDETAIL1 - STR_ENUMDETAIL0 == 1);
static_assert(STR_ENUMSOUNDQUALITY2 - STR_ENUMSOUNDQUALITY0 == 2);
static_assert(STR_SEASON3 - STR_SEASON0 == 3);
static_assert(STR_RECIPEPART31 - STR_RECIPEPART0 == 31);
static_assert(STR_RECIPE31 - STR_RECIPE0 == 31);
static_assert(STR_IOS_HOWTOPLAYTEXT5 - STR_IOS_HOWTOPLAYTEXT1 == 4);
static_assert(STR_IOS_ENUMARROWPLACEMENT1 - STR_IOS_ENUMARROWPLACEMENT0 == 1);
static_assert(STR_DIK_JOYBUTTON31 - STR_DIK_JOYBUTTON0 == 31);
static_assert(STR_DIK_JOYRIGHT - STR_DIK_JOYUP == 3);
static_assert(STR_DIK_MOUSEBUTTON3 - STR_DIK_MOUSEUP == 7);
// Ids travel between peers and are stored by screens as numbers: a few anchors of the numbering.
static_assert(STR_DIK_ESCAPE == 11 && STR_DIK_MEDIASELECT == 154 && STR_STARTGAME == 470);
static_assert(STR_RECIPEDOTS == 1032 && STR_IOS_HINTHAT == 1173);

namespace {

// The keyboard keys in key-name order: a run of consecutive ids names a run of consecutive DirectInput
// key codes.
struct KeyCodeRun {
    int firstId;
    int firstCode;
    int count;
};
constexpr KeyCodeRun keyboardRuns[] = {
    {STR_DIK_ESCAPE, 1, 83},        {STR_DIK_OEM_102, 86, 3},     {STR_DIK_F13, 100, 3},
    {STR_DIK_KANA, 112, 1},         {STR_DIK_ABNT_C1, 115, 1},    {STR_DIK_CONVERT, 121, 1},
    {STR_DIK_NOCONVERT, 123, 1},    {STR_DIK_YEN, 125, 2},        {STR_DIK_NUMPADEQUALS, 141, 1},
    {STR_DIK_PREVTRACK, 144, 8},    {STR_DIK_NEXTTRACK, 153, 1},  {STR_DIK_NUMPADENTER, 156, 2},
    {STR_DIK_MUTE, 160, 3},         {STR_DIK_MEDIASTOP, 164, 1},  {STR_DIK_VOLUMEDOWN, 174, 1},
    {STR_DIK_VOLUMEUP, 176, 1},     {STR_DIK_WEBHOME, 178, 2},    {STR_DIK_DIVIDE, 181, 1},
    {STR_DIK_SYSRQ, 183, 2},        {STR_DIK_PAUSE, 197, 1},      {STR_DIK_HOME, 199, 3},
    {STR_DIK_LEFT, 203, 1},         {STR_DIK_RIGHT, 205, 1},      {STR_DIK_END, 207, 5},
    {STR_DIK_LWIN, 219, 5},         {STR_DIK_WAKE, 227, 1},       {STR_DIK_WEBSEARCH, 229, 9},
};

constexpr bool keyboardRunsCoverTheKeyNames()
{
    int nextId = STR_DIK_ESCAPE;
    int lastCode = 0;
    for (const KeyCodeRun& run : keyboardRuns) {
        if (run.firstId != nextId || run.firstCode <= lastCode) {
            return false;
        }
        nextId += run.count;
        lastCode = run.firstCode + run.count - 1;
    }
    return nextId == STR_DIK_MEDIASELECT + 1 && lastCode <= 255;
}
static_assert(keyboardRunsCoverTheKeyNames());

constexpr int JOYSTICKBASE = 256;
constexpr int JOYSTICKBLOCK = 48;
constexpr int JOYSTICKBUTTONS = 16; // offset of button 0 within a block
constexpr int MOUSEBASE = 448;
static_assert(JOYSTICKBASE + 4 * JOYSTICKBLOCK == MOUSEBASE && MOUSEBASE + 8 == Language::NUMINPUTCODES);
static_assert(Language::NUMINPUTCODES == KivInput::NUMINPUTCODES && JOYSTICKBASE == KivInput::JOYSTICK_BASE &&
              JOYSTICKBLOCK == KivInput::JOYSTICK_BLOCK && JOYSTICKBUTTONS == KivInput::JOYSTICK_BUTTONS &&
              MOUSEBASE == KivInput::MOUSE_UP);

} // namespace

Language::Language()
{
    for (auto& row : texts) {
        for (const char16_t*& text : row) {
            text = nullptr;
        }
    }
    currentRow = texts[0];
    registerStringKeys();
    addLanguageEnglish();
    addLanguageGerman();
    checkCompleteness();
}

Language* Language::createForEngine()
{
    auto* language = new Language();
    if (const Kiv* kiv = Kiv::instance()) {
        language->setLanguageMask(kiv->languageMask);
        if (kiv->input != nullptr) {
            language->setKeyNameTable(kiv->input->keyNames.data());
        }
    }
    return language;
}

void Language::destroyForEngine(Language* language) { delete language; }

void Language::registerStringKeys()
{
    stringIds.reserve(NUMSTRINGS);
    for (int id = 0; id < NUMSTRINGS; ++id) {
        registerStringKey(LanguageData::keys[id], id);
    }
}

void Language::registerStringKey(const char16_t* key, int id)
{
    // A key that is already present keeps its first id.
    stringIds.emplace(UString(key), id);
}

void Language::addLanguageEnglish()
{
    for (int id = 0; id < NUMSTRINGS; ++id) {
        texts[0][id] = LanguageData::texts[0][id];
    }
}

void Language::addLanguageGerman()
{
    for (int id = 0; id < NUMSTRINGS; ++id) {
        texts[1][id] = LanguageData::texts[1][id];
    }
}

void Language::checkCompleteness() const
{
    for (int language = 0; language < NUMLANGUAGES; ++language) {
        for (int id = 0; id < NUMSTRINGS; ++id) {
            if (texts[language][id] == nullptr) {
                // Quote the English text; when that is the one missing, the key says which text it is.
                const char16_t* quoted = texts[0][id] != nullptr ? texts[0][id] : getKey(id);
                // The check belongs to construction, so the report names the constructor.
                ErrorManager::error(formatString(u"String %d ('%s') is missing from language %d.", id, quoted, language),
                                    "Language::Language", __FILE__, __LINE__);
            }
        }
    }
}

const char16_t* Language::getKey(int id)
{
    return id >= 0 && id < NUMSTRINGS ? LanguageData::keys[id] : u"";
}

int Language::getStringId(UStringView key) const
{
    const auto it = stringIds.find(UString(key));
    return it != stringIds.end() ? it->second : -1;
}

const char16_t* Language::getTextByString(UStringView key, bool mustExist) const
{
    const int id = getStringId(key);
    if (id >= 0) {
        return getText(static_cast<std::uint32_t>(id));
    }
    if (mustExist) {
        KIV_FATAL(formatString(u"Unknown string identifier '%s'", key));
    }
    return u"";
}

bool Language::hasString(UStringView key) const { return getStringId(key) >= 0; }

bool Language::isLanguageAllowed(int language) const
{
    if (languageMask.empty()) {
        return true;
    }
    const auto index = static_cast<std::uint32_t>(language);
    if (index >= languageMask.size()) {
        return false;
    }
    return languageMask[index] == u'1';
}

void Language::setLanguage(int language)
{
    currentLanguage = language;
    if (language < 0 || language >= NUMLANGUAGES || !isLanguageAllowed(language)) {
        currentLanguage = 0;
    }
    currentRow = texts[currentLanguage];
    bRightToLeft = UStringView(getText(STR_LANGUAGEREADINGORDER)) == u"RTL" ? 1 : 0;
    // Fonts order their glyphs by the language's code page and compose accents when it asks for it.
    FontQuad::setLanguage(getText(STR_LANGUAGECODEPAGE), UStringView(getText(STR_LANGUAGECOMPOSITECHARS)) == u"Yes");
    applyLanguage();
}

void Language::applyLanguage()
{
    const char16_t* unknown = getText(STR_DIK_UNKNOWN);
    for (int code = 0; code < NUMINPUTCODES; ++code) {
        keyNames[code] = formatString(u"%s-%d", unknown, code);
    }
    keyNames[0].clear();

    for (const KeyCodeRun& run : keyboardRuns) {
        for (int i = 0; i < run.count; ++i) {
            keyNames[run.firstCode + i] = getText(static_cast<std::uint32_t>(run.firstId + i));
        }
    }

    static constexpr char16_t const* joystickFormats[] = {u"(1) %s", u"(2) %s", u"(3) %s", u"(4) %s"};
    for (int joystick = 0; joystick < 4; ++joystick) {
        const int block = JOYSTICKBASE + JOYSTICKBLOCK * joystick;
        const char16_t* format = joystickFormats[joystick];
        for (int direction = 0; direction < 4; ++direction) {
            keyNames[block + direction] =
                formatString(format, getText(static_cast<std::uint32_t>(STR_DIK_JOYUP + direction)));
        }
        for (int button = 0; button < 32; ++button) {
            keyNames[block + JOYSTICKBUTTONS + button] =
                formatString(format, getText(static_cast<std::uint32_t>(STR_DIK_JOYBUTTON0 + button)));
        }
    }

    for (int i = 0; i < 8; ++i) {
        keyNames[MOUSEBASE + i] = getText(static_cast<std::uint32_t>(STR_DIK_MOUSEUP + i));
    }
}

const UString& Language::getKeyName(int code) const
{
    static const UString none;
    return code >= 0 && code < NUMINPUTCODES ? keyNames[code] : none;
}
