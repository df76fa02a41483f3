// Entry point of the game: the single-instance test, the crash handler, the window and the loop.
#include <cstdio>

#include "app/GameEntry.h"
#include "engine/core/GameInfo.h"
#include "engine/core/Process.h"
#include "engine/platform/CrashHandler.h"
#include "engine/platform/ProcessTools.h"

int main(int argc, char** argv)
{
    Process::setCommandLine(argc, argv);
    CrashHandler::install();
    if (ProcessTools::isAnotherInstanceRunning(wideToUtf8(Process::executableName()))) {
        std::fprintf(stderr, "%s is already running.\n", wideToUtf8(GameInfo::WINDOW_TITLE).c_str());
        return 0;
    }
    GameEntry game(GameEntry::gameHooks());
    while (game.turn()) {
    }
    return 0;
}
