// The crash handler's dump (in a child process that crashes), the single-instance test over /proc and the
// opening of links.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "engine/platform/CrashHandler.h"
#include "engine/platform/ProcessTools.h"
#include "support/EnvironmentVariable.h"
#include "support/KivHarness.h"
#include "support/TempDir.h"

namespace {
// Runs `crash` in a child process with the handler installed; returns the signal that ended it.
template <class Fn>
int crashInChild(const TempDir& dir, Fn crash)
{
    const pid_t child = fork();
    if (child == 0) {
        CrashHandler::install();
        CrashHandler::setPaths(dir.file("crash.TobbleXmasdemo.mdmp"), dir.file("TobbleXmasdemo.log"),
                               dir.file("crash.TobbleXmasdemo.log"));
        crash();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}
} // namespace

TEST(CrashHandler, WritesTheDumpAndCopiesTheLogThenDiesOfTheSignal)
{
    TempDir dir;
    {
        std::ofstream log(dir.file("TobbleXmasdemo.log"), std::ios::binary);
        log << "\tKiv::Kiv(): Started.\r\n";
    }
    // A page nobody may touch: a real fault at a known address.
    void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(page, MAP_FAILED);
    const int sig = crashInChild(dir, [page] { *static_cast<volatile int*>(page) = 42; });
    EXPECT_EQ(sig, SIGSEGV);
    char address[32];
    std::snprintf(address, sizeof(address), "Address: 0x%016lx", reinterpret_cast<unsigned long>(page));
    munmap(page, 4096);
    const std::string dump = KivHarness::readFile(dir.file("crash.TobbleXmasdemo.mdmp"));
    EXPECT_NE(dump.find("Signal: 11 SIGSEGV"), std::string::npos) << dump;
    EXPECT_NE(dump.find(address), std::string::npos) << dump;
    EXPECT_NE(dump.find("Backtrace:\n"), std::string::npos);
    EXPECT_GT(dump.size(), dump.find("Backtrace:\n") + 12); // at least one frame
    EXPECT_EQ(KivHarness::readFile(dir.file("crash.TobbleXmasdemo.log")), "\tKiv::Kiv(): Started.\r\n");
}

TEST(CrashHandler, CatchesAbortAndArithmeticFaults)
{
    for (int wanted : {SIGABRT, SIGFPE}) {
        TempDir dir;
        const int sig = crashInChild(dir, [wanted] { raise(wanted); });
        EXPECT_EQ(sig, wanted);
        const std::string dump = KivHarness::readFile(dir.file("crash.TobbleXmasdemo.mdmp"));
        EXPECT_NE(dump.find("Signal: " + std::to_string(wanted)), std::string::npos) << dump;
    }
}

TEST(ProcessTools, AnotherInstanceIsFoundByExecutableName)
{
    // A program of a name nobody else uses: a copy of sleep.
    TempDir dir;
    const std::string name = "tobble-twin-" + std::to_string(getpid());
    const std::string path = dir.file(name);
    {
        std::ifstream in("/bin/sleep", std::ios::binary);
        std::ofstream out(path, std::ios::binary);
        out << in.rdbuf();
    }
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
    EXPECT_FALSE(ProcessTools::isAnotherInstanceRunning(name));

    const pid_t twin = fork();
    if (twin == 0) {
        execl(path.c_str(), name.c_str(), "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Seen once it runs under its name (after the exec), however long a busy machine takes to get there.
    bool seen = false;
    auto ended = [&] { // left unreaped, so the kill below cannot reach another process
        siginfo_t info{};
        return waitid(P_PID, static_cast<id_t>(twin), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == twin;
    };
    while (!(seen = ProcessTools::isAnotherInstanceRunning(name)) && !ended()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(seen);
    // Only the same user's processes count: to another user the twin is none of theirs.
    EXPECT_FALSE(ProcessTools::isAnotherInstanceRunning(name, getuid() + 1));
    const auto names = ProcessTools::runningProcessNames();
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
    kill(twin, SIGKILL);
    waitpid(twin, nullptr, 0);
    EXPECT_FALSE(ProcessTools::isAnotherInstanceRunning(name));
}

TEST(ProcessTools, ALinkGoesToTheOpenerOnThePathOrComesBackWithTheReason)
{
    TempDir dir;
    EnvironmentVariable path("PATH", dir.path());
    const std::string url = "http://localhost/tobble/help.php?q=a b&c=$(d)";
    std::string reason;
    EXPECT_FALSE(ProcessTools::openUrl(url, reason));
    EXPECT_EQ(reason, "xdg-open could not be started: No such file or directory");

    // An opener that notes what it was given, whole, as one argument.
    {
        std::ofstream opener(dir.file("xdg-open"));
        opener << "#!/bin/sh\necho \"$1\" > '" << dir.file("given.part") << "' && /bin/mv '" << dir.file("given.part")
               << "' '" << dir.file("given") << "'\n";
    }
    ASSERT_EQ(chmod(dir.file("xdg-open").c_str(), 0755), 0);
    EXPECT_TRUE(ProcessTools::openUrl(url, reason)) << reason;
    EXPECT_EQ(reason, "");
    // The opener runs on its own; a minute is far beyond what it takes on a busy machine.
    std::string given;
    for (int i = 0; i < 6000 && given.empty(); ++i) {
        given = KivHarness::readFile(dir.file("given"));
        if (given.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    EXPECT_EQ(given, url + "\n");
}
