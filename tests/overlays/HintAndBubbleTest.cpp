// The hint box (opened by a hint trigger the pig walks into, sized to its content, colour runs, footer,
// wire limits) and the speech bubble (reading time, wait modes, one bubble at a time, mirroring).
#include "OverlayFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include <algorithm>

#include "engine/render/Camera.h"
#include "engine/render/SlicedSkin.h"
#include "engine/net/NetRole.h"
#include "game/level/MyRootObject.h"
#include "game/level/ContextLevelManager.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextBlock.h"
#include "engine/text/TextLine.h"
#include "game/level/ContextHUD.h"
#include "game/level/GameController.h"
#include "game/overlays/OverlayHint.h"
#include "game/menus/MenuPanel.h"
#include "game/effects/SpeechBubble.h"
#include "game/userdata/GameConfiguration.h"
#include "game/world/Pig.h"
#include "game/world/TriggerHint.h"

namespace {
const UString BLUE_RUN = UString(u"plain ") + TextLine::MARKUP + u"{0000ff}blue" + TextLine::MARKUP + u"{000001} end";

float panelWidth(KivBase& overlay)
{
    auto* found = OverlayTest::panel(overlay);
    return found != nullptr && found->pSkin != nullptr ? found->pSkin->width : -1.0f;
}
float panelHeight(KivBase& overlay)
{
    auto* found = OverlayTest::panel(overlay);
    return found != nullptr && found->pSkin != nullptr ? found->pSkin->height : -1.0f;
}

// A bubble's frame in the game camera's view at its depth: left, bottom, right, top.
Camera::Rect bubbleRect(const SpeechBubble& bubble)
{
    const V3& c = bubble.boundsCenter;
    Camera::Rect r;
    r.left = c.x - bubble.frame->width / 2.0f;
    r.right = c.x + bubble.frame->width / 2.0f;
    r.bottom = c.y - bubble.frame->height / 2.0f;
    r.top = c.y + bubble.frame->height / 2.0f;
    return r;
}
} // namespace

class HintTest : public OverlayTest {
protected:
    // A hint trigger on the pig's starting place.
    TriggerHint* hintAtPig(const UString& titleKey, const UString& textKey)
    {
        auto* pigStart = dynamic_cast<Renderable*>(builder.controller().findHero());
        auto* hint = new TriggerHint();
        builder.add(hint->getHomeList(), hint);
        hint->construct();
        hint->position = pigStart != nullptr ? pigStart->position : V3();
        hint->hintTitleID = titleKey;
        hint->hintTextID = textKey;
        hint->bAutomatic = true;
        return hint;
    }
};

TEST_F(HintTest, PigWalkingIntoATriggerOpensTheBoxAndJumpClosesIt)
{
    hintAtPig(u"HINTPARTIMETITLE", u"HINTVALLEYPERCENTAGES");
    startPlaying();
    ASSERT_TRUE(runUntil([&] { return overlay() != nullptr; }, 200));
    auto* hint = dynamic_cast<OverlayHint*>(overlay());
    ASSERT_NE(hint, nullptr);
    frames(1);
    saveScreenshot("overlay_hint");

    ASSERT_NE(findText(*hint, u"Par Time"), nullptr);
    EXPECT_EQ(findText(*hint, u"Par Time")->color.argb, 0xFFFFFFFFu);
    const std::vector<TextSprite*> all = texts(*hint);
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all.back()->text, u"Press Space to continue");
    EXPECT_EQ(all.back()->color.argb, 0x80000000u);
    // The panel is wider than tall and holds every text line.
    EXPECT_GE(panelWidth(*hint), panelHeight(*hint));
    EXPECT_GT(panelHeight(*hint), 100.0f);
    // The level stands still under the box.
    const double played = level().levelStats.time;
    frames(20);
    EXPECT_EQ(level().levelStats.time, played);

    // The centre shows the panel, not the level.
    const int w = harness().kiv().graphics->width, h = harness().kiv().graphics->height;
    const UColor centre = pixel(w / 2, h / 2);
    EXPECT_GT(centre.argb & 0xFFu, 0x80u) << std::hex << centre.argb;

    tap(SPACE);
    EXPECT_TRUE(runUntilClosed());
}

TEST_F(HintTest, TwoHintsFiringInOneFrameOpenOneAfterTheOther)
{
    hintAtPig(u"HINTPARTIMETITLE", u"HINTVALLEYPERCENTAGES");
    hintAtPig(UString(), u"HINTJUMP");
    startPlaying();
    ASSERT_TRUE(runUntil([&] { return overlay() != nullptr; }, 200));
    const bool firstHasTitle = findText(*overlay(), u"Par Time") != nullptr;
    frames(20);
    tap(SPACE);
    ASSERT_TRUE(runUntilClosed());
    ASSERT_TRUE(runUntil([&] { return overlay() != nullptr; }, 100))
        << "the second hint waited while the first box was open";
    EXPECT_NE(findText(*overlay(), u"Par Time") != nullptr, firstHasTitle);
    frames(20);
    tap(SPACE);
    EXPECT_TRUE(runUntilClosed());
}

TEST_F(HintTest, ABoxWithoutARoleIsReportedFromTheHintsTick)
{
    TriggerHint hint;
    hint.hintTextID = u"HINTVALLEYPERCENTAGES";
    hint.trigger();
    THEROLE = nullptr;
    try {
        hint.tick(0.0, 0.01);
        ADD_FAILURE() << "no fatal error";
    } catch (const FatalError& e) {
        EXPECT_NE(wideToUtf8(e.report).find("Statement: THEROLE != NULL\n Function: TriggerHint::tick()"),
                  std::string::npos)
            << wideToUtf8(e.report);
    }
}

TEST_F(HintTest, EscapeAndAClickCloseTheBoxToo)
{
    hintAtPig(UString(), u"HINTVALLEYPERCENTAGES");
    startPlaying();
    ASSERT_TRUE(runUntil([&] { return overlay() != nullptr; }, 200));
    frames(20);
    tap(ESCAPE);
    EXPECT_TRUE(runUntilClosed());

    auto* second = new OverlayHint();
    second->local_construct(UString(), u"x", nullptr, -1);
    // A click closes a hint (click-to-close), once it has been open a tenth of a second.
    EXPECT_TRUE(second->clickToClose);
    EXPECT_EQ(second->closeKey1, static_cast<int32_t>(config().keyBindings[GameConfiguration::BIND_JUMP].keyboard));
    delete second;
}

TEST_F(HintTest, PanelSizeRulesAndEmptyTitle)
{
    startPlaying();
    OverlayHint shortHint;
    shortHint.local_construct(UString(), u"Hi", nullptr, -1);
    EXPECT_EQ(panelWidth(shortHint), 356.0f);
    EXPECT_LE(panelHeight(shortHint), panelWidth(shortHint));
    // No title: the text and the footer only.
    EXPECT_EQ(texts(shortHint).size(), 2u);

    OverlayHint titled;
    titled.local_construct(u"Title", u"Hi", nullptr, -1);
    EXPECT_EQ(texts(titled).size(), 3u);
    EXPECT_GT(panelHeight(titled), panelHeight(shortHint));

    // Many short lines make a tall text: the panel grows square rather than taller than wide.
    UString tall;
    for (int i = 0; i < 20; ++i) {
        tall += u"line|";
    }
    OverlayHint square;
    square.local_construct(UString(), tall, nullptr, -1);
    EXPECT_EQ(panelWidth(square), panelHeight(square));

    // A picture adds the tutorial frame's height.
    OverlayHint pictured;
    pictured.local_construct(UString(), u"Hi", nullptr, 2);
    EXPECT_GT(panelHeight(pictured), panelHeight(shortHint));
}

TEST_F(HintTest, ColourMarkupIsDrawnAsRunsNeverAsCodes)
{
    startPlaying();
    OverlayHint hint;
    hint.local_construct(UString(), BLUE_RUN, nullptr, -1);
    std::vector<TextSprite*> runs = texts(hint);
    ASSERT_EQ(runs.size(), 4u); // three runs and the footer
    EXPECT_EQ(runs[0]->text, u"plain ");
    EXPECT_EQ(runs[0]->color.argb, 0x80000000u);
    EXPECT_EQ(runs[1]->text, u"blue");
    EXPECT_EQ(runs[1]->color.argb, 0xFF0000FFu);
    EXPECT_EQ(runs[2]->text, u" end");
    EXPECT_EQ(runs[2]->color.argb, 0x80000000u);
    // Runs follow each other left to right on one line.
    EXPECT_LT(runs[0]->position.x, runs[1]->position.x);
    EXPECT_LT(runs[1]->position.x, runs[2]->position.x);
    EXPECT_EQ(runs[0]->position.y, runs[2]->position.y);
    for (TextSprite* run : runs) {
        EXPECT_EQ(run->text.find(TextLine::MARKUP), UString::npos);
    }
}

TEST_F(HintTest, TouchModeFooterSaysTap)
{
    startPlaying();
    Kiv::instance()->input->setInputMode(KivInput::INPUT_TOUCH);
    OverlayHint hint;
    hint.local_construct(UString(), u"Hi", nullptr, -1);
    EXPECT_EQ(texts(hint).back()->text, u"Tap to continue");
}

TEST_F(HintTest, ABoxLeavesTheShownBubbleFree)
{
    startPlaying();
    auto* pig = dynamic_cast<Renderable*>(level().findHero());
    ASSERT_NE(pig, nullptr);
    SpeechBubble* bubble = SpeechBubble::say(*pig, V3(), 1, SpeechBubble::WAIT_MOVE,
                                             u"Push the apple into the house to finish the level. Apples roll, so "
                                             u"mind the slopes!");
    ASSERT_NE(bubble, nullptr);
    frames(1);
    useLevelRole();
    // The bubble's frame in screen pixels from the centre, y up.
    const Camera* camera = level().getGameCamera();
    const float w = static_cast<float>(harness().kiv().graphics->width);
    const float h = static_cast<float>(harness().kiv().graphics->height);
    const Camera::Rect world = bubbleRect(*bubble);
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    camera->worldToScreen(V3(world.left, world.top, bubble->boundsCenter.z), w, h, left, top);
    camera->worldToScreen(V3(world.right, world.bottom, bubble->boundsCenter.z), w, h, right, bottom);
    left -= w / 2.0f;
    right -= w / 2.0f;
    top = h / 2.0f - top;
    bottom = h / 2.0f - bottom;

    auto* hint = new OverlayHint();
    THEROLE->registerObject(hint, 0);
    hint->construct(u"Title", u"A hint of two|short lines.", nullptr, -1);
    manager->getRoot()->openOverlay(hint);
    frames(2);
    saveScreenshot("overlay_hint_bubble");
    frames(20);
    MenuPanel* box = panel(*hint);
    ASSERT_NE(box, nullptr);
    const float boxLeft = box->position.x - panelWidth(*hint) / 2.0f;
    const float boxRight = box->position.x + panelWidth(*hint) / 2.0f;
    const float boxBottom = box->position.y - panelHeight(*hint) / 2.0f;
    const float boxTop = box->position.y + panelHeight(*hint) / 2.0f;
    EXPECT_TRUE(boxRight <= left || boxLeft >= right || boxTop <= bottom || boxBottom >= top)
        << "box " << boxLeft << ".." << boxRight << " x " << boxBottom << ".." << boxTop << ", bubble " << left << ".."
        << right << " x " << bottom << ".." << top;
    // The box is whole on the screen, and its texts moved with it.
    EXPECT_GE(boxLeft, -w / 2.0f);
    EXPECT_LE(boxRight, w / 2.0f);
    EXPECT_GE(boxBottom, -h / 2.0f);
    EXPECT_LE(boxTop, h / 2.0f);
    for (TextSprite* text : texts(*hint)) {
        EXPECT_GT(text->position.y, boxBottom);
        EXPECT_LT(text->position.y, boxTop);
    }
    tap(ESCAPE);
    EXPECT_TRUE(runUntilClosed());
}

TEST(HintWireLimits, TextsAreClippedToTheWireLimits)
{
    EXPECT_EQ(OverlayHint::clipForWire(u"short"), u"short");
    EXPECT_EQ(OverlayHint::clipForWire(UString(5000, u'a')).size(), 1023u);
    // Two bytes each in UTF-8: 511 fit below 1024 bytes.
    EXPECT_EQ(OverlayHint::clipForWire(UString(600, u'\u00e9')).size(), 511u);
    // Four bytes per pair: a pair is never split.
    UString pairs;
    for (int i = 0; i < 300; ++i) {
        pairs += u"\U0001F34E";
    }
    const UString clipped = OverlayHint::clipForWire(pairs);
    EXPECT_EQ(clipped.size() % 2, 0u);
    EXPECT_EQ(clipped.size(), 2u * 255u);
}

TEST_F(HintTest, AnOverlongTranslationStillOpensTheBox)
{
    startPlaying();
    auto* hint = new OverlayHint();
    THEROLE->registerObject(hint, 0);
    hint->construct(UString(3000, u'T'), UString(6000, u'x'), nullptr, -1);
    EXPECT_FALSE(texts(*hint).empty());
    delete hint;
}

// ---------------------------------------------------------------------------------------------------------

class BubbleTest : public OverlayTest {
protected:
    Pig& pig() { return *dynamic_cast<Pig*>(level().findHero()); }
    SpeechBubble* say(Renderable& speaker, int32_t style, int32_t waitMode, const UString& text)
    {
        useLevelRole();
        return SpeechBubble::say(speaker, V3(), style, waitMode, text);
    }
    SpeechBubble* shown()
    {
        return dynamic_cast<SpeechBubble*>(level().speechBubbleList->getLastChild());
    }
    int bubbles() { return level().speechBubbleList->countChildren(); }
};

TEST_F(BubbleTest, ReadingTimeFollowsTheLength)
{
    startPlaying();
    SpeechBubble* bubble = say(pig(), 1, 0, u"0123456789");
    ASSERT_NE(bubble, nullptr);
    EXPECT_DOUBLE_EQ(bubble->remaining, 2.5);
    bubble = say(pig(), 1, 0, UString(40, u'w'));
    EXPECT_NEAR(bubble->remaining, 4.0, 1e-9);
    // A new bubble took the old one's place.
    EXPECT_EQ(bubbles(), 1);
    EXPECT_EQ(shown(), bubble);
    // The bubble goes after its time (4 s at 0.01 s a tick).
    EXPECT_TRUE(runUntil([&] { return bubbles() == 0; }, 420));
}

TEST_F(BubbleTest, ASentenceWrapsInsideItsFrame)
{
    startPlaying();
    SpeechBubble* bubble = say(pig(), 1, 0,
                               UString(u"Push the ") + TextLine::MARKUP + u"{ff0000}apple" + TextLine::MARKUP +
                                   u"{000001} into the house to finish the level. Apples roll, so mind the slopes!");
    ASSERT_NE(bubble, nullptr);
    EXPECT_GE(bubble->block->getLineCount(), 2);
    EXPECT_LE(bubble->block->width, static_cast<float>(harness().kiv().graphics->width / 3));
    EXPECT_EQ(bubble->frame->width, static_cast<float>(static_cast<int>(bubble->block->width) + 40));
    frames(1);
    saveScreenshot("overlay_bubble");
}

TEST_F(BubbleTest, MinimumFrameAndMirroring)
{
    startPlaying();
    // A single narrow letter gets the smallest frame the font allows.
    SpeechBubble* bubble = say(pig(), 1, 0, u"i");
    ASSERT_NE(bubble, nullptr);
    ASSERT_NE(bubble->block, nullptr);
    const int lineHeight = bubble->pFont->getLineHeight();
    EXPECT_EQ(bubble->frame->width, std::max(55.0f, static_cast<float>(static_cast<int>(bubble->block->width) + 40)));
    EXPECT_EQ(bubble->frame->height, std::max(60.0f, static_cast<float>(lineHeight + 40)));
    EXPECT_EQ(bubble->block->getLineCount(), 1);
    const bool mirrored = bubble->scale.x < 0.0f;
    EXPECT_EQ(mirrored, pig().position.x > level().getGameCamera()->eye.x);
    const float dx = bubble->position.x - pig().position.x;
    EXPECT_EQ(dx, mirrored ? -36.0f : 36.0f);
    EXPECT_EQ(bubble->position.y - pig().position.y, 30.0f);
}

TEST_F(BubbleTest, ABubbleStaysInsideTheScreenWhereverItsSpeakerGoes)
{
    startPlaying();
    auto* speaker = new Renderable();
    level().objectList->appendChild(speaker);
    const Camera* camera = level().getGameCamera();
    speaker->setPosition(V3(camera->eye.x - 50.0f, camera->eye.y, 0.0f));
    SpeechBubble* bubble = say(*speaker, 1, SpeechBubble::WAIT_MOVE,
                               u"Push the apple into the house to finish the level. Apples roll, so mind the slopes!");
    ASSERT_NE(bubble, nullptr);
    ASSERT_GT(bubble->scale.x, 0.0f); // it opens to the right of its speaker
    const float w = static_cast<float>(harness().kiv().graphics->width);
    Camera::Rect view;
    camera->getVisibleRect(view, 0.0f);
    const struct {
        const char* where;
        float x;
        float y;
    } places[] = {{"right edge", view.right - 10.0f, camera->eye.y},
                  {"top edge", camera->eye.x, view.top - 10.0f},
                  {"top right corner", view.right - 5.0f, view.top - 5.0f}};
    for (const auto& place : places) {
        SCOPED_TRACE(place.where);
        speaker->setPosition(V3(place.x, place.y, 0.0f));
        tickOnly();
        camera->getVisibleRect(view, bubble->boundsCenter.z);
        const Camera::Rect r = bubbleRect(*bubble);
        EXPECT_GE(r.left, view.left);
        EXPECT_LE(r.right, view.right);
        EXPECT_GE(r.bottom, view.bottom);
        // Below the HUD's score bar and clock.
        EXPECT_LE(r.top, view.top - ContextHUD::TOP_ROW * (view.right - view.left) / w);
    }
    frames(1);
    saveScreenshot("overlay_bubble_corner");
    delete speaker;
    tickOnly();
}

TEST_F(BubbleTest, WaitModesHoldTheBubbleUntilThePlayerActs)
{
    startPlaying();
    const struct {
        int mode;
        int key;
    } cases[] = {{1, static_cast<int>(config().keyBindings[GameConfiguration::BIND_RIGHT].keyboard)},
                 {2, static_cast<int>(config().keyBindings[GameConfiguration::BIND_JUMP].keyboard)},
                 {3, static_cast<int>(config().keyBindings[GameConfiguration::BIND_USE].keyboard)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        SpeechBubble* bubble = say(pig(), 2, c.mode, u"Do it");
        ASSERT_NE(bubble, nullptr);
        // Well past the 2.5 s reading time the bubble still waits.
        for (int i = 0; i < 300; ++i) {
            tickOnly();
        }
        ASSERT_EQ(bubbles(), 1);
        EXPECT_EQ(shown()->waitMode, c.mode);
        pressKey(c.key);
        frames(1);
        releaseKey(c.key);
        frames(2);
        EXPECT_EQ(bubbles(), 0);
    }
}

TEST_F(BubbleTest, ASpeakerThatGoesTakesItsBubble)
{
    startPlaying();
    auto* speaker = new Renderable();
    level().objectList->appendChild(speaker);
    say(*speaker, 1, 1, u"Bye");
    ASSERT_EQ(bubbles(), 1);
    delete speaker;
    tickOnly();
    EXPECT_EQ(bubbles(), 0);
}
