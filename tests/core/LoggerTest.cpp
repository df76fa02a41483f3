#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
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
        Logger logger(dir.path(), "game.log", "crash.game.log");
        Logger::logFrom("Loader::loadStuff", u"Loading %s (%d).", UString(u"\u00e4"), 3);
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        Logger::log(u"%s(): %s", "Kiv::Kiv", u"Started.");
        Logger::log(u"right after");
        body = readFile(dir.file("game.log")); // flushed at once, readable while open
        EXPECT_TRUE(logger.copyToCrashFolder());
    }
    EXPECT_EQ(readFile(dir.file("crash.game.log")), body);

    // The header names the application, machine and user, folder, log file and the UTC date.
    for (const char* key : {"Application: ", "Computer: ", "Current folder: ", "Log file: ", "Date: "}) {
        EXPECT_NE(body.find(key), std::string::npos) << key;
    }
    EXPECT_NE(body.find(" UTC\r\n"), std::string::npos);

    const std::size_t first = body.find("\r\n\tLoader::loadStuff(): Loading \xc3\xa4 (3).\r\n");
    ASSERT_NE(first, std::string::npos) << body;
    const std::size_t second = body.find("+", first + 2);
    ASSERT_NE(second, std::string::npos);
    const std::size_t tab = body.find('\t', second);
    const int ms = std::stoi(body.substr(second + 1, tab - second - 1));
    EXPECT_GE(ms, 15);
    EXPECT_LT(ms, 5000);
    EXPECT_EQ(body.compare(tab, 29, "\tKiv::Kiv(): Started.\r\n\tright"), 0) << body.substr(second);
    EXPECT_EQ(body.substr(body.size() - 13), "right after\r\n");
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
            KIV_FATAL(u"Unimplemented");
        },
        ::testing::ExitedWithCode(255), "Error: Unimplemented");
    const std::string crash = readFile(dir.file("crash.game.log"));
    EXPECT_NE(crash.find("\tError: Unimplemented\n Function: "), std::string::npos) << crash;
    EXPECT_NE(crash.find("\tForced exit.\r\n"), std::string::npos) << crash;
}
