#pragma once
// The game as the program starts it once it knows it runs alone: the box for fatal errors, the game's
// language service, the window and the application shell with the game on top. main() runs its shell to
// the end; the end-to-end test runs the same start in its own process, one loop turn at a time.
#include <memory>

#include "engine/kiv/KivShell.h"

class PlatformWindow;

class GameEntry {
public:
    explicit GameEntry(KivShell::GameHooks hooks);
    ~GameEntry();
    GameEntry(const GameEntry&) = delete;
    GameEntry& operator=(const GameEntry&) = delete;

    // The game's own hooks (the screen stack over MyGlobal).
    static KivShell::GameHooks gameHooks();

    // One turn of the shell's message loop: the window's messages, then a loop step unless the window
    // was closed. False once the program should end (the shell is then closed).
    bool turn();

    PlatformWindow& window() { return *platformWindow; }
    KivShell& shell() { return *appShell; }

private:
    std::unique_ptr<PlatformWindow> platformWindow;
    std::unique_ptr<KivShell> appShell;
};
