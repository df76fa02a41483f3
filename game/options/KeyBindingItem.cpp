#include "game/options/KeyBindingItem.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/MenuSupport.h"
#include "game/options/KeyBindingPopup.h"

KeyBindingItem::KeyBindingItem(const V3& at, uint32_t* binding, const UString& itemCaption, const UString& itemHint)
    : MenuItem(at.x, at.y, at.z, itemCaption, itemHint), pBinding(binding)
{
}

void KeyBindingItem::tick(double tickTime, double dt)
{
    MenuItem::tick(tickTime, dt);
    const KivInput* input = Kiv::currentInput();
    if (bHovered && !bDisabled && input != nullptr && input->isAnyTouchDown()) {
        MenuSupport::pushScreen(new KeyBindingPopup(&answer, this, caption, MenuSupport::text(STR_CONTROLSHINT)));
    }
    if (answer != ANSWER_NONE && answer != ANSWER_CANCEL) {
        if (Global* global = Global::instance()) {
            global->config.clearKeyBinding(static_cast<unsigned int>(answer));
        }
        if (pBinding != nullptr) {
            *pBinding = static_cast<uint32_t>(answer);
        }
        answer = ANSWER_NONE;
    }
}

void KeyBindingItem::renderValue(float x, float y, float z)
{
    const KivInput* input = Kiv::currentInput();
    if (pBinding == nullptr || input == nullptr || *pBinding >= static_cast<uint32_t>(KivInput::NUMINPUTCODES)) {
        return;
    }
    const UString& name = input->keyNames[*pBinding];
    printText(name, V3(x, y, z), 0x14, currentColor, getFitScale(name));
}
