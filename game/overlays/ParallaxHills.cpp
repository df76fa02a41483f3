#include "game/overlays/ParallaxHills.h"

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
} // namespace

ParallaxHills::ParallaxHills(KivBase* far, KivBase* near)
    : farHills(dynamic_cast<Skin*>(far)), nearHills(dynamic_cast<Skin*>(near))
{
}

void ParallaxHills::render()
{
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
    drawStrip(camera, farHills, 4.0f, 16.0f, 0.0f, -0.275f * h, 0.0f, 0xFFFFFFFFu);
    drawStrip(camera, nearHills, 2.0f, 8.0f, 0.0f, -0.3f * h, 0.0f, 0xFFCCCCCCu);
    drawStrip(camera, nearHills, 1.5f, 6.0f, 0.0f, -0.5f * h, 0.0f, 0xFFFFFFFFu);
}

int ParallaxHills::drawStrip(const Camera& camera, Skin* skin, float p, float q, float offsetX, float offsetY,
                             float offsetZ, std::uint32_t colour)
{
    if (skin == nullptr || !(skin->width > 0.0f)) {
        return 0;
    }
    const float w = static_cast<float>(OverlayKit::screenWidth());
    const float k = (0.0f - camera.eye.z) / (w * 0.5f);
    offsetX *= k;
    offsetY *= k;
    offsetZ *= k;
    Camera::Rect r0;
    Camera::Rect r1;
    camera.getVisibleRect(r0, 0.0f);
    camera.getVisibleRect(r1, camera.eye.z + (0.0f - camera.eye.z) * p);
    const float tw = skin->width * p;
    const float m = r1.left - std::floor(r1.left / tw) * tw;
    float x = r0.left - m / p;
    const float y = (1.0f - 1.0f / q) * camera.eye.y + offsetY;
    Renderable tile;
    tile.pSkin = skin;
    tile.color = UColor(colour);
    tile.bSkipVisibility = true;
    int drawn = 0;
    while (x < r0.right && drawn < MAX_TILES) {
        // Tiles are laid from their left edges, whatever the sprite's origin.
        tile.setPosition(V3(x + offsetX + skin->width * 0.5f + skin->origin.x, y, offsetZ));
        tile.render();
        x += skin->width;
        ++drawn;
    }
    return drawn;
}
