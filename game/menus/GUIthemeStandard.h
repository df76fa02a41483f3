#pragma once
// The editor's standard theme: 20-unit rows, a one-unit frame margin and the "gui-standard-*" sheets.
// Where one of those sheets is not loaded, the element takes the minimal theme's sheet instead.
#include "game/menus/GUItheme.h"

class GUIthemeStandard : public GUItheme {
public:
    GUIthemeStandard();
    void setStyle(GUIitem& item, int style) override;
};
