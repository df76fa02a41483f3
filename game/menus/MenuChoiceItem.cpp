#include "game/menus/MenuChoiceItem.h"

#include "game/menus/MenuSupport.h"

MenuChoiceItem::MenuChoiceItem(float x, float y, float z, int32_t* value, int32_t minimum, int32_t maximum,
                               int32_t base, const UString& itemCaption, const UString& itemHint)
    : MenuValueItem(x, y, z, value, minimum, maximum, 1, itemCaption, itemHint), textBase(base), pStrings(nullptr)
{
}

MenuChoiceItem::MenuChoiceItem(float x, float y, float z, int32_t* value, int32_t minimum, int32_t maximum,
                               const std::vector<UString>* strings, const UString& itemCaption,
                               const UString& itemHint)
    : MenuValueItem(x, y, z, value, minimum, maximum, 1, itemCaption, itemHint), textBase(0), pStrings(strings)
{
}

UString MenuChoiceItem::currentText() const
{
    if (pValue == nullptr) {
        return UString();
    }
    const int32_t value = shownValue();
    if (textBase != 0) {
        return MenuSupport::text(textBase + value);
    }
    if (pStrings != nullptr && value >= 0 && static_cast<std::size_t>(value) < pStrings->size()) {
        return (*pStrings)[static_cast<std::size_t>(value)];
    }
    return UString();
}

void MenuChoiceItem::renderValue(float x, float y, float z)
{
    const UString shown = currentText();
    printText(shown, V3(x, y, z), 0x14, currentColor, getFitScale(shown));
}
