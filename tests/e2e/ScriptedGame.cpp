#include "ScriptedGame.h"

#include <cmath>

#include "app/GameEntry.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Renderable.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/ContextMenu.h"

namespace {
constexpr double STEP = 0.01;
constexpr int DRAW_EVERY = 8;
} // namespace

ScriptedGame::ScriptedGame()
{
    KivShell::GameHooks hooks = GameEntry::gameHooks();
    // The engine is built on the loop's first turn; its frames then run on the fixed step, not the clock.
    hooks.create = [create = hooks.create] {
        Kiv::instance()->setFixedStep(STEP);
        create();
    };
    entry = std::make_unique<GameEntry>(std::move(hooks));
}

ScriptedGame::~ScriptedGame()
{
    if (!programEnded) {
        close();
    }
    entry.reset();
}

bool ScriptedGame::turn(bool draw)
{
    if (programEnded) {
        return false;
    }
    Kiv* engine = Kiv::instance();
    KivGraphics* graphics = engine != nullptr ? engine->graphics : nullptr;
    if (engine != nullptr && !draw) {
        engine->graphics = nullptr;
    }
    const bool running = entry->turn();
    if (engine != nullptr && Kiv::instance() == engine) {
        engine->graphics = graphics;
    }
    programEnded = !running;
    return running;
}

bool ScriptedGame::runUntil(const std::function<bool()>& done, double seconds)
{
    const int frames = static_cast<int>(std::lround(seconds / STEP));
    for (int i = 0; i < frames && !programEnded; ++i) {
        if (done()) {
            return true;
        }
        turn(i % DRAW_EVERY == 0);
    }
    return done();
}

void ScriptedGame::wait(double seconds)
{
    runUntil([] { return false; }, seconds);
}

void ScriptedGame::press(const char* keyName)
{
    PlatformEventInjector::key(keyName, true);
    turn();
    PlatformEventInjector::key(keyName, false);
    turn();
}

void ScriptedGame::type(const char* text)
{
    for (const char* c = text; *c != 0; ++c) {
        PlatformEventInjector::text(std::string(1, *c));
        turn();
    }
}

void ScriptedGame::click(const Renderable& item)
{
    const Context* context = ContextMenu::contextOf(&item);
    const KivGraphics* graphics = KivGraphics::instance();
    if (context == nullptr || context->camera == nullptr || graphics == nullptr) {
        return;
    }
    const float w = static_cast<float>(graphics->width), h = static_cast<float>(graphics->height);
    float sx = 0.0f, sy = 0.0f;
    context->camera->worldToScreen(item.position, w, h, sx, sy);
    // Screen pixels to window pixels through the viewport.
    const auto& viewport = graphics->viewport;
    const float wx = static_cast<float>(viewport.left) + sx * static_cast<float>(viewport.width()) / w;
    const float wy = static_cast<float>(viewport.top) + sy * static_cast<float>(viewport.height()) / h;
    const int x = static_cast<int>(std::lround(wx)), y = static_cast<int>(std::lround(wy));
    PlatformEventInjector::mouseMove(x, y);
    turn();
    PlatformEventInjector::mouseButton(0, true, x, y);
    turn();
    PlatformEventInjector::mouseButton(0, false, x, y);
    turn();
}

bool ScriptedGame::close()
{
    PlatformEventInjector::closeWindow();
    for (int i = 0; i < 100 && !programEnded; ++i) {
        turn();
    }
    return programEnded;
}

ContextManager* ScriptedGame::screens() const
{
    const Global* global = programEnded ? nullptr : Global::instance();
    return global != nullptr ? global->contextManager : nullptr;
}

Context* ScriptedGame::top() const
{
    ContextManager* stack = screens();
    return stack != nullptr ? stack->getTop() : nullptr;
}
