#include "game/menus/GUIitem.h"

#include <algorithm>

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/PointerDispatcher.h"
#include "engine/render/Quad.h"
#include "engine/render/SlicedSkin.h"
#include "engine/text/FontQuad.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/GUItheme.h"
#include "game/menus/MenuSupport.h"

namespace {
const PointerDispatcher* dispatcher()
{
    const Kiv* engine = Kiv::instance();
    return engine != nullptr ? engine->pointerDispatcher : nullptr;
}
} // namespace

GUIitem::GUIitem(GUItheme* theme, int style) : pTheme(theme)
{
    if (theme != nullptr) {
        frameBorder = theme->frameBorder;
        std::copy(std::begin(theme->sliceBorders), std::end(theme->sliceBorders), sliceBorders);
        pFont = theme->pFont;
    }
    bHasInvXform = true;
    if (theme != nullptr) {
        theme->setStyle(*this, style);
    }
    setSize(0, 0);
}

GUIitem::~GUIitem()
{
    setSkin(nullptr, false);
    deleteFrames();
}

void GUIitem::deleteFrames()
{
    if (pSkin == normalFrame || pSkin == focusFrame || pSkin == disabledFrame) {
        pSkin = nullptr;
    }
    delete normalFrame;
    delete focusFrame;
    delete disabledFrame;
    normalFrame = focusFrame = disabledFrame = nullptr;
}

void GUIitem::applySkin(const UString& sheet)
{
    deleteFrames();
    ResourceManager* resources = ResourceManager::instance();
    auto frame = [&](int index) {
        auto* skin = new SlicedSkin(resources->find<Quad>(sheet + u":" + static_cast<char16_t>(u'0' + index)));
        skin->setBorders(sliceBorders[0], sliceBorders[1], sliceBorders[2], sliceBorders[3]);
        return skin;
    };
    normalFrame = frame(1);
    disabledFrame = frame(0);
    focusFrame = frame(2);
    setSkin(normalFrame, false);
}

void GUIitem::setSize(int32_t w, int32_t h)
{
    width = w;
    height = h;
    if (normalFrame != nullptr) {
        const auto fw = static_cast<float>(w + 2 * frameBorder);
        const auto fh = static_cast<float>(h + 2 * frameBorder);
        for (SlicedSkin* frame : {disabledFrame, normalFrame, focusFrame}) {
            // A size of 0 would mean "the sheet's own size": an empty element keeps an empty frame.
            frame->setSize(std::max(fw, 0.001f), std::max(fh, 0.001f));
        }
        updateVisuals();
    }
}

void GUIitem::updateVisuals()
{
    Renderable::updateVisuals();
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* renderable = dynamic_cast<Renderable*>(child)) {
            renderable->setParentMatrix(world);
        }
    }
}

void GUIitem::addChild(KivBase* child)
{
    appendChild(child);
    layout();
}

void GUIitem::tick(double time, double dt)
{
    KivBase::tick(time, dt);
    const PointerDispatcher* events = dispatcher();
    bHovered = events != nullptr && events->getObjectUnderPointer() == this;
    highlight = std::clamp(highlight + (bHovered ? 4.0 : -4.0) * dt, 0.0, 1.0);
    currentColor = isDisabled() ? disabledColor : lerpColor(normalColor, hoverColor, static_cast<float>(highlight));
}

void GUIitem::render()
{
    if (bHidden) {
        return;
    }
    const bool disabled = isDisabled();
    const PointerDispatcher* events = dispatcher();
    SlicedSkin* frame = normalFrame;
    if (disabled) {
        frame = disabledFrame;
    } else if (events != nullptr && events->getHovered() == this) {
        frame = focusFrame;
    }
    if (frame != nullptr && frame != pSkin) {
        setSkin(frame, false);
    }
    if (pSkin != nullptr && isInView()) {
        pSkin->draw(*this);
    }
    if (bHovered) {
        FontQuad* small = MenuSupport::font(MenuSupport::FONT_SMALL);
        const V3 at(0.0f, static_cast<float>(4 - ContextMenu::screenHeight() / 2), 0.0f);
        if (small != nullptr && disabled && !disabledHint.empty()) {
            small->print(at, UColor(0xFFFFFFFFu), 0x24, disabledHint);
        } else if (small != nullptr && !disabled && !hint.empty()) {
            small->printOffset(at, UColor(0xFFFFFFFFu), V3(0.0f, -1.0f, 0.0f), UColor(0xFF000000u), hint);
        }
    }
    if (!caption.empty() && pFont != nullptr) {
        const float w = static_cast<float>(width + 2 * frameBorder);
        const float h = static_cast<float>(height + 2 * frameBorder);
        const float g = pTheme != nullptr ? static_cast<float>(pTheme->captionGap) : 0.0f;
        const float inside = static_cast<float>(width) - 2.0f * g;
        V3 anchor;
        std::uint32_t flags = 0;
        float limit = 9999.0f;
        switch (captionLocation) {
        case CAPTION_LEFT: anchor = V3(-w / 2 - g, 0, 0); flags = 0x18; break;
        case CAPTION_CENTER: anchor = V3(); flags = 0x14; break;
        case CAPTION_RIGHT: anchor = V3(w / 2 + g, 0, 0); flags = 0x12; break;
        case CAPTION_ABOVE: anchor = V3(0, h / 2 + g, 0); flags = 0x24; break;
        case CAPTION_INSIDE_LEFT: anchor = V3(g - w / 2, 0, 0); flags = 0x12; limit = inside; break;
        case CAPTION_INSIDE_RIGHT: anchor = V3(w / 2 - g, 0, 0); flags = 0x18; limit = inside; break;
        case CAPTION_INSIDE_TOP: anchor = V3(0, h / 2 - g, 0); flags = 0x05; limit = inside; break;
        default:
            ErrorManager::error(u"Invalid caption location.", "GUIitem::render", "src/GUIitem", __LINE__);
        }
        Renderable label;
        label.color = currentColor;
        label.matOuter = world;
        label.setPosition(anchor);
        pFont->drawTextEllipsis(label, flags, limit, caption);
    }
    KivBase::render();
}
