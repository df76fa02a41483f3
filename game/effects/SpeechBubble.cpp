#include "game/effects/SpeechBubble.h"

#include <algorithm>
#include <cmath>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/BlenderCamera.h"
#include "engine/render/Camera.h"
#include "engine/render/Quad.h"
#include "engine/render/SlicedSkin.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextLine.h"
#include "game/level/ContextHUD.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/level/TouchButton.h"
#include "game/overlays/OverlayKit.h"
#include "game/userdata/GameConfiguration.h"
#include "game/world/A99Object.h"

namespace {
bool bindingPressed(int binding)
{
    const Kiv* kiv = Kiv::instance();
    const GameConfiguration* config = LevelServices::configuration();
    if (kiv == nullptr || kiv->input == nullptr || config == nullptr) {
        return false;
    }
    const auto& b = config->keyBindings[binding];
    return (b.keyboard != 0 && kiv->input->wasKeyPressed(static_cast<int>(b.keyboard))) ||
           (b.joystick != 0 && kiv->input->wasKeyPressed(static_cast<int>(b.joystick)));
}

bool touchPressed(TouchButton* ContextHUD::*button)
{
    const GameController* level = GameController::getCurrent();
    const ContextHUD* hud = level != nullptr ? level->contextHUD : nullptr;
    return hud != nullptr && hud->*button != nullptr && (hud->*button)->pressed;
}
} // namespace

SpeechBubble::SpeechBubble(Renderable* owner, const V3& offset_, int32_t style_)
    : style(style_), pFont(OverlayKit::fontMedium()), offset(offset_)
{
    speaker.set(owner);
    auto* sheet = dynamic_cast<Texture*>(LevelServices::resource(u"gui-game-speechBubble"));
    Quad* source = nullptr;
    if (sheet != nullptr && !sheet->skins.empty()) {
        source = sheet->skins[std::min<std::size_t>(static_cast<std::size_t>(std::max(style, 0)), sheet->skins.size() - 1)];
    }
    frame = new SlicedSkin(source);
    frame->setBorders(35, 20, 35, 20);
    setSkin(frame, true);
    setText(UString(), 0.0);
}

SpeechBubble::~SpeechBubble()
{
    block.reset();
    speaker.set(nullptr);
}

void SpeechBubble::setText(const UString& text, double time)
{
    if (text.empty()) {
        remaining = 0.0;
        return;
    }
    if (time <= 0.0) {
        time = std::max(TIME_PER_CHARACTER * static_cast<double>(text.size()), MIN_READING_TIME);
    }
    remaining = time;
    block = std::make_unique<TextBlock>(pFont, static_cast<float>(OverlayKit::screenWidth() / 3), -1.0f, text);
    const int lineHeight = pFont != nullptr ? pFont->getLineHeight() : 0;
    const float w = std::max(static_cast<float>(static_cast<int>(block->width) + 40), 55.0f);
    const float h = std::max(static_cast<float>(lineHeight * block->getLineCount() + 40), 60.0f);
    frame->setSize(w, h);
    frame->setOriginByAlignment(1);
    updateVisuals();
}

void SpeechBubble::place()
{
    auto* owner = speaker.getAs<Renderable>();
    if (owner == nullptr) {
        return;
    }
    float dx = 36.0f;
    float dy = 30.0f;
    if (style == 2) {
        dx = -18.0f;
        const auto* object = dynamic_cast<const A99Object*>(owner);
        const float sensitivity = object != nullptr ? object->collisionSensitivity : 1.0f;
        dy = static_cast<float>(static_cast<int>(owner->boundingRadius * sensitivity));
    }
    if (scale.x < 0.0f) {
        dx = -dx;
    }
    const V3& p = owner->position;
    position = V3(p.x + offset.x + dx, p.y + offset.y + dy, p.z + offset.z);
    updateVisuals();

    const GameController* level = GameController::getCurrent();
    const Camera* camera = level != nullptr ? level->getGameCamera() : nullptr;
    const int screenW = OverlayKit::screenWidth();
    if (camera == nullptr || frame == nullptr || screenW <= 0) {
        return;
    }
    Camera::Rect view;
    camera->getVisibleRect(view, boundsCenter.z);
    const float unitsPerPixel = (view.right - view.left) / static_cast<float>(screenW);
    const float margin = EDGE_MARGIN * unitsPerPixel;
    const ContextHUD* hud = level->contextHUD;
    const float topMargin = (hud != nullptr ? hud->topRowHeight() : EDGE_MARGIN) * unitsPerPixel;
    const float hw = 0.5f * frame->width;
    const float hh = 0.5f * frame->height;
    // Past the right (top) edge first, so that a bubble wider than the view keeps its left (top) side.
    float shiftX = std::min(0.0f, view.right - margin - (boundsCenter.x + hw));
    shiftX = std::max(shiftX, view.left + margin - (boundsCenter.x - hw));
    float shiftY = std::max(0.0f, view.bottom + margin - (boundsCenter.y - hh));
    shiftY = std::min(shiftY, view.top - topMargin - (boundsCenter.y + hh));
    if (shiftX != 0.0f || shiftY != 0.0f) {
        position = V3(position.x + shiftX, position.y + shiftY, position.z);
        updateVisuals();
    }
}

bool SpeechBubble::shownBox(ScreenBox& box)
{
    const GameController* level = GameController::getCurrent();
    const Camera* camera = level != nullptr ? level->getGameCamera() : nullptr;
    KivBase* list = level != nullptr ? level->speechBubbleList : nullptr;
    const auto* bubble = list != nullptr ? dynamic_cast<const SpeechBubble*>(list->getLastChild()) : nullptr;
    if (camera == nullptr || bubble == nullptr || bubble->frame == nullptr || bubble->block == nullptr ||
        bubble->bDeleted) {
        return false;
    }
    const float w = static_cast<float>(OverlayKit::screenWidth());
    const float h = static_cast<float>(OverlayKit::screenHeight());
    const V3& c = bubble->boundsCenter;
    const float hw = 0.5f * bubble->frame->width;
    const float hh = 0.5f * bubble->frame->height;
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
    camera->worldToScreen(V3(c.x - hw, c.y + hh, c.z), w, h, x0, y0);
    camera->worldToScreen(V3(c.x + hw, c.y - hh, c.z), w, h, x1, y1);
    box.left = x0 - 0.5f * w;
    box.right = x1 - 0.5f * w;
    box.top = 0.5f * h - y0;
    box.bottom = 0.5f * h - y1;
    return true;
}

void SpeechBubble::tick(double time, double dt)
{
    Renderable::tick(time, dt);
    if (speaker.get() == nullptr) {
        bDeleted = true;
        return;
    }
    remaining -= dt;
    if (remaining <= 0.0 && bClosesByTime && waitMode == WAIT_NONE) {
        bDeleted = true;
    }
    if (waitMode == WAIT_MOVE && (bindingPressed(GameConfiguration::BIND_LEFT) ||
                                  bindingPressed(GameConfiguration::BIND_RIGHT) ||
                                  touchPressed(&ContextHUD::touchLeft) || touchPressed(&ContextHUD::touchRight))) {
        waitMode = WAIT_NONE;
    }
    if (waitMode == WAIT_JUMP && (bindingPressed(GameConfiguration::BIND_JUMP) || touchPressed(&ContextHUD::touchJump))) {
        waitMode = WAIT_NONE;
    }
    if (waitMode == WAIT_USE) {
        const GameController* level = GameController::getCurrent();
        const int32_t priority = level != nullptr ? level->actionTargetPriority : 0;
        if (bindingPressed(GameConfiguration::BIND_USE) || priority == 2 || priority == 3) {
            waitMode = WAIT_NONE;
        }
    }
    place();
}

void SpeechBubble::render()
{
    Renderable::render();
    if (block == nullptr || pFont == nullptr || bHidden) {
        return;
    }
    const int lineHeight = pFont->getLineHeight();
    const int lines = block->getLineCount();
    float y = static_cast<float>(lineHeight * lines / 2) + 8.0f;
    for (int i = 0; i < lines; ++i) {
        const TextLine* line = block->getLine(i);
        float x = -0.5f * line->width;
        for (const TextLine::Run& run : line->runs) {
            if (!run.text.empty()) {
                pFont->print(V3(boundsCenter.x + x, boundsCenter.y + y, boundsCenter.z),
                             UColor(OverlayKit::runColour(run.color)), 3, run.text);
            }
            x += run.width;
        }
        y -= static_cast<float>(lineHeight);
    }
}

SpeechBubble* SpeechBubble::say(Renderable& owner, const V3& offset, int32_t style, int32_t waitMode,
                                const UString& text)
{
    GameController* level = GameController::getCurrent();
    if (level == nullptr || level->speechBubbleList == nullptr) {
        return nullptr;
    }
    auto* bubble = new SpeechBubble(&owner, offset, style);
    bubble->waitMode = waitMode;
    const BlenderCamera* camera = level->getGameCamera();
    if (camera != nullptr && owner.position.x > camera->eye.x) {
        bubble->scale = V3(-1.0f, 1.0f, 1.0f);
        bubble->updateVisuals();
    }
    bubble->setText(text, 0.0);
    KivBase* list = level->speechBubbleList;
    while (KivBase* old = list->getLastChild()) {
        old->destroy();
    }
    list->appendChild(bubble);
    bubble->place();
    LevelServices::playSound(u"pop");
    return bubble;
}
