#include "game/effects/ParallaxHills.h"

#include <algorithm>
#include <cmath>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/Renderable.h"
#include "engine/render/Skin.h"
#include "game/level/LevelServices.h"
#include "game/overlays/OverlayKit.h"
#include "game/userdata/GameConfiguration.h"

namespace {
constexpr int KEY_F9 = 0x43;
constexpr int KEY_RIGHT_SHIFT = 0x36;
// Draws no more tiles than this in one strip, whatever the sprite and camera say.
constexpr int MAX_TILES = 256;
// The screen height at which the hill sprites are drawn at their own size.
constexpr float DESIGN_HEIGHT = 600.0f;
} // namespace

ParallaxHills::ParallaxHills(KivBase* far, KivBase* near)
    : farHills(dynamic_cast<Skin*>(far)), nearHills(dynamic_cast<Skin*>(near))
{
}

void ParallaxHills::render()
{
    tilesDrawn = 0;
    const Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->input != nullptr && kiv->input->wasKeyPressed(KEY_F9) &&
        kiv->input->isDown(KEY_RIGHT_SHIFT)) {
        return; // the frame of the screenshot without backdrop
    }
    const GameConfiguration* config = LevelServices::configuration();
    if (config != nullptr && config->detail < 1) {
        return;
    }
    const Context* context = Context::getCurrent();
    if (context == nullptr || context->camera == nullptr) {
        return;
    }
    const Camera& camera = *context->camera;
    const float h = static_cast<float>(OverlayKit::screenHeight());
    tilesDrawn += drawStrip(camera, farHills, 4.0f, 16.0f, 0.0f, -0.275f * h, 0.0f, 0xFFFFFFFFu);
    tilesDrawn += drawStrip(camera, nearHills, 2.0f, 8.0f, 0.0f, -0.3f * h, 0.0f, 0xFFCCCCCCu);
    tilesDrawn += drawStrip(camera, nearHills, 1.5f, 6.0f, 0.0f, -0.5f * h, 0.0f, 0xFFFFFFFFu);
}

ParallaxHills::Strip ParallaxHills::layout(const Camera& camera, float tileWidth, float p, float q, float offsetY)
{
    Strip strip;
    if (!(tileWidth > 0.0f)) {
        return strip;
    }
    const float w = static_cast<float>(OverlayKit::screenWidth());
    strip.offsetScale = (0.0f - camera.eye.z) / (w * 0.5f);
    Camera::Rect r0;
    Camera::Rect r1;
    camera.getVisibleRect(r0, 0.0f);
    camera.getVisibleRect(r1, camera.eye.z + (0.0f - camera.eye.z) * p);
    const float tw = tileWidth * p;
    const float m = r1.left - std::floor(r1.left / tw) * tw;
    strip.firstLeft = r0.left - m / p;
    strip.y = (1.0f - 1.0f / q) * camera.eye.y + offsetY * strip.offsetScale;
    float x = strip.firstLeft;
    while (x < r0.right && strip.tiles < MAX_TILES) {
        ++strip.tiles;
        x += tileWidth;
    }
    return strip;
}

int ParallaxHills::drawStrip(const Camera& camera, Skin* skin, float p, float q, float offsetX, float offsetY,
                             float offsetZ, std::uint32_t colour)
{
    if (skin == nullptr) {
        return 0;
    }
    // The strips stand at fractions of the screen height apart; above the 600 rows the hills were drawn
    // for, the tiles grow with the height too, so that each strip's ground still reaches down past the
    // valleys of the one below and no band of sky shows between them.
    const float scale = std::max(1.0f, static_cast<float>(OverlayKit::screenHeight()) / DESIGN_HEIGHT);
    const float width = skin->width * scale;
    const Strip strip = layout(camera, width, p, q, offsetY);
    Renderable tile;
    tile.pSkin = skin;
    tile.color = UColor(colour);
    tile.bSkipVisibility = true;
    tile.setScaleXY(scale);
    // Tiles are laid from their left edges, whatever the sprite's origin.
    const float centre = (skin->width * 0.5f + skin->origin.x) * scale;
    for (int i = 0; i < strip.tiles; ++i) {
        const float x = strip.firstLeft + static_cast<float>(i) * width;
        tile.setPosition(V3(x + offsetX * strip.offsetScale + centre, strip.y, offsetZ * strip.offsetScale));
        tile.render();
    }
    return strip.tiles;
}
