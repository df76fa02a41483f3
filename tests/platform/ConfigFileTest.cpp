// The user configuration file is never lost: a FIFO, a device or an oversized file is refused without
// blocking and left alone, an unparseable one is logged and kept as ".bad" before it is replaced, a link is
// followed, numbers are held to their ranges, and a size the display cannot show is fitted to it. Leftovers
// of interrupted saves go at start-up.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/files/FileIO.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/render/KivGraphics.h"
#include "support/KivHarness.h"

namespace {
void writeText(const std::string& path, const std::string& text)
{
    ASSERT_TRUE(FileIO::writeFileReplacing(path, text.data(), text.size()));
}

bool isFifo(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}
} // namespace

TEST(ConfigFile, AFifoIsRefusedWithoutBlockingAndLeftInPlace)
{
    KivHarness h;
    h.stop();
    const std::string cfg = h.userFolder.file(".cfg");
    std::remove(cfg.c_str());
    ASSERT_EQ(mkfifo(cfg.c_str(), 0644), 0);
    h.start(); // nobody writes to the FIFO: a blocking read would hang here
    EXPECT_EQ(h.kiv().defaultLanguage, -2);
    EXPECT_TRUE(h.logContains("Warning: Could not read '" + cfg + "'"));
    h.stop();
    EXPECT_TRUE(isFifo(cfg));
    EXPECT_TRUE(h.logContains("could not be read in this run; not saved over"));
}

TEST(ConfigFile, AnOversizedFileIsNotSavedOver)
{
    const std::string big = "[Kiv]\r\ndefaultLanguage=1\r\n" + std::string(2 << 20, ';');
    KivHarness h({}, big);
    EXPECT_EQ(h.kiv().defaultLanguage, -2);
    h.stop();
    EXPECT_EQ(KivHarness::readFile(h.userFolder.file(".cfg")), big);
}

TEST(ConfigFile, AnUnparseableFileIsLoggedAndKeptBeforeItIsReplaced)
{
    const std::string damaged = "Do NOT modify this file!\r\n[Kiv]\r\ndefaultLanguage=1\r\nthis is no setting\r\n";
    KivHarness h({}, damaged);
    EXPECT_EQ(h.kiv().defaultLanguage, 1); // what parsed is taken
    EXPECT_TRUE(h.logContains("could not be parsed (line 4); it will be replaced."));
    EXPECT_TRUE(h.logContains("is kept as '" + h.userFolder.file(".cfg.bad") + "'"));
    EXPECT_EQ(KivHarness::readFile(h.userFolder.file(".cfg.bad")), damaged);
    h.stop();
    const std::string saved = KivHarness::readFile(h.userFolder.file(".cfg"));
    EXPECT_EQ(saved.find("this is no setting"), std::string::npos);
    EXPECT_NE(saved.find("defaultLanguage=1"), std::string::npos);

    // Binary junk is no text either; the file this program wrote is.
    h.start();
    EXPECT_FALSE(h.logContains("could not be parsed (line 1)"));
    h.stop();
    writeText(h.userFolder.file(".cfg"), std::string("[Kiv]\0\x01\x02", 8));
    h.start();
    EXPECT_TRUE(h.logContains("could not be parsed (line 1)"));
}

TEST(ConfigFile, ALinkIsFollowedOnWrite)
{
    KivHarness h;
    h.stop();
    const std::string target = h.userFolder.file("elsewhere.cfg");
    writeText(target, "[Kiv]\r\ndefaultLanguage=3\r\n");
    std::remove(h.userFolder.file(".cfg").c_str());
    ASSERT_EQ(symlink("elsewhere.cfg", h.userFolder.file(".cfg").c_str()), 0);
    h.start();
    EXPECT_EQ(h.kiv().defaultLanguage, 3);
    h.kiv().defaultLanguage = 4;
    h.stop();
    struct stat info {};
    ASSERT_EQ(lstat(h.userFolder.file(".cfg").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_NE(KivHarness::readFile(target).find("defaultLanguage=4"), std::string::npos);
}

TEST(ConfigFile, NumbersAreHeldToTheirRanges)
{
    KivHarness h("[Graphics]\r\nhq2x=7\r\n[Language]\r\nsingleLanguage=-40\r\n",
                 "[Kiv]\r\ndefaultLanguage=9999\r\n[KivGraphics]\r\nvideoModeWidth=-5\r\nvideoModeHeight=2\r\n");
    Kiv& kiv = h.kiv();
    EXPECT_EQ(kiv.hq2x, 2);
    EXPECT_EQ(kiv.singleLanguage, -1);
    EXPECT_EQ(kiv.defaultLanguage, 63);
    ASSERT_NE(kiv.graphics, nullptr);
    // A window size out of range is the default one, not the smallest.
    EXPECT_EQ(kiv.graphics->videoModeWidth, 800);
    EXPECT_EQ(kiv.graphics->videoModeHeight, 600);
    EXPECT_TRUE(h.logContains("Warning: KivGraphics videoModeWidth=-5 is out of range; using 800."));
    EXPECT_TRUE(h.logContains("Warning: KivGraphics videoModeHeight=2 is out of range; using 600."));
    EXPECT_FALSE(h.logContains("goes with an unusable")) << "both axes are at their defaults already";

    // One axis out of range makes no size either: both axes take the default.
    for (const auto& [cfg, line] :
         {std::pair{"videoModeWidth=0\r\nvideoModeHeight=700", "KivGraphics videoModeHeight=700 goes with an unusable "
                                                                 "videoModeWidth; using 600."},
          std::pair{"videoModeWidth=700\r\nvideoModeHeight=0", "KivGraphics videoModeWidth=700 goes with an unusable "
                                                                 "videoModeHeight; using 800."}}) {
        SCOPED_TRACE(cfg);
        h.stop();
        writeText(h.userFolder.file(".cfg"), std::string("[KivGraphics]\r\n") + cfg + "\r\n");
        h.start();
        EXPECT_EQ(std::make_pair(h.kiv().graphics->videoModeWidth, h.kiv().graphics->videoModeHeight),
                  std::make_pair(800, 600));
        EXPECT_TRUE(h.logContains(std::string("Warning: ") + line));
    }
}

// The files the build ships start the game without a warning, and a value at the lowest bound of its range
// is kept.
TEST(ConfigFile, TheShippedFilesAndValuesAtTheirLowestBoundsAreKept)
{
    const std::string shipped = KivHarness::readFile(std::string(TOBBLE_RUNTIME_DIR) + "/.cfg.static");
    ASSERT_FALSE(shipped.empty());
    KivHarness h(shipped, "[KivGraphics]\r\nvideoModeWidth=320\r\nvideoModeHeight=240\r\n");
    EXPECT_EQ(h.kiv().singleLanguage, -1);
    EXPECT_EQ(h.kiv().hq2x, 1);
    EXPECT_EQ(std::make_pair(h.kiv().graphics->videoModeWidth, h.kiv().graphics->videoModeHeight),
              std::make_pair(320, 240));
    for (const std::string& line : h.logLines()) {
        EXPECT_EQ(line.find("Warning:"), std::string::npos) << line;
    }
}

// Values that are no number, or neither Yes nor No, are logged as unreadable and replaced as they are; a
// number too large for its setting is out of range.
TEST(ConfigFile, UnreadableValuesGetTheirDefaultsWithAWarning)
{
    KivHarness h({}, "[Kiv]\r\ndefaultLanguage=99999999999\r\nbTickWhilePaused=1\r\n[KivGraphics]\r\n"
                     "videoModeWidth=abc\r\nvideoModeHeight=800abc\r\nbFullScreen=Maybe\r\n");
    EXPECT_EQ(h.kiv().defaultLanguage, -2);
    EXPECT_EQ(std::make_pair(h.kiv().graphics->videoModeWidth, h.kiv().graphics->videoModeHeight),
              std::make_pair(800, 600));
    for (const char* line : {"Kiv defaultLanguage=99999999999 is out of range; using -2.",
                             "Kiv bTickWhilePaused=1 cannot be read; using No.",
                             "KivGraphics videoModeWidth=abc cannot be read; using 800.",
                             "KivGraphics videoModeHeight=800abc cannot be read; using 600.",
                             "KivGraphics bFullScreen=Maybe cannot be read; using No."}) {
        EXPECT_TRUE(h.logContains(std::string("Warning: ") + line)) << line;
    }
    // A lone minus sign is no number; a usable axis at its default stays without a word.
    h.stop();
    writeText(h.userFolder.file(".cfg"),
              "[Kiv]\r\ndefaultLanguage=-\r\n[KivGraphics]\r\nvideoModeWidth=abc\r\nvideoModeHeight=600\r\n");
    h.start();
    EXPECT_EQ(h.kiv().defaultLanguage, -2);
    EXPECT_TRUE(h.logContains("Warning: Kiv defaultLanguage=- cannot be read; using -2."));
    EXPECT_EQ(h.kiv().graphics->videoModeHeight, 600);
    EXPECT_FALSE(h.logContains("goes with an unusable"));
    // A long value is quoted shortened, its control characters escaped.
    h.stop();
    writeText(h.userFolder.file(".cfg"), "[Kiv]\r\nbTickWhilePaused=\x1b" + std::string(100000, 'y') + "\r\n");
    h.start();
    EXPECT_FALSE(h.kiv().bTickWhilePaused);
    EXPECT_TRUE(h.logContains("Warning: Kiv bTickWhilePaused=\\x1b" + std::string(39, 'y') +
                              "... cannot be read; using No."));
    EXPECT_FALSE(h.logContains(std::string(40, 'y')));
}

// A window kept from a larger monitor opens at a listed mode that fits this display and is saved at that size;
// one that fits but would run past the display's edge where windows open is moved onto it.
TEST(ConfigFile, AWindowLargerThanTheDisplayOpensAtAModeThatFits)
{
    KivHarness h({}, "[KivGraphics]\r\nvideoModeWidth=16384\r\nvideoModeHeight=16384\r\nbFullScreen=No\r\n");
    const DisplayArea::Rect display = h.window().displayArea().bounds;
    KivGraphics& graphics = *h.kiv().graphics;
    const int width = graphics.videoModeWidth, height = graphics.videoModeHeight;
    EXPECT_TRUE(h.logContains("Warning: a window of 16384x16384 does not fit the display (" +
                              std::to_string(display.width) + "x" + std::to_string(display.height) + "); using " +
                              std::to_string(width) + "x" + std::to_string(height) + "."));
    EXPECT_EQ(graphics.getDevice().drawableSize(), std::make_pair(width, height));
    h.stop();
    const std::string saved = KivHarness::readFile(h.userFolder.file(".cfg"));
    EXPECT_NE(saved.find("videoModeWidth=" + std::to_string(width) + "\r\n"), std::string::npos);

    writeText(h.userFolder.file(".cfg"), "[KivGraphics]\r\nvideoModeWidth=" + std::to_string(display.width - 10) +
                                             "\r\nvideoModeHeight=" + std::to_string(display.height) + "\r\n");
    h.start();
    EXPECT_EQ(h.window().position(), std::make_pair(10, 0));

    // Under a window manager the window fits, title bar and borders included, in what its panels leave free:
    // here 480x360 with a panel of 40 at the top and 30 at the bottom. The window opens at 50,50.
    h.stop();
    DisplayArea area;
    area.bounds = {0, 0, 480, 360};
    area.usable = {0, 40, 480, 290};
    area.frameLeft = area.frameRight = area.frameBottom = 1;
    area.frameTop = 20;
    h.window().standInDisplay(area);
    writeText(h.userFolder.file(".cfg"), "[KivGraphics]\r\nvideoModeWidth=480\r\nvideoModeHeight=360\r\n");
    h.start();
    EXPECT_TRUE(h.logContains("Warning: a window of 480x360 does not fit the display (478x269); using 320x240."));
    auto standsWhole = [&](const char* when) {
        SCOPED_TRACE(when);
        const auto [x, y] = h.window().position();
        const int w = h.window().width(), hh = h.window().height();
        EXPECT_EQ(std::make_pair(w, hh), std::make_pair(320, 240));
        EXPECT_EQ(std::make_pair(h.kiv().graphics->videoModeWidth, h.kiv().graphics->videoModeHeight),
                  std::make_pair(320, 240));
        EXPECT_GE(x - area.frameLeft, area.usable.x);
        EXPECT_GE(y - area.frameTop, area.usable.y);
        EXPECT_LE(x + w + area.frameRight, area.usable.x + area.usable.width);
        EXPECT_LE(y + hh + area.frameBottom, area.usable.y + area.usable.height);
    };
    standsWhole("at start-up");
    // Full screen at the display's size, then back in a window: the window takes the size it took at start-up.
    KivGraphics& shown = *h.kiv().graphics;
    shown.changePresentationParameters(480, 360, true, shown.bLetterbox, shown.bBilinearFilter, shown.bVSync);
    h.frame();
    ASSERT_EQ(std::make_pair(shown.width, shown.height), std::make_pair(480, 360));
    shown.changePresentationParameters(-1, -1, false, shown.bLetterbox, shown.bBilinearFilter, shown.bVSync);
    h.frame();
    standsWhole("back from full screen");
    // The size saved is the one used, and the next start on this desktop keeps it without a word.
    h.stop();
    EXPECT_NE(KivHarness::readFile(h.userFolder.file(".cfg")).find("videoModeWidth=320\r\nvideoModeHeight=240\r\n"),
              std::string::npos);
    const int before = static_cast<int>(h.logLines().size());
    h.start();
    standsWhole("at the next start");
    EXPECT_EQ(h.logIndex("Warning:", before), -1);
}

// A size too large for the room the window manager leaves a window keeps the window standing rather than
// shrinking it to a smaller listed mode; the size used is saved, and the next start opens at it without a word.
TEST(ConfigFile, AWindowStandingIsKeptForASizeThatCannotFit)
{
    KivHarness h({}, {}, 1280, 1024);
    h.stop();
    DisplayArea area; // 1280x1024 with a taskbar of 25: room for 1270x969 inside the frame
    area.bounds = {0, 0, 1280, 1024};
    area.usable = {0, 0, 1280, 999};
    area.frameLeft = area.frameRight = area.frameBottom = 5;
    area.frameTop = 25;
    h.window().standInDisplay(area);
    writeText(h.userFolder.file(".cfg"), "[KivGraphics]\r\nvideoModeWidth=1024\r\nvideoModeHeight=768\r\n");
    h.start();
    KivGraphics& graphics = *h.kiv().graphics;
    const auto [width, height] = graphics.windowSizeThatFits(1280, 1024);
    ASSERT_EQ(std::make_pair(width, height), std::make_pair(1024, 768));
    EXPECT_TRUE(h.logContains("Warning: a window of 1280x1024 does not fit the display (1270x969); keeping 1024x768."));
    graphics.changePresentationParameters(width, height, false, graphics.bLetterbox, graphics.bBilinearFilter,
                                          graphics.bVSync);
    h.frame();
    h.stop();
    EXPECT_NE(KivHarness::readFile(h.userFolder.file(".cfg")).find("videoModeWidth=1024\r\nvideoModeHeight=768\r\n"),
              std::string::npos);
    const int before = static_cast<int>(h.logLines().size());
    h.start();
    EXPECT_EQ(std::make_pair(h.window().width(), h.window().height()), std::make_pair(1024, 768));
    EXPECT_EQ(h.logIndex("Warning:", before), -1);
    // Full screen at the display's size, then a window again: the window that stood before comes back.
    KivGraphics& again = *h.kiv().graphics;
    again.changePresentationParameters(1280, 1024, true, again.bLetterbox, again.bBilinearFilter, again.bVSync);
    h.frame();
    again.changePresentationParameters(-1, -1, false, again.bLetterbox, again.bBilinearFilter, again.bVSync);
    h.frame();
    EXPECT_EQ(std::make_pair(again.width, again.height), std::make_pair(1024, 768));
}

// Full screen at a size the display cannot show falls back as a window does, and the size used is saved.
// The harness's window opens at 50,50.
TEST(ConfigFile, AFullScreenLargerThanTheDisplayTakesAModeThatFits)
{
    KivHarness h;
    h.stop();
    DisplayArea area;
    area.bounds = area.usable = {0, 0, 1280, 1024};
    h.window().standInDisplay(area);
    writeText(h.userFolder.file(".cfg"),
              "[KivGraphics]\r\nvideoModeWidth=7680\r\nvideoModeHeight=4320\r\nbFullScreen=Yes\r\n");
    h.start();
    KivGraphics& graphics = *h.kiv().graphics;
    // The largest listed mode up to 1280x1024: the test display lists only the small test modes.
    const std::pair<int, int> fits(480, 360);
    EXPECT_TRUE(graphics.bFullScreen);
    EXPECT_EQ(std::make_pair(graphics.width, graphics.height), fits);
    EXPECT_TRUE(h.logContains("Warning: a full-screen mode of 7680x4320 does not fit the display (1280x1024); using " +
                              std::to_string(fits.first) + "x" + std::to_string(fits.second) + "."));
    // Laid over the display for full screen, the window is back where it stood when it is a window again.
    graphics.changePresentationParameters(-1, -1, false, graphics.bLetterbox, graphics.bBilinearFilter,
                                          graphics.bVSync);
    h.frame();
    EXPECT_EQ(h.window().position(), std::make_pair(50, 50));
    graphics.changePresentationParameters(-1, -1, true, graphics.bLetterbox, graphics.bBilinearFilter,
                                          graphics.bVSync);
    h.frame();
    h.stop();
    const std::string saved = KivHarness::readFile(h.userFolder.file(".cfg"));
    EXPECT_NE(saved.find("videoModeWidth=" + std::to_string(fits.first) + "\r\nvideoModeHeight=" +
                         std::to_string(fits.second) + "\r\nbFullScreen=Yes\r\n"),
              std::string::npos)
        << saved;
}

// The size a display gets in place of one too large for it: the largest listed mode that fits (modes in the
// list's order, ascending by width, then height), else the default; the window standing, where it fits, unless
// that mode is at least as large both ways.
TEST(ConfigFile, ASizeTooLargeForTheDisplayTakesTheLargestListedModeThatFits)
{
    struct Row {
        int displayWidth, displayHeight, askedWidth, askedHeight;
        std::pair<int, int> expected;
        std::pair<int, int> standing{};
    };
    const Row rows[] = {
        {1280, 1024, 7680, 4320, {1280, 1024}},
        {1280, 1024, 1000, 700, {1000, 700}}, // fits: kept, listed or not
        {1270, 969, 1280, 1024, {1024, 768}}, // a display-sized window in the room its frame leaves
        {1280, 800, 1280, 1024, {1280, 720}},
        {0, 0, 7680, 4320, {7680, 4320}},     // the display is not known
        {1270, 969, 1920, 1080, {1024, 768}, {1000, 700}},
        {1270, 969, 1920, 1080, {1100, 700}, {1100, 700}}, // not narrowed to 1024
        {1270, 969, 1920, 1080, {1024, 768}, {1280, 700}}, // the window standing is too wide itself
        {1280, 1024, 1000, 700, {1000, 700}, {1200, 900}}, // a smaller size that fits
    };
    std::vector<KivGraphics::VideoMode> modes;
    for (const auto& [w, h] :
         std::vector<std::pair<int, int>>{{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}}) {
        modes.push_back({w, h, w, h});
    }
    for (const Row& row : rows) {
        EXPECT_EQ(KivGraphics::windowSizeForDisplay(row.askedWidth, row.askedHeight, row.displayWidth,
                                                    row.displayHeight, modes, row.standing),
                  row.expected)
            << row.askedWidth << "x" << row.askedHeight << " on " << row.displayWidth << "x" << row.displayHeight
            << " from " << row.standing.first << "x" << row.standing.second;
    }
    // A display that lists only its own size, which no window fits beside a panel: the default, or the window
    // standing where it is larger.
    const std::vector<KivGraphics::VideoMode> own = {{1940, 1100, 1940, 1100}};
    EXPECT_EQ(KivGraphics::windowSizeForDisplay(1940, 1100, 1930, 1045, own), std::make_pair(800, 600));
    EXPECT_EQ(KivGraphics::windowSizeForDisplay(1940, 1100, 1930, 1045, own, {1024, 768}), std::make_pair(1024, 768));
}

TEST(ConfigFile, LeftoversOfAnInterruptedSaveAreRemovedAtStartUp)
{
    KivHarness h;
    h.stop();
    writeText(h.userFolder.file(".cfg.tmp"), "half");
    writeText(h.userFolder.file("TobbleXmasdemo.pro.tmp"), "half");
    h.start();
    EXPECT_NE(access(h.userFolder.file(".cfg.tmp").c_str(), F_OK), 0);
    EXPECT_NE(access(h.userFolder.file("TobbleXmasdemo.pro.tmp").c_str(), F_OK), 0);
    EXPECT_TRUE(h.logContains("Removed 'TobbleXmasdemo.pro.tmp', left by an interrupted save."));

    // The editor's levels are saved the same way, into their own folder.
    h.stop();
    mkdir(h.userFolder.file("levels").c_str(), 0755);
    writeText(h.userFolder.file("levels/b1.lev"), "whole");
    writeText(h.userFolder.file("levels/b1.lev.tmp"), "half");
    h.start();
    EXPECT_NE(access(h.userFolder.file("levels/b1.lev.tmp").c_str(), F_OK), 0);
    EXPECT_EQ(access(h.userFolder.file("levels/b1.lev").c_str(), F_OK), 0);
    EXPECT_TRUE(h.logContains("Removed 'levels/b1.lev.tmp', left by an interrupted save."));
}
