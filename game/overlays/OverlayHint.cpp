#include "game/overlays/OverlayHint.h"

#include <algorithm>
#include <cmath>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyUString.h"
#include "engine/net/Packet.h"
#include "engine/render/Quad.h"
#include "engine/render/Renderable.h"
#include "engine/render/Skin.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextLine.h"
#include "engine/text/TextSprite.h"
#include "game/effects/SpeechBubble.h"
#include "game/level/LevelServices.h"
#include "game/menus/MenuPanel.h"
#include "game/overlays/OverlayKit.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayHint::classRecord(RuntimeClass::hashName(u"OverlayHint"), &Overlay::classRecord,
                                       &RuntimeClass::factoryOf<OverlayHint>);
const RuntimeClass RPC_OverlayHint_construct::classRecord(RuntimeClass::hashName(u"RPC_OverlayHint_construct"),
                                                     &RPC::classRecord,
                                                     &RuntimeClass::factoryOf<RPC_OverlayHint_construct>);

OverlayHint::OverlayHint()
{
    if (const GameConfiguration* config = LevelServices::configuration()) {
        closeKey1 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_JUMP].keyboard);
        closeKey2 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_JUMP].joystick);
    }
    clickToClose = true;
}

UString OverlayHint::clipForWire(const UString& text)
{
    std::size_t end = std::min<std::size_t>(text.size(), MAX_CHARS);
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const char16_t unit = text[i];
        std::size_t size = 3;
        std::size_t units = 1;
        if (unit < 0x80) {
            size = 1;
        } else if (unit < 0x800) {
            size = 2;
        } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            size = 4;
            units = 2;
        }
        if (bytes + size >= static_cast<std::size_t>(MAX_UTF8_BYTES) || i + units > end) {
            end = i;
            break;
        }
        bytes += size;
        i += units - 1;
    }
    return text.substr(0, end);
}

void OverlayHint::construct(const UString& title, const UString& text, Skin* icon, int32_t pictureIndex)
{
    const UString shortTitle = clipForWire(title);
    const UString shortText = clipForWire(text);
    if (shortTitle.size() != title.size() || shortText.size() != text.size()) {
        Logger::logFrom("OverlayHint::construct", u"Hint text too long; clipped to %d characters.",
                        static_cast<int>(shortText.size()));
    }
    RPC_OverlayHint_construct call(this, shortTitle, shortText, icon, pictureIndex);
    RPC::send(call);
}

void OverlayHint::local_construct(const UString& title, const UString& text, Skin* icon, int32_t pictureIndex)
{
    using namespace OverlayKit;
    auto* sheet = dynamic_cast<Texture*>(
        LevelServices::resource(deviceClass() == 1 ? u"tutorial-iPad" : u"tutorial-iPhone"));
    KIV_ASSERT(sheet != nullptr);
    Quad* frame0 = sheet->skins.empty() ? nullptr : sheet->skins[0];
    FontQuad* large = fontLarge();
    FontQuad* medium = fontMedium();
    const int L = medium != nullptr ? medium->getLineHeight() : 0;
    const int largeLine = large != nullptr ? large->getLineHeight() : 0;
    const TextBlock block(text, medium, 0.75f * static_cast<float>(screenWidth()), -1.0f);

    float W = 256.0f;
    float H = 0.0f;
    if (!title.empty()) {
        W = std::max(W, large != nullptr ? static_cast<float>(large->measureLine(title)) : 0.0f);
        H = std::floor(1.25f * static_cast<float>(largeLine));
    }
    if (icon != nullptr) {
        W = std::max(W, icon->width);
        H += icon->height + static_cast<float>(L);
    }
    const bool picture = pictureIndex >= 0 && frame0 != nullptr;
    if (picture) {
        W = std::max(W, frame0->width);
        H += frame0->height + static_cast<float>(L);
    }
    W = std::max(W, block.width);
    H += static_cast<float>(block.getLineCount() * L);
    H = 2.0f * std::floor(H / 2.0f);
    W = 2.0f * std::floor(W / 2.0f);
    W = std::max(W, H);

    appendChild(new MenuPanel(0.0f, 0.0f, 0.0f, W + 100.0f, H + 100.0f, false, UString()));
    float y = H / 2.0f;
    if (!title.empty()) {
        TextSprite* caption = OverlayKit::text(0.0f, y, title, large, 0xFFFFFFFFu, 5);
        appendChild(caption);
        y -= std::floor(1.25f * static_cast<float>(largeLine));
    }
    if (icon != nullptr) {
        auto* sprite = new Renderable();
        sprite->setSkin(icon);
        sprite->setPosition(V3(0.0f, y + icon->origin.y - icon->height / 2.0f, 0.0f));
        appendChild(sprite);
        y -= icon->height + static_cast<float>(L);
    }
    if (picture) {
        const V3 at(0.0f, y + frame0->origin.y - frame0->height / 2.0f, 0.0f);
        auto* back = new Renderable();
        back->setSkin(frame0);
        back->setPosition(at);
        appendChild(back);
        if (static_cast<std::size_t>(pictureIndex) < sheet->skins.size()) {
            auto* front = new Renderable();
            front->setSkin(sheet->skins[static_cast<std::size_t>(pictureIndex)]);
            front->setPosition(at);
            appendChild(front);
        }
        y -= frame0->height + static_cast<float>(L);
    }
    for (int i = 0; i < block.getLineCount(); ++i) {
        const TextLine* line = block.getLine(i);
        float x = std::trunc(-line->width / 2.0f);
        for (const TextLine::Run& run : line->runs) {
            if (!run.text.empty()) {
                appendChild(OverlayKit::text(x, y, run.text, medium, runColour(run.color), 2));
            }
            x = std::trunc(x + run.width);
        }
        y -= static_cast<float>(L);
    }
    appendChild(OverlayKit::text(0.0f, 10.0f - (H + 100.0f) / 2.0f, continuePrompt(closeKey1), fontSmall(),
                                 TEXT_DARK, 36));
    keepClearOfBubble(W + 100.0f, H + 100.0f);
}

void OverlayHint::keepClearOfBubble(float panelW, float panelH)
{
    SpeechBubble::ScreenBox bubble;
    if (!SpeechBubble::shownBox(bubble)) {
        return;
    }
    constexpr float GAP = 8.0f;
    const float hw = 0.5f * panelW;
    const float hh = 0.5f * panelH;
    if (bubble.right + GAP <= -hw || bubble.left - GAP >= hw || bubble.top + GAP <= -hh || bubble.bottom - GAP >= hh) {
        return; // the centred panel leaves the bubble free
    }
    // The nearest place above, below, left or right of the bubble at which the whole panel is on the
    // screen; when none is, the panel moves as far as the screen lets it away from the bubble's side.
    const float limitX = std::max(0.0f, 0.5f * static_cast<float>(OverlayKit::screenWidth()) - hw);
    const float limitY = std::max(0.0f, 0.5f * static_cast<float>(OverlayKit::screenHeight()) - hh);
    const V3 candidates[] = {V3(0.0f, bubble.top + GAP + hh, 0.0f), V3(0.0f, bubble.bottom - GAP - hh, 0.0f),
                             V3(bubble.right + GAP + hw, 0.0f, 0.0f), V3(bubble.left - GAP - hw, 0.0f, 0.0f)};
    V3 shift;
    float best = -1.0f;
    for (const V3& c : candidates) {
        if (std::fabs(c.x) <= limitX && std::fabs(c.y) <= limitY && (best < 0.0f || std::fabs(c.x + c.y) < best)) {
            shift = c;
            best = std::fabs(c.x + c.y);
        }
    }
    if (best < 0.0f) {
        const float centreY = 0.5f * (bubble.top + bubble.bottom);
        shift = V3(0.0f, centreY > 0.0f ? -limitY : limitY, 0.0f);
    }
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* item = dynamic_cast<Renderable*>(child)) {
            item->setPosition(item->position + shift);
        }
    }
}

void OverlayHint::renderContents()
{
    renderLevelBehind();
    Overlay::renderContents();
}

RPC_OverlayHint_construct::RPC_OverlayHint_construct(KivBase* target, const UString& title, const UString& text, Skin* icon,
                                           int32_t pictureIndex)
    : RPC(target), title(title), text(text), icon(icon), pictureIndex(pictureIndex)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_OverlayHint_construct::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doUString(title, 4096);
    packet.doUString(text, 4096);
    KivBase* resource = icon;
    packet.doResourcePointer2(resource);
    icon = dynamic_cast<Skin*>(resource);
    packet.doVarInt(pictureIndex);
}

void RPC_OverlayHint_construct::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyUString(u"", 0, &title, 4096));
    list.appendChild(new PropertyUString(u"", 0, &text, 4096));
    list.appendChild(new PropertyPointer(u"", Property::FLAG_RESOURCE, &icon, &Skin::classRecord));
    list.appendChild(new PropertyInt(u"", 0, &pictureIndex));
}

void RPC_OverlayHint_construct::invoke() { static_cast<OverlayHint*>(target)->local_construct(title, text, icon, pictureIndex); }
