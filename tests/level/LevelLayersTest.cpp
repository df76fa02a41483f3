// The level's layers and effects: the sky's sleigh and season picture, the HUD's touch controls and
// buttons, the touch buttons' hit square, and the results rows' script.
#include "LevelFixture.h"

#include "engine/files/ResourceManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/ParticleEmitter.h"
#include "engine/render/Skin.h"
#include "engine/text/TextSprite.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/ContextSky.h"
#include "game/level/GameController.h"
#include "game/level/LevelBuilder.h"
#include "game/level/StatsRow.h"
#include "game/level/TouchButton.h"
#include "game/level/GameServer.h"
#include "game/level/MyRootObject.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"

namespace {
int countEmitters(const KivBase& parent)
{
    int n = 0;
    for (KivBase* o = parent.getFirstChild(); o != nullptr; o = o->getNext()) {
        n += dynamic_cast<ParticleEmitter*>(o) != nullptr ? 1 : 0;
    }
    return n;
}

float screenW() { return static_cast<float>(KivGraphics::instance()->width); }
float screenH() { return static_cast<float>(KivGraphics::instance()->height); }
} // namespace

TEST_F(LevelTest, SleighCrossesToAndFroFaintlyWithGlints)
{
    ContextSky sky;
    EXPECT_EQ(sky.sleigh->color.argb, 0x20FFFFFFu);
    EXPECT_EQ(sky.sleighDirection, -1);
    // Far left at first: the first tick turns it towards +x.
    sky.tickEntry(0.0, 0.01);
    EXPECT_EQ(sky.sleighDirection, 1);
    EXPECT_FLOAT_EQ(sky.sleigh->scale.x, 1.0f);
    EXPECT_GE(sky.sleigh->position.y, 0.0f);
    EXPECT_LT(sky.sleigh->position.y, screenH() / 2.0f);
    // Past 5 W it turns back, mirrored.
    sky.sleigh->setPosition(V3(5.0f * screenW() + 1.0f, 0.0f, 0.0f));
    sky.tickEntry(0.0, 0.01);
    EXPECT_EQ(sky.sleighDirection, -1);
    EXPECT_FLOAT_EQ(sky.sleigh->scale.x, -1.0f);

    // In view and with detail on: three emitters every 0.1 s, between the sky and the sleigh.
    sky.sleigh->setPosition(V3(0.0f, 0.0f, 0.0f));
    sky.sleigh->bVisible = true;
    for (int i = 0; i < 10; ++i) {
        sky.tickEntry(0.0, 0.0125);
    }
    EXPECT_EQ(countEmitters(sky), 3);
    EXPECT_EQ(sky.sleigh->getPrev()->getPrev()->getPrev()->getPrev(), sky.sky);
    // With the detail setting 0 no glints come and the timer stands still.
    config().detail = 0;
    const double timer = sky.sparkleTimer;
    for (int i = 0; i < 20; ++i) {
        sky.sleigh->bVisible = true;
        sky.tickEntry(0.0, 0.01);
    }
    config().detail = 1;
    EXPECT_EQ(sky.sparkleTimer, timer);
}

TEST_F(LevelTest, SkyShowsTheSeasonOfTheLevel)
{
    LevelBuilder builder;
    builder.controller().season = GameController::SEASON_AUTUMN;
    play(builder);
    frames(1);
    const ResourceManager& rm = *Kiv::instance()->resourceManager;
    EXPECT_EQ(level().contextBackground->sky->pSkin, rm.find(u"sky-autumn:0", true));
    // A change of season shows at the next drawing.
    level().season = GameController::SEASON_WINTER;
    frames(1);
    EXPECT_EQ(level().contextBackground->sky->pSkin, rm.find(u"sky-winter:0", true));
}

TEST_F(LevelTest, HudPlacesItsControlsByTheArrowSetting)
{
    const float halfW = static_cast<float>(KivGraphics::instance()->width / 2);
    const float halfH = static_cast<float>(KivGraphics::instance()->height / 2);
    config().touchArrowPlacement = 0;
    {
        ContextHUD hud;
        const float r = hud.touchLeft->radius;
        EXPECT_FLOAT_EQ(r, 45.0f); // the tablet device class keeps scale 1
        EXPECT_FLOAT_EQ(hud.touchLeft->position.x, -halfW + r + 5.0f);
        EXPECT_FLOAT_EQ(hud.touchLeft->position.y, -halfH + r + 5.0f);
        EXPECT_FLOAT_EQ(hud.touchRight->position.x, hud.touchLeft->position.x + 2.0f * r);
        EXPECT_FLOAT_EQ(hud.touchJump->position.x, halfW - r - 5.0f);
        EXPECT_FLOAT_EQ(hud.buttonPause->position.x, halfW - 35.0f);
        EXPECT_FLOAT_EQ(hud.buttonMiniMap->position.x, halfW - 245.0f);
        EXPECT_FLOAT_EQ(hud.buttonMiniMap->position.y, halfH - 35.0f);
    }
    config().touchArrowPlacement = 1;
    {
        ContextHUD hud;
        const float r = hud.touchLeft->radius;
        EXPECT_FLOAT_EQ(hud.touchRight->position.x, halfW - r - 5.0f);
        EXPECT_FLOAT_EQ(hud.touchLeft->position.x, hud.touchRight->position.x - 2.0f * r);
        EXPECT_FLOAT_EQ(hud.touchJump->position.x, -halfW + r + 5.0f);
    }
    config().touchArrowPlacement = 0;
}

TEST_F(LevelTest, TouchControlsShowOnlyWhilePlayingByTouch)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    frames(1);
    ContextHUD& hud = *level().contextHUD;
    EXPECT_TRUE(hud.touchLeft->bHidden); // keys: hidden
    EXPECT_TRUE(hud.buttonPause->bHidden);
    // A finger held on the left arrow keeps it pressed and bright; the jump button only takes new touches.
    const V3 left = hud.touchLeft->position;
    fingerDown(left.x + screenW() / 2.0f, left.y + screenH() / 2.0f);
    frames(1);
    EXPECT_EQ(Kiv::instance()->input->getInputMode(), KivInput::INPUT_TOUCH);
    frames(1);
    EXPECT_FALSE(hud.touchLeft->bHidden);
    EXPECT_FALSE(hud.buttonPause->bHidden);
    EXPECT_FALSE(hud.buttonMiniMap->bHidden); // a normal level numbered below 31
    for (int i = 0; i < 5; ++i) {
        frames(1);
        EXPECT_TRUE(hud.touchLeft->pressed);
        EXPECT_EQ(hud.touchLeft->color.argb >> 24, 255u);
    }
    EXPECT_FALSE(hud.touchJump->pressed);
    fingerUp();
    frames(1);
    frames(1);
    EXPECT_FALSE(hud.touchLeft->pressed);
    frames(30); // falls back to half alpha
    EXPECT_EQ(hud.touchLeft->color.argb >> 24, 128u);

    const V3 jump = hud.touchJump->position;
    fingerDown(jump.x + screenW() / 2.0f, jump.y + screenH() / 2.0f);
    frames(1);
    EXPECT_TRUE(hud.touchJump->pressed);
    frames(1);
    EXPECT_FALSE(hud.touchJump->pressed); // held, but no longer new
    fingerUp();
    frames(1);
    Kiv::instance()->input->setInputMode(KivInput::INPUT_POINTER);
}

TEST_F(LevelTest, TouchExactlyARadiusAwayMissesTheButton)
{
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    ContextHUD& hud = *level().contextHUD;
    const V3 right = hud.touchRight->position;
    const float r = hud.touchRight->radius;
    fingerDown(right.x + screenW() / 2.0f, right.y - r + screenH() / 2.0f);
    frames(2);
    EXPECT_FALSE(hud.touchRight->pressed);
    fingerUp();
    frames(1);
    fingerDown(right.x + screenW() / 2.0f, right.y - r + 0.5f + screenH() / 2.0f);
    frames(2);
    EXPECT_TRUE(hud.touchRight->pressed);
    fingerUp();
    frames(1);
    Kiv::instance()->input->setInputMode(KivInput::INPUT_POINTER);
}

TEST_F(LevelTest, NoMiniMapOnTheLastLevel)
{
    profile().currentLevel = 31;
    LevelBuilder builder;
    play(builder);
    ASSERT_TRUE(runToState(4));
    pressKey(50); // M
    frames(1);
    releaseKey(50);
    frames(1);
    EXPECT_EQ(manager->getRoot()->contextOverlay, nullptr);
    // The statistics key opens the statistics table instead.
    pressKey(28);
    frames(1);
    releaseKey(28);
    frames(1);
    EXPECT_NE(manager->getRoot()->contextOverlay, nullptr);
}

TEST_F(LevelTest, StatsRowCountsAndSlidesIntoItsLine)
{
    LevelBuilder builder;
    play(builder);
    frames(1);
    THEROLE = manager->server;
    // Both badges: star at -100, trophy at +100 while playing; a full row shows +100.0%.
    StatsRow row(1000, V3(0.0f, 160.0f, 0.0f), UColor(0xffff8000u), -2, true, true, false, u"Apples", u"4/4", 0.0);
    EXPECT_EQ(row.state, 1);
    EXPECT_DOUBLE_EQ(row.duration, 2.0 + StatsRow::CLEAR_TIME);
    for (int i = 0; i < 100 && row.state < 3; ++i) {
        row.tick(0.0, 0.01);
    }
    ASSERT_EQ(row.state, 3);
    EXPECT_EQ(row.counterText->text, u"+100.0%");
    EXPECT_FLOAT_EQ(row.starSprite->position.x, -100.0f);
    EXPECT_FLOAT_EQ(row.trophySprite->position.x, 100.0f);
    for (int i = 0; i < 250; ++i) {
        row.tick(0.0, 0.01);
    }
    ASSERT_EQ(row.state, 4);
    EXPECT_FLOAT_EQ(row.starSprite->position.x, 250.0f);
    EXPECT_FLOAT_EQ(row.trophySprite->position.x, 280.0f);
    EXPECT_FLOAT_EQ(row.labelText->position.y, 160.0f);
    EXPECT_FLOAT_EQ(row.labelText->scale.x, 0.5f);

    // No badges: state 3 passes on to 4 in the same frame; a target of 0 leaves the counter empty.
    StatsRow plain(0, V3(0.0f, 125.0f, 0.0f), UColor(0xff00ff00u), 3, false, false, false, u"Time", u"", 0.0);
    EXPECT_DOUBLE_EQ(plain.duration, 1.0 + StatsRow::CLEAR_TIME);
    for (int i = 0; i < 100 && plain.state < 3; ++i) {
        plain.tick(0.0, 0.01);
    }
    EXPECT_EQ(plain.state, 4);
    EXPECT_EQ(plain.counterText->text, u"");

    // A star alone, or a trophy alone, claims the badge's second too, plays in the middle and holds it for
    // that second before sliding.
    for (const bool star : {true, false}) {
        StatsRow one(500, V3(0.0f, 90.0f, 0.0f), UColor(0xffff8000u), 0, !star, star, false, u"Sweets", u"1/2", 0.0);
        EXPECT_DOUBLE_EQ(one.duration, 2.0 + StatsRow::CLEAR_TIME) << star;
        int ticks = 0;
        for (; ticks < 300 && one.state < 3; ++ticks) {
            one.tick(0.0, 0.01);
        }
        ASSERT_EQ(one.state, 3);
        EXPECT_EQ(star ? one.trophySprite : one.starSprite, nullptr);
        EXPECT_FLOAT_EQ((star ? one.starSprite : one.trophySprite)->position.x, 0.0f);
        for (; ticks < 300 && one.state < 4; ++ticks) {
            one.tick(0.0, 0.01);
        }
        EXPECT_NEAR(ticks * 0.01, 2.0, 0.015) << star;
    }

    // The total row keeps its texts full size and shows no plus sign.
    StatsRow total(1000, V3(0.0f, -50.0f, 0.0f), UColor(0xffffffffu), 4, false, false, true, u"Total", u"", 0.0);
    for (int i = 0; i < 300; ++i) {
        total.tick(0.0, 0.01);
    }
    EXPECT_EQ(total.counterText->text, u"100.0%");
    EXPECT_FLOAT_EQ(total.labelText->scale.x, 1.0f);
    THEROLE = nullptr;
}

TEST_F(LevelTest, PhoneDeviceClassDrawsTouchButtonsLarger)
{
    Kiv& kiv = *Kiv::instance();
    const int deviceClass = kiv.deviceClass;
    kiv.deviceClass = 0;
    TouchButton phone(nullptr, false);
    kiv.deviceClass = 1;
    TouchButton tablet(nullptr, true);
    kiv.deviceClass = deviceClass;
    EXPECT_FLOAT_EQ(phone.scale.x, 1.5f);
    EXPECT_FLOAT_EQ(phone.radius, 67.5f);
    EXPECT_FLOAT_EQ(tablet.scale.x, 1.0f);
    EXPECT_FLOAT_EQ(tablet.radius, 45.0f);
    EXPECT_EQ(tablet.color.argb >> 24, 128u); // half alpha while untouched
}
