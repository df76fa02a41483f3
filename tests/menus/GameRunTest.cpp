// The real game from its first frame: the flag screen (the stored language was cleared), the splash and
// the story skipped, a first player's name typed, then QUIT. The run happens in a child process so that
// its exit status and the files it leaves behind can be checked.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <typeinfo>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/GameInfo.h"
#include "engine/kiv/Kiv.h"
#include "engine/kiv/KivShell.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/platform/PlatformWindow.h"
#include "game/front/ContextIntroText.h"
#include "game/front/ContextLanguageSelect.h"
#include "game/front/ContextManager.h"
#include "game/front/ContextSplash.h"
#include "game/front/Global.h"
#include "game/front/LanguageFlag.h"
#include "game/front/ShellHooks.h"
#include "game/language/Language.h"
#include "game/menus/ContextEnterName.h"
#include "game/menus/ContextMain.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuBackButton.h"
#include "support/ChildTest.h"
#include "support/TempDir.h"

extern char** environ;

namespace {
const char* const CHILD_FOLDER = "MENUS_GAME_RUN_FOLDER";

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A press and release of the left button at a point in pointer coordinates.
void clickAt(const V3& pointer, bool down)
{
    const int x = static_cast<int>(pointer.x);
    const int y = ContextMenu::screenHeight() - static_cast<int>(pointer.y);
    PlatformEventInjector::mouseMove(x, y);
    PlatformEventInjector::mouseButton(0, down, x, y);
}

template <class T>
T* childOf(Context* screen)
{
    for (KivBase* child = screen->getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* found = dynamic_cast<T*>(child)) {
            return found;
        }
    }
    return nullptr;
}

// Plays the game like a person in a hurry: every few frames one step towards the main menu's QUIT.
int playToQuit(const std::string& folder)
{
    Kiv::setFolders(folder, TOBBLE_RUNTIME_DIR);
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    PlatformWindow window(GameInfo::WINDOW_TITLE);
    KivShell shell(window, makeGameHooks());
    shell.openLink = [](const std::string&) {};
    bool released = true;
    std::string name = "Tester";
    std::size_t typed = 0;
    V3 pressedAt(5, 5, 0);
    for (int step = 0; step < 20000 && !window.quitRequested(); ++step) {
        window.pumpEvents();
        if (window.quitRequested()) {
            break;
        }
        shell.gameLoopStep();
        const Global* global = Global::instance();
        Context* top = global != nullptr && global->contextManager != nullptr ? global->contextManager->getTop() : nullptr;
        if (top == nullptr || step % 8 != 0) {
            continue;
        }
        if (std::getenv("MENUS_GAME_RUN_TRACE") != nullptr && step % 64 == 0) {
            std::fprintf(stderr, "step %d: %s\n", step, typeid(*top).name());
        }
        if (!released) {
            PlatformEventInjector::key("Escape", false);
            PlatformEventInjector::key("Return", false);
            clickAt(pressedAt, false);
            released = true;
        } else if (auto* flags = dynamic_cast<ContextLanguageSelect*>(top)) {
            if (LanguageFlag* flag = childOf<LanguageFlag>(flags)) {
                pressedAt = flag->getNavigationPoint(0);
                clickAt(pressedAt, true);
                released = false;
            }
        } else if (dynamic_cast<ContextSplash*>(top) != nullptr || dynamic_cast<ContextIntroText*>(top) != nullptr) {
            PlatformEventInjector::key("Escape", true);
            released = false;
        } else if (dynamic_cast<ContextEnterName*>(top) != nullptr) {
            if (typed < name.size()) {
                PlatformEventInjector::text(name.substr(typed++, 1));
            } else {
                PlatformEventInjector::key("Return", true);
                released = false;
            }
        } else if (auto* menu = dynamic_cast<ContextMain*>(top)) {
            if (MenuBackButton* quit = childOf<MenuBackButton>(menu)) {
                pressedAt = quit->getNavigationPoint(0);
                clickAt(pressedAt, true);
                released = false;
            }
        }
    }
    if (!window.quitRequested()) {
        return 3;
    }
    shell.windowClose();
    return 0;
}

// The child GameRun.FromTheFlagsToQuit starts: plays and ends the process with the result.
class GameRunChild : public ::testing::Test {
    void TestBody() override { std::exit(playToQuit(std::getenv(CHILD_FOLDER))); }
};
[[maybe_unused]] const bool childRegistered =
    ChildTest::registerWhenSet<GameRunChild>(CHILD_FOLDER, "GameRunChild", "PlayToQuit");
} // namespace

TEST(GameRun, FromTheFlagsToQuitEndsCleanlyAndSaves)
{
    TempDir folder;
    // The stored language was cleared: the flag screen shows.
    std::ofstream(folder.file(".cfg")) << "[Kiv]\ndefaultLanguage=-1\n";

    // The child runs with the test's own environment, the sanitizer options (leak checking on) among it.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.emplace_back(*e);
    }
    env.push_back(std::string(CHILD_FOLDER) + "=" + folder.path());
    env.emplace_back("SDL_VIDEODRIVER=offscreen");
    env.emplace_back("SDL_AUDIODRIVER=dummy");
    env.emplace_back("ALSOFT_DRIVERS=null");
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe";
    std::string filter = "--gtest_filter=GameRunChild.PlayToQuit";
    char* argv[] = {self.data(), filter.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(0, posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()));
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(0, WEXITSTATUS(status)) << fileText(folder.file("TobbleXmasdemo.log"));

    const std::string profiles = fileText(folder.file("TobbleXmasdemo.pro"));
    EXPECT_FALSE(fileText(folder.file("TobbleXmasdemo.hst")).empty());
    EXPECT_FALSE(profiles.empty());
    const std::string config = fileText(folder.file(".cfg"));
    EXPECT_NE(std::string::npos, config.find("defaultLanguage=0")) << config;
    const std::string log = fileText(folder.file("TobbleXmasdemo.log"));
    EXPECT_NE(std::string::npos, log.find("Changing profile to 'Tester'")) << log;
    EXPECT_NE(std::string::npos, log.find("Saving."));
}
