#pragma once
// A value item that shows its integer as a bar of strokes and applies the settings after each press, so
// a volume change is heard at once.
#include "game/menus/MenuValueItem.h"

class MenuVolumeItem : public MenuValueItem {
public:
    MenuVolumeItem(float x, float y, float z, int32_t* value, int32_t minValue, int32_t maxValue,
                   const UString& caption, const UString& hint);

    void renderValue(float x, float y, float z) override;
    void onClick() override;
};
