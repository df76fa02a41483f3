#include "support/LevelBot.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <cmath>

#include "engine/core/Property.h"
#include "engine/core/PropertyContainer.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Renderable.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/MyRootObject.h"
#include "support/KivHarness.h"

namespace {

enum Control { LEFT, RIGHT, USE, DOWN, JUMP, CONTROL_COUNT };
const char* const KEY_NAMES[CONTROL_COUNT] = {"Left", "Right", "Up", "Down", "Space"};

constexpr int PLAYING = 4;
constexpr int MOVE_GROUND = 0, MOVE_HOME = 4;
constexpr float CLOSE_ENOUGH = 12.0f;
constexpr int OVERLAY_WAIT_FRAMES = 30; // a player reads for a moment before closing a hint
constexpr int FINGER = 7;

int intProperty(KivBase* object, const char16_t* name) {
    if (object == nullptr)
        return -1;
    Property* p = object->getProperties()->findProperty(name);
    return p != nullptr ? std::stoi(wideToUtf8(p->toString())) : -1;
}

} // namespace

LevelBot::LevelBot(KivHarness& h) : harness(h) {}

LevelBot::~LevelBot() {
    releaseAll();
    manager.reset();
    THEROLE = nullptr;
}

Renderable* LevelBot::hero() const {
    GameController* gc = manager ? manager->getGameController() : nullptr;
    return gc ? dynamic_cast<Renderable*>(gc->findHeroOrNull()) : nullptr;
}

float LevelBot::heroX() const { return hero() ? hero()->position.x : 0.0f; }
float LevelBot::heroY() const { return hero() ? hero()->position.y : 0.0f; }
int LevelBot::moveState() const { return intProperty(hero(), u"moveState"); }

int LevelBot::levelState() const {
    GameController* gc = manager ? manager->getGameController() : nullptr;
    return gc ? gc->state : -1;
}

// Screen pixels of a HUD point (the HUD's camera looks at its origin in the screen's middle).
static void hudToScreen(const Context& hud, const V3& p, float& sx, float& sy) {
    const KivGraphics* g = KivGraphics::instance();
    hud.camera->worldToScreen(p, float(g->width), float(g->height), sx, sy);
}

void LevelBot::hold(int control, bool down) {
    if (held[control] == down)
        return;
    held[control] = down;
    if (!touchMode || control == USE || control == DOWN) {
        PlatformEventInjector::key(KEY_NAMES[control], down);
        return;
    }
    // The touch controls: a finger of its own on the arrow or the jump button.
    GameController* gc = manager->getGameController();
    TouchButton* button = control == LEFT ? gc->contextHUD->touchLeft
                          : control == RIGHT ? gc->contextHUD->touchRight
                                             : gc->contextHUD->touchJump;
    float sx = 0, sy = 0;
    hudToScreen(*gc->contextHUD, button->position, sx, sy);
    const KivGraphics* g = KivGraphics::instance();
    PlatformEventInjector::finger(FINGER + control, down ? 0 : 2, sx / float(g->width), sy / float(g->height));
}

void LevelBot::releaseAll() {
    for (int c = 0; c < CONTROL_COUNT; ++c)
        hold(c, false);
}

void LevelBot::tap(int control) {
    hold(control, true);
    frame();
    hold(control, false);
}

void LevelBot::frame() {
    MyRootObject* root = manager->getRoot();
    // An open overlay (a hint, the map): let go of everything, read it, close it with the jump key.
    while (root != nullptr && root->contextOverlay != nullptr && manager->getResultCode() == 0) {
        bool wasHeld[CONTROL_COUNT];
        std::copy(std::begin(held), std::end(held), wasHeld);
        releaseAll();
        harness.frame(manager.get());
        ++frameCount;
        if (++overlayFrames >= OVERLAY_WAIT_FRAMES) {
            PlatformEventInjector::key(KEY_NAMES[JUMP], true);
            harness.frame(manager.get());
            PlatformEventInjector::key(KEY_NAMES[JUMP], false);
            ++frameCount;
            overlayFrames = 0;
        }
        if (frameCount > 400000)
            return;
        // Movement that was held before goes on once the overlay is gone.
        if (root->contextOverlay == nullptr)
            for (int c = 0; c < CONTROL_COUNT; ++c)
                if (wasHeld[c] && c != JUMP)
                    hold(c, true);
    }
    overlayFrames = 0;
    harness.frame(manager.get());
    ++frameCount;
}

bool LevelBot::runUntil(int limit, const std::function<bool()>& done) {
    for (int i = 0; i < limit; ++i) {
        if (done())
            return true;
        if (manager->getResultCode() != 0)
            return false;
        frame();
    }
    return done();
}

bool LevelBot::doStep(const BotStep& step) {
    // A speech bubble has its say before the next step starts, as a player would let it.
    GameController* gc = manager->getGameController();
    runUntil(150, [&] { return gc->speechBubbleList == nullptr || gc->speechBubbleList->getFirstChild() == nullptr; });

    switch (step.kind) {
    case BotStep::WALK: {
        const float target = step.value;
        bool ok = runUntil(stepLimit, [&] {
            float dx = target - heroX();
            hold(LEFT, dx < -CLOSE_ENOUGH);
            hold(RIGHT, dx > CLOSE_ENOUGH);
            return std::abs(dx) <= CLOSE_ENOUGH;
        });
        releaseAll();
        // Let the pig come to rest.
        runUntil(20, [&] { return false; });
        return ok;
    }
    case BotStep::JUMP: {
        const float target = step.value;
        const int direction = target < heroX() ? LEFT : RIGHT;
        hold(direction, true);
        tap(JUMP);
        hold(direction, true);
        // Airborne, then down again beyond the target.
        runUntil(30, [&] { return moveState() != MOVE_GROUND; });
        bool ok = runUntil(stepLimit, [&] {
            bool beyond = direction == LEFT ? heroX() <= target : heroX() >= target;
            hold(direction, !beyond);
            return beyond && moveState() == MOVE_GROUND;
        });
        releaseAll();
        return ok;
    }
    case BotStep::USE:
        tap(USE);
        runUntil(30, [&] { return false; });
        return true;
    case BotStep::CLIMB: {
        bool ok = runUntil(stepLimit, [&] {
            hold(USE, true);
            return heroY() >= step.value;
        });
        releaseAll();
        return ok;
    }
    case BotStep::WAIT:
        runUntil(int(std::lround(step.value * 100)), [&] { return false; });
        return true;
    case BotStep::TAP:
        return false; // taps are made by USE in touch mode
    }
    return false;
}

BotReport LevelBot::play(int levelNumber, const std::vector<BotStep>& route, bool touch) {
    BotReport report;
    touchMode = touch;
    frameCount = 0;
    const auto start = std::chrono::steady_clock::now();
    manager = std::make_unique<ContextLevelManager>(levelNumber);
    harness.frame(manager.get());
    report.loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    auto fail = [&](const std::string& why) {
        if (report.failure.empty())
            report.failure = why;
    };
    if (!runUntil(2000, [&] { return levelState() == PLAYING; }))
        fail("the level never reached play");
    for (std::size_t i = 0; i < route.size() && report.failure.empty(); ++i)
        if (!doStep(route[i]) && manager->getResultCode() == 0)
            fail("route step " + std::to_string(i + 1) + " did not come off (pig at " +
                 std::to_string(int(heroX())) + ", " + std::to_string(int(heroY())) + ")");
    // After the route the pig is at home; the end of the level asks for the jump key to go on.
    runUntil(6000, [&] {
        if (levelState() == 7 && (frameCount % 50) == 0)
            tap(JUMP);
        return manager->getResultCode() != 0;
    });
    releaseAll();
    report.resultCode = manager->getResultCode();
    if (report.resultCode != 5)
        fail("the level ended with result code " + std::to_string(report.resultCode) + " in state " +
             std::to_string(levelState()) + ", pig " + (moveState() == MOVE_HOME ? "at home" : "outside"));
    if (const LevelStats* stats = manager->getLevelStats())
        report.stats = *stats;
    report.frames = frameCount;
    manager.reset();
    THEROLE = nullptr;
    return report;
}
