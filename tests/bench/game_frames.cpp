// The game's real screens drawn offscreen as a player sees them: the intro (the logo over the backdrop and
// its snowfall), the main menu, the world map, level 0 and the busiest level (the most draws in a frame),
// at 1024x768 and 1920x1080. Each screen is first brought to a moment a player sees for a while, then
// timed over whole engine frames (input, tick, drawing, present), each ending when its pixels are drawn
// (a one-pixel read-back). The CPU time is the whole process's, the software renderer's threads included.
// Every screen is timed with the device's joining of short runs on and off, in alternating blocks, so that
// both columns see the same machine; the last column is their ratio.
//   bench_game_frames [--frames=N] [--blocks=N] [--level=N]
// N frames a block (default 60), N blocks per setting (default 3); --level names the busiest level instead
// of finding it.
#include <unistd.h>

#include <ctime>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextIntroText.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/ContextValley.h"
#include "support/GameData.h"
#include "support/KivHarness.h"

namespace {

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double wallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int option(int argc, char** argv, const char* name, int fallback)
{
    const std::size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=') {
            return std::atoi(argv[i] + length + 1);
        }
    }
    return fallback;
}

// The game over the built archives, its loader run, one player who has reached every level.
class Game {
public:
    Game()
    {
        Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
        harness = std::make_unique<KivHarness>(std::string{}, std::string{}, 1920, 1080);
        global = GameData::startThroughLoader(*harness, TOBBLE_RUNTIME_DIR);
        global->profiles.addProfile(u"Bench");
        ProfileData& p = global->profiles.getCurrentProfile();
        for (int i = 0; i < ProfileData::NUMLEVELS; ++i) {
            p.levelStats[i].available = 1;
            p.levelStats[i].completed = i < 20 ? 1 : 0;
            p.levelStats[i].totalPoints = (i * 97) % 1001;
        }
        clearScreens();
    }

    ~Game()
    {
        clearScreens();
        delete global;
        Global::setInstance(nullptr);
    }

    ContextManager& screens() { return *global->contextManager; }

    // Takes every screen off the stack.
    void clearScreens()
    {
        ContextManager& stack = screens();
        while (Context* top = stack.getTop()) {
            top->bClosed = true;
            top->bDeleteWhenClosed = true;
            const int before = stack.countChildren();
            harness->frame(&stack);
            if (stack.countChildren() >= before) {
                delete top;
            }
        }
        stack.activeScreen = nullptr;
        stack.topScreen = nullptr;
        THEROLE = nullptr;
    }

    void setScreenSize(int w, int h)
    {
        KivGraphics* graphics = KivGraphics::instance();
        graphics->changePresentationParameters(w, h, false, graphics->bLetterbox, graphics->bBilinearFilter,
                                               graphics->bVSync);
        harness->frame(&screens());
    }

    // One drawn frame, then ticks of 0.05 s without drawing for the rest of `seconds`.
    void advance(double seconds)
    {
        harness->frame(&screens());
        for (double left = seconds; left > 1e-9; left -= 0.05) {
            screens().tick(harness->kiv().time, std::min(left, 0.05));
        }
    }

    void frame() { harness->frame(&screens()); }

    std::unique_ptr<KivHarness> harness;
    MyGlobal* global = nullptr;
};

struct Screen {
    std::string name;
    std::function<void(Game&)> show; // puts the screen on the stack and brings it to its moment
};

std::vector<Screen> screensOf(int busiestLevel)
{
    auto level = [](int number) {
        return [number](Game& game) {
            game.global->profiles.getCurrentProfile().currentLevel = number;
            auto* manager = new ContextLevelManager(number);
            manager->bDeleteWhenClosed = true;
            game.screens().addContext(manager);
            // Past the level's start: its messages shown, the pig standing at its place.
            game.advance(4.0);
        };
    };
    return {
        {"intro", [](Game& game) {
             game.global->createContexts();
             game.screens().addContext(new ContextIntroText());
             game.advance(11.0); // the logo over the sharp backdrop
         }},
        {"main menu", [](Game& game) {
             game.global->createContexts();
             game.advance(2.0);
         }},
        {"world map", [](Game& game) {
             game.global->profiles.getCurrentProfile().currentLevel = 12;
             auto* valley = new ContextValley();
             valley->bDeleteWhenClosed = true;
             game.screens().addContext(valley);
             game.advance(6.0); // past the welcome, choosing a level
         }},
        {"level 0", level(0)},
        {"level " + std::to_string(busiestLevel), level(busiestLevel)},
    };
}

// The level whose first frames queue the most draws.
int busiestLevel(Game& game)
{
    KivGraphics& graphics = *KivGraphics::instance();
    int best = 0;
    std::uint64_t most = 0;
    for (int number = 0; number < ProfileData::NUMLEVELS; ++number) {
        game.global->profiles.getCurrentProfile().currentLevel = number;
        auto* manager = new ContextLevelManager(number);
        manager->bDeleteWhenClosed = true;
        game.screens().addContext(manager);
        game.advance(2.0);
        const std::uint64_t before = graphics.getDrawCount();
        game.frame();
        const std::uint64_t draws = graphics.getDrawCount() - before;
        if (draws > most) {
            most = draws;
            best = number;
        }
        game.clearScreens();
    }
    return best;
}

struct Timing {
    double cpu = 0.0, wall = 0.0;
    int frames = 0;
    int drawCalls = 0;
};

void timeBlock(Game& game, int frames, Timing& into)
{
    GLDevice& device = KivGraphics::instance()->getDevice();
    const double cpu0 = cpuSeconds(), wall0 = wallSeconds();
    for (int i = 0; i < frames; ++i) {
        device.resetStats();
        game.frame();
        into.drawCalls += device.stats().drawCalls;
        device.readPixels(0, 0, 1, 1);
    }
    into.cpu += cpuSeconds() - cpu0;
    into.wall += wallSeconds() - wall0;
    into.frames += frames;
}
} // namespace

int main(int argc, char** argv)
{
    const int frames = std::max(1, option(argc, argv, "--frames", 60));
    const int blocks = std::max(1, option(argc, argv, "--blocks", 3));
    const char* threads = std::getenv("LP_NUM_THREADS");
    Game game;
    GLDevice& device = KivGraphics::instance()->getDevice();
    game.setScreenSize(1024, 768);
    const int busiest = option(argc, argv, "--level", -1) >= 0 ? option(argc, argv, "--level", -1) : busiestLevel(game);
    std::printf("Whole frames, ms per frame (process CPU / wall), LP_NUM_THREADS=%s, %d frames x %d blocks\n",
                threads != nullptr ? threads : "(unset)", frames, blocks);
    std::printf("%-10s %-10s %22s %22s %12s %14s\n", "size", "screen", "joining on", "joining off", "CPU on/off",
                "calls on/off");
    for (const auto [w, h] : {std::pair{1024, 768}, std::pair{1920, 1080}}) {
        game.setScreenSize(w, h);
        for (const Screen& screen : screensOf(busiest)) {
            screen.show(game);
            for (int i = 0; i < 10; ++i) {
                game.frame(); // every cache filled
            }
            Timing on, off;
            // Either setting goes first in every other block.
            for (int block = 0; block < 2 * blocks; ++block) {
                const bool joining = (block % 2 == 0) == (block % 4 < 2);
                device.setJoining(joining);
                timeBlock(game, frames, joining ? on : off);
            }
            device.setJoining(true);
            const auto perFrame = [](double seconds, const Timing& t) { return 1e3 * seconds / t.frames; };
            char size[32], onText[32], offText[32], calls[32];
            std::snprintf(size, sizeof(size), "%dx%d", w, h);
            std::snprintf(onText, sizeof(onText), "%.2f / %.2f", perFrame(on.cpu, on), perFrame(on.wall, on));
            std::snprintf(offText, sizeof(offText), "%.2f / %.2f", perFrame(off.cpu, off), perFrame(off.wall, off));
            std::snprintf(calls, sizeof(calls), "%d / %d", on.drawCalls / on.frames, off.drawCalls / off.frames);
            std::printf("%-10s %-10s %22s %22s %11.2fx %14s\n", size, screen.name.c_str(), onText, offText,
                        on.cpu / off.cpu, calls);
            std::fflush(stdout);
            game.clearScreens();
        }
    }
    return 0;
}
