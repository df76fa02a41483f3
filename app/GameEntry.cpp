#include "app/GameEntry.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/GameInfo.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformWindow.h"
#include "game/front/ShellHooks.h"
#include "game/language/Language.h"

KivShell::GameHooks GameEntry::gameHooks() { return makeGameHooks(); }

GameEntry::GameEntry(KivShell::GameHooks hooks)
{
    // Until the engine exists a fatal error still gets its box.
    ErrorManager::PlatformHooks errorHooks;
    errorHooks.messageBox = [](const UString& title, const UString& text) {
        PlatformWindow::showMessageBox(title, text);
    };
    ErrorManager::setPlatformHooks(errorHooks);

    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    platformWindow = std::make_unique<PlatformWindow>(GameInfo::WINDOW_TITLE);
    appShell = std::make_unique<KivShell>(*platformWindow, std::move(hooks));
}

GameEntry::~GameEntry()
{
    appShell.reset();
    platformWindow.reset();
}

bool GameEntry::turn()
{
    platformWindow->pumpEvents();
    if (!platformWindow->quitRequested()) {
        appShell->gameLoopStep();
    }
    if (platformWindow->quitRequested()) {
        appShell->windowClose();
        return false;
    }
    return true;
}
