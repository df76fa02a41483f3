#pragma once
// The editor's minimal theme: 10-unit rows, no frame margin and one generic sheet for every framed style.
#include "game/menus/GUItheme.h"

class GUIthemeMinimal : public GUItheme {
public:
    GUIthemeMinimal();
    void setStyle(GUIitem& item, int style) override;
};
