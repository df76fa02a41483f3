// Switches, explosives, telescopes and hints acting on the level.
#include "WorldFixture.h"

#include <box2d/box2d.h>

#include "engine/render/BlenderCamera.h"
#include "game/world/Explodable.h"
#include "game/world/Hull.h"
#include "game/world/Switch.h"
#include "game/world/Telescope.h"
#include "game/world/TriggerHint.h"
#include "game/effects/SpeechBubble.h"

TEST_F(WorldTest, ASwitchBlowsUpItsTargetAndShowsIt)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* dynamite = add<Explodable>(builder, V3{800.0f, 40.0f, 0.0f});
    dynamite->createHull();
    dynamite->pHull->addHullPoint(-20.0f, -20.0f, 0.0f, true);
    dynamite->pHull->addHullPoint(-20.0f, 60.0f, 0.0f, true);
    auto* lever = add<Switch>(builder, V3{-200.0f, 28.0f, 0.0f});
    lever->pTarget.set(dynamite);
    lever->bButton = true;
    load(builder);
    play();
    steps(2);
    auto* d = loaded<Explodable>(dynamite);
    auto* s = loaded<Switch>(lever);
    ASSERT_NE(d->hullBody, nullptr);
    const int modifiers = gc().getGameCamera()->countChildren();
    s->use(&pig());
    EXPECT_TRUE(s->bOn);
    EXPECT_TRUE(d->bExploded);
    EXPECT_TRUE(d->bHidden);
    EXPECT_FALSE(d->pHull->bEnabled);
    EXPECT_EQ(d->hullBody, nullptr);
    EXPECT_EQ(gc().getGameCamera()->countChildren(), modifiers + 2) << "to the target and back to the pig";
    // A button stays pressed and offers nothing more.
    int32_t priority = 0;
    float distance = 0.0f;
    EXPECT_FALSE(s->queryAction(pig().position, priority, distance));
    steps(2);
    EXPECT_EQ(d->hullBody, nullptr);
}

TEST_F(WorldTest, ALeverShowsAndHidesAPlainTarget)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* gate = add<A99Object>(builder, V3{300.0f, 60.0f, 0.0f});
    gate->createHull();
    gate->pHull->addHullPoint(0.0f, -60.0f, 0.0f, true);
    gate->pHull->addHullPoint(0.0f, 60.0f, 0.0f, true);
    auto* lever = add<Switch>(builder, V3{-200.0f, 28.0f, 0.0f});
    lever->pTarget.set(gate);
    load(builder);
    play();
    steps(2);
    auto* g = loaded<A99Object>(gate);
    auto* s = loaded<Switch>(lever);
    ASSERT_NE(g->hullBody, nullptr);
    s->use(&pig());
    EXPECT_TRUE(s->bOn);
    EXPECT_FALSE(g->bHidden);
    s->use(&pig());
    EXPECT_FALSE(s->bOn);
    EXPECT_TRUE(g->bHidden);
    EXPECT_FALSE(g->hullBody->IsEnabled());
}

TEST_F(WorldTest, HintsSpeakAfterTheirDelayOnceWhenAutomaticAndAfterTheirPredecessor)
{
    LevelBuilder builder;
    flatLevel(builder);
    auto* first = add<TriggerHint>(builder, V3{-256.0f, 28.0f, 0.0f});
    first->hintTextID = u"HINTJUMP";
    first->bSpeechBubble = true;
    first->bAutomatic = true;
    first->hintDelay = 0.5f;
    auto* second = add<TriggerHint>(builder, V3{-256.0f, 28.0f, 0.0f});
    second->hintTextID = u"HINTMOVELEFTRIGHT";
    second->bSpeechBubble = true;
    second->bAutomatic = true;
    second->previousHint.set(first);
    load(builder);
    play();
    auto shown = [&] { return dynamic_cast<SpeechBubble*>(gc().speechBubbleList->getLastChild()); };
    steps(20);
    EXPECT_EQ(shown(), nullptr) << "still within its delay";
    EXPECT_FALSE(loaded<TriggerHint>(second)->bShown) << "waits for the first";
    steps(25);
    EXPECT_TRUE(loaded<TriggerHint>(first)->bShown);
    EXPECT_TRUE(loaded<TriggerHint>(second)->bShown);
    // The second bubble replaced the first: one at a time.
    EXPECT_EQ(gc().speechBubbleList->countChildren(), 1);
    SpeechBubble* bubble = shown();
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->waitMode, 1);
    EXPECT_EQ(bubble->style, 1) << "the pig speaks when the hint names no originator";
    EXPECT_EQ(bubble->speaker.get(), &pig());
    const double remaining = bubble->remaining;
    // Out and in again: automatic hints stay quiet.
    pig().position.x += 400.0f;
    steps(2);
    pig().position.x -= 400.0f;
    steps(60);
    ASSERT_EQ(shown(), bubble);
    EXPECT_LT(bubble->remaining, remaining);
}

TEST(TriggerHintText, WaitModeFollowsTheLastMatchingRule)
{
    EXPECT_EQ(TriggerHint::waitModeFor(u"Press #LEFT# or #RIGHT#", u"X"), 1);
    EXPECT_EQ(TriggerHint::waitModeFor(u"plain", u"HINTMOVELEFTRIGHT"), 1);
    EXPECT_EQ(TriggerHint::waitModeFor(u"#LEFT# then #FIRE#", u"X"), 2);
    EXPECT_EQ(TriggerHint::waitModeFor(u"plain", u"HINTLADDER"), 2);
    EXPECT_EQ(TriggerHint::waitModeFor(u"#FIRE# and #UP#", u"X"), 3);
    EXPECT_EQ(TriggerHint::waitModeFor(u"plain", u"HINTSIGN"), 3);
    EXPECT_EQ(TriggerHint::waitModeFor(u"plain", u"X"), 0);
}
