#pragma once
// The application shell's loop: pump the window's messages, and in each idle turn run one loop step.
// A step builds the engine (and the game on top of it) once the window has the focus, runs the engine's
// frame with the game's root context, and rebuilds both when the restart flag is set (the rebuilt engine
// appends to the log of the run before). Closing deletes
// the game, then the engine, and opens the exit link in the browser.
#include <functional>
#include <string>

#include "engine/core/UString.h"

class Context;
class PlatformWindow;

class KivShell {
public:
    // The game on top of the engine; every hook may be empty (the engine then runs without a root context).
    struct GameHooks {
        std::function<void()> create;      // builds the game object and runs its pre-loader start
        std::function<void()> destroy;     // deletes the game object
        std::function<Context*()> root;    // the root context to run each frame
        std::function<bool()> quit;        // the root context asks to close
        std::function<UString()> exitUrl;  // the link to open after closing (empty: none)
    };

    KivShell(PlatformWindow& window, GameHooks hooks);
    ~KivShell();
    KivShell(const KivShell&) = delete;
    KivShell& operator=(const KivShell&) = delete;

    // Runs until the window closes or the game quits, then closes. Returns the process exit code.
    int run();
    // One idle turn of the message loop.
    void gameLoopStep();
    // The window's close: deleteKIV, then the exit link.
    void windowClose();

    void createKIV();
    void deleteKIV();
    bool hasEngine() const { return engineBuilt; }

    // How the exit link is opened: by default with the desktop's handler; a link that cannot be handed to it
    // is written with the reason to standard error and to the log.
    std::function<void(const std::string&)> openLink;

private:
    void openWithDesktop(const std::string& url);

    PlatformWindow& window;
    GameHooks game;
    bool engineBuilt = false;
    bool closed = false;
    bool restarted = false; // the next engine continues the log of the one before
    std::string closedLogPath; // the log file of the engine that the close deleted
};
