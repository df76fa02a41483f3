#pragma once
// A value item that shows a text chosen by its integer: the language's text textBase + value, or element
// value of a list of texts when textBase is 0. A text wider than the room between the arrows is drawn smaller
// to fit.
#include <vector>

#include "game/menus/MenuValueItem.h"

class MenuChoiceItem : public MenuValueItem {
public:
    MenuChoiceItem(float x, float y, float z, int32_t* value, int32_t minValue, int32_t maxValue, int32_t textBase,
                   const UString& caption, const UString& hint);
    MenuChoiceItem(float x, float y, float z, int32_t* value, int32_t minValue, int32_t maxValue,
                   const std::vector<UString>* strings, const UString& caption, const UString& hint);

    void renderValue(float x, float y, float z) override;
    // The text shown for the current value (empty when the value names no text).
    UString currentText() const;

    int32_t textBase;
    const std::vector<UString>* pStrings;
};
