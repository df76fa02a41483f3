#include "game/menus/MenuToggleItem.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"

MenuToggleItem::MenuToggleItem(float x, float y, float z, bool* value, const UString& itemCaption,
                               const UString& itemHint)
    : MenuItem(x, y, z, itemCaption, itemHint), pValue(value)
{
    setWidth(50);
}

void MenuToggleItem::tick(double time, double dt)
{
    MenuItem::tick(time, dt);
    const KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    if (bHovered && !bDisabled && !bHidden && input != nullptr && input->isAnyTouchDown()) {
        if (pValue != nullptr) {
            *pValue = !*pValue;
        }
        onClick();
    }
}

void MenuToggleItem::render()
{
    MenuItem::render();
    if (!bHidden && pValue != nullptr && *pValue) {
        V3 at;
        local2world(at, V3());
        printText(u"\u0001", at, 0x14, currentColor);
    }
}
