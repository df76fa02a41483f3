#include "game/menus/MenuVolumeItem.h"

#include "game/front/Global.h"
#include "game/menus/MenuSupport.h"

MenuVolumeItem::MenuVolumeItem(float x, float y, float z, int32_t* value, int32_t minimum, int32_t maximum,
                               const UString& itemCaption, const UString& itemHint)
    : MenuValueItem(x, y, z, value, minimum, maximum, 1, itemCaption, itemHint)
{
}

void MenuVolumeItem::renderValue(float, float, float)
{
    if (pValue == nullptr) {
        return;
    }
    const float d = MenuSupport::isRightToLeft() ? -1.0f : 1.0f;
    for (int32_t i = 0; i < shownValue(); ++i) {
        V3 at;
        local2world(at, V3(d * (-84.0f + 7.0f * static_cast<float>(i)), 0.0f, 0.0f));
        printText(u"|", at, 0x14, currentColor);
    }
}

void MenuVolumeItem::onClick()
{
    MenuItem::onClick();
    if (Global* global = Global::instance()) {
        global->applySettings(-1, -1);
    }
}
