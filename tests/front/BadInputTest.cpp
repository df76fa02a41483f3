// Damaged or missing data: the start-up stops with the documented message, or takes the documented default.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "FrontHarness.h"
#include "engine/core/ErrorManager.h"
#include "engine/kiv/Kiv.h"
#include "game/front/Global.h"
#include "game/front/Loader.h"
#include "game/language/Language.h"
#include "support/TempDir.h"

extern char** environ;

namespace {
// Runs the start-up until it stops; returns the fatal message ("" when it finished).
UString loadUntilFatal(FrontHarness& game)
{
    try {
        game.createGame();
        game.runUntilLoaded();
    } catch (const FatalError& error) {
        return error.message;
    }
    return {};
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST(BadInput, MissingMainArchiveStopsBeforeTheLoader)
{
    FrontHarness game({}, "en_GB.UTF-8", {}, false);
    std::remove(game.engine().dataFolder.file("TobbleXmasdemo.dat").c_str());
    const UString message = loadUntilFatal(game);
    EXPECT_NE(UString::npos, message.find(u"Failed to open file")) << wideToUtf8(message);
    EXPECT_NE(UString::npos, message.find(u"TobbleXmasdemo.dat'")) << wideToUtf8(message);
}

TEST(BadInput, FontWithoutGlyphPagesInAnyCodePageIsFatal)
{
    FrontHarness game({}, "en_GB.UTF-8", {}, false);
    game.replaceArchive("TobbleXmasdemo.dat.1252",
                        [](const std::string& name) { return name.find("font-small-") == std::string::npos; });
    EXPECT_EQ(u"Could not find any 8-bit glyphs for font 'font-small'", loadUntilFatal(game));
}

TEST(BadInput, FlagSheetWithoutAFlagForAnOfferedLanguageIsFatal)
{
    FrontHarness game({}, "en_GB.UTF-8", {}, false);
    // A flag sheet with the English flag only: German, on offer, has no picture.
    const std::string sheet = "[Skin 0]\r\nleft=0\r\ntop=0\r\nwidth=32\r\nheight=32\r\n";
    game.replaceArchive("TobbleXmasdemo.dat.language.v2", [](const std::string&) { return true; },
                        {{"gfx/system/languageflags.ini", sheet}});
    const UString message = loadUntilFatal(game);
    EXPECT_EQ(u"Assertion failed.", message);
    EXPECT_TRUE(game.engine().logContains("ContextLanguageSelect::isoCode2skinIndex(isoCode)"));
}

TEST(BadInput, MissingFlagSheetIsFatal)
{
    FrontHarness game({}, "en_GB.UTF-8", {}, false);
    game.replaceArchive("TobbleXmasdemo.dat.language.v2",
                        [](const std::string& name) { return name.find("languageflags") == std::string::npos; });
    const UString message = loadUntilFatal(game);
    EXPECT_NE(UString::npos, message.find(u"languageflags")) << wideToUtf8(message);
}

// The real program with no archive beside it: the report is logged and the process ends with its exit
// code, not a signal.
TEST(BadInput, ProgramWithoutArchivesEndsCleanlyWithTheLogWritten)
{
    TempDir dir;
    // A name of its own: a game the user runs, or another test's copy, must not count as a second instance.
    const std::string program = dir.file("tobble-" + std::to_string(getpid()));
    {
        std::ifstream in(std::string(TOBBLE_RUNTIME_DIR) + "/tobble", std::ios::binary);
        std::ofstream out(program, std::ios::binary);
        out << in.rdbuf();
    }
    chmod(program.c_str(), 0755);
    std::ofstream(dir.file(".cfg.static")) << FrontHarness::defaultStaticConfig();
    const std::string home = "HOME=" + dir.path() + "home";
    const std::string xdg = "XDG_DATA_HOME=" + dir.path() + "home";
    std::vector<std::string> env = {home, xdg, "SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy",
                                    "ALSOFT_DRIVERS=null", "LANG=C"};
    // The renderer and sanitizer settings of the test go with it.
    for (const char* name : {"LP_NUM_THREADS", "ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) {
            env.push_back(std::string(name) + "=" + value);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(0, posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()));
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(255, WEXITSTATUS(status));
    const std::string log = fileText(dir.path() + "home/Kestrelmoor studios/TobbleXmasdemo/1.25/TobbleXmasdemo.log");
    EXPECT_NE(std::string::npos, log.find("Failed to open file")) << log;
    EXPECT_NE(std::string::npos, log.find("Forced exit."));
}
