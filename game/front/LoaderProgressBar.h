#pragma once
// The loading screen's bar: the frame skin of the bar texture, and over it the fill skin cut to the
// progress, growing to the right from the fill's left edge (the left part of the fill image, not a
// stretched copy).
#include "engine/render/Renderable.h"

class Quad;
class Texture;

class LoaderProgressBar : public Renderable {
public:
    LoaderProgressBar(Texture* texture, int frameSkinIndex, int fillSkinIndex);
    ~LoaderProgressBar() override;

    // The fraction shown, clamped to [0, 1].
    void setProgress(float fraction);

    void render() override;
    void updateVisuals() override;

    Texture* pTexture = nullptr; // not owned
    int fillSkinIndex = 1;
    float progress = 0.0f;
    Renderable fill; // draws the filled part; owns its quad

private:
    Quad* fillQuad = nullptr;
};
