#include "OnlineFixture.h"

#include "engine/core/Format.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
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

TEST_F(MessageViewerTest, AWordWiderThanTheLineIsBrokenAcrossLines)
{
    MessageViewer viewer;
    ASSERT_NE(viewer.pFont, nullptr);
    viewer.wrapWidth = 200;
    const UString word(60, u'w');
    viewer.addMessage(u"short " + word);
    ASSERT_GE(viewer.lines.size(), 3u);
    EXPECT_EQ(viewer.lines[0], u"short");
    UString joined;
    for (std::size_t i = 1; i < viewer.lines.size(); ++i) {
        EXPECT_LE(viewer.pFont->measureLine(viewer.lines[i]) * viewer.pFont->getScaleX(), 200.0f);
        EXPECT_FALSE(viewer.lines[i].empty());
        joined += viewer.lines[i];
    }
    EXPECT_EQ(joined, word); // nothing lost at the breaks

    // A surrogate pair is never split, even where not one character fits.
    MessageViewer narrow;
    narrow.wrapWidth = 1;
    narrow.addMessage(u"a\U0001F600b");
    ASSERT_EQ(narrow.lines.size(), 3u);
    EXPECT_EQ(narrow.lines[1], u"\U0001F600");

    // Without a wrap width nothing is wrapped or broken.
    MessageViewer unwrapped;
    unwrapped.wrapWidth = 0;
    unwrapped.addMessage(word);
    EXPECT_EQ(unwrapped.lines, std::vector<UString>{word});
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

TEST_F(MessageViewerTest, NetworkTextIsCapped)
{
    const UString limit(NETWORK_TEXT_LIMIT, u'a');
    EXPECT_EQ(networkText(limit), limit);
    const UString shown = networkText(UString(1 << 20, u'b'));
    ASSERT_EQ(shown.size(), NETWORK_TEXT_LIMIT);
    EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
    // Removed characters do not count; a pair at the cut is dropped whole.
    EXPECT_EQ(networkText(UString(1000, char16_t(1)) + limit), limit);
    UString pairs;
    while (pairs.size() < 2 * NETWORK_TEXT_LIMIT) {
        pairs += u"\U0001F600";
    }
    const UString cut = networkText(pairs);
    ASSERT_GE(cut.size(), 4u);
    EXPECT_LE(cut.size(), NETWORK_TEXT_LIMIT);
    EXPECT_EQ(cut.substr(cut.size() - 3), u"...");
    EXPECT_FALSE(cut[cut.size() - 4] >= 0xD800 && cut[cut.size() - 4] < 0xDC00);
}
} // namespace
