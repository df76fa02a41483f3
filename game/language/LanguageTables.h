#pragma once
// The key list and the text tables, generated at build time from keys.txt, english.txt and german.txt by
// generator/LanguageTableGenerator.cpp. Row 0 is English, row 1 German; a null text is one that the
// language file lacks.
#include "game/language/StringIds.h"

namespace LanguageData {
extern const char16_t* const keys[STR_COUNT];
extern const char16_t* const texts[2][STR_COUNT];
} // namespace LanguageData
