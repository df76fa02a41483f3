// The high-score pages: the season pages, the best run of a level, the reset after YES only, the
// world-wide link.
#include "OptionsFixture.h"

#include <string>
#include <vector>

#include "game/menus/ContextDialog.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuLinkButton.h"
#include "game/online/ContextNetworkWizard1.h"
#include "game/online/ContextScoreUpload.h"
#include "game/options/ContextHighScoreOptions.h"
#include "game/options/ContextHighScores.h"
#include "game/userdata/FixedText.h"

namespace {
class HighScores : public OptionsFixture {};
} // namespace

TEST_F(HighScores, SeasonPagesShowTheBestRunOfEachLevel)
{
    GameConfiguration& config = global().config;
    config.resetHighScores();
    // Two runs of level 3 with the same points: the faster one stays.
    EXPECT_EQ(2, config.submitHighScore(1200, 2, 95, 870, true, u"Anna"));
    EXPECT_EQ(2, config.submitHighScore(900, 2, 80, 870, true, u"Ben"));
    EXPECT_EQ(-1, config.submitHighScore(1500, 2, 120, 870, true, u"Clara"));
    EXPECT_EQ(u"Ben", FixedText256::read(config.highScores[2].name));
    EXPECT_EQ(80, config.highScores[2].time);
    EXPECT_EQ(31, config.submitHighScore(10, 31, 61, 1000, true, u"Dirk"));

    auto* page = new ContextHighScores();
    push(page);
    EXPECT_EQ(0, page->season);
    EXPECT_EQ(u"Spring", page->pSeasonItem->currentText());
    // What each row prints: the level numbered from 1, and "..." for a level nobody has finished.
    auto row = [&](int r) {
        const ContextHighScores::RowTexts t = page->rowTexts(r);
        return std::vector<std::string>{wideToUtf8(t.number), wideToUtf8(t.name), wideToUtf8(t.score),
                                        wideToUtf8(t.time), wideToUtf8(t.percent)};
    };
    EXPECT_EQ(row(0), (std::vector<std::string>{"1", "...", "0", "00:00", "0.0%"}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"3", "Ben", "900", "01:20", "87.0%"}));
    EXPECT_EQ(row(7), (std::vector<std::string>{"8", "...", "0", "00:00", "0.0%"}));
    screenshot("highscores-spring");
    {
        // The name stands level with the row's number and as large: the tops and bottoms of their ink,
        // found by the row's colour, agree within two pixels ("Ben" and "3" both reach the capital height).
        const Screen shot = readScreen();
        const UColor ink = ContextHighScores::rowColor(0, 2);
        auto extent = [&](int x0, int x1) {
            std::pair<int, int> found(shot.height, -1);
            for (int y = shot.height / 2 - 35; y < shot.height / 2; ++y) // the third row only
                for (int x = shot.width / 2 + x0; x < shot.width / 2 + x1; ++x) {
                    const std::uint32_t p = shot.pixel(x, y);
                    bool near = true;
                    for (int shift : {0, 8, 16})
                        near &= std::abs(int((p >> shift) & 0xFF) - int((ink.argb >> shift) & 0xFF)) < 24;
                    if (near)
                        found = {std::min(found.first, y), std::max(found.second, y)};
                }
            return found;
        };
        const auto number = extent(-320, -300), name = extent(-290, -200);
        ASSERT_GE(number.second, 0);
        EXPECT_NEAR(number.first, name.first, 2);
        EXPECT_NEAR(number.second, name.second, 2);
    }
    page->season = 3;
    frames(1);
    EXPECT_EQ(u"Winter", page->pSeasonItem->currentText());
    EXPECT_EQ(row(0), (std::vector<std::string>{"25", "...", "0", "00:00", "0.0%"}));
    EXPECT_EQ(row(7), (std::vector<std::string>{"32", "Dirk", "10", "01:01", "100.0%"}));
    screenshot("highscores-winter");
    // The rows run from the season's colour towards the next one.
    EXPECT_EQ(UColor(0xFFFFFF00u), ContextHighScores::rowColor(0, 0));
    EXPECT_EQ(UColor(0xFFFF8000u), ContextHighScores::rowColor(3, 0));
    EXPECT_NE(ContextHighScores::rowColor(3, 0), ContextHighScores::rowColor(3, 7));
}

// The rows stand on the backdrop's trees and snow: on a plain white screen their dark rims still frame the
// light season colours.
TEST_F(HighScores, TheRowsWearADarkRimOnALightPicture)
{
    auto* page = new ContextHighScores();
    onWhite(page);
    push(page);
    frames(1);
    screenshot("highscores-on-white");
    const Screen shot = readScreen();
    EXPECT_GT(shot.darkPixels(shot.width / 2 - 320, shot.width / 2 + 310, shot.height / 2 - 90, shot.height / 2 + 150),
              1000);
}

TEST_F(HighScores, ResetAfterYesOnlyAndTheWorldWideLink)
{
    GameConfiguration& config = global().config;
    config.resetHighScores();
    config.submitHighScore(500, 0, 30, 400, true, u"Emma");
    auto* page = new ContextHighScores();
    push(page);
    auto* options = open<ContextHighScoreOptions>(page->optionsButton);
    ASSERT_NE(nullptr, options);
    screenshot("highscore-options");
    const UString url = options->pWorldWideButton->url;
    EXPECT_EQ(u"/tobble/highscoretable.php", url.substr(url.size() - 26));

    clickItem(options->resetButton);
    frames(1);
    auto* question = topAs<ContextDialog>();
    ASSERT_NE(nullptr, question);
    clickItem(question->pSecondButton); // NO
    frames(2);
    EXPECT_EQ(options, top());
    EXPECT_EQ(400, config.highScores[0].points);

    global().highlightedHighScore = 0;
    clickItem(options->resetButton);
    frames(1);
    question = topAs<ContextDialog>();
    ASSERT_NE(nullptr, question);
    clickItem(question->pFirstButton); // YES
    frames(2);
    EXPECT_EQ(options, top());
    EXPECT_EQ(0, config.highScores[0].points);
    EXPECT_EQ(UString(), FixedText256::read(config.highScores[0].name));
    EXPECT_EQ(-1, global().highlightedHighScore);

    // Without a configured network the upload first opens the network test; with one, the upload page.
    config.bNetworkConfigured = 0;
    EXPECT_NE(nullptr, open<ContextNetworkWizard1>(options->uploadButton));
    top()->bClosed = true;
    frames(2);
    config.bNetworkConfigured = 1;
    EXPECT_NE(nullptr, open<ContextScoreUpload>(options->uploadButton));
    top()->bClosed = true;
    frames(2);
    EXPECT_EQ(options, top());

    clickItem(options->pWorldWideButton);
    EXPECT_EQ(url, global().exitUrl);
    EXPECT_TRUE(screens().bQuit);
}
