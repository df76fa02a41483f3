#pragma once
// One icon of the editor's resource palette: a sprite of the resource (or the generic editor icon for a
// resource that is not a picture) with the resource's name, and whether the pointer is on it.
#include "engine/core/UString.h"
#include "engine/render/Renderable.h"

class Skin;

class EditorToolIcon : public KivBase {
public:
    EditorToolIcon(const UString& name, Skin* skin);

    // Notes whether the current context's pointer lies on the visible sprite.
    void tick(double time, double dt) override;
    void render() override;

    Renderable quad; // does not own its skin
    UString name;
    bool bUnderPointer = false;
};
