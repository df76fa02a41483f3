#pragma once
// Plays a level as a player would, headless on the engine's fixed step: it holds and taps the real keys
// (or touches the HUD's touch controls) through the engine's event injector along a route of steps,
// closes hint and other overlays with the jump key, lets speech bubbles have their say, and after the route
// goes through the level's end to its result code. The game data must be loaded (GameData::load).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/userdata/LevelStats.h"

class ContextLevelManager;
class GameController;
class KivHarness;
class Renderable;

struct BotStep {
    enum Kind { WALK, JUMP, USE, CLIMB, WAIT, TAP, SWEEP } kind = WALK;
    float value = 0;    // the x to walk or jump to, the y to climb to, the seconds to wait
    std::string target; // TAP: the class name of the object to tap
    // SWEEP: every apple still lying about is pushed down to the house from its uphill side.
};

struct BotReport {
    int resultCode = 0;    // 5 when the level was finished
    LevelStats stats;      // the run's statistics at the end
    int frames = 0;        // engine frames run
    int inputMode = 0;     // the input's mode as the route ended: 1 keys, 2 touch
    double loadSeconds = 0; // from the level manager's construction to its first drawn frame
    std::string failure;   // what went wrong, empty when nothing did
};

class LevelBot {
public:
    explicit LevelBot(KivHarness& harness);
    // A bot for a game whose loop is not a harness's: `runFrame` runs one frame of it, drawn or not.
    explicit LevelBot(std::function<void(bool draw)> runFrame);
    ~LevelBot();

    // Loads the level of that number from the level archive and plays it along the route. With `touch`
    // the pig is steered by the touch controls instead of the keys.
    BotReport play(int levelNumber, const std::vector<BotStep>& route, bool touch = false);
    // Plays along the route, by the keys, a level that another screen has started (the world map) to its
    // result; the level stays its starter's.
    BotReport playStarted(ContextLevelManager& level, const std::vector<BotStep>& route);

    // Frames of 0.01 s the bot allows a step before it gives up.
    int stepLimit = 3000;

private:
    // One engine frame; while an overlay is open the movement keys go up and the jump key closes it.
    void frame();
    void drawnFrame(bool draw);
    void hold(int control, bool down);
    void releaseAll();
    void tap(int control);
    // A finger down and up again at a screen point (pixels from the top left).
    void tapScreen(float sx, float sy);
    bool useByTouch();
    BotReport playRoute(const std::vector<BotStep>& route, BotReport report);
    bool runUntil(int limit, const std::function<bool()>& done);
    bool doStep(const BotStep& step);
    bool walkTo(float x);
    bool jumpTo(float x);
    bool sweepApples();
    Renderable* hero() const;
    float heroX() const;
    float heroY() const;
    int moveState() const;
    int levelState() const;

    KivHarness* harness = nullptr;
    std::function<void(bool)> runFrame;
    std::unique_ptr<ContextLevelManager> ownLevel; // the level play() made
    ContextLevelManager* manager = nullptr;        // the level being played
    int levelNumber = -1;
    bool touchMode = false;
    bool held[5] = {};
    int overlayFrames = 0;
    int frameCount = 0;
    std::string failure;
};
