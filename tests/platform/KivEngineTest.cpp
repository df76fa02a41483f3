// The engine object's start-up order, configuration files, frames and the shell's loop.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <chrono>

#include <sys/wait.h>
#include <unistd.h>

#include "engine/core/ErrorManager.h"

#include "engine/core/Logger.h"
#include "engine/core/Process.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/kiv/KivShell.h"
#include "engine/kiv/KivTimer.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/render/Context.h"
#include "support/EnvironmentVariable.h"
#include "support/KivHarness.h"
#include "support/TempDir.h"

namespace {

int gLanguagesMade = 0;
int gLanguagesDeleted = 0;
Language* makeLanguage()
{
    ++gLanguagesMade;
    Logger::log(u"test language made");
    return reinterpret_cast<Language*>(&gLanguagesMade);
}
void deleteLanguage(Language*) { ++gLanguagesDeleted; }

} // namespace

TEST(KivEngine, ServicesStartInOrderAndLanguageComesFromTheFactory)
{
    gLanguagesMade = gLanguagesDeleted = 0;
    Kiv::setLanguageFactory(makeLanguage, deleteLanguage);
    {
        KivHarness h;
        const char* order[] = {"Kiv::Kiv(): Starting...",
                               "Version: TobbleXmasdemo v1.25.t",
                               "ErrorManager::ErrorManager(): Starting...",
                               "TimeKeeper::TimeKeeper(): Started.",
                               "FileManager::FileManager(): Started.",
                               "ResourceManager::ResourceManager(): Started.",
                               "PointerDispatcher::PointerDispatcher(): Started.",
                               "KivInput::KivInput(): Started.",
                               "KivGraphics::KivGraphics(): Started.",
                               "KivAudio::KivAudio(): Started.",
                               "FontGDI::FontGDI(): Started.",
                               "Console::Console(): Started.",
                               "KivNetwork::KivNetwork(): Started.",
                               "Language::Language(): Starting...",
                               "test language made",
                               "Language::Language(): Started.",
                               "KivTimer::KivTimer(): Started.",
                               "Kiv::Kiv(): Started."};
        int at = 0;
        for (const char* line : order) {
            const int found = h.logIndex(line, at);
            EXPECT_GE(found, at) << line;
            if (found >= 0) {
                at = found;
            }
        }
        EXPECT_EQ(gLanguagesMade, 1);
        EXPECT_NE(h.kiv().language, nullptr);
        EXPECT_EQ(h.kiv().deviceClass, 1);
    }
    EXPECT_EQ(gLanguagesDeleted, 1);
    Kiv::setLanguageFactory(nullptr, nullptr);
}

TEST(KivEngine, ConfigurationDefaultsAreWrittenBackWithTheWarningLine)
{
    KivHarness h;
    Kiv& kiv = h.kiv();
    EXPECT_EQ(kiv.defaultLanguage, -2);
    EXPECT_EQ(kiv.singleLanguage, 0);
    EXPECT_TRUE(kiv.languageMask.empty());
    EXPECT_FALSE(kiv.bHoliday);
    EXPECT_EQ(kiv.hq2x, 1);
    EXPECT_EQ(kiv.webHost, u"localhost");
    EXPECT_FALSE(kiv.bEnableDelayedLoad);
    kiv.defaultLanguage = 1;
    h.stop(); // the engine writes ".cfg" as it goes
    const std::string cfg = KivHarness::readFile(h.userFolder.file(".cfg"));
    ASSERT_GE(cfg.size(), 3u);
    EXPECT_EQ(cfg.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(cfg.find("Do NOT modify this file unless you are explicitly instructed to do so!"), std::string::npos);
    EXPECT_NE(cfg.find("defaultLanguage=1"), std::string::npos);
    EXPECT_NE(cfg.find("bEnableDelayedLoad=No"), std::string::npos);

    // The choice survives a restart.
    h.start();
    EXPECT_EQ(h.kiv().defaultLanguage, 1);
}

TEST(KivEngine, StaticConfigurationIsReadButNeverRewritten)
{
    const std::string staticText = "[Language]\r\nlanguageMask=en,de\r\nsingleLanguage=-1\r\n[Edition]\r\nbHoliday=Yes\r\n"
                                   "[Graphics]\r\nhq2x=2\r\n[Network]\r\nwebHost=example.test:8080\r\n";
    KivHarness h(staticText, "[Kiv]\r\ndefaultLanguage=-1\r\nbEnableDelayedLoad=Yes\r\nbTickWhilePaused=Yes\r\n");
    Kiv& kiv = h.kiv();
    EXPECT_EQ(kiv.languageMask, u"en,de");
    EXPECT_EQ(kiv.singleLanguage, -1);
    EXPECT_TRUE(kiv.bHoliday);
    EXPECT_EQ(kiv.hq2x, 2);
    EXPECT_EQ(kiv.webHost, u"example.test:8080");
    EXPECT_EQ(kiv.defaultLanguage, -1);
    EXPECT_TRUE(kiv.bEnableDelayedLoad);
    EXPECT_TRUE(kiv.bTickWhilePaused);
    h.stop();
    EXPECT_EQ(KivHarness::readFile(h.dataFolder.file(".cfg.static")), staticText);
}

TEST(KivEngine, UnreadableOrMissingLanguageKeysTakeTheirDefaults)
{
    // A language index that does not parse reads as 0; a ".cfg" without defaultLanguage gets -2 written.
    KivHarness h("[Language]\r\nsingleLanguage=english\r\n", "[Kiv]\r\nbEnableDelayedLoad=Yes\r\n");
    EXPECT_EQ(h.kiv().singleLanguage, 0);
    EXPECT_EQ(h.kiv().defaultLanguage, -2);
    h.stop();
    const std::string cfg = KivHarness::readFile(h.userFolder.file(".cfg"));
    EXPECT_NE(cfg.find("defaultLanguage=-2"), std::string::npos);
    EXPECT_NE(cfg.find("bEnableDelayedLoad=Yes"), std::string::npos);
}

TEST(KivEngine, AStoredLanguageBelowMinusTwoAsksRatherThanDetects)
{
    KivHarness h("", "[Kiv]\r\ndefaultLanguage=-3\r\n");
    EXPECT_EQ(h.kiv().defaultLanguage, -3);
}

TEST(KivEngine, FramesAdvanceTimeAndCounterAndClearTheTypedCharacter)
{
    KivHarness h;
    Kiv& kiv = h.kiv();
    h.frames(10);
    EXPECT_EQ(kiv.frameCounter, 10u);
    EXPECT_NEAR(kiv.time, 10 * KivHarness::STEP, 1e-9);
    EXPECT_EQ(kiv.engineMode, Kiv::MODE_RUNNING);
    EXPECT_TRUE(kiv.bApplicationActive);

    // A character is seen in exactly one frame.
    PlatformEventInjector::text("a");
    h.window().pumpEvents();
    EXPECT_EQ(kiv.input->typedChar, u'a');
    kiv.frame(nullptr);
    EXPECT_EQ(kiv.input->typedChar, 0);
}

TEST(KivEngine, SafeOptionIsTakenFromTheCommandLine)
{
    char arg0[] = "tobble";
    char arg1[] = "-safe";
    char* argv[] = {arg0, arg1};
    Process::setCommandLine(2, argv);
    {
        KivHarness h;
        EXPECT_TRUE(h.kiv().bSafeMode);
        EXPECT_TRUE(h.logContains("Safe mode."));
    }
    Process::setCommandLine(1, argv);
}

TEST(KivShellLoop, CreatesRestartsAndShutsDownInOrder)
{
    KivHarness h;
    h.stop();
    std::vector<std::string> events;
    KivShell::GameHooks hooks;
    hooks.create = [&] {
        events.push_back(Kiv::instance() != nullptr ? "game made after engine" : "game made without engine");
    };
    hooks.destroy = [&] {
        events.push_back(Kiv::instance() != nullptr ? "game deleted before engine" : "game deleted without engine");
    };
    hooks.exitUrl = [] { return UString(u"http://localhost/tobble/recipe.php?id=1"); };
    KivShell shell(h.window(), hooks);
    std::vector<std::string> opened;
    shell.openLink = [&](const std::string& url) {
        opened.push_back(url + (Kiv::instance() == nullptr ? " after shutdown" : " while running"));
    };

    const int before = static_cast<int>(h.logLines().size());
    shell.gameLoopStep();
    ASSERT_TRUE(shell.hasEngine());
    const int started = h.logIndex("Kiv::Kiv(): Started.", before);
    const int entering = h.logIndex("createKIV(): Entering game loop.", before);
    EXPECT_GE(started, 0);
    EXPECT_GT(entering, started);
    EXPECT_EQ(Kiv::instance()->frameCounter, 1u);

    Process::setRestartRequested(true);
    shell.gameLoopStep();
    EXPECT_FALSE(shell.hasEngine());
    EXPECT_FALSE(Process::restartRequested());
    const int shutdown = h.logIndex("deleteKIV(): KIV shutting down...", entering);
    EXPECT_GT(shutdown, entering);

    shell.gameLoopStep(); // builds both again
    EXPECT_TRUE(shell.hasEngine());
    EXPECT_GT(h.logIndex("createKIV(): Entering game loop.", shutdown), shutdown);
    // The rebuilt engine appends to the log file: the lines of the run before the restart stay, then a
    // second header.
    {
        std::ifstream in(Kiv::instance()->logger->path(), std::ios::binary);
        const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t firstRun = file.find("\tdeleteKIV(): KIV shutting down...\r\n");
        ASSERT_NE(firstRun, std::string::npos) << file;
        const std::size_t secondHeader = file.find("Application: ", firstRun);
        ASSERT_NE(secondHeader, std::string::npos) << file;
        EXPECT_NE(file.find("createKIV(): Entering game loop.", secondHeader), std::string::npos);
    }

    shell.windowClose();
    EXPECT_FALSE(shell.hasEngine());
    EXPECT_EQ(Kiv::instance(), nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "http://localhost/tobble/recipe.php?id=1 after shutdown");
    const std::vector<std::string> expected = {"game made after engine", "game deleted before engine",
                                               "game made after engine", "game deleted before engine"};
    EXPECT_EQ(events, expected);
}

TEST(KivShellLoop, ALinkThatCannotBeOpenedIsNamedWithTheReasonOnStandardErrorAndInTheLog)
{
    KivHarness h;
    h.stop();
    KivShell::GameHooks hooks;
    hooks.exitUrl = [] { return UString(u"http://localhost/tobble/help.php"); };
    KivShell shell(h.window(), hooks);
    shell.gameLoopStep();
    ASSERT_TRUE(shell.hasEngine());
    TempDir noOpener;
    EnvironmentVariable path("PATH", noOpener.path());
    testing::internal::CaptureStderr();
    shell.windowClose();
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string why = "xdg-open could not be started: No such file or directory";
    EXPECT_NE(said.find("Could not open http://localhost/tobble/help.php: " + why + "\n"), std::string::npos) << said;
    const std::string log = KivHarness::readFile(h.userFolder.file("TobbleXmasdemo.log"));
    const std::size_t shutdown = log.find("deleteKIV(): KIV shutting down...");
    ASSERT_NE(shutdown, std::string::npos) << log;
    EXPECT_NE(log.find("windowClose(): Warning: could not open 'http://localhost/tobble/help.php': " + why + "\r\n",
                       shutdown),
              std::string::npos)
        << log;
}

TEST(KivShellLoop, RunEndsWhenTheGameQuits)
{
    KivHarness h;
    h.stop();
    int frames = 0;
    KivShell counting(h.window(), KivShell::GameHooks{nullptr, nullptr, nullptr, [&] { return ++frames >= 3; }, nullptr});
    EXPECT_EQ(counting.run(), 0);
    EXPECT_EQ(frames, 3);
    EXPECT_FALSE(counting.hasEngine());
    EXPECT_TRUE(h.logContains("deleteKIV(): KIV shutting down..."));
}

namespace {
// A screen that counts what the engine tells it.
class CountingContext : public Context {
public:
    void tickContents(double t, double dt) override
    {
        ++ticks;
        lastStep = dt;
        Context::tickContents(t, dt);
    }
    void onInputModeChange() override { ++modeChanges; }
    int ticks = 0;
    int modeChanges = 0;
    double lastStep = 0.0;
};

class CountingChild : public KivBase {
public:
    void onInputModeChange() override { ++modeChanges; }
    int modeChanges = 0;
};
} // namespace

TEST(KivEngine, FrameTicksTheRootAndInputModeReachesEveryObject)
{
    KivHarness h;
    CountingContext root;
    auto* child = new CountingChild();
    root.appendChild(child);
    h.frames(3, &root);
    EXPECT_EQ(root.ticks, 3);
    EXPECT_DOUBLE_EQ(root.lastStep, KivHarness::STEP);
    EXPECT_EQ(h.kiv().currentContext, &root);

    h.kiv().input->setInputMode(KivInput::INPUT_TOUCH);
    EXPECT_EQ(root.modeChanges, 1);
    EXPECT_EQ(child->modeChanges, 1);
    h.kiv().input->setInputMode(KivInput::INPUT_TOUCH);
    EXPECT_EQ(child->modeChanges, 1);
    h.kiv().forgetRoot(); // the root goes before the engine
}

TEST(KivEngine, FatalErrorLeavesCrashFilesAndExitsWithMinusOne)
{
    KivHarness h;
    const std::string folder = h.userFolder.path();
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        ErrorManager::setThrowForTests(false);
        KIV_FATAL(u"Could not find resource 'nothing'.");
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 255);
    const std::string log = KivHarness::readFile(folder + "crash.TobbleXmasdemo.log");
    const auto error = log.find("Error: Could not find resource 'nothing'.");
    EXPECT_NE(error, std::string::npos);
    EXPECT_NE(log.find("Forced exit.", error), std::string::npos);
    EXPECT_TRUE(std::ifstream(folder + "crash.TobbleXmasdemo.net").good());
    EXPECT_TRUE(std::ifstream(folder + "crash.TobbleXmasdemo.jpg").good());
}

namespace {
class ModeWatcher : public Context {
public:
    void tickContents(double, double) override { ++ticks; }
    void onKIVmodeChange(int from, int to) override { changes.emplace_back(from, to); }
    int ticks = 0;
    std::vector<std::pair<int, int>> changes;
};
} // namespace

TEST(KivEngine, EngineModesFollowTheWindowAndPausedFramesTickOnlyWhenAsked)
{
    KivHarness h;
    ModeWatcher root;
    h.frame(&root);
    EXPECT_EQ(root.ticks, 1);

    PlatformEventInjector::focus(false);
    h.frames(2, &root);
    EXPECT_EQ(h.kiv().engineMode, Kiv::MODE_PAUSED);
    EXPECT_FALSE(h.kiv().bApplicationActive);
    EXPECT_EQ(root.ticks, 1);
    const double pausedTime = h.kiv().time;

    h.kiv().bTickWhilePaused = true;
    h.frame(&root);
    EXPECT_EQ(root.ticks, 2);
    EXPECT_GT(h.kiv().time, pausedTime);

    PlatformEventInjector::minimize(true);
    h.frame(&root);
    EXPECT_EQ(h.kiv().engineMode, Kiv::MODE_FROZEN);
    EXPECT_EQ(root.ticks, 2);

    PlatformEventInjector::minimize(false);
    PlatformEventInjector::focus(true);
    h.frame(&root);
    EXPECT_EQ(h.kiv().engineMode, Kiv::MODE_RUNNING);
    EXPECT_EQ(root.ticks, 3);
    const std::vector<std::pair<int, int>> expected = {{3, 2}, {2, 1}, {1, 3}};
    EXPECT_EQ(root.changes, expected);
    h.kiv().forgetRoot();
}

TEST(KivEngine, PausedFramesKeepTheFramePeriod)
{
    KivHarness h;
    Kiv& kiv = h.kiv();
    kiv.setFixedStep(0.0); // real time
    kiv.timer->setFramePeriod(0.01);
    PlatformEventInjector::focus(false);
    h.frame();
    ASSERT_EQ(kiv.engineMode, Kiv::MODE_PAUSED);
    const auto begin = std::chrono::steady_clock::now();
    h.frames(20);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_GE(elapsed, 0.15);
    EXPECT_EQ(kiv.time, 0.0); // nothing ticked
}

TEST(KivShellLoop, NoEngineIsBuiltWhileTheWindowHasNoFocus)
{
    KivHarness h;
    h.stop();
    KivShell shell(h.window(), {});
    PlatformEventInjector::focus(false);
    h.window().pumpEvents();
    const auto before = std::chrono::steady_clock::now();
    shell.gameLoopStep();
    EXPECT_FALSE(shell.hasEngine());
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(90)); // slept, not spun
    PlatformEventInjector::focus(true);
    h.window().pumpEvents();
    shell.gameLoopStep();
    EXPECT_TRUE(shell.hasEngine());
}
