#include "game/menus/MenuSoundToggleItem.h"

#include "game/front/Global.h"

MenuSoundToggleItem::MenuSoundToggleItem(float x, float y, float z, bool* value, const UString& itemCaption,
                                         const UString& itemHint)
    : MenuToggleItem(x, y, z, value, itemCaption, itemHint)
{
}

void MenuSoundToggleItem::onClick()
{
    if (Global* global = Global::instance()) {
        global->applySettings(-1, -1);
    }
}
