#pragma once
// The framed background on which dialogs and pages lay their items, with an optional caption at its top.
#include "engine/core/UString.h"
#include "engine/render/Renderable.h"

class MenuPanel : public Renderable {
public:
    MenuPanel(float x, float y, float z, float width, float height, bool opaque, const UString& caption);

    void render() override;

    UString caption;
};
