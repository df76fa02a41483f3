// Entry point of the game: the single-instance test, the crash handler, the window and the loop.
#include <cstdio>

#include "engine/core/ErrorManager.h"
#include "engine/core/GameInfo.h"
#include "engine/core/Process.h"
#include "engine/kiv/Kiv.h"
#include "engine/kiv/KivShell.h"
#include "engine/platform/CrashHandler.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/platform/ProcessTools.h"
#include "game/front/ShellHooks.h"
#include "game/language/Language.h"

int main(int argc, char** argv)
{
    Process::setCommandLine(argc, argv);
    CrashHandler::install();
    if (ProcessTools::isAnotherInstanceRunning(wideToUtf8(Process::executableName()))) {
        std::fprintf(stderr, "%s is already running.\n", wideToUtf8(GameInfo::WINDOW_TITLE).c_str());
        return 0;
    }
    // Until the engine exists a fatal error still gets its box.
    ErrorManager::PlatformHooks hooks;
    hooks.messageBox = [](const UString& title, const UString& text) { PlatformWindow::showMessageBox(title, text); };
    ErrorManager::setPlatformHooks(hooks);

    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    PlatformWindow window(GameInfo::WINDOW_TITLE);
    KivShell shell(window, makeGameHooks());
    return shell.run();
}
