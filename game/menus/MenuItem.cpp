#include "game/menus/MenuItem.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/audio/Sound.h"
#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/SlicedSkin.h"
#include "engine/text/FontQuad.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuSupport.h"

using MenuSupport::RIM;

namespace {
// Captions beside or above their items: white, and white at less than half strength while disabled.
constexpr std::uint32_t SIDE_CAPTION = 0xFFFFFFFFu;
constexpr std::uint32_t SIDE_CAPTION_DISABLED = 0x68FFFFFFu;
} // namespace

MenuItem::MenuItem(float x, float y, float z, const UString& itemCaption, const UString& itemHint)
    : captionLocation(ContextMenu::ALIGN_READING_START), caption(itemCaption), hint(itemHint)
{
    const KivGraphics* graphics = KivGraphics::instance();
    const bool large = graphics == nullptr || graphics->displayScale >= 0.5f;
    pFont = large ? MenuSupport::font(MenuSupport::FONT_MEDIUM) : MenuSupport::font(MenuSupport::FONT_SMALL);
    bHasInvXform = true;
    if (MenuSupport::isRightToLeft()) {
        x = -x;
    }
    position = V3(x, y, z);
    highlightLayer.position = position;
    updateVisuals();
    highlightLayer.updateVisuals();
    setBackground(u"gui-game-editbox", 16, 16, 16, 16);
    setWidth(256);
}

MenuItem::~MenuItem() = default;

void MenuItem::setBackground(const UString& sheet, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    ResourceManager* resources = ResourceManager::instance();
    Quad* frame0 = resources->find<Quad>(sheet + u":0");
    Quad* frame1 = resources->find<Quad>(sheet + u":1");
    background = new SlicedSkin(frame0);
    background->setBorders(left, top, right, bottom);
    highlightFrame = new SlicedSkin(frame1);
    highlightFrame->setBorders(left, top, right, bottom);
    setSkin(background, true);
    highlightLayer.setSkin(highlightFrame, true);
}

void MenuItem::setWidth(int32_t width)
{
    if (background != nullptr) {
        background->setSize(static_cast<float>(width), -1.0f);
    }
    if (highlightFrame != nullptr) {
        highlightFrame->setSize(static_cast<float>(width), -1.0f);
    }
    updateVisuals();
    highlightLayer.updateVisuals();
}

float MenuItem::frameWidth() const { return background != nullptr ? background->width : 0.0f; }
float MenuItem::frameHeight() const { return background != nullptr ? background->height : 0.0f; }

float MenuItem::getFitScale(const UString& text) const
{
    return fitScale(text, static_cast<int>(frameWidth() - frameHeight()));
}

float MenuItem::fitScale(const UString& text, int room) const
{
    if (room <= 10 || pFont == nullptr) {
        return 1.0f;
    }
    const int width = pFont->measureLine(text);
    return width > room ? static_cast<float>(room) / static_cast<float>(width) : 1.0f;
}

bool MenuItem::takeClick()
{
    const bool clicked = bClicked;
    bClicked = false;
    return clicked;
}

bool MenuItem::isPointerOver() const
{
    const Context* context = Context::getCurrent();
    if (context == nullptr || background == nullptr) {
        return false;
    }
    const V3 local = (context->pointer - position) * (1.0f / baseScale);
    return background->isPointInside(local.x, local.y, local.z);
}

void MenuItem::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    bHovered = bForceHover || isPointerOver();
    const KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    const float step = static_cast<float>(4.0 * dt);
    if (input == nullptr || input->getInputMode() == KivInput::INPUT_POINTER) {
        highlight += bHovered ? step : -step;
    } else {
        highlight = bHovered && input->getTouchFlag(0) ? 1.0 : 0.0;
    }
    highlight = std::clamp(highlight, 0.0, 1.0);

    pulse = std::max(0.0f, pulse - step);
    if (bHovered && !bDisabled && input != nullptr && input->isAnyTouchDown()) {
        pulse = 1.0f;
    }
    const float s = 1.0f + 0.15f * pulse * std::sin(-2.0f * std::numbers::pi_v<float> * pulse);
    if (baseScale * s != scale.x) {
        setScale(V3(baseScale * s, baseScale / s, 1.0f));
    }
    currentColor = bDisabled ? disabledColor : lerpColor(normalColor, highlightColor, static_cast<float>(highlight));
}

void MenuItem::printText(const UString& text, const V3& worldPoint, std::uint32_t flags, UColor color,
                         float extraScale) const
{
    if (pFont == nullptr || text.empty()) {
        return;
    }
    Matrix4 m = Matrix4::scaling(scale.x * extraScale, scale.y * extraScale, 1.0f);
    if (rotation.x != 0.0f || rotation.y != 0.0f || rotation.z != 0.0f) {
        m = m * Matrix4::rotationYawPitchRoll(rotation.x, rotation.y, rotation.z);
    }
    m.m[3][0] = worldPoint.x;
    m.m[3][1] = worldPoint.y;
    m.m[3][2] = worldPoint.z;
    pFont->drawLine(m, color.argb, flags, text);
}

void MenuItem::render()
{
    if (bHidden) {
        return;
    }
    Renderable::render();
    if (!bDisabled && highlight > 0.0) {
        if (!(highlightLayer.scale == scale) || !(highlightLayer.position == position)) {
            highlightLayer.scale = scale;
            highlightLayer.position = position;
            highlightLayer.rotation = rotation;
            highlightLayer.updateVisuals();
        }
        const auto alpha = static_cast<std::uint32_t>(std::clamp(highlight, 0.0, 1.0) * 255.0);
        highlightLayer.color = UColor((alpha << 24) | 0x00FFFFFFu);
        highlightLayer.render();
    }
    renderValue(position.x, position.y, position.z);
    if (bHovered) {
        const UString& line = bDisabled ? disabledHint : hint;
        if (!line.empty()) {
            // The line stands on whatever is behind the menu (a snowy level under the pause menu): a dark
            // rim keeps its white letters readable on light ground as on dark.
            const V3 at(0.0f, static_cast<float>(2 - ContextMenu::screenHeight() / 2), 0.0f);
            const auto room = static_cast<float>(ContextMenu::screenWidth() - 8);
            FontQuad* small = MenuSupport::font(MenuSupport::FONT_SMALL);
            for (const auto& d : RIM) {
                MenuSupport::printFitted(small, at + V3(d[0], d[1], 0.0f), UColor(0xA0000000u), 0x24, line, room, V3(),
                                         UColor(0u));
            }
            MenuSupport::printFitted(small, at, UColor(0xFFFFFFFFu), 0x24, line, room, V3(), UColor(0u));
        }
    }
    if (caption.empty()) {
        return;
    }
    const CaptionPlacement placed = captionPlacement();
    if (captionLocation == CAPTION_CENTER) {
        printText(caption, placed.at, placed.flags, currentColor, placed.scale);
        return;
    }
    // Beside or above its frame the caption stands on the page's picture, dark sky or pale snow: light
    // letters in the dark rim of the other texts on the pictures read on both, and a disabled caption fades
    // with its rim.
    const UColor letters = bDisabled
                               ? UColor(SIDE_CAPTION_DISABLED)
                               : lerpColor(UColor(SIDE_CAPTION), highlightColor, static_cast<float>(highlight));
    const UColor rim = MenuSupport::darkRimFor(letters);
    for (const auto& d : RIM) {
        printText(caption, placed.at + V3(MenuSupport::RIM_WIDTH * d[0], MenuSupport::RIM_WIDTH * d[1], 0.0f),
                  placed.flags, rim, placed.scale);
    }
    printText(caption, placed.at, placed.flags, letters, placed.scale);
}

MenuItem::CaptionPlacement MenuItem::captionPlacement() const
{
    const float w = frameWidth(), h = frameHeight();
    V3 anchor;
    CaptionPlacement placed;
    switch (captionLocation) {
    case CAPTION_LEFT:
        anchor = V3(-w / 2 - 5.0f, 0.0f, 0.0f);
        placed.flags = 0x18;
        break;
    case CAPTION_CENTER:
        anchor = V3();
        placed.flags = 0x14;
        placed.scale = getFitScale(caption);
        break;
    case CAPTION_RIGHT:
        anchor = V3(w / 2 + 5.0f, 0.0f, 0.0f);
        placed.flags = 0x12;
        break;
    case CAPTION_ABOVE:
        anchor = V3(0.0f, h / 2 + 5.0f, 0.0f);
        placed.flags = 0x24;
        break;
    default:
        ErrorManager::error(u"Invalid caption location.", "MenuItem::render", "src/MenuItem", __LINE__);
    }
    local2world(placed.at, anchor);
    if (captionLocation != CAPTION_CENTER) {
        placed.scale = sideCaptionScale(placed.at.x, placed.flags);
    }
    return placed;
}

float MenuItem::sideCaptionScale(float anchorX, std::uint32_t flags) const
{
    float fit = MenuSupport::fitToScreen(pFont, caption, anchorX, flags, scale.x);
    const float width = pFont != nullptr ? static_cast<float>(pFont->measureLine(caption)) * scale.x : 0.0f;
    if (captionRoom > 0.0f && width * fit > captionRoom) {
        fit = captionRoom / width;
    }
    return fit;
}

V3 MenuItem::getNavigationPoint(int index)
{
    if (index != 0) {
        return NONE;
    }
    return ContextMenu::planeToPointer(ContextMenu::contextOf(this),
                                       V3(position.x, position.y - frameHeight() / 4.0f, position.z));
}

void MenuItem::renderValue(float, float, float) {}

void MenuItem::onClick()
{
    bClicked = true;
    MenuSupport::playSound(u"mouseClick");
}
