#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/core/Process.h"
#include "support/TempDir.h"

namespace {
std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

TEST(Logger, HeaderThenTimedLinesInUtf8WithCrLf)
{
    TempDir dir;
    std::string body;
    {
        char arg0[] = "/opt/tobble/tobble";
        char arg1[] = "-safe";
        char* argv[] = {arg0, arg1, nullptr};
        Process::setCommandLine(2, argv);
        Logger logger(dir.path(), "game.log", "crash.game.log");
        Logger::logFrom("Loader::loadStuff", u"Loading %s (%d).", UString(u"\u00e4"), 3);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        Logger::log(u"%s(): %s", "Kiv::Kiv", u"Started.");
        Logger::log(u"right after");
        body = readFile(dir.file("game.log")); // flushed at once, readable while open
        EXPECT_TRUE(logger.copyToCrashFolder());
        Process::setCommandLine(0, argv);
    }
    EXPECT_EQ(readFile(dir.file("crash.game.log")), body);

    // The header names the application, machine and user, folder, log file and the UTC date.
    for (const char* key : {"Application: ", "Computer: ", "Current folder: ", "Log file: ", "Date: "}) {
        EXPECT_NE(body.find(key), std::string::npos) << key;
    }
    EXPECT_NE(body.find(" UTC\r\n"), std::string::npos);
    EXPECT_NE(body.find("Application: /opt/tobble/tobble ("), std::string::npos) << body;
    EXPECT_NE(body.find("Argument 0: -safe\r\n"), std::string::npos) << body;
    EXPECT_NE(body.find("Log file: " + dir.file("game.log") + "\r\n"), std::string::npos) << body;

    const std::size_t first = body.find("\r\n\tLoader::loadStuff(): Loading \xc3\xa4 (3).\r\n");
    ASSERT_NE(first, std::string::npos) << body;
    const std::size_t second = body.find("+", first + 2);
    ASSERT_NE(second, std::string::npos);
    const std::size_t tab = body.find('\t', second);
    const int ms = std::stoi(body.substr(second + 1, tab - second - 1));
    EXPECT_GE(ms, 15);
    EXPECT_LT(ms, 5000);
    EXPECT_EQ(body.compare(tab, 23, "\tKiv::Kiv(): Started.\r\n"), 0) << body.substr(second);
    // Written at once after the previous line: "\t", or "+<ms>\t" when the machine was slow.
    const std::size_t last = tab + 23;
    const std::size_t lastTab = body.find('\t', last);
    ASSERT_NE(lastTab, std::string::npos);
    if (lastTab != last) {
        EXPECT_EQ(body[last], '+');
        EXPECT_EQ(body.find_first_not_of("0123456789", last + 1), lastTab);
    }
    EXPECT_EQ(body.substr(lastTab), "\tright after\r\n");
    // No bare line feeds anywhere.
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(body[i - 1], '\r');
        }
    }
}

TEST(Logger, ObserverSeesLinesWithoutALogFile)
{
    UString seen;
    Logger::setObserver([&](UStringView line) { seen = UString(line); });
    Logger::logFrom("Global::saveUserData", u"Saving.");
    Logger::setObserver(nullptr);
    EXPECT_EQ(seen, u"Global::saveUserData(): Saving.");
}

TEST(ErrorManager, ReportsNameTheFileWithoutItsFolder)
{
    ErrorManager::setThrowForTests(true);
    try {
        ErrorManager::error(u"Could not find resource 'x'.", "Resource* ResourceManager::find(const UString&, bool)",
                            "/src/engine/files/ResourceManager.cpp", 88);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.message, u"Could not find resource 'x'.");
        EXPECT_EQ(e.report, u"Error: Could not find resource 'x'.\n Function: ResourceManager::find()\n File: "
                            u"ResourceManager.cpp\n Line: 88");
    }
    try {
        ErrorManager::assertionFailed("map.find(key) == map.end()", "void A::add(int)", "C:\\src\\A.cpp", 5);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.report, u"Error: Assertion failed.\n Statement: map.find(key) == map.end()\n Function: A::add()\n "
                            u"File: A.cpp\n Line: 5");
    }
    try {
        ErrorManager::callFailed("bind(s, addr, len)", u"EADDRINUSE", 98, "void NetConnection::open()", "x/Net.cpp", 3);
        FAIL();
    } catch (const FatalError& e) {
        EXPECT_EQ(e.report, u"Error: EADDRINUSE (0x00000062)\n Statement: bind(s, addr, len)\n Function: "
                            u"NetConnection::open()\n File: Net.cpp\n Line: 3");
    }
}

TEST(ErrorManagerDeathTest, FatalPathLogsForcedExitCopiesTheLogAndExitsWithMinusOne)
{
    GTEST_FLAG_SET(death_test_style, "fast"); // the child must write into this test's folder
    TempDir dir;
    EXPECT_EXIT(
        {
            ErrorManager::setThrowForTests(false);
            Logger logger(dir.path(), "game.log", "crash.game.log");
            ErrorManager::PlatformHooks hooks;
            hooks.saveCrashScreenshot = [] {
                std::fprintf(stderr, "SHOT %d\n", ErrorManager::isShuttingDown() ? 1 : 0);
            };
            hooks.restoreDisplay = [] { std::fprintf(stderr, "DISPLAY\n"); };
            hooks.messageBox = [](const UString& title, const UString& text) {
                std::fprintf(stderr, "BOX %s: %s\n", wideToUtf8(title).c_str(), wideToUtf8(text).c_str());
            };
            ErrorManager::setPlatformHooks(hooks);
            KIV_FATAL(u"Unimplemented");
        },
        ::testing::ExitedWithCode(255), "Error: Unimplemented[^@]*SHOT 1[^@]*DISPLAY[^@]*BOX Error: Error: Unimplemented");
    const std::string crash = readFile(dir.file("crash.game.log"));
    EXPECT_NE(crash.find("\tError: Unimplemented\n Function: "), std::string::npos) << crash;
    EXPECT_NE(crash.find("\tForced exit.\r\n"), std::string::npos) << crash;
}
