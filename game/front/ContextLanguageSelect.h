#pragma once
// The language screen: one clickable flag per language on offer, shown by the loader's language step
// when the stored choice was cleared. Only a choice closes it; the menu keys move the pointer between the
// flags and press.
#include <vector>

#include "engine/core/UString.h"
#include "game/menus/ContextMenu.h"

class ContextLanguageSelect : public ContextMenu {
public:
    ContextLanguageSelect();

    // The language to use when none was ever chosen: the first language on offer whose ISO code is the
    // system's, else 0.
    static int autodetectLanguage();
    // The flag picture of an ISO 639-1 code; an unknown code is fatal.
    static int isoCode2skinIndex(UString isoCode);
    // The languages the engine's language mask offers, in order. A mask that offers none would leave a
    // screen nothing can close: language 0 is offered then.
    static std::vector<int> offeredLanguages();
};
