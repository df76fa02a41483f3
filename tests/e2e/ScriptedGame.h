#pragma once
// The program as it starts itself (its own start and message loop), run in the test's process on the
// engine's fixed step of 0.01 s and driven like a player through the engine's event injector: keys, typed
// text and mouse clicks on the items of the screens.
#include <functional>
#include <memory>

class Context;
class ContextManager;
class GameEntry;
class Renderable;

class ScriptedGame {
public:
    ScriptedGame();
    ~ScriptedGame();
    ScriptedGame(const ScriptedGame&) = delete;
    ScriptedGame& operator=(const ScriptedGame&) = delete;

    // One turn of the program's loop; drawing may be left out (most of a headless frame's cost). False once
    // the program has ended.
    bool turn(bool draw = true);
    // Turns until `done` holds, for at most `seconds` of game time; only every eighth frame is drawn.
    // Answers done().
    bool runUntil(const std::function<bool()>& done, double seconds);
    // Lets `seconds` of game time pass.
    void wait(double seconds);

    // A key pressed and released over two frames ("Space", "Return").
    void press(const char* keyName);
    // Typed text, a character a frame, as the keyboard delivers it.
    void type(const char* text);
    // A left click on the middle of an item of a screen: move, press and release, a frame each.
    void click(const Renderable& item);
    // The window's close button; turns until the program has ended. False when it did not end.
    bool close();

    bool ended() const { return programEnded; }
    // The screen stack of the game (null before the game exists).
    ContextManager* screens() const;
    Context* top() const;
    // The top screen as a T, null when it is something else.
    template <class T>
    T* topAs() const
    {
        return dynamic_cast<T*>(top());
    }

private:
    std::unique_ptr<GameEntry> entry;
    bool programEnded = false;
};
