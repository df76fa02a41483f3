#include "game/menus/ScreenFit.h"

#include <algorithm>

#include "engine/render/Camera.h"
#include "game/menus/ContextMenu.h"

namespace ScreenFit {

float coverScale(float pictureWidth, float pictureHeight)
{
    if (pictureWidth <= 0.0f || pictureHeight <= 0.0f) {
        return 1.0f;
    }
    return std::max(static_cast<float>(ContextMenu::screenWidth()) / pictureWidth,
                    static_cast<float>(ContextMenu::screenHeight()) / pictureHeight);
}

void fitCamera(Camera& camera)
{
    const int width = ContextMenu::screenWidth();
    camera.eye.z = -static_cast<float>(width / 2);
    camera.aspectFactor = static_cast<float>(ContextMenu::screenHeight()) / static_cast<float>(width);
}

bool FittedSize::update()
{
    const int w = ContextMenu::screenWidth(), h = ContextMenu::screenHeight();
    if (w == width && h == height) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

} // namespace ScreenFit
