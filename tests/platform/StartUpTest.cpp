// Start-up seen from outside: the data is found beside the program whatever the current folder, a second
// instance says so and leaves, only the user's own processes count, a user data folder that cannot be made
// is reported, and a machine without a sound card gets one log line instead of the audio libraries' noise.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/files/FileManager.h"
#include "engine/files/UserDataFolder.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/AudioOutput.h"
#include "engine/platform/ProcessTools.h"
#include "support/EnvironmentVariable.h"
#include "support/KivHarness.h"
#include "support/TempDir.h"

namespace {

// A copy of a program under a name nobody else uses.
std::string copyOfProgram(const std::string& program, const TempDir& dir, const std::string& name)
{
    const std::string path = dir.file(name);
    {
        std::ifstream in(program, std::ios::binary);
        std::ofstream out(path, std::ios::binary);
        out << in.rdbuf();
    }
    chmod(path.c_str(), 0755);
    chmod(dir.path().c_str(), 0755);
    return path;
}

// Starts the program (as "nobody" when asked) and waits until it runs under its own name (or has ended).
pid_t startProgram(const std::string& path, const std::string& name, bool asNobody)
{
    const pid_t child = fork();
    if (child == 0) {
        if (asNobody && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(126);
        }
        execl(path.c_str(), name.c_str(), "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (;;) {
        std::ifstream cmdline("/proc/" + std::to_string(child) + "/cmdline");
        std::string argv0;
        std::getline(cmdline, argv0, '\0');
        siginfo_t ended{}; // left unreaped, for stopProgram
        if (argv0 == name ||
            (waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid == child)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return child;
}

void stopProgram(pid_t child)
{
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

TEST(StartUp, DataIsFoundBesideTheProgramFromAnyFolder)
{
    ErrorManager::setThrowForTests(true);
    TempDir user;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path("/");
    Kiv::setFolders(user.path(), {});
    {
        Kiv engine;
        char real[PATH_MAX];
        ASSERT_NE(realpath(TOBBLE_RUNTIME_DIR, real), nullptr);
        EXPECT_EQ(engine.dataFolder, std::string(real) + "/");
        // A relative name is looked up beside the program, not in "/".
        EXPECT_TRUE(FileManager::existsDisk(u"test_platform"));
        EXPECT_TRUE(FileManager::existsDisk(u"./test_platform"));
        EXPECT_FALSE(FileManager::existsDisk(u"etc/passwd"));
    }
    Kiv::setFolders({}, {});
    std::filesystem::current_path(before);
}

TEST(StartUp, ASecondInstanceSaysSoAndLeaves)
{
    const std::string game = std::string(TOBBLE_RUNTIME_DIR) + "/tobble";
    if (access(game.c_str(), X_OK) != 0) {
        GTEST_SKIP() << "the game program is not built";
    }
    // Both copies carry a name of the test's own, so no other program of the user takes part.
    TempDir dir;
    const std::string name = "tobble-" + std::to_string(getpid());
    const std::string copy = copyOfProgram(game, dir, name);
    TempDir sleeper;
    const pid_t first = startProgram(copyOfProgram("/bin/sleep", sleeper, name), name, false);
    std::FILE* second = popen(("cd / && timeout 120 '" + copy + "' 2>&1").c_str(), "r");
    ASSERT_NE(second, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, second) != nullptr) {
        output += buffer;
    }
    const int status = pclose(second);
    stopProgram(first);
    EXPECT_EQ(output, "Tobble is already running.\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(StartUp, OnlyTheUsersOwnProcessesCount)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs to start a program as another user";
    }
    TempDir dir;
    const std::string name = "tobble-other-" + std::to_string(getpid());
    const pid_t other = startProgram(copyOfProgram("/bin/sleep", dir, name), name, true);
    EXPECT_FALSE(ProcessTools::isAnotherInstanceRunning(name));
    const auto names = ProcessTools::runningProcessNames();
    EXPECT_EQ(std::find(names.begin(), names.end(), name), names.end());
    stopProgram(other);
}

TEST(StartUp, AUserDataFolderThatCannotBeMadeIsReported)
{
    ErrorManager::setThrowForTests(true);
    TempDir dir;
    std::filesystem::create_directories(dir.file("share"));
    std::ofstream(dir.file("share/Kestrelmoor studios")) << "in the way";
    EnvironmentVariable home("XDG_DATA_HOME", dir.file("share"));

    UString problem;
    createUserDataFolder(&problem);
    EXPECT_EQ(problem, utf8ToWide("'" + dir.file("share/Kestrelmoor studios") + "' is in the way of the folder"));

    Kiv::setFolders({}, dir.path());
    testing::internal::CaptureStderr();
    {
        Kiv engine;
    }
    const std::string said = testing::internal::GetCapturedStderr();
    Kiv::setFolders({}, {});
    EXPECT_NE(said.find("The user data folder cannot be used: '" + dir.file("share/Kestrelmoor studios") +
                        "' is in the way of the folder."),
              std::string::npos)
        << said;
}

// Run in a fresh process: the audio library reads its settings once.
TEST(StartUpDeathTest, NoSoundCardGivesOneLogLineAndNoNoise)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EnvironmentVariable drivers("ALSOFT_DRIVERS", "alsa");
    EnvironmentVariable card("ALSA_CARD", "no-such-card");
    unsetenv("ALSOFT_LOGLEVEL");
    EXPECT_EXIT(
        {
            {
                AudioOutput output(22050);
                std::fprintf(stderr, "output: %s\n", output.deviceName().c_str());
            }
            std::exit(0);
        },
        testing::ExitedWithCode(0), "^output: [^\n]*\n$");
}
