// What the player sees: frames of the title, the playing level with its HUD, the pause menu and the
// results panel, checked at their pixels against the same frame drawn without the part in question (and
// saved for a look).
#include "LevelFixture.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "game/level/GameServer.h"
#include "game/userdata/GameConfiguration.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Skin.h"
#include "game/front/ContextManager.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/level/MyRootObject.h"
#include "game/level/StatsRow.h"
#include "game/effects/ParallaxHills.h"

namespace {
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Two pixels differ clearly: their colour channels are more than 48 apart in all.
bool clearlyDiffer(std::uint32_t p, std::uint32_t q)
{
    int delta = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        delta += std::abs(static_cast<int>((p >> shift) & 0xFFu) - static_cast<int>((q >> shift) & 0xFFu));
    }
    return delta > 48;
}

// Pixels that differ clearly between two pictures inside a rectangle (x, y from the top-left).
int changedPixels(const Picture& a, const Picture& b, int left, int top, int right, int bottom)
{
    int changed = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            changed += clearlyDiffer(a.pixels[static_cast<std::size_t>(y * a.width + x)],
                                     b.pixels[static_cast<std::size_t>(y * b.width + x)])
                           ? 1
                           : 0;
        }
    }
    return changed;
}
} // namespace

class LevelPictures : public LevelTest {
protected:
    // Draws the stack as it stands, without ticking, and reads the picture back.
    Picture draw()
    {
        KivGraphics& graphics = *KivGraphics::instance();
        graphics.beginScene();
        Kiv::instance()->currentContext = &stack();
        stack().render();
        graphics.endScene();
        Picture picture;
        picture.pixels = graphics.readScreen(picture.width, picture.height);
        return picture;
    }
};

TEST_F(LevelPictures, HudResultsAndPauseAreDrawn)
{
    LevelBuilder builder;
    play(builder);
    frames(150);
    saveScreenshot("level-title");
    ASSERT_TRUE(runToState(4));
    frames(30);
    saveScreenshot("level-playing");

    // The HUD: the clock in the top right corner and the apple bar in the top left.
    GameController& gc = level();
    const Picture withHud = draw();
    gc.contextHUD->bInactive = true;
    const Picture withoutHud = draw();
    gc.contextHUD->bInactive = false;
    const int w = withHud.width;
    EXPECT_GT(changedPixels(withHud, withoutHud, w - 100, 0, w, 30), 50);
    EXPECT_GT(changedPixels(withHud, withoutHud, 0, 0, 150, 30), 50);

    // The pause menu over the frozen level: its panel covers the middle.
    const Picture playing = draw();
    pressKey(0x01);
    frames(1);
    releaseKey(0x01);
    frames(30);
    saveScreenshot("level-paused");
    const Picture paused = draw();
    const int h = paused.height;
    EXPECT_GT(changedPixels(paused, playing, w / 2 - 150, h / 2 - 150, w / 2 + 150, h / 2 + 150), 20000);
    pressKey(0x01);
    frames(1);
    releaseKey(0x01);
    frames(20);
    ASSERT_EQ(manager->getRoot()->contextOverlay, nullptr);

    // The results: the rows' texts in the band of the table.
    deliverApples();
    setPigAtHome(true);
    ASSERT_TRUE(runToState(7, 800));
    frames(1500);
    saveScreenshot("level-results");
    const Picture results = draw();
    for (KivBase* o = gc.contextHUD->getFirstChild(); o != nullptr; o = o->getNext()) {
        if (dynamic_cast<StatsRow*>(o) != nullptr) {
            o->bInactive = true;
        }
    }
    const Picture noRows = draw();
    // Rows from y = 160 (screen y 140 from the top) downwards, labels from x = -280.
    EXPECT_GT(changedPixels(results, noRows, w / 2 - 300, h / 2 - 180, w / 2 + 250, h / 2 + 60), 3000);
}

// The results rows play one after the other in the middle of the screen, large, and then slide into the
// table: a row that comes must not be drawn over the one before it, while that one slides.
TEST_F(LevelPictures, ResultsRowsDoNotOverlapWhileTheyPlayIn)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(GameController::STATE_PLAYING));
    deliverApples();
    setPigAtHome(true);
    ASSERT_TRUE(runToState(GameController::STATE_RESULTS, 800));
    GameController& gc = level();
    auto rows = [&] {
        std::vector<StatsRow*> found;
        for (KivBase* o = gc.contextHUD->getFirstChild(); o != nullptr; o = o->getNext()) {
            if (auto* row = dynamic_cast<StatsRow*>(o)) {
                found.push_back(row);
            }
        }
        return found;
    };
    auto drawOnly = [&](const StatsRow* shown) {
        for (StatsRow* row : rows()) {
            row->bInactive = row != shown;
        }
        return draw();
    };
    int checked = 0;
    for (int tick = 0; tick < 2500 && checked < 40; ++tick) {
        tickOnly();
        const std::vector<StatsRow*> all = rows();
        for (std::size_t i = 1; i < all.size(); ++i) {
            // Every 0.15 s while the newer row fades in.
            StatsRow* newer = all[i];
            if (newer->state != 1 || (tick % 15) != 0) {
                continue;
            }
            const Picture none = drawOnly(nullptr);
            const Picture before = drawOnly(all[i - 1]);
            const Picture after = drawOnly(newer);
            int both = 0;
            for (std::size_t p = 0; p < none.pixels.size(); ++p) {
                both += clearlyDiffer(none.pixels[p], before.pixels[p]) && clearlyDiffer(none.pixels[p], after.pixels[p])
                            ? 1
                            : 0;
            }
            EXPECT_LE(both, 10) << "rows " << i - 1 << " and " << i << " at " << newer->timeInState << " s, before at " << all[i - 1]->timeInState;
            ++checked;
        }
        for (StatsRow* row : all) {
            row->bInactive = false;
        }
    }
    EXPECT_GE(checked, 6);
}

// The frame-rate readout of the screen stack stands in the top-right corner, below the HUD's clock and,
// in touch play, below its buttons.
TEST_F(LevelPictures, FrameRateReadoutKeepsOffTheClockAndTheButtons)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    config().bShowClock = 1;
    GameConfiguration& settings = config();
    KivInput& input = *Kiv::instance()->input;
    for (const bool touch : {false, true}) {
        SCOPED_TRACE(touch ? "touch" : "keys");
        input.setInputMode(touch ? KivInput::INPUT_TOUCH : KivInput::INPUT_POINTER);
        frames(2);
        auto readoutRows = [&](int from, int to) {
            settings.bShowFps = 1;
            const Picture with = draw();
            settings.bShowFps = 0;
            const Picture without = draw();
            return changedPixels(with, without, with.width - 120, from, with.width, to);
        };
        const int row = touch ? 100 : 40; // the HUD's top row: clock, or buttons with the clock below
        EXPECT_EQ(readoutRows(0, row), 0);
        EXPECT_GT(readoutRows(row, row + 25), 10);
    }
    settings.bShowFps = 1;
    frames(1);
    saveScreenshot("level-frame-rate-touch");
    settings.bShowFps = 0;
    input.setInputMode(KivInput::INPUT_POINTER);
}

// A bonus level's countdown or a clock beyond the int range shows the int's end; a countdown that is no
// number shows none left.
TEST_F(LevelPictures, HudTimesBeyondTheIntRangeShowItsEnd)
{
    LevelBuilder builder;
    builder.controller().bBonusLevel = true;
    play(builder);
    ASSERT_TRUE(runToState(4));
    GameController& gc = level();
    config().bShowClock = 1;
    auto drawAt = [&](float countdown, double played) {
        gc.bonusTimer = countdown;
        gc.levelStats.time = played;
        return draw();
    };
    const Picture intEnd = drawAt(3e9f, 3e9);
    const int w = intEnd.width, h = intEnd.height;
    EXPECT_EQ(changedPixels(drawAt(std::numeric_limits<float>::infinity(), 1e300), intEnd, 0, 0, w, h), 0);
    // Each shows its number: the float below the end (2147483520) reads otherwise.
    EXPECT_GT(changedPixels(drawAt(2147483520.0f, 3e9), intEnd, 0, 0, w, h), 20);
    EXPECT_GT(changedPixels(drawAt(3e9f, 2147483520.0), intEnd, 0, 0, w, h), 20);
    EXPECT_EQ(changedPixels(drawAt(std::nanf(""), 0.0), drawAt(0.0f, 0.0), 0, 0, w, h), 0);
}

// In touch play the clock stands below the row of HUD buttons. An overlay holds the level with the
// buttons shown; a mouse click or key meanwhile switches the input mode, and the clock must stay below
// them. The editor hides the buttons, and the clock goes back to the top.
TEST_F(LevelPictures, ClockNeverSitsUnderTheHudButtons)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    GameController& gc = level();
    config().bShowClock = 1;
    KivInput& input = *Kiv::instance()->input;
    input.setInputMode(KivInput::INPUT_TOUCH);
    frames(2);
    ASSERT_FALSE(gc.contextHUD->buttonPause->bHidden);
    pressKey(0x01);
    frames(1);
    releaseKey(0x01);
    frames(20);
    ASSERT_NE(manager->getRoot()->contextOverlay, nullptr);
    input.setInputMode(KivInput::INPUT_POINTER);
    // The clock's pixels: the frame with the clock against the frame without it.
    auto clockRows = [&](int from, int to) {
        config().bShowClock = 1;
        const Picture with = draw();
        config().bShowClock = 0;
        const Picture without = draw();
        config().bShowClock = 1;
        return changedPixels(with, without, with.width - 120, from, with.width, to);
    };
    EXPECT_EQ(clockRows(0, 68), 0);
    EXPECT_GT(clockRows(68, 110), 20);
    frames(1);
    saveScreenshot("level-clock-under-overlay");
    pressKey(0x01);
    frames(1);
    releaseKey(0x01);
    frames(20);
    ASSERT_EQ(manager->getRoot()->contextOverlay, nullptr);

    // Editing, entered from touch play: no buttons, the clock at the top.
    ASSERT_NE(gc.editor, nullptr);
    input.setInputMode(KivInput::INPUT_TOUCH);
    frames(2);
    ASSERT_FALSE(gc.contextHUD->buttonPause->bHidden);
    manager->server->bEditing = true;
    input.setInputMode(KivInput::INPUT_POINTER);
    frames(2);
    EXPECT_TRUE(gc.contextHUD->buttonPause->bHidden);
    EXPECT_TRUE(gc.contextHUD->buttonMiniMap->bHidden);
    EXPECT_GT(clockRows(0, 40), 20);
    manager->server->bEditing = false;
    input.setInputMode(KivInput::INPUT_POINTER);
}

namespace {
// The mean of the red, green and blue values of a picture, 0 to 255.
double brightness(const Picture& p)
{
    double sum = 0.0;
    for (std::uint32_t c : p.pixels) {
        sum += static_cast<double>((c & 0xFFu) + ((c >> 8) & 0xFFu) + ((c >> 16) & 0xFFu)) / 3.0;
    }
    return p.pixels.empty() ? 0.0 : sum / static_cast<double>(p.pixels.size());
}
} // namespace

// The states the results test does not look at: the black screen the level fades in from, the title's
// messages, "Level complete!" at the level end, and the fade to black after the results.
TEST_F(LevelPictures, IntroTitleLevelEndAndFadeOutFrames)
{
    LevelBuilder builder;
    play(builder);
    GameController& gc = level();
    ContextHUD& hud = *gc.contextHUD;
    ASSERT_EQ(gc.state, GameController::STATE_INTRO);
    frames(1);
    const double intro = brightness(draw());

    // Messages drawn: the frame against the same frame with the two message displays switched off.
    auto messagePixels = [&] {
        auto showGlyphs = [&](bool show) {
            for (MessageDisplay* display : {&hud.messenger1, &hud.messenger2}) {
                for (KivBase* glyph = display->getFirstChild(); glyph != nullptr; glyph = glyph->getNext()) {
                    glyph->bInactive = !show;
                }
            }
        };
        const Picture with = draw();
        showGlyphs(false);
        const Picture without = draw();
        showGlyphs(true);
        return changedPixels(with, without, 0, 0, with.width, with.height);
    };
    ASSERT_TRUE(runToState(GameController::STATE_TITLE, 150));
    frames(150);
    const Picture title = draw();
    EXPECT_GT(brightness(title), intro + 40.0);
    EXPECT_GT(messagePixels(), 500);

    ASSERT_TRUE(runToState(GameController::STATE_PLAYING, 500));
    deliverApples();
    setPigAtHome(true);
    ASSERT_TRUE(runToState(GameController::STATE_LEVELEND, 150));
    frames(60);
    saveScreenshot("level-end");
    EXPECT_GT(messagePixels(), 500);

    ASSERT_TRUE(runToState(GameController::STATE_RESULTS, 700));
    frames(30);
    pressKey(57);
    frames(1);
    releaseKey(57);
    ASSERT_EQ(gc.state, GameController::STATE_FADEOUT);
    frames(95);
    EXPECT_LT(brightness(draw()), 12.0);
    EXPECT_LT(intro, 12.0);
}

// The near hills are drawn twice, the second strip a fifth of the screen lower: the ground under the upper
// strip's ridge must reach below the lower strip's valleys, or a band of sky shows between them. So at
// every size the display lists, at 800x600 and at full HD (the test display lists only small modes). The
// sizes are shown full screen without bars: the frame is squeezed into the small test window, which so
// shows the band across most of its width.
TEST_F(LevelPictures, NearHillStripsLeaveNoSkyBetweenThem)
{
    KivGraphics& graphics = *KivGraphics::instance();
    std::vector<std::pair<int, int>> sizes = {{800, 600}, {1920, 1080}};
    for (const KivGraphics::VideoMode& mode : graphics.getVideoModes()) {
        sizes.emplace_back(mode.width, mode.height);
    }
    const int savedW = graphics.videoModeWidth, savedH = graphics.videoModeHeight;
    const bool savedFull = graphics.bFullScreen, savedLetterbox = graphics.bLetterbox;
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    frames(30);
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        graphics.changePresentationParameters(width, height, true, false, graphics.bBilinearFilter, graphics.bVSync);
        frames(2);
        ASSERT_EQ(width, graphics.width);
        ASSERT_EQ(height, graphics.height);
        const Picture picture = draw();
        const Camera* camera = level().getGameCamera();
        ASSERT_NE(camera, nullptr);
        // Rows of the game's screen, then of the picture the window holds.
        const float h = static_cast<float>(height);
        const float upper = ParallaxHills::layout(*camera, 1024.0f, 2.0f, 8.0f, -0.3f * h).y;
        const float lower = ParallaxHills::layout(*camera, 1024.0f, 1.5f, 6.0f, -0.5f * h).y;
        const float w = static_cast<float>(picture.width);
        const float ph = static_cast<float>(picture.height);
        float x = 0.0f;
        float upperRow = 0.0f;
        float lowerRow = 0.0f;
        camera->worldToScreen(V3(camera->eye.x, upper, 0.0f), w, ph, x, upperRow);
        camera->worldToScreen(V3(camera->eye.x, lower, 0.0f), w, ph, x, lowerRow);
        ASSERT_LT(upperRow, lowerRow);
        const int first = std::max(0, static_cast<int>(upperRow) + 2);
        const int last = std::min(picture.height, static_cast<int>(lowerRow) - 2);
        ASSERT_LT(first, last) << "the band between the strips is on the screen";
        int sky = 0;
        for (int y = first; y < last; ++y) {
            for (int column = 0; column < picture.width; ++column) {
                const std::uint32_t p = picture.pixels[static_cast<std::size_t>(y * picture.width + column)];
                const int r = static_cast<int>((p >> 16) & 0xFFu);
                const int g = static_cast<int>((p >> 8) & 0xFFu);
                const int b = static_cast<int>(p & 0xFFu);
                sky += b > r + 30 && b > g ? 1 : 0;
            }
        }
        EXPECT_EQ(sky, 0) << "rows " << first << " to " << last;
        if (width == 1920) {
            saveScreenshot("level-hills-1920");
        }
    }
    graphics.changePresentationParameters(savedW, savedH, savedFull, savedLetterbox, graphics.bBilinearFilter,
                                          graphics.bVSync);
    frames(1);
}

// The HUD's bar and the results table's badges are drawn at places the level fixes; their pictures must
// suit them.
TEST_F(LevelPictures, HudBarAndResultBadgesFitTheirPlaces)
{
    const ResourceManager& resources = *harness().kiv().resourceManager;
    // The bar hangs from the top edge, centred at left - 70 + n x step: it reaches past the left edge and
    // past the last apple icon, and down below the icons, for up to 15 apples.
    const Skin* bar = resources.find<Skin>(u"gui-game-hud:0");
    const Skin* bigApple = resources.find<Skin>(u"gui-game-hud:1");
    const Skin* smallApple = resources.find<Skin>(u"gui-game-hud:2");
    for (int n = 0; n <= 15; ++n) {
        SCOPED_TRACE(n);
        const float step = n <= 10 ? 25.0f : 16.0f;
        const float centre = -70.0f + static_cast<float>(n) * step; // from the screen's left edge
        EXPECT_LE(centre - bar->width / 2.0f, 0.0f);
        if (n > 0) {
            const Skin* apple = n <= 10 ? bigApple : smallApple;
            EXPECT_GE(centre + bar->width / 2.0f - 4.0f, 128.0f + static_cast<float>(n - 1) * step + apple->width / 2.0f);
        }
    }
    EXPECT_GE(bar->height / 2.0f, 20.0f + bigApple->height / 2.0f);

    // A badge shrinks from its big frame to a quarter (a third and more on the total line) and then shows
    // its small frame unscaled; in the table the star and trophy stand 30 apart (43 on the total line) in
    // lines 35 apart.
    for (const char16_t* sheet : {u"statsStar", u"statsTrophy"}) {
        SCOPED_TRACE(wideToUtf8(sheet));
        const Skin* big = resources.find<Skin>(UString(sheet) + u":0");
        const Skin* total = resources.find<Skin>(UString(sheet) + u":1");
        const Skin* small = resources.find<Skin>(UString(sheet) + u":2");
        EXPECT_NEAR(small->width, big->width * 0.25f, 1.0f);
        EXPECT_NEAR(total->width, big->width * 0.35f, 1.0f);
        EXPECT_LE(small->width, 34.0f);
        EXPECT_LE(small->height, 35.0f);
        EXPECT_LE(total->width, 47.0f);
    }
}
