// The bot finishes the levels along their routes, as a player would, with full marks within par time, and
// says so when a level does not finish.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "LevelEnvironment.h"
#include "engine/input/KivInput.h"
#include "engine/net/KivNetwork.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Skin.h"
#include "game/level/ContextHUD.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/MyRootObject.h"
#include "game/userdata/ProfileData.h"
#include "game/world/Apple.h"
#include "game/world/Pig.h"
#include "game/world/Piglet.h"
#include "game/world/TriggerHint.h"
#include "support/LevelBot.h"

namespace {

class LevelBotTest : public ::testing::TestWithParam<int> {};

void expectFullMarks(const BotReport& report, const LevelSource& source) {
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(report.resultCode, 5);
    const LevelStats& s = report.stats;
    EXPECT_EQ(s.requiredApplesGot, s.requiredApples);
    EXPECT_EQ(s.bonusApplesGot, s.bonusApples);
    EXPECT_EQ(s.sweetsGot, source.count("sweet"));
    EXPECT_EQ(s.secretsFound, source.count("secret"));
    EXPECT_EQ(s.livesLost, 0);
    EXPECT_LE(s.time, source.parTime);
    EXPECT_EQ(s.totalPoints, 1000);
    std::printf("%s: %d frames, %.1f s played of %.0f s par, %d points\n", source.path.c_str(), report.frames, s.time,
                source.parTime, s.totalPoints);
}

} // namespace

TEST_P(LevelBotTest, FinishesWithFullMarks) {
#if defined(__SANITIZE_ADDRESS__)
    // Under the sanitizers the engine runs many times slower: one level of each kind is enough there.
    if (GetParam() != 0 && GetParam() != 3)
        GTEST_SKIP() << "played in the normal build";
#endif
    LevelEnvironment& env = LevelEnvironment::get();
    const LevelSource& source = env.sources().at(GetParam());
    LevelBot bot(env.harness());
    expectFullMarks(bot.play(source.number, LevelEnvironment::routeOf(source)), source);
}

// Every level, played along its route.
INSTANTIATE_TEST_SUITE_P(AllLevels, LevelBotTest, ::testing::Range(0, 32),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });

// The bot's own verdict: a route without its last step (going in) leaves the pig outside, and the bot
// says the level did not finish.
TEST_F(LevelBotTest, ReportsAFailureWhenItsRouteIsCutShort) {
    LevelEnvironment& env = LevelEnvironment::get();
    const LevelSource& source = env.sources().at(0);
    std::vector<BotStep> route = LevelEnvironment::routeOf(source);
    ASSERT_FALSE(route.empty());
    route.pop_back();
    LevelBot bot(env.harness());
    const BotReport report = bot.play(source.number, route);
    EXPECT_NE(report.resultCode, 5);
    EXPECT_NE(report.failure.find("the level ended with result code 0"), std::string::npos) << report.failure;
}

// The first level again, steered by the touch controls: the arrows and the jump button, taps on the
// hints to close them and a tap on the pig at its door to go in.
TEST(LevelBotTouch, FinishesTheFirstLevelByTouch) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "played in the normal build";
#endif
    LevelEnvironment& env = LevelEnvironment::get();
    const LevelSource& source = env.sources().at(0);
    LevelBot bot(env.harness());
    const BotReport report = bot.play(source.number, LevelEnvironment::routeOf(source), true);
    expectFullMarks(report, source);
    EXPECT_EQ(report.inputMode, int(KivInput::INPUT_TOUCH)) << "a key was pressed on the way";
}

// A level as a new player meets it, with the default keys: the arrows to walk, Space to jump and to close
// a hint.
class PlayedLevel : public ::testing::Test {
protected:
    void TearDown() override { leave(); }

    // Starts the level of that number and plays it up to its playing state.
    void start(int number) {
        env.profile().currentLevel = number;
        level = std::make_unique<ContextLevelManager>(number);
        for (int i = 0; i < 2000 && gc()->state != 4; ++i)
            frame();
        ASSERT_EQ(gc()->state, 4);
    }
    void leave() {
        for (const char* key : {"Left", "Right", "Space"})
            PlatformEventInjector::key(key, false);
        level.reset();
        THEROLE = nullptr;
    }

    GameController* gc() const { return level->getGameController(); }
    Pig* pig() const { return dynamic_cast<Pig*>(gc()->findHeroOrNull()); }
    V3 house() const { return static_cast<Renderable*>(gc()->findHouseOrNull())->position; }

    // One frame, drawn every `drawEvery` frames (never with 0); an open hint is read for half a second,
    // then closed with the jump key.
    void frame() {
        const bool hint = level->getRoot()->contextOverlay != nullptr;
        if (hint && ++reading == 50) {
            PlatformEventInjector::key("Space", true);
            env.harness().frame(level.get());
            PlatformEventInjector::key("Space", false);
            reading = 0;
        }
        Kiv& kiv = env.harness().kiv();
        KivGraphics* graphics = kiv.graphics;
        ++frames;
        if (drawEvery == 0 || frames % drawEvery != 0)
            kiv.graphics = nullptr;
        env.harness().frame(level.get());
        kiv.graphics = graphics;
    }
    void play(double seconds) {
        for (int i = 0; i < int(std::lround(seconds * 100)); ++i)
            frame();
    }
    // Walks one way for that long, then lets the camera settle.
    void walk(const char* key, double seconds) {
        PlatformEventInjector::key(key, true);
        play(seconds);
        PlatformEventInjector::key(key, false);
        play(1.5);
    }
    // How far the pig's picture reaches out of what the game's camera shows; 0 or less when all of it is
    // in sight.
    float pigOutOfSight() const {
        Camera::Rect view;
        gc()->contextGame->camera->getVisibleRect(view, pig()->position.z);
        const float halfWidth = pig()->pSkin != nullptr ? pig()->pSkin->width / 2 : Pig::RADIUS;
        const float halfHeight = pig()->pSkin != nullptr ? pig()->pSkin->height / 2 : Pig::RADIUS;
        const V3 centre = pig()->drawnCentre();
        return std::max({view.left - (centre.x - halfWidth), centre.x + halfWidth - view.right,
                         centre.y + halfHeight - view.top, view.bottom - (centre.y - halfHeight)});
    }
    void expectPigInSight(const std::string& where) {
        EXPECT_LE(pigOutOfSight(), 0.0f) << where << ": pig at " << pig()->position.x << ", " << pig()->position.y;
    }

    LevelEnvironment& env = LevelEnvironment::get();
    std::unique_ptr<ContextLevelManager> level;
    int frames = 0;
    int reading = 0;
    int drawEvery = 16;
};

class FirstLevel : public PlayedLevel {
protected:
    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "played in the normal build";
#endif
        start(0);
    }
};

TEST_F(FirstLevel, ThePigFacesHomeAndIsToldToWalkAsSoonAsTheGoHasGone) {
    const float home = house().x - pig()->position.x;
    EXPECT_EQ(pig()->facing(), home < 0 ? -1.0f : 1.0f);
    auto walkHintShown = [&] {
        for (KivBase* o = gc()->objectList->getFirstChild(); o != nullptr; o = o->getNext())
            if (auto* hint = dynamic_cast<TriggerHint*>(o); hint != nullptr && hint->hintTextID == u"HINTMOVELEFTRIGHT")
                return hint->bShown;
        return false;
    };
    int frames = 0;
    for (; frames < 250 && !walkHintShown(); ++frames)
        frame();
    EXPECT_TRUE(walkHintShown()) << "within 2.5 s";
    // The box would freeze the level's "Go!" half spelled out above it.
    EXPECT_EQ(gc()->contextHUD->messenger1.getFirstChild(), nullptr) << "after " << frames << " frames";
}

TEST_F(FirstLevel, ApplesTheWalkingPigBumpsIntoDoNotRollHomeByThemselves) {
    // The pig walks on to the first apple in its way, nudges it and stops there.
    Apple* first = nullptr;
    for (KivBase* a = gc()->appleList->getFirstChild(); a != nullptr; a = a->getNext())
        if (first == nullptr || std::fabs(static_cast<Apple*>(a)->position.x - pig()->position.x) <
                                    std::fabs(first->position.x - pig()->position.x))
            first = static_cast<Apple*>(a);
    ASSERT_NE(first, nullptr);
    const float lay = first->position.x;
    const char* towards = house().x < pig()->position.x ? "Left" : "Right";
    PlatformEventInjector::key(towards, true);
    for (int i = 0; i < 3000 && std::fabs(first->position.x - lay) < 10.0f; ++i)
        frame();
    PlatformEventInjector::key(towards, false);
    ASSERT_GE(std::fabs(first->position.x - lay), 10.0f) << "the pig never reached the apple";
    play(12.0);
    EXPECT_EQ(gc()->levelStats.requiredApplesGot, 0);
    for (KivBase* a = gc()->appleList->getFirstChild(); a != nullptr; a = a->getNext())
        EXPECT_FALSE(a->bDeleted) << "an apple went home by itself";
}

TEST_F(FirstLevel, ThePigStaysInSightAtBothEndsOfTheLevel) {
    walk("Right", 6.0);
    expectPigInSight("right end");
    walk("Left", 30.0);
    EXPECT_LT(pig()->position.x, house().x) << "the pig walked past its house";
    expectPigInSight("left end");
}

// Every level, undrawn: the pig is put down before each end and runs and jumps towards it as far as it
// gets, then turns back towards its door. The camera shows all of the pig all the way; neither its picture
// nor a piglet's reaches into the rock at either end, and no piglet sinks into the ground; back at the house
// its piglets stay below the roof and come to rest on the ground. The first two levels are played on a small
// and on a large screen.
class LevelEnds : public PlayedLevel {
protected:
    // How far the picture of the pig or a piglet reaches into the rock at an end, as the source draws it (0 or
    // less: not at all).
    float intoRock(const PigBody& body) const {
        const Skin* picture = body.drawnBody();
        const float halfWidth = body.pictureHalfWidth();
        const float halfHeight = (picture != nullptr ? picture->height / 2 : Pig::RADIUS) * std::fabs(body.scale.y);
        const V3 centre = body.drawnCentre();
        float worst = -halfWidth;
        for (const LevelThing& t : source->things) {
            if (t.kind != "ledge" || !t.has("end"))
                continue;
            float left = t.points[0].x, right = left, bottom = t.points[0].y, top = bottom;
            for (const LevelPoint& p : t.points) {
                left = std::min(left, p.x), right = std::max(right, p.x);
                bottom = std::min(bottom, p.y), top = std::max(top, p.y);
            }
            if (centre.y - halfHeight < top && centre.y + halfHeight > bottom)
                worst = std::max(worst, std::min(centre.x + halfWidth - left, right - (centre.x - halfWidth)));
        }
        return worst;
    }
    // Frames, keeping the worst seen: how far the pig's picture reached out of sight and into the rock, and a
    // piglet's into the rock and the ground.
    void watch(int count) {
        for (int i = 0; i < count; ++i) {
            frame();
            outOfSight = std::max(outOfSight, pigOutOfSight());
            inRock = std::max(inRock, intoRock(*pig()));
            for (KivBase* p = gc()->pigletList->getFirstChild(); p != nullptr; p = p->getNext()) {
                const auto& piglet = *static_cast<Piglet*>(p);
                inRock = std::max(inRock, intoRock(piglet));
                underGround = std::max(underGround, source->groundAt(piglet.position.x) + Pig::RADIUS - piglet.position.y);
            }
        }
    }
    // Once the pig has landed, holds the key towards one end for eight seconds, jumping as high as it can
    // twice a second.
    void runToEnd(const char* key) {
        play(0.5);
        outOfSight = inRock = underGround = -1.0f;
        PlatformEventInjector::key(key, true);
        for (int i = 0; i < 800; ++i) {
            PlatformEventInjector::key("Space", i % 50 < 30);
            watch(1);
        }
        PlatformEventInjector::key("Space", false);
        PlatformEventInjector::key(key, false);
    }
    void expectClear(const char* where) {
        EXPECT_LE(outOfSight, 0.0f) << where << ": the pig out of sight";
        EXPECT_LE(inRock, 1.0f) << where << ": a picture in the rock";
        EXPECT_LE(underGround, 1.0f) << where << ": a piglet in the ground";
    }

    const LevelSource* source = nullptr;
    float outOfSight = -1.0f;
    float inRock = -1.0f;
    float underGround = -1.0f;
};

TEST_F(LevelEnds, ThePigAndItsPigletsStayInSightAndOutOfTheRockAtBothEndsOfEveryLevel) {
    drawEvery = 0;
    KivGraphics& graphics = *KivGraphics::instance();
    auto screen = [&](int width, int height) {
        graphics.changePresentationParameters(width, height, false, graphics.bLetterbox, graphics.bBilinearFilter,
                                              graphics.bVSync);
    };
    for (const LevelSource& level : env.sources()) {
#if defined(__SANITIZE_ADDRESS__)
        // Under the sanitizers a level of each kind.
        if (level.number != 0 && level.number != 3)
            continue;
#endif
        source = &level;
        for (const auto& [width, height] : {std::pair(800, 600), std::pair(1920, 1080)}) {
            if (width > 800 && level.number > 1)
                continue;
            SCOPED_TRACE(level.name + " at " + std::to_string(width) + "x" + std::to_string(height));
            screen(width, height);
            start(level.number);
            if (HasFatalFailure())
                return;
            const float right = level.right - 600.0f;
            pig()->placeAt(V3(right, level.groundAt(right) + 60.0f, 0.0f));
            runToEnd("Right");
            expectClear("right end");
            pig()->placeAt(V3(house().x + 200.0f, house().y, 0.0f));
            runToEnd("Left");
            // Back towards the door, with the piglets in line behind.
            PlatformEventInjector::key("Right", true);
            watch(60);
            PlatformEventInjector::key("Right", false);
            watch(150);
            expectClear("left end");
            for (KivBase* p = gc()->pigletList->getFirstChild(); p != nullptr; p = p->getNext()) {
                const V3& at = static_cast<Renderable*>(p)->position;
                EXPECT_LT(at.y, house().y) << "a piglet on the roof";
                EXPECT_NEAR(at.y - Pig::RADIUS, level.groundAt(at.x), 1.0f) << "a piglet at rest off the ground";
            }
            leave();
        }
    }
    screen(800, 600);
}
