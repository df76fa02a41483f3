#include "engine/kiv/KivShell.h"

#include <chrono>
#include <thread>

#include "engine/core/Logger.h"
#include "engine/core/Process.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/platform/ProcessTools.h"

KivShell::KivShell(PlatformWindow& window_, GameHooks hooks) : window(window_), game(std::move(hooks))
{
    openLink = [](const std::string& url) { ProcessTools::openUrl(url); };
}

KivShell::~KivShell()
{
    if (!closed && engineBuilt) {
        deleteKIV();
    }
}

int KivShell::run()
{
    while (!window.quitRequested()) {
        window.pumpEvents();
        if (window.quitRequested()) {
            break;
        }
        gameLoopStep();
    }
    windowClose();
    return 0;
}

void KivShell::createKIV()
{
    new Kiv(restarted);
    engineBuilt = true;
    if (game.create) {
        game.create();
    }
    Logger::logFrom("createKIV", u"Entering game loop.");
}

void KivShell::deleteKIV()
{
    if (!engineBuilt) {
        return;
    }
    Logger::logFrom("deleteKIV", u"KIV shutting down...");
    Kiv::instance()->forgetRoot();
    if (game.destroy) {
        game.destroy();
    }
    delete Kiv::instance();
    engineBuilt = false;
}

void KivShell::gameLoopStep()
{
    if (!engineBuilt) {
        if (!window.hasFocus()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return;
        }
        createKIV();
    }
    Kiv::instance()->frame(game.root ? game.root() : nullptr);
    if (game.quit && game.quit()) {
        window.requestQuit();
    }
    if (Process::restartRequested()) {
        deleteKIV();
        Process::setRestartRequested(false);
        restarted = true;
    }
}

void KivShell::windowClose()
{
    if (closed) {
        return;
    }
    closed = true;
    const UString link = game.exitUrl && engineBuilt ? game.exitUrl() : UString();
    deleteKIV();
    if (!link.empty() && openLink) {
        openLink(wideToUtf8(link));
    }
}
