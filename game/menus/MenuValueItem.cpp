#include "game/menus/MenuValueItem.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Context.h"
#include "engine/text/FontQuad.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuSupport.h"

MenuValueItem::MenuValueItem(float x, float y, float z, int32_t* value, int32_t minimum, int32_t maximum,
                             int32_t valueStep, const UString& itemCaption, const UString& itemHint)
    : MenuItem(x, y, z, itemCaption, itemHint), pValue(value), minValue(minimum), maxValue(maximum), step(valueStep)
{
}

void MenuValueItem::tick(double time, double dt)
{
    MenuItem::tick(time, dt);
    const KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    const Context* context = Context::getCurrent();
    if (bDisabled || bHidden || !bHovered || input == nullptr || !input->isAnyTouchDown() || context == nullptr) {
        return;
    }
    const float reach = frameWidth() / 2.0f - 24.0f;
    V3 left, right;
    local2world(left, V3(-reach, 0.0f, 0.0f));
    local2world(right, V3(reach, 0.0f, 0.0f));
    const int32_t sign = MenuSupport::isRightToLeft() ? -1 : 1;
    if (pValue != nullptr) {
        int32_t stepped = shownValue();
        if (context->pointer.isWithinDistance(left, 50.0f)) {
            stepped -= sign * step;
        }
        if (context->pointer.isWithinDistance(right, 50.0f)) {
            stepped += sign * step;
        }
        stepped = std::clamp(stepped, minValue, maxValue);
        if (stepped != shownValue()) {
            *pValue = stepped;
        }
    }
    onClick();
}

void MenuValueItem::render()
{
    MenuItem::render();
    if (bDisabled || bHidden || pValue == nullptr) {
        return;
    }
    const KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    UColor color = normalColor;
    if (input == nullptr || input->getInputMode() != KivInput::INPUT_TOUCH) {
        const auto alpha = static_cast<std::uint32_t>(std::clamp(highlight, 0.0, 1.0) * 255.0);
        color = UColor((highlightColor.argb & 0x00FFFFFFu) | (alpha << 24));
    }
    const bool rightToLeft = MenuSupport::isRightToLeft();
    const bool canDecrease = shownValue() > minValue;
    const bool canIncrease = shownValue() < maxValue;
    // The arrows keep their place in the frame while a press makes the item swell, so the value stays
    // between them.
    const float reach = arrowReach() * scale.x;
    if (rightToLeft ? canIncrease : canDecrease) {
        printText(u"\u0007", V3(position.x - reach, position.y, position.z), 0x12, color);
    }
    if (rightToLeft ? canDecrease : canIncrease) {
        printText(u"\u0008", V3(position.x + reach, position.y, position.z), 0x18, color);
    }
}

V3 MenuValueItem::getNavigationPoint(int index)
{
    if (index != 0 && index != 1) {
        return NONE;
    }
    const float reach = frameWidth() / 2.0f - 24.0f;
    const V3 p(position.x + (index == 0 ? -reach : reach), position.y, position.z);
    return ContextMenu::planeToPointer(ContextMenu::contextOf(this), p);
}

void MenuValueItem::renderValue(float x, float y, float z)
{
    if (pValue != nullptr) {
        const UString shown = formatString(u"%d", shownValue());
        printText(shown, V3(x, y, z), 0x14, currentColor, getFitScale(shown));
    }
}

float MenuValueItem::getFitScale(const UString& text) const
{
    if (pFont == nullptr) {
        return 1.0f;
    }
    constexpr int SPACE = 2;
    const int arrow = std::max(pFont->measureLine(u"\u0007"), pFont->measureLine(u"\u0008"));
    return fitScale(text, 2 * (static_cast<int>(arrowReach()) - arrow - SPACE));
}

int32_t MenuValueItem::shownValue() const
{
    return pValue != nullptr ? std::clamp(*pValue, minValue, std::max(minValue, maxValue)) : minValue;
}
