#include "game/front/LoaderProgressBar.h"

#include "engine/render/Quad.h"
#include "engine/render/Texture.h"

namespace {
constexpr int ALIGN_LEFT_MIDDLE = 4;
} // namespace

LoaderProgressBar::LoaderProgressBar(Texture* texture, int frameSkinIndex, int fillIndex)
    : pTexture(texture), fillSkinIndex(fillIndex)
{
    if (frameSkinIndex >= 0 && frameSkinIndex < static_cast<int>(pTexture->skins.size())) {
        setSkin(pTexture->skins[static_cast<std::size_t>(frameSkinIndex)]);
    }
    bSkipVisibility = true;
    fillQuad = new Quad();
    fillQuad->pTexture = pTexture;
    fillQuad->rebuild();
    fillQuad->setOriginByAlignment(ALIGN_LEFT_MIDDLE);
    fill.setSkin(fillQuad, true);
    fill.bSkipVisibility = true;
    float fillWidth = 0.0f;
    if (fillSkinIndex >= 0 && fillSkinIndex < static_cast<int>(pTexture->skins.size())) {
        fillWidth = pTexture->skins[static_cast<std::size_t>(fillSkinIndex)]->width;
    }
    fill.setPosition(V3(-0.5f * fillWidth, 0.0f, 0.0f));
    setProgress(0.0f);
}

LoaderProgressBar::~LoaderProgressBar()
{
    // The fill owns its quad and deletes it with itself; the texture's skins are not touched.
    fillQuad = nullptr;
}

void LoaderProgressBar::setProgress(float fraction)
{
    progress = fraction < 0.0f ? 0.0f : fraction > 1.0f ? 1.0f : fraction;
    if (fillSkinIndex < 0 || fillSkinIndex >= static_cast<int>(pTexture->skins.size())) {
        return;
    }
    const Quad* source = pTexture->skins[static_cast<std::size_t>(fillSkinIndex)];
    fillQuad->texLeft = source->texLeft;
    fillQuad->texTop = source->texTop;
    fillQuad->texRight = source->texLeft + (source->texRight - source->texLeft) * progress;
    fillQuad->texBottom = source->texBottom;
    fillQuad->rebuild();
    fillQuad->setOriginByAlignment(ALIGN_LEFT_MIDDLE);
    updateVisuals();
}

void LoaderProgressBar::render()
{
    if (bHidden) {
        return;
    }
    Renderable::render();
    fill.color = color;
    if (progress > 0.0f) {
        fill.render();
    }
}

void LoaderProgressBar::updateVisuals()
{
    Renderable::updateVisuals();
    fill.setParentMatrix(world);
}
