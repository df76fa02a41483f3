#include "engine/kiv/KivShell.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include "engine/core/Logger.h"
#include "engine/core/Process.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/platform/ProcessTools.h"

KivShell::KivShell(PlatformWindow& window_, GameHooks hooks) : window(window_), game(std::move(hooks))
{
    openLink = [this](const std::string& url) { openWithDesktop(url); };
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
    closedLogPath = engineBuilt && Logger::instance() != nullptr ? Logger::instance()->path() : "";
    deleteKIV();
    if (!link.empty() && openLink) {
        openLink(wideToUtf8(link));
    }
}

void KivShell::openWithDesktop(const std::string& url)
{
    std::string reason;
    if (ProcessTools::openUrl(url, reason)) {
        return;
    }
    // The game is gone, so the player learns of it from the terminal, and the log (closed with the engine)
    // gets one more line.
    std::fprintf(stderr, "Could not open %s: %s\n", url.c_str(), reason.c_str());
    std::optional<Logger> lastLines;
    if (!closedLogPath.empty()) {
        lastLines.emplace("", closedLogPath, "", Logger::Start::CONTINUE);
    }
    Logger::logFrom("windowClose", u"Warning: could not open '%s': %s", url, reason);
}
