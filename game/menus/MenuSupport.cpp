#include "game/menus/MenuSupport.h"

#include <algorithm>

#include "engine/audio/Sound.h"
#include "engine/core/Matrix4.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Context.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/ContextMenu.h"

namespace MenuSupport {

FontQuad* font(FontKind kind)
{
    static const char16_t* const names[] = {u"fontTiny",   u"fontSmall",         u"fontSmallOutline",
                                            u"fontMedium", u"fontMediumOutline", u"fontLarge"};
    if (const Global* global = Global::instance()) {
        FontQuad* const fonts[] = {global->fontTiny,   global->fontSmall,         global->fontSmallOutline,
                                   global->fontMedium, global->fontMediumOutline, global->fontLarge};
        if (fonts[kind] != nullptr) {
            return fonts[kind];
        }
    }
    if (const ResourceManager* resources = ResourceManager::instance()) {
        return dynamic_cast<FontQuad*>(resources->find(names[kind], false));
    }
    return nullptr;
}

bool isRightToLeft()
{
    const Kiv* engine = Kiv::instance();
    return engine != nullptr && engine->language != nullptr && engine->language->bRightToLeft != 0;
}

UString text(int id)
{
    const Kiv* engine = Kiv::instance();
    if (engine == nullptr || engine->language == nullptr) {
        return UString();
    }
    return engine->language->getText(static_cast<std::uint32_t>(id));
}

void playSound(const char16_t* name) { ResourceManager::instance()->find<Sound>(name)->play(); }

void playSoundPitched(const char16_t* name, float ratio)
{
    ResourceManager::instance()->find<Sound>(name)->playPitched(ratio);
}

ContextManager* screens()
{
    const Global* global = Global::instance();
    return global != nullptr ? global->contextManager : nullptr;
}

void pushScreen(Context* screen)
{
    if (ContextManager* manager = screens()) {
        manager->addContext(screen);
    } else {
        delete screen;
    }
}

float fitToScreen(const FontQuad* font, const UString& line, float anchorX, std::uint32_t flags, float scaleX)
{
    if (font == nullptr || line.empty()) {
        return 1.0f;
    }
    const float half = static_cast<float>(ContextMenu::screenWidth()) / 2.0f - 4.0f;
    const float width = static_cast<float>(font->measureLine(line)) * std::max(scaleX, 0.01f);
    float room = 0.0f;
    if ((flags & 0x08) != 0) {
        room = anchorX + half; // right edge at the anchor: the text runs to the left
    } else if ((flags & 0x02) != 0) {
        room = half - anchorX;
    } else {
        room = 2.0f * (half - std::abs(anchorX));
    }
    if (room <= 0.0f || width <= room) {
        return 1.0f;
    }
    return room / width;
}

void printFitted(FontQuad* font, const V3& at, UColor color, std::uint32_t flags, const UString& line, float maxWidth,
                 const V3& offset, UColor shadow)
{
    if (font == nullptr || line.empty()) {
        return;
    }
    const auto width = static_cast<float>(font->measureLine(line));
    const float squeeze = width > maxWidth && maxWidth > 0.0f ? maxWidth / width : 1.0f;
    Matrix4 m = Matrix4::scaling(squeeze, 1.0f, 1.0f);
    m.m[3][0] = at.x;
    m.m[3][1] = at.y;
    m.m[3][2] = at.z;
    const KivGraphics* graphics = KivGraphics::instance();
    if (shadow.argb != 0 && graphics != nullptr && graphics->bDetail) {
        font->drawLine(m, shadow.argb, flags, line, offset.x / squeeze, offset.y, offset.z);
    }
    font->drawLine(m, color.argb, flags, line);
}

UColor darkRimFor(UColor text)
{
    const std::uint32_t alpha = (DARK_RIM >> 24) * text.a() / 255u;
    return UColor((alpha << 24) | (DARK_RIM & 0x00FFFFFFu));
}

void printRimmed(FontQuad* font, const V3& at, UColor color, std::uint32_t flags, const UString& line)
{
    if (font == nullptr) {
        return;
    }
    const UColor rim = darkRimFor(color);
    for (const auto& d : RIM) {
        font->print(V3(at.x + RIM_WIDTH * d[0], at.y + RIM_WIDTH * d[1], at.z), rim, flags, line);
    }
    font->print(at, color, flags, line);
}

void drawRim(const TextSprite& sprite, UColor rim, float width)
{
    if (sprite.bHidden || sprite.pFont == nullptr || sprite.text.empty() || !sprite.isShowing()) {
        return;
    }
    const float alpha = static_cast<float>(rim.a()) * static_cast<float>(sprite.color.a()) / 255.0f * sprite.getFade();
    const std::uint32_t colour = (static_cast<std::uint32_t>(alpha) << 24) | (rim.argb & 0x00FFFFFFu);
    // The offsets are taken through the sprite's transform: divided by its scale they stay `width` pixels.
    const float sx = sprite.scale.x != 0.0f ? width / sprite.scale.x : width;
    const float sy = sprite.scale.y != 0.0f ? width / sprite.scale.y : width;
    for (const auto& d : RIM) {
        sprite.pFont->drawLine(sprite.world, colour, sprite.flags, sprite.text, d[0] * sx, d[1] * sy, 0.0f);
    }
}

} // namespace MenuSupport
