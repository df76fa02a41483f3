#include "game/front/ContextLanguageSelect.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/SystemInfo.h"
#include "game/front/LanguageFlag.h"
#include "game/language/Language.h"

namespace {
constexpr const char16_t* FLAG_ORDER[] = {u"en", u"fr", u"de", u"it", u"es", u"ru", u"he", u"el",
                                          u"pl", u"ro", u"pt", u"ja", u"ko", u"cs", u"nl"};

UString isoCodeOf(const Language& texts, int language)
{
    const char16_t* code = texts.texts[language][STR_LANGUAGEISOCODE];
    return code != nullptr ? UString(code) : UString();
}
} // namespace

std::vector<int> ContextLanguageSelect::offeredLanguages()
{
    std::vector<int> offered;
    const Language* texts = Kiv::instance() != nullptr ? Kiv::instance()->language : nullptr;
    for (int i = 0; i < Language::NUMLANGUAGES; ++i) {
        if (texts == nullptr || texts->isLanguageAllowed(i)) {
            offered.push_back(i);
        }
    }
    if (offered.empty()) {
        Logger::logFrom("ContextLanguageSelect::offeredLanguages",
                        u"The language mask offers no language; using language 0.");
        offered.push_back(0);
    }
    return offered;
}

int ContextLanguageSelect::autodetectLanguage()
{
    const UString code = SystemInfo::localeIsoCode();
    Logger::logFrom("ContextLanguageSelect::autodetectLanguage", u"Trying to autodetect system language '%s'...", code);
    const Language* texts = Kiv::instance() != nullptr ? Kiv::instance()->language : nullptr;
    if (texts != nullptr) {
        for (int i = 0; i < Language::NUMLANGUAGES; ++i) {
            if (texts->isLanguageAllowed(i) && code == isoCodeOf(*texts, i)) {
                Logger::logFrom("ContextLanguageSelect::autodetectLanguage", u"Found match.");
                return i;
            }
        }
    }
    Logger::logFrom("ContextLanguageSelect::autodetectLanguage", u"Not found.");
    return 0;
}

int ContextLanguageSelect::isoCode2skinIndex(UString isoCode)
{
    for (int i = 0; i < static_cast<int>(std::size(FLAG_ORDER)); ++i) {
        if (isoCode == FLAG_ORDER[i]) {
            return i;
        }
    }
    ErrorManager::error(formatString(u"Could not find flag for ISO code '%s'", isoCode),
                        "ContextLanguageSelect::isoCode2skinIndex", "ContextLanguageSelect", __LINE__);
}

ContextLanguageSelect::ContextLanguageSelect()
{
    bDeleteWhenClosed = true;
    bEscapeCloses = false;
    bHideFrameRate = true;
    clearColor = UColor(0xFF001030u);

    const Language* texts = Kiv::instance()->language;
    for (int language : offeredLanguages()) {
        auto* flag = new LanguageFlag(language, isoCode2skinIndex(isoCodeOf(*texts, language)));
        appendChild(flag);
        (navigationOwner != nullptr ? navigationOwner : this)->addNavigationEntry(flag);
    }

    int n = 0;
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        ++n;
    }
    const int columns = n * 100 / 400 + 1;
    const int rows = n / columns + (n % columns != 0 ? 1 : 0);
    const int x0 = (columns * 100 - 100) / 2;
    int y = (rows * 100 - 100) / 2;
    int c = 0;
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        auto* flag = static_cast<LanguageFlag*>(child);
        flag->setPosition(V3(static_cast<float>(c * 100 - x0), static_cast<float>(y), 0.0f));
        if (++c == columns) {
            c = 0;
            y -= 100;
        }
    }

    // The pointer starts near the lower right corner, away from the flags (the system cursor stays).
    const float w = static_cast<float>(screenWidth());
    const float h = static_cast<float>(screenHeight());
    const V3 corner = planeToPointer(this, V3(0.4f * w, -0.4f * h, 0.0f));
    if (KivInput* input = Kiv::instance()->input) {
        input->pointer = V3(corner.x, corner.y, 0.0f);
    }
}
