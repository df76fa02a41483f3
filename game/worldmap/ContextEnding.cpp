#include "game/worldmap/ContextEnding.h"

#include "engine/kiv/Kiv.h"
#include "engine/text/TextSprite.h"
#include "game/front/ContextIntro.h"
#include "game/front/ContextManager.h"
#include "game/front/ContextSnow.h"
#include "game/front/Global.h"
#include "game/front/TransitionWipe.h"
#include "game/language/Language.h"
#include "game/worldmap/CreditsScroller.h"

namespace {
UString textOf(int id)
{
    const Kiv* kiv = Kiv::instance();
    return kiv != nullptr && kiv->language != nullptr ? UString(kiv->language->getText(static_cast<std::uint32_t>(id)))
                                                      : UString();
}

// One line of an event: text, height, duration, delay.
struct TimedLine {
    int text;
    float y;
    double duration;
    double delay;
};

struct Event {
    double time;
    TimedLine lines[5];
    int count;
};

// Event 0 sharpens the backdrop and the last one starts the credits; the others show lines. Within an
// event the lines come 4 s apart and leave together.
constexpr Event EVENTS[] = {
    {3.0, {}, 0},
    {5.0, {{STR_WIN11, 0, 4, 0}}, 1},
    {10.0, {{STR_WIN21, 0, 4, 0}}, 1},
    {15.0, {{STR_WIN31, 30, 12, 0}, {STR_WIN32, 0, 8, 4}, {STR_WIN33, -30, 4, 8}}, 3},
    {28.0, {{STR_WIN41, 0, 4, 0}}, 1},
    {33.0,
     {{STR_WIN51, 60, 20, 0}, {STR_WIN52, 30, 16, 4}, {STR_WIN53, 0, 12, 8}, {STR_WIN54, -30, 8, 12},
      {STR_WIN55, -60, 4, 16}},
     5},
    {54.0, {{STR_WIN61, 15, 8, 0}, {STR_WIN62, -15, 4, 4}}, 2},
    {63.0, {{STR_WIN71, 30, 12, 0}, {STR_WIN72, 0, 8, 4}, {STR_WIN73, -30, 4, 8}}, 3},
    {ContextEnding::CREDITS_TIME, {}, 0},
};
constexpr int EVENT_COUNT = static_cast<int>(sizeof(EVENTS) / sizeof(EVENTS[0]));
} // namespace

ContextEnding::ContextEnding()
{
    bDeleteWhenClosed = true;
    bWaitForContinue = true;
    bShowPointer = false;
    if (Global* global = Global::instance()) {
        pPreObject = global->contextIntro;
        pPostObject = global->contextSnow;
    }
}

void ContextEnding::onActivate(bool firstActivation)
{
    Context::onActivate(firstActivation);
    Global* global = Global::instance();
    if (global == nullptr) {
        return;
    }
    if (global->contextManager != nullptr && global->contextManager->transitionWipe != nullptr) {
        global->contextManager->transitionWipe->level = 1.0f;
        global->contextManager->transitionWipe->targetLevel = 1.0f;
    }
    if (global->contextIntro != nullptr) {
        global->contextIntro->bBlurred = true;
        global->contextIntro->blend = 1.0f;
    }
}

void ContextEnding::onDeactivate(bool closing)
{
    Context::onDeactivate(closing);
    // Leaving before the backdrop began to sharpen must not leave the menus behind us blurred.
    if (closing && !bBackdropSharpening) {
        if (Global* global = Global::instance(); global != nullptr && global->contextIntro != nullptr) {
            global->contextIntro->bBlurred = false;
        }
        bBackdropSharpening = true;
    }
}

void ContextEnding::tickContents(double time, double dt)
{
    for (int i = 0; i < EVENT_COUNT; ++i) {
        if (time >= EVENTS[i].time && time - dt < EVENTS[i].time) {
            runEvent(i);
        }
    }
    Context::tickContents(time, dt);
}

void ContextEnding::runEvent(int index)
{
    if (index == 0) {
        if (Global* global = Global::instance(); global != nullptr && global->contextIntro != nullptr) {
            global->contextIntro->bBlurred = false;
        }
        bBackdropSharpening = true;
        return;
    }
    if (index == EVENT_COUNT - 1) {
        startCredits();
        return;
    }
    const Event& event = EVENTS[index];
    for (int i = 0; i < event.count; ++i) {
        const TimedLine& line = event.lines[i];
        addTimedText(textOf(line.text), line.y, line.duration, line.delay, line.text == STR_WIN11);
    }
}

void ContextEnding::startCredits()
{
    auto* scroller = new CreditsScroller();
    scroller->addCredits();
    for (int i = 0; i < 5; ++i) {
        scroller->addRow(UString(), UString());
    }
    scroller->addLine(textOf(STR_THEEND));
    for (int text : {STR_WIN81, STR_WIN82, STR_WIN83, STR_WIN84, STR_WIN85}) {
        for (int i = 0; i < 10; ++i) {
            scroller->addRow(UString(), UString());
        }
        scroller->addRow(textOf(text), UString());
    }
    appendChild(scroller);
}

TextSprite* ContextEnding::addTimedText(const UString& text, float y, double duration, double delay, bool large)
{
    const Global* global = Global::instance();
    auto* sprite = new TextSprite(0.0f, y, 0.0f, text, large ? global->fontLarge : global->fontMediumOutline,
                                  UColor(0xFFFF8080u));
    sprite->flags = 0x14;
    sprite->bShadow = false;
    sprite->delay = delay;
    sprite->duration = duration;
    sprite->fadeIn = 0.5;
    sprite->fadeOut = 0.5;
    appendChild(sprite);
    return sprite;
}
