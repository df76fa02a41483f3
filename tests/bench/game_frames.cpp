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
//   bench_game_frames --crowd [--frames=N] [--apples=N]
// instead plays saved copies of level 5 with apples added (all at one spot, as the editor makes them where
// the pointer stands, and spread out on the ground) at 1024x768, each frame carrying 1/30 s of play as at
// 30 frames a second, and reports frames a second of CPU time: with 1000, 2000 and 4000 apples in the apple
// list, then the largest crowd of each kind that still plays at 30 frames a second (within 5 %). --apples
// measures that one count of each kind instead. A copy the level manager refuses shows as refused.
//   bench_game_frames --editor-panel [--frames=N]
// instead plays level 2 as the editor's play test (the program started with "-editor", F2 opening the
// level's settings panel, F4 starting the play test) at 1024x768 and 1920x1080: the panel's values (the
// level's clock among them) change every frame. Reports ms per frame (process CPU / wall) over N frames
// (default 600), the textures the device made over them and the process's resident memory before and after.
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
#include "engine/net/Packet.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/KivGraphics.h"
#include "engine/text/FontCache.h"
#include "engine/text/FontQuad.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/front/ContextIntroText.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/ContextValley.h"
#include "support/GameData.h"
#include "support/KivHarness.h"
#include "world/CrowdedLevel.h"

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

constexpr int CROWD_LEVEL = 5;
constexpr double CROWD_RATE = 30.0;
// A block of a crowd stops after this many seconds.
constexpr double CROWD_BLOCK_LIMIT = 60.0;

// Frames a second of a crowded copy: over its first frames from the load, while the crowd lands, and again
// after four seconds more, when it has settled. Both 0 when the copy is refused; the
// second 0 when the first was below one frame a second.
struct CrowdRates {
    bool refused = false;
    double start = 0.0;
    double settled = 0.0;
    bool plays() const { return std::min(start, settled) >= CROWD_RATE; }
};

// One block of frames, stopped early once it has taken CROWD_BLOCK_LIMIT: frames a second of the process's
// CPU time (what the game gets with a core to itself; the renderer draws in the game's thread).
double crowdBlock(Game& game, int frames)
{
    const double wall0 = wallSeconds();
    const double cpu0 = cpuSeconds();
    int done = 0;
    while (done < frames && wallSeconds() - wall0 < CROWD_BLOCK_LIMIT) {
        game.frame();
        KivGraphics::instance()->getDevice().readPixels(0, 0, 1, 1);
        ++done;
    }
    return done / (cpuSeconds() - cpu0);
}

CrowdRates crowdRates(Game& game, int apples, CrowdedLevel::Layout layout, int frames)
{
    const std::vector<std::uint8_t> copy = CrowdedLevel::savedCopy(CROWD_LEVEL, apples, layout);
    game.global->profiles.getCurrentProfile().currentLevel = CROWD_LEVEL;
    Packet stream(Packet::FLAG_COMMANDS | Packet::FLAG_STORED | Packet::FLAG_PEER, 0);
    stream.setReadData(copy.data(), copy.size());
    auto* manager = new ContextLevelManager(stream);
    manager->bDeleteWhenClosed = true;
    CrowdRates rates;
    rates.refused = manager->getGameController() == nullptr;
    game.screens().addContext(manager);
    if (!rates.refused) {
        game.harness->kiv().setFixedStep(1.0 / CROWD_RATE);
        rates.start = crowdBlock(game, frames);
        if (rates.start >= 1.0) {
            game.harness->kiv().setFixedStep(KivHarness::STEP);
            game.advance(4.0);
            game.harness->kiv().setFixedStep(1.0 / CROWD_RATE);
            rates.settled = crowdBlock(game, frames);
        }
        game.harness->kiv().setFixedStep(KivHarness::STEP);
    }
    game.clearScreens();
    return rates;
}

// The frame rates of crowds of apples, and the largest crowd of each layout that plays at CROWD_RATE.
void crowds(Game& game, int frames, int onlyCount)
{
    std::printf("Saved copies of level %d with apples added, 1024x768, frames of 1/%.0f s of play; frames/s over "
                "the first %d frames and over %d frames 4 s later\n",
                CROWD_LEVEL, CROWD_RATE, frames, frames);
    const std::pair<const char*, CrowdedLevel::Layout> layouts[] = {{"one spot", CrowdedLevel::Layout::ONE_SPOT},
                                                                    {"spread", CrowdedLevel::Layout::SPREAD}};
    std::printf("%-10s %8s %10s %10s\n", "layout", "apples", "start", "settled");
    const std::vector<int> counts = onlyCount > 0 ? std::vector<int>{onlyCount} : std::vector<int>{1000, 2000, 4000};
    for (const auto& [name, layout] : layouts) {
        for (const int apples : counts) {
            const CrowdRates rates = crowdRates(game, apples, layout, frames);
            if (rates.refused) {
                std::printf("%-10s %8d %21s\n", name, apples, "refused");
            } else {
                std::printf("%-10s %8d %10.2f %10.2f\n", name, apples, rates.start, rates.settled);
            }
            std::fflush(stdout);
        }
    }
    if (onlyCount > 0) {
        return;
    }
    for (const auto& [name, layout] : layouts) {
        // Doubling until a crowd is too slow (or refused), then halving the interval down to 5 %.
        int good = 0;
        int bad = 50;
        while (crowdRates(game, bad, layout, frames).plays()) {
            good = bad;
            bad *= 2;
        }
        while (bad - good > std::max(1, good / 20)) {
            const int middle = (good + bad) / 2;
            (crowdRates(game, middle, layout, frames).plays() ? good : bad) = middle;
        }
        std::printf("Largest crowd at %.0f frames/s, %s: %d apples (%d does not play at that rate or is refused)\n",
                    CROWD_RATE, name, good, bad);
        std::fflush(stdout);
    }
}

// The process's resident memory in MB.
double residentMB()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

constexpr int EDITOR_PANEL_LEVEL = 2;

// A key pressed for one frame, then released for one.
void tapKey(Game& game, const char* key)
{
    PlatformEventInjector::key(key, true);
    game.frame();
    PlatformEventInjector::key(key, false);
    game.frame();
}

// The play test of level 2 with the level's settings panel open, at both sizes.
void editorPanel(Game& game, int frames)
{
    std::printf("Level %d in the editor's play test with the level's settings panel open (F2, then F4); %d frames\n",
                EDITOR_PANEL_LEVEL, frames);
    std::printf("%-10s %16s %18s %10s %12s %12s\n", "size", "panel, play test", "ms/frame CPU/wall", "textures",
                "RSS before", "RSS after");
    GLDevice& device = KivGraphics::instance()->getDevice();
    game.global->bEditorAllowed = true;
    for (const auto [w, h] : {std::pair{1024, 768}, std::pair{1920, 1080}}) {
        game.setScreenSize(w, h);
        // Each size starts with the texts of the fonts uncached, as a run of the game does.
        for (FontQuad* font : {game.global->fontTiny, game.global->fontSmall, game.global->fontSmallOutline,
                               game.global->fontMedium, game.global->fontMediumOutline, game.global->fontLarge}) {
            if (font != nullptr && font->getCache() != nullptr) {
                font->getCache()->clear();
            }
        }
        game.global->profiles.getCurrentProfile().currentLevel = EDITOR_PANEL_LEVEL;
        auto* manager = new ContextLevelManager(EDITOR_PANEL_LEVEL);
        manager->bDeleteWhenClosed = true;
        game.screens().addContext(manager);
        game.advance(1.0);
        tapKey(game, "F2");
        tapKey(game, "F4");
        for (int i = 0; i < 60; ++i) {
            game.frame(); // the play test under way, every cache filled
        }
        const GameController* level = manager->getGameController();
        const bool panel = level != nullptr && level->editor != nullptr &&
                           level->editor->panelHolder->getFirstChild() != nullptr &&
                           manager->editSession != nullptr && manager->editSession->isPlayTest();
        const double before = residentMB();
        const std::uint64_t textures = device.texturesCreated();
        Timing t;
        timeBlock(game, frames, t);
        const double after = residentMB();
        char size[32], times[32];
        std::snprintf(size, sizeof(size), "%dx%d", w, h);
        std::snprintf(times, sizeof(times), "%.2f / %.2f", 1e3 * t.cpu / t.frames, 1e3 * t.wall / t.frames);
        std::printf("%-10s %16s %18s %10llu %9.0f MB %9.0f MB\n", size, panel ? "yes" : "NO", times,
                    static_cast<unsigned long long>(device.texturesCreated() - textures), before, after);
        std::fflush(stdout);
        game.clearScreens();
    }
    game.global->bEditorAllowed = false;
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
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--crowd") == 0) {
            crowds(game, frames, option(argc, argv, "--apples", 0));
            return 0;
        }
        if (std::strcmp(argv[i], "--editor-panel") == 0) {
            editorPanel(game, std::max(1, option(argc, argv, "--frames", 600)));
            return 0;
        }
    }
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
