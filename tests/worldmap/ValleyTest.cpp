// The world map in the running game: its states, scrolling, picking and the screens it opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "LoadedGame.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/render/Skin.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextSprite.h"
#include "game/front/TransitionWipe.h"
#include "game/menus/MenuLinkButton.h"
#include "game/worldmap/ValleyDashedLine.h"
#include "game/worldmap/ValleyIconLayer.h"
#include "game/front/ContextManager.h"
#include "game/front/MyGlobal.h"
#include "game/level/MessageDisplay.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/ContextRecipe.h"
#include "game/worldmap/ContextValley.h"
#include "game/worldmap/MenuSprite.h"
#include "game/worldmap/ValleyInfoPanel.h"
#include "game/worldmap/ValleyLevelIcon.h"
#include "game/worldmap/ValleyPathPoints.h"
#include "game/language/Language.h"

namespace {

class ValleyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        game.clearScreens();
        game.resetPlayer();
        KivInput* input = Kiv::instance()->input;
        input->setInputMode(KivInput::INPUT_POINTER);
        // Away from the arrows, which scroll the map while the pointer rests on them.
        const KivGraphics* graphics = KivGraphics::instance();
        input->warpCursor(V3(static_cast<float>(graphics->width / 2), static_cast<float>(graphics->height / 2), 0.0f));
    }
    void TearDown() override
    {
        valley = nullptr;
        game.clearScreens();
        game.setScreenSize(800, 600);
    }

    // Levels 0..last-1 finished, `last` available and selected.
    void progressTo(int last)
    {
        ProfileData& p = game.player();
        for (int i = 0; i <= last; ++i) {
            p.levelStats[i].available = 1;
            p.levelStats[i].completed = i < last ? 1 : 0;
        }
        p.currentLevel = last;
    }

    // Opens the map and lets the pan and the road settle.
    void open(double settleSeconds = 3.2)
    {
        valley = new ContextValley();
        game.screens().addContext(valley);
        game.advance(settleSeconds);
    }

    // The share of the screen left bare: pixels black but for a few steps of rounding in any channel.
    double bareShare()
    {
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = game.readScreen(w, h);
        const auto bare = std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) {
            return ((p >> 16) & 0xFFu) <= 12u && ((p >> 8) & 0xFFu) <= 12u && (p & 0xFFu) <= 12u;
        });
        return static_cast<double>(bare) / static_cast<double>(pixels.size());
    }

    // From 800 x 600 to the largest screen the game is shown on, wide and nearly square.
    static constexpr std::pair<int, int> SIZES[] = {{800, 600}, {1024, 768}, {1280, 1024}, {1920, 1080}, {2560, 1440}};

    LoadedGame& game = LoadedGame::get();
    ContextValley* valley = nullptr;
};

TEST_F(ValleyTest, FreshPlayerIsWelcomedThenChooses)
{
    open(0.05);
    EXPECT_EQ(valley->state, ContextValley::STATE_WELCOME);
    bool welcome = false;
    for (KivBase* c = valley->hudMenu->getFirstChild(); c != nullptr; c = c->getNext()) {
        welcome = welcome || dynamic_cast<MessageDisplay*>(c) != nullptr;
    }
    EXPECT_TRUE(welcome);
    EXPECT_TRUE(valley->buttonPlay->bHidden);
    EXPECT_TRUE(valley->buttonBack->bHidden);
    EXPECT_FALSE(valley->bEscapeCloses);
    game.advance(3.85);
    EXPECT_EQ(valley->state, ContextValley::STATE_WELCOME);
    game.advance(0.15);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    game.frame();
    EXPECT_FALSE(valley->buttonPlay->bHidden);
    EXPECT_FALSE(valley->buttonBack->bHidden);
    EXPECT_TRUE(valley->bEscapeCloses);
    // The recipe comes only after the fourth level.
    EXPECT_TRUE(valley->buttonRecipe->bHidden);
}

TEST_F(ValleyTest, BackClosesTheMapOnlyWhileChoosing)
{
    progressTo(2);
    open(0.5);
    const V3 back = valley->buttonBack->position;
    valley->enterStateNow(ContextValley::STATE_FADE_OUT);
    game.frame();
    game.clickAt(*valley->hudMenu, back.x, back.y);
    EXPECT_EQ(game.screens().getTop(), valley) << "no way back while a level starts";
    valley->stateLeft = 0.0;
    valley->enterStateNow(ContextValley::STATE_CHOOSE);
    game.frame();
    game.clickAt(*valley->hudMenu, back.x, back.y);
    game.frame();
    EXPECT_NE(game.screens().getTop(), valley);
    valley = nullptr;
}

TEST_F(ValleyTest, OpeningPansToTheSelectedLevelAndGrowsTheRoadToTheLastAvailable)
{
    progressTo(12);
    game.player().currentLevel = 10;
    open(0.0);
    game.frame();
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    const float half = static_cast<float>(ContextMenu::screenWidth() / 2);
    const float target = std::clamp(valley->getIcon(10)->position.x, -half, half);
    const float reveal = valley->getIcon(12)->arcLength;
    game.advance(1.5); // about halfway: a smooth curve is near the middle
    EXPECT_NEAR(valley->camera->eye.x, target / 2, std::fabs(target) * 0.1f);
    EXPECT_NEAR(valley->pathReveal.value, reveal / 2, reveal * 0.1f);
    game.advance(1.6);
    EXPECT_FLOAT_EQ(valley->camera->eye.x, target);
    EXPECT_FLOAT_EQ(valley->camera->lookAt.x, target);
    EXPECT_FLOAT_EQ(valley->pathReveal.value, reveal);
    // The ribbon ends at the last available level's icon.
    const Vertex* v = valley->dashedLine->getQuad()->vertexBuffer.getVertices();
    const int n = valley->dashedLine->getQuad()->vertexBuffer.getVertexCount();
    const V3 end = valley->path.evaluateL(reveal);
    EXPECT_NEAR((v[n - 2].x + v[n - 1].x) / 2, end.x, 0.5f);
    EXPECT_NEAR((v[n - 2].y + v[n - 1].y) / 2, end.y, 0.5f);
    EXPECT_FALSE(valley->buttonRecipe->bHidden);
    game.screenshot("valley-summer");
}

TEST_F(ValleyTest, ArrowsScrollWithinTheMapAndHideAtItsEnds)
{
    progressTo(1);
    game.player().currentLevel = 0;
    open();
    const float half = static_cast<float>(ContextMenu::screenWidth() / 2);
    // Level 0 lies at the far left: the camera rests at the left limit and the left arrow is gone.
    EXPECT_FLOAT_EQ(valley->camera->eye.x, -half);
    EXPECT_TRUE(valley->arrowLeft->bHidden);
    EXPECT_FALSE(valley->arrowRight->bHidden);
    // Resting on the right arrow scrolls right at 200 units a second, without a click.
    game.pointAt(*valley->hudMenu, valley->arrowRight->position.x, valley->arrowRight->position.y);
    game.advance(1.0);
    EXPECT_NEAR(valley->camera->eye.x, -half + 200.0f, 4.0f);
    game.advance(half * 2.0 / 200.0 + 0.1);
    EXPECT_FLOAT_EQ(valley->camera->eye.x, half);
    game.frame();
    EXPECT_TRUE(valley->arrowRight->bHidden);
    EXPECT_FALSE(valley->arrowLeft->bHidden);
}

TEST_F(ValleyTest, OneClickSelectsASecondStartsTheFade)
{
    progressTo(3);
    game.player().currentLevel = 3;
    open();
    const V3 icon = valley->getIcon(2)->position;
    game.clickAt(*valley, icon.x, icon.y);
    EXPECT_EQ(game.player().currentLevel, 2);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    game.frames(5);
    game.clickAt(*valley, icon.x, icon.y);
    EXPECT_EQ(valley->state, ContextValley::STATE_FADE_OUT);
    EXPECT_FLOAT_EQ(game.screens().transitionWipe->targetLevel, 1.0f);
    game.frame();
    EXPECT_TRUE(valley->buttonPlay->bHidden);
    EXPECT_TRUE(valley->buttonBack->bHidden);
}

TEST_F(ValleyTest, PlayStartsTheSelectedLevel)
{
    progressTo(2);
    open();
    EXPECT_TRUE(valley->buttonPlay->bClicked == false);
    valley->buttonPlay->bClicked = true;
    game.frame();
    EXPECT_EQ(valley->state, ContextValley::STATE_FADE_OUT);
    EXPECT_EQ(valley->stateGoto, ContextValley::STATE_START_LEVEL);
}

TEST_F(ValleyTest, PickingThresholdsForMouseAndTouch)
{
    // The same reach on the enlarged map of a large screen: the map is measured in the screen's pixels.
    for (const auto& [w, h] : {SIZES[0], SIZES[4]}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        game.setScreenSize(w, h);
        game.clearScreens();
        game.resetPlayer();
        Kiv::instance()->input->setInputMode(KivInput::INPUT_POINTER);
        progressTo(5);
        game.player().currentLevel = 5;
        open();
        const V3 icon = valley->getIcon(4)->position;
        // The pick measures straight distance; the icons are on whole units and so is the camera now.
        game.clickAt(*valley, icon.x, icon.y + 25.0f);
        EXPECT_EQ(game.player().currentLevel, 5);
        game.clickAt(*valley, icon.x, icon.y + 24.0f);
        EXPECT_EQ(game.player().currentLevel, 4);

        const V3 other = valley->getIcon(3)->position;
        game.tapAt(*valley, other.x, other.y + 50.0f);
        EXPECT_EQ(Kiv::instance()->input->getInputMode(), KivInput::INPUT_TOUCH);
        EXPECT_EQ(game.player().currentLevel, 4);
        game.tapAt(*valley, other.x, other.y + 49.0f);
        EXPECT_EQ(game.player().currentLevel, 3);
    }
}

TEST_F(ValleyTest, ALockedIconNearerThanAnAvailableOneSwallowsThePick)
{
    // Levels 13 and 14 stand closest together on the road; a finger reaches 50 units.
    progressTo(13);
    game.player().currentLevel = 12;
    open();
    const V3 available = valley->getIcon(13)->position;
    const V3 locked = valley->getIcon(14)->position;
    const V3 d = locked - available;
    ASSERT_LT(d.length(), 100.0f);
    // Nearer the locked icon, within reach of the available one: nothing.
    const V3 p = available + d * 0.55f;
    ASSERT_LT((p - available).length(), ContextValley::PICK_TOUCH);
    game.tapAt(*valley, p.x, p.y);
    EXPECT_EQ(game.player().currentLevel, 12);
    // Nearer the available icon it is picked.
    const V3 q = available + d * 0.4f;
    game.tapAt(*valley, q.x, q.y);
    EXPECT_EQ(game.player().currentLevel, 13);
}

TEST_F(ValleyTest, ADragOfTheMapEndingOnAnIconStartsNothing)
{
    progressTo(6);
    game.player().currentLevel = 6;
    open();
    const V3 icon = valley->getIcon(5)->position;
    const float before = valley->camera->eye.x;
    game.dragFinger(*valley, icon.x + 60.0f, icon.y, -60.0f, 10);
    EXPECT_EQ(game.player().currentLevel, 6);
    EXPECT_EQ(valley->state, ContextValley::STATE_CHOOSE);
    EXPECT_NE(valley->camera->eye.x, before) << "the map followed the finger";
}

TEST_F(ValleyTest, TheInfoPanelShowsOnlyOverAFinishedLevel)
{
    progressTo(4);
    game.player().levelStats[1].score = 1234;
    game.player().levelStats[1].totalPoints = 640;
    open();
    const V3 done = valley->getIcon(1)->position;
    game.pointAt(*valley, done.x + 3.0f, done.y);
    game.frame();
    EXPECT_FALSE(valley->infoPanel->bHidden);
    EXPECT_EQ(valley->infoPanel->icon, valley->getIcon(1));
    EXPECT_GE(valley->infoPanel->countChildren(), 14);
    game.screenshot("valley-panel");
    const V3 open4 = valley->getIcon(4)->position;
    game.pointAt(*valley, open4.x, open4.y);
    game.frame();
    EXPECT_TRUE(valley->infoPanel->bHidden);
}

// Every level open: no two titles on the map cover each other, in English or in German (where "Über den
// Hügel" and "Weihnachtsnaschereien" stand side by side), and each lies inside the map, at every size of
// the screen.
TEST_F(ValleyTest, NoTwoLevelTitlesOverlapAndEachStaysInsideTheMapAtEverySizeInEitherLanguage)
{
    Language& language = *Kiv::instance()->language;
    for (int lang : {0, 1}) {
        language.setLanguage(lang);
        for (const auto& [w, h] : SIZES) {
            SCOPED_TRACE("language " + std::to_string(lang) + ", " + std::to_string(w) + "x" + std::to_string(h));
            game.setScreenSize(w, h);
            game.clearScreens();
            game.resetPlayer();
            progressTo(ProfileData::NUMLEVELS - 1);
            game.player().currentLevel = 3; // the map opens on the German pair
            open();
            const float mapHalf = valley->mapScale * ValleyPathPoints::PICTURE_WIDTH / 2.0f;
            for (int a = 0; a < ProfileData::NUMLEVELS; ++a) {
                ASSERT_TRUE(valley->getIcon(a)->showsTitle());
                const Camera::Rect ra = valley->getIcon(a)->titleRect();
                EXPECT_GE(ra.left, -mapHalf) << "level " << a;
                EXPECT_LE(ra.right, mapHalf) << "level " << a;
                for (int b = a + 1; b < ProfileData::NUMLEVELS; ++b) {
                    const Camera::Rect rb = valley->getIcon(b)->titleRect();
                    EXPECT_FALSE(ra.left < rb.right && rb.left < ra.right && ra.bottom < rb.top && rb.bottom < ra.top)
                        << "levels " << a << " and " << b;
                }
            }
            if (w == 800 || w == 2560) {
                game.screenshot(std::string("valley-titles-") + (lang == 0 ? "en" : "de") +
                                (w == 800 ? "" : "-" + std::to_string(w)));
            }
        }
    }
    language.setLanguage(0);
}

// Scrolled as far towards it as the map goes (the arrows and a drag move the scroll value), every level's
// icon comes into view, at the smallest screen and at the wide ones where the map is enlarged.
TEST_F(ValleyTest, EveryIconCanBeScrolledIntoViewAtEverySize)
{
    constexpr float ICON_HALF = 16.0f;
    for (const auto& [w, h] : {SIZES[0], SIZES[3], SIZES[4]}) {
        game.setScreenSize(w, h);
        game.clearScreens();
        game.resetPlayer();
        progressTo(ProfileData::NUMLEVELS - 1);
        open(0.1);
        for (int level = 0; level < ProfileData::NUMLEVELS; ++level) {
            const V3 at = valley->getIcon(level)->position;
            valley->scroll.setValue(at.x);
            game.screens().tick(game.harness.kiv().time, 0.01);
            float sx = 0.0f, sy = 0.0f;
            valley->camera->worldToScreen(at, static_cast<float>(w), static_cast<float>(h), sx, sy);
            EXPECT_TRUE(sx >= ICON_HALF && sx <= static_cast<float>(w) - ICON_HALF)
                << w << "x" << h << ", level " << level << " at " << sx;
        }
    }
}

// Wherever the map is scrolled (to each level, and to either end), the title of every icon on the screen stands
// whole on it and clear of the scroll arrows, in either language, in a window of every size and at full screen:
// one at an edge slides in while it still stands over some of its icon, and one that cannot (its icon off the
// screen, at its very edge or under an arrow) is not drawn. The title of an icon clear of the edges and arrows
// is drawn.
TEST_F(ValleyTest, TheTitleOfEveryIconOnTheScreenStandsWholeOnIt)
{
    // The picture's columns an icon's title covers, drawn alone on a plain screen (its outline too), read back
    // from the rows about its place (from `top` to `bottom` in the picture); (w, -1) when nothing is drawn.
    constexpr std::uint32_t PLAIN = 0xFF0000FFu;
    auto drawnTitle = [&](ValleyLevelIcon& icon, float top, float bottom) {
        KivGraphics* graphics = KivGraphics::instance();
        graphics->beginScene();
        graphics->clear(GLDevice::ClearTarget, PLAIN);
        Context::setCurrent(valley);
        valley->camera->render();
        icon.renderLayer(5, valley->iconLayer->titleKeepClear);
        Context::setCurrent(nullptr);
        graphics->endScene();
        const int w = graphics->viewport.width(), h = graphics->viewport.height();
        const int from = std::clamp(static_cast<int>(top) - 16, 0, h);
        const int rows = std::clamp(static_cast<int>(bottom) + 16, 0, h) - from;
        const KivGraphics::ViewportRect& view = graphics->viewport;
        const std::vector<std::uint32_t> pixels =
            graphics->getDevice().readPixels(view.left, view.top + from, view.width(), rows);
        std::pair<int, int> columns(w, -1);
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < w; ++x) {
                if ((pixels[static_cast<std::size_t>(y) * w + x] | 0xFF000000u) != PLAIN) {
                    columns.first = std::min(columns.first, x);
                    columns.second = std::max(columns.second, x);
                }
            }
        }
        return columns;
    };
    struct Display {
        int w, h;
        bool fullScreen; // in a w x h mode, the game screen its 4:3 middle
    };
    std::vector<Display> displays;
    for (const auto& [w, h] : SIZES) {
        displays.push_back({w, h, false});
    }
    // The picture that full screen on a 1920 x 1080 display shows between bars, and that mode at full screen on
    // the test display, which scales the picture and its texts.
    displays.push_back({1440, 1080, false});
    displays.push_back({1920, 1080, true});
    Language& language = *Kiv::instance()->language;
    for (int lang : {0, 1}) {
        language.setLanguage(lang);
        for (const Display& display : displays) {
            if (display.fullScreen) {
                game.setFullScreen(display.w, display.h);
                ASSERT_EQ(KivGraphics::instance()->width, 1440);
                ASSERT_EQ(KivGraphics::instance()->height, 1080);
            } else {
                game.setScreenSize(display.w, display.h);
            }
            game.clearScreens();
            game.resetPlayer();
            progressTo(ProfileData::NUMLEVELS - 1);
            open(0.1);
            // The picture in pixels.
            const KivGraphics::ViewportRect& view = KivGraphics::instance()->viewport;
            const float w = static_cast<float>(view.width()), h = static_cast<float>(view.height());
            auto onPicture = [&](const Camera& camera, float x, float y, float& sx, float& sy) {
                camera.worldToScreen(V3(x, y, 0.0f), w, h, sx, sy);
            };
            // Every other icon under the left arrow, the others just beyond the right edge, which brings the rest
            // to many places about the edges.
            Camera::Rect visible;
            valley->camera->getVisibleRect(visible, 0.0f);
            const float half = (visible.right - visible.left) / 2.0f;
            const float pixelsPerUnit = w / (visible.right - visible.left);
            std::vector<float> stops = {-1.0e5f, 1.0e5f};
            for (int level = 0; level < ProfileData::NUMLEVELS; ++level) {
                const float x = valley->getIcon(level)->position.x;
                stops.push_back(level % 2 == 0 ? x + half - 40.0f : x - half - 20.0f);
            }
            for (float stop : stops) {
                valley->scroll.setValue(stop);
                // The second frame shows the arrows for where the first one moved the map.
                game.screens().tick(game.harness.kiv().time, 0.01);
                game.screens().tick(game.harness.kiv().time, 0.001);
                // The arrows on the picture (left, top, right, bottom), and how far in from the edges they reach.
                std::vector<std::array<float, 4>> arrows;
                float arrowReach = 0.0f, arrowTop = h, arrowBottom = 0.0f;
                for (const MenuSprite* arrow : {valley->arrowLeft, valley->arrowRight}) {
                    const float hw = arrow->pSkin->width / 2.0f, hh = arrow->pSkin->height / 2.0f;
                    std::array<float, 4> r{};
                    onPicture(*valley->hudMenu->camera, arrow->position.x - hw, arrow->position.y + hh, r[0], r[1]);
                    onPicture(*valley->hudMenu->camera, arrow->position.x + hw, arrow->position.y - hh, r[2], r[3]);
                    arrowReach = std::max({arrowReach, r[2], w - r[0]});
                    arrowTop = std::min(arrowTop, r[1]);
                    arrowBottom = std::max(arrowBottom, r[3]);
                    if (!arrow->bHidden) {
                        arrows.push_back(r);
                    }
                }
                for (int level = 0; level < ProfileData::NUMLEVELS; ++level) {
                    ValleyLevelIcon& icon = *valley->getIcon(level);
                    // Drawing takes long, so only the titles that come near an edge or an arrow in their own
                    // place, which those slide in from, are drawn. One cut by an edge leaves ink in the
                    // picture's first or last column.
                    const Camera::Rect place = icon.titleRect();
                    float placeLeft = 0.0f, placeTop = 0.0f, placeRight = 0.0f, placeBottom = 0.0f;
                    onPicture(*valley->camera, place.left, place.top, placeLeft, placeTop);
                    onPicture(*valley->camera, place.right, place.bottom, placeRight, placeBottom);
                    const bool arrowRow = arrowTop < placeBottom && placeTop < arrowBottom;
                    const float guard = (arrowRow ? arrowReach : 0.0f) + 32.0f;
                    if ((placeLeft > guard && placeRight < w - guard) || placeRight < 0.0f || placeLeft > w) {
                        continue;
                    }
                    const auto [left, right] = drawnTitle(icon, placeTop, placeBottom);
                    float iconX = 0.0f, y = 0.0f;
                    onPicture(*valley->camera, icon.position.x, icon.position.y, iconX, y);
                    const std::string where =
                        "language " + std::to_string(lang) + ", " + std::to_string(display.w) + "x" +
                        std::to_string(display.h) + (display.fullScreen ? " full screen" : "") + ", level " +
                        std::to_string(level) + " from " + std::to_string(left) + " to " + std::to_string(right) +
                        " over " + std::to_string(iconX) + ", scrolled to " + std::to_string(stop);
                    // A title stands over some of its icon: it shows whenever a few pixels of the icon are
                    // clear of the edge and of an arrow beside it.
                    const float iconHalf = icon.pSkin->width / 2.0f * pixelsPerUnit;
                    const float clearOfEdge = (arrowRow ? arrowReach : 0.0f) + 8.0f - iconHalf;
                    if (iconX >= clearOfEdge && iconX <= w - clearOfEdge && placeTop >= 0.0f && placeBottom <= h) {
                        EXPECT_LE(left, right) << "not drawn: " << where;
                    }
                    if (left > right) {
                        continue;
                    }
                    EXPECT_TRUE(left > 0 && right < w - 1 && left <= iconX + iconHalf + 1.0f &&
                                right >= iconX - iconHalf - 1.0f)
                        << where;
                    for (const auto& arrow : arrows) {
                        const bool besideRow = arrow[1] < placeBottom && placeTop < arrow[3];
                        EXPECT_FALSE(besideRow && arrow[0] <= right && left <= arrow[2])
                            << "under the arrow at " << arrow[0] << ": " << where;
                    }
                }
            }
        }
    }
    language.setLanguage(0);
}

// The map's picture fills the screen at every size: at the first visit (the camera in the middle of the
// map) and at either end of the scrolling, and still after the screen changes its size while the map is
// open, when it is laid out as if it had been opened at the new size.
TEST_F(ValleyTest, TheMapCoversTheScreenAtEverySizeAndFollowsAChangeOfSize)
{
    auto expectCovered = [&](const std::string& shot) {
        EXPECT_LT(bareShare(), 0.03) << shot;
        game.screenshot(shot);
    };
    Language& language = *Kiv::instance()->language;
    for (int lang : {0, 1}) {
        language.setLanguage(lang);
        const std::string tongue = lang == 0 ? "en" : "de";
        for (const auto& [w, h] : {SIZES[0], SIZES[4]}) {
            game.setScreenSize(w, h);
            game.clearScreens();
            game.resetPlayer();
            open(0.5);
            ASSERT_EQ(valley->state, ContextValley::STATE_WELCOME);
            const std::string size = std::to_string(w);
            expectCovered("valley-first-" + tongue + "-" + size);
            for (float end : {-1.0f, 1.0f}) {
                valley->scroll.setValue(end * 100000.0f);
                game.frame();
                EXPECT_FLOAT_EQ(valley->camera->eye.x, end * valley->scrollLimit());
                expectCovered("valley-" + std::string(end < 0.0f ? "left-" : "right-") + tongue + "-" + size);
            }
        }
        // From the largest screen to full HD with the map open, at its right end.
        game.setScreenSize(SIZES[3].first, SIZES[3].second);
        game.frame();
        EXPECT_FLOAT_EQ(valley->camera->eye.x, valley->scrollLimit());
        expectCovered("valley-resized-" + tongue);
        auto* fresh = new ContextValley();
        EXPECT_FLOAT_EQ(valley->mapScale, fresh->mapScale);
        EXPECT_FLOAT_EQ(valley->scrollLimit(), fresh->scrollLimit());
        EXPECT_EQ(valley->camera->eye.z, fresh->camera->eye.z);
        EXPECT_EQ(valley->camera->aspectFactor, fresh->camera->aspectFactor);
        EXPECT_EQ(valley->hudMenu->camera->eye.z, fresh->hudMenu->camera->eye.z);
        EXPECT_EQ(valley->arrowRight->position, fresh->arrowRight->position);
        EXPECT_EQ(valley->buttonPlay->position, fresh->buttonPlay->position);
        EXPECT_EQ(valley->hudStrip->position, fresh->hudStrip->position);
        for (int i = 0; i < ProfileData::NUMLEVELS; ++i) {
            EXPECT_EQ(valley->getIcon(i)->position, fresh->getIcon(i)->position) << i;
            EXPECT_EQ(valley->getIcon(i)->titleShift, fresh->getIcon(i)->titleShift) << i;
        }
        delete fresh;
    }
    language.setLanguage(0);
}

TEST_F(ValleyTest, TheInfoPanelLeavesTheNextLevelsTitleAndTheHudInSight)
{
    auto meet = [](const Camera::Rect& a, const Camera::Rect& b) {
        return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
    };
    // Back on the map after a level finished with every category at full points and a new record in
    // each: the panel over that level, a badge beside each of its seven rows, in English and in German.
    Language& language = *Kiv::instance()->language;
    for (int lang : {0, 1}) {
        language.setLanguage(lang);
        int looked = 0;
        for (int played = 0; played < 16; ++played) {
            game.clearScreens();
            game.resetPlayer();
            progressTo(played + 1);
            LevelStats& done = game.player().levelStats[played];
            done.time = 106.0;
            done.targetTime = 120.0;
            std::fill(std::begin(done.fullMarks), std::end(done.fullMarks), 1);
            std::fill(std::begin(done.newRecord), std::end(done.newRecord), 1);
            open();
            const V3 at = valley->getIcon(played)->position;
            Camera::Rect view;
            valley->camera->getVisibleRect(view, at.z);
            if (at.x < view.left + 32.0f || at.x > view.right - 32.0f) {
                continue; // off the screen, or under an arrow that scrolls the map
            }
            game.pointAt(*valley, at.x, at.y);
            game.frame();
            ASSERT_FALSE(valley->infoPanel->bHidden);
            ASSERT_EQ(valley->infoPanel->icon, valley->getIcon(played));
            ++looked;
            SCOPED_TRACE("language " + std::to_string(lang) + ", level " + std::to_string(played));
            const Camera::Rect bubble = valley->infoPanel->coveredRect();
            EXPECT_FALSE(meet(bubble, valley->getIcon(played + 1)->titleRect()));
            // Nor does the HUD hide it: the buttons, the arrows and the score strip.
            const std::vector<Camera::Rect> hud = valley->hudOverMap(at.z);
            EXPECT_GE(hud.size(), 4u);
            for (const Camera::Rect& part : hud) {
                EXPECT_FALSE(meet(bubble, part)) << "HUD at " << part.left << "," << part.top;
            }
            EXPECT_GE(bubble.left, view.left);
            EXPECT_LE(bubble.right, view.right);
            EXPECT_GE(bubble.bottom, view.bottom);
            EXPECT_LE(bubble.top, view.top);
            if (played == 0 || played == 9) {
                game.screenshot("valley-panel-" + std::to_string(played) + (lang == 0 ? "-en" : "-de"));
            }
        }
        EXPECT_GE(looked, 12);
    }
    language.setLanguage(0);
}

TEST_F(ValleyTest, IconsShowTheirStateAndSitOnWholeUnits)
{
    progressTo(3);
    game.player().levelStats[0].totalPoints = 999;
    game.player().levelStats[1].totalPoints = 1000;
    open();
    for (int i = 0; i < ProfileData::NUMLEVELS; ++i) {
        const ValleyLevelIcon* icon = valley->getIcon(i);
        EXPECT_EQ(icon->position.x, std::trunc(icon->position.x));
        EXPECT_EQ(icon->position.y, std::trunc(icon->position.y));
        EXPECT_EQ(icon->bHidden, i > 3) << i;
    }
    const Texture* dots = valley->getIcon(0)->dotTexture;
    const int frames = static_cast<int>(dots->skins.size());
    EXPECT_EQ(valley->getIcon(0)->pSkin, static_cast<Skin*>(dots->skins[static_cast<std::size_t>(frames - 2)]));
    EXPECT_EQ(valley->getIcon(1)->pSkin, static_cast<Skin*>(dots->skins[static_cast<std::size_t>(frames - 1)]));
    // Keyboard navigation passes locked levels by.
    EXPECT_EQ(valley->getIcon(9)->getNavigationPoint(0), Navigable::NONE);
    EXPECT_NE(valley->getIcon(2)->getNavigationPoint(0), Navigable::NONE);
    game.screenshot("valley-choose");
}

TEST_F(ValleyTest, ADamagedSelectedLevelIsReadAsTheFirst)
{
    progressTo(3);
    game.player().currentLevel = 4711;
    open(0.1);
    EXPECT_EQ(game.player().currentLevel, 0);
    game.player().currentLevel = -3;
    game.clearScreens();
    open(0.1);
    EXPECT_EQ(game.player().currentLevel, 0);
}

TEST_F(ValleyTest, RecipeButtonComesWithTheFourthLevelAndOpensTheRecipe)
{
    progressTo(4);
    game.player().levelStats[3].completed = 0;
    open();
    EXPECT_TRUE(valley->buttonRecipe->bHidden) << "the fourth level is not yet completed";
    game.player().levelStats[3].completed = 1;
    game.frame();
    ASSERT_FALSE(valley->buttonRecipe->bHidden);
    const V3 at = valley->buttonRecipe->position;
    game.clickAt(*valley->hudMenu, at.x, at.y);
    game.frame();
    auto* recipe = dynamic_cast<ContextRecipe*>(game.screens().getTop());
    ASSERT_NE(recipe, nullptr);
    EXPECT_EQ(recipe->page, 0);
    game.screenshot("recipe-locked");
}

TEST_F(ValleyTest, RecipePagesLockedAndOpen)
{
    progressTo(4);
    game.player().levelStats[2].fullMarks[LevelStats::FULL_PERFECT] = 1;
    auto* recipe = new ContextRecipe();
    game.screens().addContext(recipe);
    game.frames(2);
    // Level 0 is available and not at full points: both notices.
    EXPECT_EQ(recipe->pageContainer->countChildren(), 2);
    recipe->page = 9;
    game.frame();
    EXPECT_EQ(recipe->pageContainer->countChildren(), 1) << "a level not yet available is not named";
    recipe->page = 2;
    game.frame();
    EXPECT_GT(recipe->pageContainer->countChildren(), 2);
    game.screenshot("recipe-open");
    // The recipe's lines stay inside the parchment, clear of its rim (the outer twentieth on either side).
    auto* parchment = dynamic_cast<Renderable*>(recipe->pageContainer->getFirstChild());
    ASSERT_NE(parchment, nullptr);
    ASSERT_NE(parchment->pSkin, nullptr);
    const float half = parchment->pSkin->width * parchment->scale.x / 2.0f, rim = half / 10.0f;
    for (KivBase* c = parchment->getNext(); c != nullptr; c = c->getNext()) {
        auto* line = dynamic_cast<TextSprite*>(c);
        ASSERT_NE(line, nullptr);
        const float left = line->position.x - parchment->position.x;
        EXPECT_GE(left, rim - half) << wideToUtf8(line->text);
        EXPECT_LE(left + static_cast<float>(line->pFont->measureLine(line->text)), half - rim) << wideToUtf8(line->text);
    }
    EXPECT_NE(recipe->linkButton->url.find(u"/tobble/recipe.php?id="), UString::npos);
    EXPECT_EQ(recipe->linkButton->url.substr(recipe->linkButton->url.size() - 8), u"00000004");
}

} // namespace
