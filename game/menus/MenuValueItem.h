#pragma once
// A menu item bound to an integer: shows it between two arrows; a press on an arrow zone (50 units around
// a point 24 units inside each end) steps the integer by `step`, kept within [minValue, maxValue]. Every
// press over the item counts as a click. Right to left, the arrows run the other way. A stored value out
// of range (a damaged file) is shown as the nearest valid one and written only when the player steps it.
#include "game/menus/MenuItem.h"

class MenuValueItem : public MenuItem {
public:
    MenuValueItem(float x, float y, float z, int32_t* value, int32_t minValue, int32_t maxValue, int32_t step,
                  const UString& caption, const UString& hint);

    void tick(double time, double dt) override;
    void render() override;
    // Hot spots 0 and 1: the left and the right arrow zone.
    V3 getNavigationPoint(int index) override;
    void renderValue(float x, float y, float z) override;
    // The scale at which a value fits between the two arrows, with a little space on either side.
    float getFitScale(const UString& text) const override;
    // The value as the item shows it: the bound integer held within [minValue, maxValue].
    virtual int32_t shownValue() const;

    int32_t* pValue;
    int32_t minValue;
    int32_t maxValue;
    int32_t step;

private:
    // How far from the centre each arrow's outer edge stands, in the item's unscaled frame.
    float arrowReach() const { return frameWidth() / 2.0f - 15.0f; }
};
