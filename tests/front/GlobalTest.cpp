// Global: the number formats, the settings it pushes into the engine, the user data across a restart,
// and the shell's quit with the exit link.
#include <gtest/gtest.h>

#include <cmath>

#include "FrontHarness.h"
#include "engine/audio/KivAudio.h"
#include "engine/core/Process.h"
#include "engine/kiv/Kiv.h"
#include "engine/kiv/KivShell.h"
#include "engine/kiv/KivTimer.h"
#include "engine/platform/PlatformWindow.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/front/ShellHooks.h"
#include "game/language/Language.h"
#include "support/KivHarness.h"

namespace {
// An engine with the game's language and no archives: enough for the formats.
class FormatTest : public ::testing::Test {
protected:
    FormatTest() { Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine); }
    ~FormatTest() override { Kiv::setLanguageFactory(nullptr, nullptr); }
    void SetUp() override { harness = std::make_unique<KivHarness>(); }
    void TearDown() override { harness.reset(); }
    void useLanguage(int language) { Kiv::instance()->language->setLanguage(language); }

    std::unique_ptr<KivHarness> harness;
};
} // namespace

TEST_F(FormatTest, NumbersGroupThousandsWithTheLanguagesSeparator)
{
    useLanguage(0);
    EXPECT_EQ(u"0", formatNumber(0));
    EXPECT_EQ(u"999", formatNumber(999));
    EXPECT_EQ(u"1,000", formatNumber(1000));
    EXPECT_EQ(u"1,234,567", formatNumber(1234567));
    EXPECT_EQ(u"-1,234", formatNumber(-1234));
    EXPECT_EQ(u"-123,456", formatNumber(-123456));
    EXPECT_EQ(u"-2,147,483,648", formatNumber(-2147483647 - 1));
    // Byte counts above 2 GiB, as the crash upload announces them.
    EXPECT_EQ(u"3,000,000,000", formatNumber(3000000000LL));
    useLanguage(1);
    EXPECT_EQ(u"1 234 567", formatNumber(1234567));
    EXPECT_EQ(u"-123 456", formatNumber(-123456));
}

TEST_F(FormatTest, MinutesSecondsAndPercentTenths)
{
    useLanguage(0);
    EXPECT_EQ(u"01:23", formatMinutesSeconds(83.9));
    EXPECT_EQ(u"100:00", formatMinutesSeconds(6000.0));
    EXPECT_EQ(u"00:59", formatMinutesSeconds(59.99));
    EXPECT_EQ(u"00:00", formatMinutesSeconds(0.0));
    EXPECT_EQ(u"35791394:07", formatMinutesSeconds(1e39)); // held at the int's end
    EXPECT_EQ(u"00:00", formatMinutesSeconds(std::nan("")));
    EXPECT_EQ(u"100.0%", formatPercentTenths(1000));
    EXPECT_EQ(u"5.7%", formatPercentTenths(57));
    EXPECT_EQ(u"0.0%", formatPercentTenths(0));
    useLanguage(1);
    EXPECT_EQ(u"0,0%", formatPercentTenths(0));
    EXPECT_EQ(u"100,0%", formatPercentTenths(1000));
    EXPECT_EQ(u"01:23", formatMinutesSeconds(83.9));
}

TEST(AngleDifference, TakesTheShorterWayRound)
{
    EXPECT_NEAR(-0.1831853f, angleDifference(0.1f, 6.2f), 1e-4f);
    EXPECT_NEAR(0.1831853f, angleDifference(6.2f, 0.1f), 1e-4f);
    EXPECT_EQ(0.0f, angleDifference(1.0f, 1.0f));
    EXPECT_NEAR(0.5f, angleDifference(-0.25f, 0.25f), 1e-5f);
    EXPECT_NEAR(-1.0f, angleDifference(1.0f, 6.2831855f * 3.0f), 1e-4f);
}

TEST(GameIdentity, ArchiveNamesFollowTheGameId)
{
    EXPECT_EQ(u"TobbleXmasdemo", getGameId());
    EXPECT_EQ("TobbleXmasdemo.dat", getDataArchiveName());
    const std::string folder = getDataFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('/', folder.back());
}

TEST(GlobalSettings, VolumesMapToTheAudioScaleAndMuteSilencesAll)
{
    EXPECT_EQ(0, Global::volumeLevelToScale(0));
    EXPECT_EQ(416, Global::volumeLevelToScale(1));
    EXPECT_EQ(5000, Global::volumeLevelToScale(12));
    EXPECT_EQ(10000, Global::volumeLevelToScale(24));
    // Hand-edited settings far out of range.
    EXPECT_EQ(10000, Global::volumeLevelToScale(2147483647));
    EXPECT_EQ(0, Global::volumeLevelToScale(-2147483647 - 1));

    FrontHarness game;
    Global& global = game.global();
    KivAudio& audio = *Kiv::instance()->audio;
    global.config.soundVolume = 12;
    global.config.musicVolume = 6;
    global.config.bMuteAudio = 0;
    global.config.soundQuality = 1;
    global.config.maximumFps = 50;
    global.applySettings();
    EXPECT_EQ(5000, audio.getGlobalVolume(KivAudio::GVOL_SAMPLE));
    EXPECT_EQ(2500, audio.getGlobalVolume(KivAudio::GVOL_STREAM));
    EXPECT_EQ(2500, audio.getGlobalVolume(KivAudio::GVOL_MUSIC));
    EXPECT_EQ(22050, audio.sampleRate);
    EXPECT_DOUBLE_EQ(0.02, Kiv::instance()->timer->framePeriod);
    global.config.bMuteAudio = 1;
    global.applySettings();
    EXPECT_EQ(0, audio.getGlobalVolume(KivAudio::GVOL_SAMPLE));
    EXPECT_EQ(0, audio.getGlobalVolume(KivAudio::GVOL_STREAM));
    EXPECT_EQ(0, audio.getGlobalVolume(KivAudio::GVOL_MUSIC));
}

TEST(GlobalUserData, RestartReadsTheSavedRecordsBack)
{
    FrontHarness game;
    ASSERT_TRUE(game.runUntilLoaded());
    Global* first = &game.global();
    first->config.soundVolume = 7;
    first->config.detail = 0;
    first->profiles.addProfile(u"Rosa");
    Kiv::instance()->defaultLanguage = 1;
    game.restart();
    EXPECT_NE(nullptr, Global::instance());
    Global& second = game.global();
    EXPECT_EQ(7, second.config.soundVolume);
    EXPECT_EQ(0, second.config.detail);
    EXPECT_EQ(u"Rosa", second.profiles.getProfileName(second.profiles.currentProfile));
    EXPECT_EQ(1, Kiv::instance()->defaultLanguage);
    EXPECT_EQ(-1, second.highlightedHighScore);
    EXPECT_TRUE(second.exitUrl.empty());
    // The whole start-up runs again on the new Global.
    EXPECT_EQ("loader", game.screens());
    ASSERT_TRUE(game.runUntilLoaded());
    EXPECT_EQ("loader(closed) menu story splash", game.screens());
}

TEST(GlobalUserData, SaveWritesBothRecordsAndTheEngineConfiguration)
{
    FrontHarness game;
    const std::string folder = game.engine().userFolder.path();
    std::remove((folder + ".cfg").c_str());
    game.global().saveUserData();
    EXPECT_TRUE(game.engine().logContains("Global::saveUserData(): Saving."));
    EXPECT_FALSE(KivHarness::readFile(folder + "TobbleXmasdemo.hst").empty());
    EXPECT_FALSE(KivHarness::readFile(folder + "TobbleXmasdemo.pro").empty());
    EXPECT_FALSE(KivHarness::readFile(folder + ".cfg").empty());
}

TEST(Shell, QuitClosesTheGameThenTheEngineAndOpensTheExitLink)
{
    FrontHarness game;
    game.destroyGame();
    game.engine().stop();
    std::string opened;
    {
        KivShell shell(game.engine().window(), makeGameHooks());
        shell.openLink = [&opened](const std::string& url) { opened = url; };
        for (int i = 0; i < 50 && (Global::instance() == nullptr || Global::instance()->contextManager->getLastChild() == nullptr ||
                                   Global::instance()->contextManager->getFirstChild()->getNext() == nullptr);
             ++i) {
            shell.gameLoopStep();
        }
        ASSERT_NE(nullptr, Global::instance());
        // The restart flag: the game and the engine go at the end of the step and come back in the next.
        Process::setRestartRequested(true);
        shell.gameLoopStep();
        EXPECT_FALSE(shell.hasEngine());
        EXPECT_EQ(nullptr, Global::instance());
        shell.gameLoopStep();
        EXPECT_TRUE(shell.hasEngine());
        ASSERT_NE(nullptr, Global::instance());
        Global::instance()->exitUrl = u"https://example.org/help";
        Global::instance()->contextManager->bQuit = true;
        shell.gameLoopStep();
        EXPECT_TRUE(game.engine().window().quitRequested());
        shell.windowClose();
        EXPECT_EQ(nullptr, Global::instance());
        EXPECT_EQ(nullptr, Kiv::instance());
    }
    EXPECT_EQ("https://example.org/help", opened);
    const KivHarness& log = game.engine();
    const int entering = log.logIndex("createKIV(): Entering game loop.");
    EXPECT_GE(entering, 0);
    EXPECT_GT(log.logIndex("deleteKIV(): KIV shutting down...", entering), entering);
    game.engine().start(); // the harness ends with an engine of its own
}

TEST(GlobalUserData, ChangingThePlayerForgetsTheHighlightedHighScore)
{
    FrontHarness game;
    Global& global = game.global();
    global.highlightedHighScore = 5;
    global.profiles.addProfile(u"Jo");
    EXPECT_EQ(-1, global.highlightedHighScore);
}
