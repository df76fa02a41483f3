#include "game/front/ShellHooks.h"

#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"

KivShell::GameHooks makeGameHooks()
{
    KivShell::GameHooks hooks;
    hooks.create = [] {
        auto* global = new MyGlobal();
        Global::setInstance(global);
        global->initPreLoader();
    };
    hooks.destroy = [] {
        delete Global::instance();
        Global::setInstance(nullptr);
    };
    hooks.root = []() -> Context* {
        const Global* global = Global::instance();
        return global != nullptr ? global->contextManager : nullptr;
    };
    hooks.quit = [] {
        const Global* global = Global::instance();
        return global != nullptr && global->contextManager != nullptr && global->contextManager->bQuit;
    };
    hooks.exitUrl = [] {
        const Global* global = Global::instance();
        return global != nullptr ? global->exitUrl : UString();
    };
    return hooks;
}
