// The statistics table (Return), the level map (M) and the touch guide (the HUD's tutorial request):
// opened on a running level, their content and colours, and their close rules.
#include "OverlayFixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Skin.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "game/language/Language.h"
#include "game/language/StringIds.h"
#include "game/overlays/OverlayKit.h"
#include "game/level/ContextHUD.h"
#include "game/level/GameController.h"
#include "game/overlays/OverlayMiniMap.h"
#include "game/overlays/OverlayStatistics.h"
#include "game/overlays/OverlayTutorial.h"
#include "game/front/SnowFlake.h"
#include "game/effects/LeafEmitter.h"
#include "game/effects/ParallaxHills.h"
#include "game/effects/RainEmitter.h"
#include "game/userdata/GameConfiguration.h"
#include "game/world/Apple.h"
#include "game/world/BasketA.h"
#include "game/world/Pig.h"

namespace {
int countIcons(KivBase& overlay, UStringView sheetFrame)
{
    Skin* wanted = dynamic_cast<Skin*>(ResourceManager::instance()->find(sheetFrame, true));
    int n = 0;
    for (KivBase* child = overlay.getFirstChild(); child != nullptr; child = child->getNext()) {
        auto* sprite = dynamic_cast<Renderable*>(child);
        if (sprite != nullptr && sprite->pSkin == wanted) {
            ++n;
        }
    }
    return n;
}
} // namespace

// A touch on the HUD's tutorial button, in touch mode.
void OverlayTest::openGuide()
{
    const int w = harness().kiv().graphics->width, h = harness().kiv().graphics->height;
    // A first touch puts the game in touch mode, which shows the HUD's buttons.
    fingerDown(static_cast<float>(w / 2), static_cast<float>(h / 2));
    frames(1);
    fingerUp();
    frames(1);
    ASSERT_EQ(Kiv::instance()->input->getInputMode(), KivInput::INPUT_TOUCH);
    const Renderable* button = level().contextHUD->buttonTutorial;
    ASSERT_FALSE(button->bHidden);
    fingerDown(static_cast<float>(w / 2) + button->position.x, static_cast<float>(h / 2) + button->position.y);
    frames(1);
    fingerUp();
    frames(1);
}

// ---------------------------------------------------------------------------------------------------------
// Statistics

TEST_F(OverlayTest, ReturnOpensTheStatisticsAndReturnClosesThem)
{
    startPlaying();
    tap(RETURN);
    auto* stats = dynamic_cast<OverlayStatistics*>(overlay());
    ASSERT_NE(stats, nullptr);
    frames(1);
    saveScreenshot("overlay_statistics");
    ASSERT_NE(findText(*stats, u"Statistics"), nullptr);
    ASSERT_NE(findText(*stats, u"Apples"), nullptr);
    ASSERT_NE(findText(*stats, u"Total"), nullptr);
    EXPECT_EQ(texts(*stats).back()->text, u"Press Enter to continue");
    // A level without bonus apples, sweets or secrets shows 0/0 in white.
    TextSprite* sweets = findText(*stats, u"Sweets");
    ASSERT_NE(sweets, nullptr);
    EXPECT_EQ(sweets->color.argb, 0xFFFFFFFFu);
    EXPECT_NE(findText(*stats, u"0/0"), nullptr);
    // No lives lost: full marks, green.
    TextSprite* lives = findText(*stats, u"Lives lost");
    ASSERT_NE(lives, nullptr);
    EXPECT_EQ(lives->color.argb, 0xFF00FF00u);
    // The panel covers the screen's centre (sampled between the last row and the ruler, clear of texts).
    const int w = harness().kiv().graphics->width, h = harness().kiv().graphics->height;
    EXPECT_GT(pixel(w / 2, h / 2 + 80).argb & 0xFFu, 0x80u);

    frames(20);
    tap(RETURN);
    EXPECT_TRUE(runUntilClosed());
}

TEST_F(OverlayTest, StatisticsRowsAndTotalInTheirColours)
{
    startPlaying();
    LevelStats& stats = level().levelStats;
    stats.requiredApples = 10;
    stats.requiredApplesGot = 10;
    stats.time = 75.0;
    stats.targetTime = 0.0;
    stats.livesLost = 1;
    OverlayStatistics table;
    table.local_construct();
    TextSprite* apples = findText(table, u"10/10");
    ASSERT_NE(apples, nullptr);
    EXPECT_EQ(apples->color.argb, 0xFF00FF00u);
    // Par time 0: played time, a slash and 00:00; never full marks.
    TextSprite* time = findText(table, u"01:15/00:00");
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->color.argb, 0xFFFFFFFFu);
    // A life lost: 75 of 100 points, white; so the total is not 1000 and white as well.
    ASSERT_NE(findText(table, u"Lives lost"), nullptr);
    EXPECT_EQ(findText(table, u"Lives lost")->color.argb, 0xFFFFFFFFu);
    ASSERT_NE(findText(table, u"Total"), nullptr);
    EXPECT_EQ(findText(table, u"Total")->color.argb, 0xFFFFFFFFu);
}

TEST_F(OverlayTest, StatisticsFooterInTouchMode)
{
    startPlaying();
    Kiv::instance()->input->setInputMode(KivInput::INPUT_TOUCH);
    OverlayStatistics table;
    table.local_construct();
    EXPECT_EQ(texts(table).back()->text, u"Tap to continue");
}

// ---------------------------------------------------------------------------------------------------------
// Mini map

TEST_F(OverlayTest, MOpensTheMapWithThePigAndMClosesIt)
{
    startPlaying();
    tap(KEY_M);
    auto* map = dynamic_cast<OverlayMiniMap*>(overlay());
    ASSERT_NE(map, nullptr);
    frames(1);
    saveScreenshot("overlay_minimap");
    EXPECT_NE(map->texture, nullptr);
    EXPECT_EQ(countIcons(*map, u"minimapIcons:0"), 1);
    EXPECT_EQ(texts(*map).back()->text, u"Press M to continue");
    frames(20);
    tap(KEY_M);
    EXPECT_TRUE(runUntilClosed());
}

// "Press M to continue" stands under the map on whatever the level shows there: it brings both light
// letters and a dark rim, so it reads on snow as on rock.
TEST_F(OverlayTest, TheMapFooterWearsADarkRimAroundLightLetters)
{
    startPlaying();
    tap(KEY_M);
    auto* map = dynamic_cast<OverlayMiniMap*>(overlay());
    ASSERT_NE(map, nullptr);
    TextSprite* footer = texts(*map).back();
    auto picture = [&] {
        frames(1);
        int w = 0, h = 0;
        std::vector<std::uint32_t> screen = KivGraphics::instance()->readScreen(w, h);
        return screen;
    };
    const std::vector<std::uint32_t> with = picture();
    footer->bInactive = true;
    const std::vector<std::uint32_t> without = picture();
    footer->bInactive = false;
    ASSERT_EQ(with.size(), without.size());
    int light = 0, dark = 0;
    for (std::size_t i = 0; i < with.size(); ++i) {
        if (with[i] == without[i]) {
            continue;
        }
        const UColor c(with[i]);
        light += c.r() > 200 && c.g() > 200 && c.b() > 200;
        dark += c.r() < 70 && c.g() < 70 && c.b() < 70;
    }
    EXPECT_GT(light, 60) << "the letters";
    EXPECT_GT(dark, 60) << "the rim";
}

TEST_F(OverlayTest, UnexploredMapIsTransparentAndHidesTheObjects)
{
    startPlaying();
    std::memset(level().minimapExplored, 0, sizeof(level().minimapExplored));
    OverlayMiniMap map;
    map.local_construct();
    ASSERT_NE(map.texture, nullptr);
    const MemoryImageFile* image = map.texture->getImage();
    if (image != nullptr) {
        EXPECT_EQ(image->getPixel(100, 100) >> 24, 0u);
    }
    EXPECT_EQ(countIcons(map, u"minimapIcons:0"), 1); // the pig, always
    EXPECT_EQ(countIcons(map, u"minimapIcons:5"), 0); // the house, unexplored
    EXPECT_EQ(countIcons(map, u"minimapIcons:1"), 0);
}

TEST_F(OverlayTest, MapPositionsAtAndBeyondThePlayingAreasEdges)
{
    PlayingArea area;
    area.left = -1000.0f;
    area.right = 3000.0f;
    area.top = 2000.0f;
    area.bottom = 0.0f;
    const auto corner = OverlayMiniMap::toMap(area, V3(3000.0f, 0.0f, 0.0f));
    EXPECT_EQ(corner.column, 255);
    EXPECT_EQ(corner.row, 191);
    EXPECT_EQ(corner.x, 128.0f);
    EXPECT_EQ(corner.y, -96.0f);
    const auto topLeft = OverlayMiniMap::toMap(area, V3(-1000.0f, 2000.0f, 0.0f));
    EXPECT_EQ(topLeft.column, 0);
    EXPECT_EQ(topLeft.row, 0);
    EXPECT_EQ(topLeft.x, -128.0f);
    EXPECT_EQ(topLeft.y, 96.0f);
    // Outside: clamped to the edge.
    const auto outside = OverlayMiniMap::toMap(area, V3(-99999.0f, 99999.0f, 0.0f));
    EXPECT_EQ(outside.column, 0);
    EXPECT_EQ(outside.row, 0);
    const auto below = OverlayMiniMap::toMap(area, V3(99999.0f, -99999.0f, 0.0f));
    EXPECT_EQ(below.column, 255);
    EXPECT_EQ(below.row, 191);
    // A position that is no number lands on the first cell.
    const auto lost = OverlayMiniMap::toMap(area, V3(std::nanf(""), std::nanf(""), 0.0f));
    EXPECT_EQ(lost.column, 0);
    EXPECT_EQ(lost.row, 0);
    // A flat area (top equal to bottom) maps every point to the top row.
    area.bottom = area.top;
    EXPECT_EQ(OverlayMiniMap::toMap(area, V3(0.0f, 5.0f, 0.0f)).row, 0);
}

TEST_F(OverlayTest, CarriedBasketsAndApplesInBasketsGetNoIcon)
{
    startPlaying();
    std::memset(level().minimapExplored, 1, sizeof(level().minimapExplored));
    auto* basket = new BasketA();
    level().cargoList->appendChild(basket);
    auto* carried = new BasketA();
    level().cargoList->appendChild(carried);
    carried->carriedBy = dynamic_cast<Pig*>(level().findHero());
    auto* loose = new Apple();
    level().appleList->appendChild(loose);
    auto* inBasket = new Apple();
    level().appleList->appendChild(inBasket);
    inBasket->pBasket = basket;
    auto* lost = new Apple();
    level().appleList->appendChild(lost);
    lost->bLost = true;
    const int applesBefore = [&] {
        OverlayMiniMap probe;
        probe.local_construct();
        return countIcons(probe, u"minimapIcons:1");
    }();
    OverlayMiniMap map;
    map.local_construct();
    EXPECT_EQ(countIcons(map, u"minimapIcons:2"), 1);
    EXPECT_EQ(countIcons(map, u"minimapIcons:1"), applesBefore);
    EXPECT_EQ(countIcons(map, u"minimapIcons:5"), 1);
    carried->carriedBy = nullptr;
    inBasket->pBasket = nullptr;
    delete lost;
    delete inBasket;
    delete loose;
    delete carried;
    delete basket;
}

TEST_F(OverlayTest, DisplayScaleTwoDoublesTheMapAboutItsCentre)
{
    startPlaying();
    Kiv& kiv = harness().kiv();
    const int deviceClass = kiv.deviceClass;
    kiv.deviceClass = 0;
    OverlayMiniMap map;
    map.local_construct();
    kiv.deviceClass = deviceClass;
    auto all = texts(map);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back()->position.y, -220.0f);
    for (KivBase* child = map.getFirstChild(); child != nullptr; child = child->getNext()) {
        if (auto* sprite = dynamic_cast<Renderable*>(child); sprite != nullptr && dynamic_cast<TextSprite*>(child) == nullptr) {
            EXPECT_EQ(sprite->scale.x, 2.0f);
        }
    }
}

TEST_F(OverlayTest, TheMapIsOfferedUpToLevelThirtyAndNotOnThirtyOne)
{
    // Level 30, the last with a map: the touch button shows and M opens the map.
    profile().currentLevel = 30;
    startPlaying();
    Kiv::instance()->input->setInputMode(KivInput::INPUT_TOUCH);
    frames(1);
    EXPECT_FALSE(level().contextHUD->buttonMiniMap->bHidden);
    tap(KEY_M);
    EXPECT_NE(dynamic_cast<OverlayMiniMap*>(overlay()), nullptr);
    manager->bClosed = true;
    frames(1);
    manager.reset();

    // Level 31: neither.
    profile().currentLevel = 31;
    startPlaying();
    Kiv::instance()->input->setInputMode(KivInput::INPUT_TOUCH);
    frames(1);
    EXPECT_TRUE(level().contextHUD->buttonMiniMap->bHidden);
    tap(KEY_M);
    EXPECT_EQ(overlay(), nullptr);
}

TEST_F(OverlayTest, AMissingMapPictureKeepsTheMapClosed)
{
    EXPECT_FALSE(OverlayMiniMap::canOpen(3)); // a bonus level: no picture
    EXPECT_TRUE(OverlayMiniMap::canOpen(4));
}

// ---------------------------------------------------------------------------------------------------------
// Tutorial

TEST_F(OverlayTest, TheGuideTurnsAPageAPressAndClosesAfterTheFifth)
{
    startPlaying();
    openGuide();
    auto* guide = dynamic_cast<OverlayTutorial*>(overlay());
    ASSERT_NE(guide, nullptr);
    frames(20);
    saveScreenshot("overlay_tutorial");
    EXPECT_NE(findText(*guide, u"How To Play"), nullptr);
    EXPECT_EQ(texts(*guide).back()->text, u"Tap to continue");
    const int w = harness().kiv().graphics->width, h = harness().kiv().graphics->height;
    for (int page = 1; page < OverlayTutorial::PAGES; ++page) {
        fingerDown(static_cast<float>(w / 2), static_cast<float>(h / 2));
        frames(1);
        fingerUp();
        frames(1);
        ASSERT_EQ(overlay(), guide);
        EXPECT_EQ(guide->page, page);
    }
    fingerDown(static_cast<float>(w / 2), static_cast<float>(h / 2));
    frames(1);
    fingerUp();
    EXPECT_TRUE(runUntilClosed());
}

// Every page's text, in every language, ends above the continue line under it.
TEST_F(OverlayTest, EveryGuidePageFitsAboveTheContinueLine)
{
    startPlaying();
    Language* language = harness().kiv().language;
    ASSERT_NE(language, nullptr);
    const int before = language->currentLanguage;
    const float continueTop = -210.0f + static_cast<float>(OverlayKit::fontSmall()->getScaledLineHeight()) / 2.0f;
    for (int lang = 0; lang < Language::NUMLANGUAGES; ++lang) {
        for (int page = 0; page < OverlayTutorial::PAGES; ++page) {
            const char16_t* text = language->texts[lang][STR_IOS_HOWTOPLAYTEXT1 + page];
            TextBlock block(text, OverlayKit::fontMedium(), static_cast<float>(OverlayKit::screenWidth() / 2), -1.0f);
            EXPECT_GE(-100.0f - block.height, continueTop) << "language " << lang << ", page " << page + 1;
        }
    }
    EXPECT_EQ(language->currentLanguage, before);
}

// The page text lies on the pale panel: its darkest and lightest pixels must stand well apart, which
// light text on the parchment does not.
TEST_F(OverlayTest, TheGuideTextStandsOutFromThePanel)
{
    startPlaying();
    openGuide();
    ASSERT_NE(dynamic_cast<OverlayTutorial*>(overlay()), nullptr);
    frames(20);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> screen = KivGraphics::instance()->readScreen(w, h);
    ASSERT_EQ(screen.size(), static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    auto luminance = [](UColor c) {
        auto channel = [](std::uint32_t v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.r()) + 0.7152 * channel(c.g()) + 0.0722 * channel(c.b());
    };
    // The first line of text sits 100 pixels under the screen's middle; its first words are unmarked.
    double darkest = 1.0, lightest = 0.0;
    for (int y = h / 2 + 90; y < h / 2 + 112; ++y) {
        for (int x = w / 2 - 190; x < w / 2 - 60; ++x) {
            const double l = luminance(UColor(screen[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                                                     static_cast<std::size_t>(x)]));
            darkest = std::min(darkest, l);
            lightest = std::max(lightest, l);
        }
    }
    EXPECT_GE((lightest + 0.05) / (darkest + 0.05), 4.5);
}

TEST_F(OverlayTest, EscapeClosesTheGuideAtAnyPage)
{
    startPlaying();
    openGuide();
    ASSERT_NE(dynamic_cast<OverlayTutorial*>(overlay()), nullptr);
    Kiv::instance()->input->setInputMode(KivInput::INPUT_POINTER);
    frames(20);
    tap(ESCAPE);
    EXPECT_TRUE(runUntilClosed());
}

TEST(TutorialPictures, RightSideArrowsExchangeTheFirstTwoPictures)
{
    EXPECT_EQ(OverlayTutorial::pictureFor(0, 0), 1);
    EXPECT_EQ(OverlayTutorial::pictureFor(1, 0), 2);
    EXPECT_EQ(OverlayTutorial::pictureFor(0, 1), 2);
    EXPECT_EQ(OverlayTutorial::pictureFor(1, 1), 1);
    EXPECT_EQ(OverlayTutorial::pictureFor(2, 1), 3);
    EXPECT_EQ(OverlayTutorial::pictureFor(4, 1), 5);
}

// ---------------------------------------------------------------------------------------------------------
// Weather and hills of a running level

TEST_F(OverlayTest, SeasonsBringTheirWeatherAndTheHillsDrawUnlessDetailIsLow)
{
    builder.controller().season = GameController::SEASON_SPRING;
    builder.controller().weatherIntensity = 1.0f;
    startPlaying();
    auto* rain = dynamic_cast<RainEmitter*>(level().weatherList->getFirstChild());
    ASSERT_NE(rain, nullptr);
    EXPECT_EQ(rain->count, 128);
    auto* hills = dynamic_cast<ParallaxHills*>(level().bgList->getFirstChild());
    ASSERT_NE(hills, nullptr);
    frames(30);
    saveScreenshot("overlay_rain");
    EXPECT_GE(hills->tilesDrawn, 3);
    config().detail = 0;
    frames(1);
    EXPECT_EQ(hills->tilesDrawn, 0);
}

TEST_F(OverlayTest, AutumnLevelsHaveFallingLeaves)
{
    builder.controller().season = GameController::SEASON_AUTUMN;
    builder.controller().weatherIntensity = 0.5f;
    startPlaying();
    auto* leaves = dynamic_cast<LeafEmitter*>(level().weatherList->getFirstChild());
    ASSERT_NE(leaves, nullptr);
    EXPECT_EQ(leaves->count, 64);
    frames(30);
    saveScreenshot("overlay_leaves");
}

TEST_F(OverlayTest, WinterLevelsSnow)
{
    builder.controller().season = GameController::SEASON_WINTER;
    builder.controller().weatherIntensity = 1.0f;
    startPlaying();
    EXPECT_NE(dynamic_cast<SnowFlake*>(level().weatherList->getFirstChild()), nullptr);
}
