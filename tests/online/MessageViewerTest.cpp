#include "OnlineFixture.h"

#include "engine/core/Format.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/TextLine.h"
#include "game/online/MessageViewer.h"

namespace {
using MessageViewerTest = OnlineFixture;

TEST_F(MessageViewerTest, KeepsTheNewestNineDisplayLines)
{
    MessageViewer viewer;
    for (int i = 0; i < 10; ++i) {
        viewer.addMessage(formatString(u"line %d", i));
    }
    ASSERT_EQ(viewer.lines.size(), 9u);
    EXPECT_EQ(viewer.lines.front(), u"line 1");
    EXPECT_EQ(viewer.lines.back(), u"line 9");

    // One message that wraps into more than nine lines leaves its last nine.
    MessageViewer wrapped;
    wrapped.wrapWidth = 60;
    UString words;
    for (int i = 0; i < 12; ++i) {
        words += formatString(u"word%02d ", i);
    }
    wrapped.addMessage(words);
    ASSERT_EQ(wrapped.lines.size(), 9u);
    EXPECT_EQ(wrapped.lines.back().substr(0, 6), u"word11");
}

TEST_F(MessageViewerTest, EmptyMessagesAndColourRuns)
{
    MessageViewer viewer;
    viewer.addMessage(UString());
    ASSERT_EQ(viewer.lines.size(), 1u);
    EXPECT_TRUE(viewer.lines[0].empty());
    // A colour mark splits the line into entries; the marks themselves are not kept.
    viewer.addMessage(UString(u"red ") + TextLine::MARKUP + u"{ff0000}rest");
    ASSERT_EQ(viewer.lines.size(), 3u);
    EXPECT_EQ(viewer.lines[1], u"red ");
    EXPECT_EQ(viewer.lines[2], u"rest");
}

TEST_F(MessageViewerTest, FadesOutOnlyWithAFadeTime)
{
    Kiv& engine = *Kiv::instance();
    const double savedTime = engine.time;
    MessageViewer viewer;
    engine.time = 100.0;
    viewer.addMessage(u"hello");
    engine.time = 1000.0;
    viewer.tick(engine.time, 0.0);
    EXPECT_EQ(viewer.alpha, 1.0f);

    viewer.fadeTime = 5.0;
    engine.time = 104.0;
    viewer.tick(engine.time, 0.0);
    EXPECT_EQ(viewer.alpha, 1.0f);
    engine.time = 104.5;
    viewer.tick(engine.time, 0.0);
    EXPECT_NEAR(viewer.alpha, 0.5f, 1e-3);
    // Half-visible colour with alpha byte 0x80 draws at 0x40.
    viewer.alpha = 0.5f;
    viewer.colour = UColor(0x80FFFFFFu);
    EXPECT_EQ(viewer.lineColour(0).argb, 0x40FFFFFFu);
    viewer.alpha = 1.0f;
    EXPECT_EQ(viewer.lineColour(0).argb, 0x80FFFFFFu);
    engine.time = 105.0;
    viewer.tick(engine.time, 0.0);
    EXPECT_EQ(viewer.alpha, 0.0f);
    engine.time = savedTime;
}

TEST_F(MessageViewerTest, AnchorAndDimming)
{
    MessageViewer viewer;
    viewer.position = V3(0.0f, 10.7f, 0.0f);
    viewer.bAnchorBottom = true;
    viewer.addMessage(u"one");
    EXPECT_EQ(viewer.firstLineY(), 10.0f);
    viewer.addMessage(u"two");
    EXPECT_EQ(viewer.firstLineY(), 10.0f - viewer.lineStep);

    viewer.alpha = 1.0f;
    viewer.bDimOlderLines = true;
    viewer.colour = UColor(0xFFFF8040u);
    EXPECT_EQ(viewer.lineColour(0).argb, 0xFF7F4020u);
    EXPECT_EQ(viewer.lineColour(1).argb, 0xFFFF8040u);
}

TEST_F(MessageViewerTest, NetworkTextLosesMarkupAndControls)
{
    const UString text = UString(u"a") + TextLine::MARKUP + u"{zz}b\tc" + char16_t(1) + u"d" + TextLine::MARKUP;
    EXPECT_EQ(networkText(text), u"abcd");
    EXPECT_EQ(networkText(u"plain | text"), u"plain | text");
}
} // namespace
