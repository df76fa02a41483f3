#include "support/LevelBot.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <cmath>

#include "engine/core/Property.h"
#include "engine/core/PropertyContainer.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Renderable.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/GameServer.h"
#include "game/level/LevelServices.h"
#include "game/level/MyRootObject.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"
#include "support/KivHarness.h"

namespace {

// The bot's controls, in the order of the configuration's key bindings.
enum Control { LEFT, RIGHT, USE, DOWN, JUMP, CONTROL_COUNT };

// The window system's name of the key bound to a control (the defaults: arrows, X to use, Space to jump).
const char* keyName(int control) {
    static const std::pair<unsigned, const char*> names[] = {
        {203, "Left"}, {205, "Right"}, {200, "Up"}, {208, "Down"}, {57, "Space"}, {45, "X"},
        {44, "Z"},     {46, "C"},      {29, "Left Ctrl"}, {28, "Return"}, {17, "W"}, {30, "A"},
        {31, "S"},     {32, "D"}};
    static const char* const defaults[CONTROL_COUNT] = {"Left", "Right", "X", "Down", "Space"};
    if (const GameConfiguration* config = LevelServices::configuration())
        for (const auto& [code, name] : names)
            if (config->keyBindings[control].keyboard == code)
                return name;
    return defaults[control];
}

constexpr int PLAYING = 4;
constexpr int MOVE_GROUND = 0, MOVE_HOME = 4;
constexpr float CLOSE_ENOUGH = 12.0f;
constexpr int OVERLAY_WAIT_FRAMES = 30; // a player reads for a moment before closing a hint
constexpr int FINGER = 7;     // the first of the fingers on the touch controls
constexpr int TAP_FINGER = 3; // the finger that taps objects and closes overlays
constexpr int DRAW_EVERY = 32;

int intProperty(KivBase* object, const char16_t* name) {
    if (object == nullptr)
        return -1;
    const std::unique_ptr<PropertyContainer> properties(object->getProperties());
    Property* p = properties->findProperty(name);
    return p != nullptr ? std::stoi(wideToUtf8(p->toString())) : -1;
}

} // namespace

LevelBot::LevelBot(KivHarness& h) : harness(&h) {}

LevelBot::LevelBot(std::function<void(bool draw)> frameRunner) : runFrame(std::move(frameRunner)) {}

LevelBot::~LevelBot() {
    releaseAll();
    if (ownLevel) {
        ownLevel.reset();
        THEROLE = nullptr;
    }
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
        PlatformEventInjector::key(keyName(control), down);
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
        drawnFrame(true);
        ++frameCount;
        if (++overlayFrames >= OVERLAY_WAIT_FRAMES) {
            // Closed with the jump key, or by touch with a tap in the middle of the screen (a key would
            // put the game back into key mode).
            const KivGraphics* g = KivGraphics::instance();
            if (touchMode)
                tapScreen(float(g->width) * 0.5f, float(g->height) * 0.5f);
            else {
                PlatformEventInjector::key(keyName(JUMP), true);
                drawnFrame(true);
                PlatformEventInjector::key(keyName(JUMP), false);
                ++frameCount;
            }
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
    drawnFrame(frameCount % DRAW_EVERY == 0);
    ++frameCount;
}

// Drawing is most of a headless frame's cost (three quarters of a level's run when every eighth frame was
// drawn): the level is drawn every 32nd frame only, enough to keep the drawing in the run.
void LevelBot::drawnFrame(bool draw) {
    if (runFrame) {
        runFrame(draw);
        return;
    }
    Kiv& kiv = harness->kiv();
    KivGraphics* graphics = kiv.graphics;
    if (!draw)
        kiv.graphics = nullptr;
    harness->frame(manager);
    kiv.graphics = graphics;
}

void LevelBot::tapScreen(float sx, float sy) {
    const KivGraphics* g = KivGraphics::instance();
    PlatformEventInjector::finger(TAP_FINGER, 0, sx / float(g->width), sy / float(g->height));
    drawnFrame(true);
    ++frameCount;
    PlatformEventInjector::finger(TAP_FINGER, 2, sx / float(g->width), sy / float(g->height));
}

// By touch the pig's action is a tap on its object: the one the use key would aim at from where the pig
// stands, found as the controller finds it, is tapped where it shows on the screen.
bool LevelBot::useByTouch() {
    GameController* gc = manager->getGameController();
    // The world's objects answer the query through the level's network role, current only while it runs.
    NetRole* const outside = THEROLE;
    THEROLE = manager->server;
    gc->actionTarget.set(nullptr);
    gc->actionTargetPriority = 0;
    gc->actionTargetDistance = GameController::NO_TARGET_DISTANCE;
    gc->findActionTarget(gc->objectList);
    gc->findActionTarget(gc->cargoList);
    gc->findActionTarget(gc->pigList);
    auto* target = dynamic_cast<Renderable*>(gc->actionTarget.get());
    gc->actionTarget.set(nullptr);
    THEROLE = outside;
    if (std::getenv("LEVELBOT_TRACE"))
        std::printf("  tap: target %p, game layer %p\n", static_cast<void*>(target), static_cast<void*>(gc->contextGame));
    if (target == nullptr || gc->contextGame == nullptr)
        return false;
    const KivGraphics* g = KivGraphics::instance();
    float sx = 0, sy = 0;
    gc->contextGame->camera->worldToScreen(target->position, float(g->width), float(g->height), sx, sy);
    tapScreen(sx, sy);
    return true;
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
    case BotStep::WALK:
        return walkTo(step.value);
    case BotStep::JUMP:
        return jumpTo(step.value);
    case BotStep::SWEEP:
        return sweepApples();
    case BotStep::USE:
        if (touchMode) {
            if (!useByTouch())
                return false;
        } else
            tap(USE);
        if (std::getenv("LEVELBOT_TRACE")) {
            GameController* g = manager->getGameController();
            KivBase* target = g->actionTarget.get();
            const GameConfiguration* c = LevelServices::configuration();
            std::printf("  use: target %s, move %d, input mode %d, use key %u\n",
                        target ? wideToUtf8(target->getClass()->getName()).c_str() : "none", moveState(),
                        Kiv::instance()->input->getInputMode(), c ? c->keyBindings[2].keyboard : 999u);
        }
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

bool LevelBot::walkTo(float target) {
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

bool LevelBot::jumpTo(float target) {
    const float start = heroX();
    const int direction = target < start ? LEFT : RIGHT;
    for (int attempt = 0; attempt < 3; ++attempt) {
        // A jump needs ground underfoot; a hint that opens as the key goes down swallows it, so a jump that
        // did not leave the ground is tried again from where it began.
        if (attempt > 0 && !walkTo(start))
            return false;
        runUntil(100, [&] { return moveState() == MOVE_GROUND; });
        hold(direction, true);
        hold(JUMP, true); // held for the whole rise: letting go early cuts the jump short
        const float startY = heroY();
        if (!runUntil(15, [&] { return moveState() != MOVE_GROUND; })) {
            hold(JUMP, false);
            continue;
        }
        float top = startY;
        int falling = 0;
        bool ok = runUntil(stepLimit, [&] {
            falling = heroY() < top ? falling + 1 : 0;
            if (falling > 2)
                hold(JUMP, false);
            top = std::max(top, heroY());
            bool beyond = direction == LEFT ? heroX() <= target : heroX() >= target;
            hold(direction, !beyond);
            return beyond && moveState() == MOVE_GROUND;
        });
        if (std::getenv("LEVELBOT_TRACE"))
            std::printf("  jump rose %.0f\n", top - startY);
        releaseAll();
        return ok;
    }
    releaseAll();
    return false;
}

// The free apples, leftmost last: each is passed on its uphill (right) side and pushed left to the house.
bool LevelBot::sweepApples() {
    GameController* gc = manager->getGameController();
    Renderable* house = dynamic_cast<Renderable*>(gc->findHouseOrNull());
    if (house == nullptr)
        return false;
    const float home = house->position.x;
    for (int round = 0; round < 12; ++round) {
        Renderable* next = nullptr;
        for (KivBase* a = gc->appleList->getFirstChild(); a != nullptr; a = a->getNext()) {
            auto* apple = dynamic_cast<Renderable*>(a);
            if (apple == nullptr || a->bDeleted || apple->bHidden || apple->position.x < home + 60)
                continue;
            if (next == nullptr || apple->position.x > next->position.x)
                next = apple;
        }
        if (next == nullptr)
            return true;
        const float x = next->position.x;
        if (std::getenv("LEVELBOT_TRACE"))
            std::printf("  sweep: apple at %.0f,%.0f, pig at %.0f, frame %d\n", x, next->position.y, heroX(), frameCount);
        if (heroX() < x + 40) {
            walkTo(x - 90);
            jumpTo(x + 90);
        }
        // Pushed while the pig stays behind it: an apple that drops down a step can end up under or behind
        // the pig, and is then passed again from its uphill side in the next round.
        auto lying = [&] {
            for (KivBase* a = gc->appleList->getFirstChild(); a != nullptr; a = a->getNext())
                if (a == next)
                    return !a->bDeleted && !next->bHidden && next->position.x >= home + 60;
            return false;
        };
        runUntil(stepLimit, [&] {
            const bool pushing = lying() && heroX() > next->position.x;
            hold(LEFT, pushing);
            return !pushing;
        });
        releaseAll();
        if (!lying())
            walkTo(home + 10);
    }
    return true;
}

BotReport LevelBot::play(int number, const std::vector<BotStep>& route, bool touch) {
    BotReport report;
    touchMode = touch;
    frameCount = 0;
    levelNumber = number;
    if (ProfileData* player = LevelServices::currentProfile())
        player->currentLevel = number; // the level names its title, music and map by it
    const auto start = std::chrono::steady_clock::now();
    ownLevel = std::make_unique<ContextLevelManager>(number);
    manager = ownLevel.get();
    drawnFrame(true);
    report.loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    report = playRoute(route, report);
    ownLevel.reset();
    manager = nullptr;
    THEROLE = nullptr;
    return report;
}

BotReport LevelBot::playStarted(ContextLevelManager& level, const std::vector<BotStep>& route) {
    touchMode = false;
    frameCount = 0;
    const ProfileData* player = LevelServices::currentProfile();
    levelNumber = player != nullptr ? player->currentLevel : -1;
    manager = &level;
    BotReport report = playRoute(route, BotReport());
    manager = nullptr;
    return report;
}

BotReport LevelBot::playRoute(const std::vector<BotStep>& route, BotReport report) {

    auto fail = [&](const std::string& why) {
        if (report.failure.empty())
            report.failure = why;
    };
    if (!runUntil(2000, [&] { return levelState() == PLAYING; }))
        fail("the level never reached play");
    const bool trace = std::getenv("LEVELBOT_TRACE") != nullptr;
    for (std::size_t i = 0; i < route.size() && report.failure.empty(); ++i) {
        if (trace)
            std::printf("step %zu (kind %d, %g) at frame %d: pig %.0f,%.0f move %d state %d\n", i + 1,
                        int(route[i].kind), route[i].value, frameCount, heroX(), heroY(), moveState(), levelState());
        if (trace) {
            // The last drawn frame as the step begins, and where the carriable things lie.
            KivGraphics::instance()->saveScreenshot(
                "levelbot-" + std::to_string(levelNumber) + "-" + std::to_string(i + 1) + ".tga", true);
            for (KivBase* c = manager->getGameController()->cargoList->getFirstChild(); c != nullptr; c = c->getNext())
                if (auto* r = dynamic_cast<Renderable*>(c))
                    std::printf("  cargo %s at %.0f,%.0f\n", wideToUtf8(c->getClass()->getName()).c_str(), r->position.x,
                                r->position.y);
        }
        if (!doStep(route[i]) && manager->getResultCode() == 0)
            fail("route step " + std::to_string(i + 1) + " did not come off (pig at " +
                 std::to_string(int(heroX())) + ", " + std::to_string(int(heroY())) + ")");
    }
    if (trace) {
        GameController* gc = manager->getGameController();
        for (KivBase* a = gc->appleList->getFirstChild(); a != nullptr; a = a->getNext())
            if (auto* r = dynamic_cast<Renderable*>(a))
                std::printf("apple at %.0f,%.0f\n", r->position.x, r->position.y);
        std::printf("apples %d/%d, bonus %d/%d, sweets %d/%d, secrets %d/%d\n", gc->levelStats.requiredApplesGot,
                    gc->levelStats.requiredApples, gc->levelStats.bonusApplesGot, gc->levelStats.bonusApples,
                    gc->levelStats.sweetsGot, gc->levelStats.sweets, gc->levelStats.secretsFound,
                    gc->levelStats.secrets);
        drawnFrame(true);
        KivGraphics::instance()->saveScreenshot("levelbot-" + std::to_string(levelNumber) + ".tga", true);
    }
    report.inputMode = Kiv::instance()->input->getInputMode();
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
    return report;
}
