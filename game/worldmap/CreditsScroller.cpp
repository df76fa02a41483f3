#include "game/worldmap/CreditsScroller.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/language/Language.h"

namespace {
UString textOf(const char16_t* key)
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr && kiv->language != nullptr ? UString(kiv->language->getTextByString(key, true)) : UString();
}

bool rightToLeft()
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr && kiv->language != nullptr && kiv->language->bRightToLeft != 0;
}
} // namespace

FontQuad* CreditsScroller::font(const char16_t* name) { return ResourceManager::instance()->find<FontQuad>(name); }

CreditsScroller::CreditsScroller()
{
    bDeleteWhenClosed = true;
    const KivGraphics* graphics = KivGraphics::instance();
    const int h = graphics != nullptr ? graphics->height : 600;
    nextY = static_cast<float>(-(h / 2));
    pLines = new KivBase();
    appendChild(pLines);
}

void CreditsScroller::addLine(const UString& text)
{
    FontQuad* heading = font(u"fontMediumOutline");
    auto* sprite = new TextSprite(0.0f, nextY, 0.0f, text, heading, UColor(0xFFFFFFFFu));
    sprite->bShadow = false;
    pLines->appendChild(sprite);
    nextY -= static_cast<float>(heading->getLineHeight()) * 1.15f;
}

void CreditsScroller::placeRow(float yOffset, UColor color, const UString& left, const UString& right)
{
    FontQuad* body = font(u"fontMedium");
    const float y = nextY + yOffset;
    TextSprite* sprite = nullptr;
    if (left.empty() && right.empty()) {
        sprite = new TextSprite(0.0f, y, 0.0f, UString(), body, color);
    } else if (right.empty()) {
        sprite = new TextSprite(0.0f, y, 0.0f, left, body, color);
        sprite->flags = 4;
    } else {
        const UString& first = rightToLeft() ? right : left;
        const UString& second = rightToLeft() ? left : right;
        const float w = static_cast<float>(body->measureLine(first + u"   "));
        sprite = new TextSprite(-w, y, 0.0f, first + u"      " + second, body, color);
        sprite->flags = 2;
    }
    sprite->bShadow = false;
    pLines->appendChild(sprite);
}

void CreditsScroller::addRow(const UString& left, const UString& right)
{
    placeRow(0.0f, ROW_COLOR, left, right);
    nextY -= static_cast<float>(font(u"fontSmallOutline")->getLineHeight()) * 1.15f;
}

void CreditsScroller::addCredits()
{
    addLine(textOf(u"TOBBLE"));
    addRow(UString(), UString());
    addRow(textOf(u"COPYRIGHT"), UString());
    addRow(UString(), UString());
    static const char16_t* const pairs[][2] = {
        {u"CREDITS1A1", nullptr},        {u"CREDITS1A2", nullptr},      {u"CREDITS1A3", u"CREDITS1B"},
        {u"CREDITS2A", u"CREDITS2B1"},   {u"CREDITS3A", u"CREDITS3B"},  {u"CREDITS4A", u"CREDITS4B"},
        {u"CREDITS5A", u"CREDITS5B1"},   {u"CREDITS10A", u"CREDITS10B1"},
    };
    for (const auto& pair : pairs) {
        addRow(textOf(pair[0]), pair[1] != nullptr ? textOf(pair[1]) : UString(u" "));
    }
    for (int i = 2; i <= 77; ++i) {
        const UString key = formatString(u"CREDITS10B%d", i);
        addRow(UString(), textOf(key.c_str()));
    }
}

int CreditsScroller::alphaAt(float y, float top, float bottom)
{
    if (y > top - 50.0f) {
        const float span = (top - 50.0f) - top;
        return span == 0.0f ? 0 : static_cast<int>(255.0f * std::clamp((y - top) / span, 0.0f, 1.0f));
    }
    if (y < bottom + 100.0f) {
        const float a = (y - (bottom + 40.0f)) * 255.0f / 60.0f;
        return static_cast<int>(std::clamp(a, 0.0f, 255.0f));
    }
    return 255;
}

void CreditsScroller::tickContents(double time, double dt)
{
    KivBase::tick(time, dt);
    Camera::Rect view;
    camera->getVisibleRect(view, 0.0f);
    const V3 step = velocity * static_cast<float>(dt);
    for (KivBase* child = pLines->getFirstChild(); child != nullptr; child = child->getNext()) {
        if (child->bDeleted) {
            continue;
        }
        auto* line = static_cast<TextSprite*>(child);
        line->position += step;
        line->updateVisuals();
        const float y = line->position.y;
        const int alpha = alphaAt(y, view.top, view.bottom);
        line->color.argb = (line->color.argb & 0x00FFFFFFu) | (static_cast<std::uint32_t>(alpha) << 24);
        line->bHidden = alpha == 0;
        if (y - 64.0f > view.top) {
            line->bDeleted = true;
        }
    }
}
