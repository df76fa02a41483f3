#include "OnlineFixture.h"

#include <algorithm>
#include <cstring>

#include "engine/core/ErrorManager.h"
#include "engine/files/Md5.h"
#include "engine/net/NetConnection.h"
#include "engine/text/FontQuad.h"
#include "engine/text/TextLine.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuToggleItem.h"
#include "game/online/ContextNetworkConfig.h"
#include "game/online/ContextNetworkWizard1.h"
#include "game/online/MessageViewer.h"

namespace {

std::string envelope(const std::string& payload, int lengthDelta = 0, bool spoilDigest = false)
{
    std::string out = "\x04\x03\x02\x01";
    const uint32_t length = static_cast<uint32_t>(static_cast<long>(payload.size()) + lengthDelta);
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((length >> (8 * i)) & 0xFF);
    }
    Md5Digest digest = md5Digest(payload.data(), payload.size());
    if (spoilDigest) {
        digest[0] ^= 0xFF;
    }
    out.append(reinterpret_cast<const char*>(digest.data()), digest.size());
    return out + payload;
}

const unsigned char* bytesOf(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

TEST(ReplyFormats, EnvelopeChecks)
{
    const std::string good = envelope("masterServer=1.2.3.4:5\n");
    const auto payload = ContextNetworkWizard1::decodeEnvelope(bytesOf(good), good.size());
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(std::string(payload->begin(), payload->end()), "masterServer=1.2.3.4:5\n");

    const std::string empty = envelope("");
    ASSERT_EQ(empty.size(), 24u);
    EXPECT_TRUE(ContextNetworkWizard1::decodeEnvelope(bytesOf(empty), empty.size()).has_value());

    const std::string shortLength = envelope("abc", -1);
    EXPECT_FALSE(ContextNetworkWizard1::decodeEnvelope(bytesOf(shortLength), shortLength.size()));
    const std::string longLength = envelope("abc", 1000000);
    EXPECT_FALSE(ContextNetworkWizard1::decodeEnvelope(bytesOf(longLength), longLength.size()));
    const std::string badDigest = envelope("abc", 0, true);
    EXPECT_FALSE(ContextNetworkWizard1::decodeEnvelope(bytesOf(badDigest), badDigest.size()));
    EXPECT_FALSE(ContextNetworkWizard1::decodeEnvelope(bytesOf(good), 23));
}

TEST(ReplyFormats, PrintableSniff)
{
    EXPECT_TRUE(ContextNetworkWizard1::isPrintableReply(bytesOf("OK"), 2));
    EXPECT_TRUE(ContextNetworkWizard1::isPrintableReply(nullptr, 0));
    EXPECT_FALSE(ContextNetworkWizard1::isPrintableReply(bytesOf("\xEF\xBB\xBFOK"), 5));
    // Only the first four bytes count.
    EXPECT_TRUE(ContextNetworkWizard1::isPrintableReply(bytesOf("OKOK\x01"), 5));
    EXPECT_FALSE(ContextNetworkWizard1::isPrintableReply(bytesOf("O\nK"), 3));
}

TEST(ReplyFormats, NetworkTextNeverReachesTheMarkupParser)
{
    // Replies made of text, markup characters, braces and hex digits: after cleaning, the text layer
    // sees no colour mark and no control character, and splitting it into runs never fails.
    ErrorManager::setThrowForTests(true);
    const char alphabet[] = "\x1E{}0123456789abcdefzZ \x01\x07\t\r\n|\xC3\xA4";
    uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string reply;
        const int length = static_cast<int>(seed % 40);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1664525u + 1013904223u;
            reply += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
        }
        seed = seed * 1664525u + 1013904223u;
        for (const UString& line : splitLines(decodeTextBuffer(reply.data(), reply.size()))) {
            const UString shown = networkText(line);
            for (char16_t c : shown) {
                ASSERT_GE(c, 0x20) << reply;
            }
            EXPECT_NO_THROW(TextLine::splitRuns(shown)) << reply;
        }
    }
}

class NetworkWizardTest : public OnlineFixture {
protected:
    ContextNetworkWizard1* openWizard()
    {
        global().config.bFullScreen = 0;
        auto* page = new ContextNetworkWizard1();
        push(page);
        return page;
    }
    // Next pressed once: the test runs; returns once its result is shown.
    void runTest(ContextNetworkWizard1* page)
    {
        const int before = requestCount();
        clickItem(page->pNextButton);
        ASSERT_TRUE(page->pRequest != nullptr);
        EXPECT_TRUE(page->pNextButton->bDisabled);
        ASSERT_TRUE(waitForResult(page));
        ASSERT_EQ(requestCount(), before + 1);
    }
};

TEST_F(NetworkWizardTest, EnvelopeSetsTheMasterServerAndTheRequestIsAMultipartPost)
{
    setReply(200, envelope("masterServer=192.168.1.2:23006\r\nmessage=Hello\r\nother=1\r\n"));
    auto* page = openWizard();
    EXPECT_TRUE(page->pDesktopToggle->bHidden);
    screenshot("online-network-wizard");
    runTest(page);
    const Recorded sent = request(requestCount() - 1);
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.path, "/tobble/nettest.php");
    EXPECT_EQ(sent.contentType, "multipart/form-data; boundary=---------------------------7d33992b80330");
    EXPECT_EQ(sent.body, multipartBody({}));

    const NetAddress& master = global().config.masterServer;
    EXPECT_EQ(master.getIP(), 0xC0A80102u);
    EXPECT_EQ(master.getPort(), 23006);
    const std::vector<std::string> lines = viewerLines(page->pViewer);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "Connection test was successful.");
    EXPECT_EQ(lines[lines.size() - 2], "Hello");
    EXPECT_EQ(lines[lines.size() - 1], "Done.");
    EXPECT_FALSE(page->pNextButton->bDisabled);
    screenshot("online-network-wizard-done");

    // The second Next opens the configuration page.
    clickItem(page->pNextButton);
    frames(2);
    EXPECT_NE(dynamic_cast<ContextNetworkConfig*>(top()), nullptr);
}

// The status lines stand on the backdrop's roof, its lights and the snow: on a plain white screen their
// dark rims still frame the white letters.
TEST_F(NetworkWizardTest, StatusLinesWearADarkRimOnALightPicture)
{
    auto* page = openWizard();
    onWhite(page);
    frames(2);
    screenshot("online-network-wizard-on-white");
    const Screen screen = readScreen();
    const int w = ContextMenu::screenWidth(), h = ContextMenu::screenHeight();
    // The first status line stands a little above the screen's middle.
    const float firstY = page->pViewer->firstLineY();
    const int top = h / 2 - static_cast<int>(firstY) - 12, bottom = top + 24;
    EXPECT_GT(screen.darkPixels(w / 2 - 200, w / 2 + 200, top, bottom), 40);
}

TEST_F(NetworkWizardTest, PlainAndDamagedReplies)
{
    struct Case {
        std::string body;
        std::vector<std::string> shown; // between the success line and "Done."
    };
    const Case cases[] = {
        {"OK", {"OK"}},
        {"line one\r\ntwo\n", {"line one", "two", ""}},
        {"one\r\n", {}},                        // a control character among the first four bytes
        {envelope("message=x", -1), {}},          // wrong length: only logged
        {envelope("message=x", 0, true), {}},     // wrong digest: only logged
        {envelope(""), {}},                       // empty payload: accepted, nothing to show
        {"\xEF\xBB\xBFOK", {}},                   // fails the sniff
        {"", {}},                                 // empty body
        {std::string("text\x1E{zzzzzz}markup\x01\x1F!"), {"textmarkup!"}}, // shown as text
        {"masterServer=1.2.3.4:5", {"masterServer=1.2.3.4:5"}},          // not interpreted
        {envelope("masterServer=1.2.3.4\r\nmessage=Hello"), {"Hello"}},   // an address without its port
        {envelope("masterServer=1.2.3.4:x"), {}},                        // nor with a port that is no number
    };
    for (const Case& c : cases) {
        setReply(200, c.body);
        auto* page = openWizard();
        runTest(page);
        std::vector<std::string> expected = {"Connection test was successful."};
        expected.insert(expected.end(), c.shown.begin(), c.shown.end());
        expected.push_back("Done.");
        const std::vector<std::string> lines = viewerLines(page->pViewer);
        ASSERT_GE(lines.size(), expected.size());
        EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(expected.size()), lines.end()), expected)
            << "reply: " << c.body;
        EXPECT_EQ(global().config.masterServer.getIP(), 0u) << "reply: " << c.body;
        clearScreens();
    }
}

TEST_F(NetworkWizardTest, FailuresShowTheErrorAndStillLeadOn)
{
    struct Case {
        int status;
        long repeat;
        std::string firstLine;
    };
    const Case cases[] = {
        {404, 0, "Failed with HTTP status code 404"},
        {500, 0, "Failed with HTTP status code 500"},
        {200, 5L << 20, "Reply larger than 1048576 bytes was cut off"},
    };
    for (const Case& c : cases) {
        setReply(c.status, "Not here", c.repeat);
        auto* page = openWizard();
        runTest(page);
        const std::vector<std::string> lines = viewerLines(page->pViewer);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[lines.size() - 3], c.firstLine);
        EXPECT_EQ(lines[lines.size() - 2], "Please check your internet connection and try again.");
        EXPECT_EQ(lines[lines.size() - 1], "You can continue, but some network features will be unavailable.");
        EXPECT_FALSE(page->pNextButton->bDisabled);
        clearScreens();
    }
    // A reply that never comes ends in the time-out, once the request was sent (the connection is made at
    // once, even on a busy machine).
    WizardPage::transferTimeout = 2.0;
    holdReplies();
    auto* page = openWizard();
    runTest(page);
    const std::vector<std::string> lines = viewerLines(page->pViewer);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3].rfind("Could not send request", 0), 0u) << lines[lines.size() - 3];
}

TEST_F(NetworkWizardTest, AHugeReplyKeepsEveryFrameShortAndOnScreen)
{
    struct Case {
        const char* what;
        std::string body;
        long repeat;
    };
    std::string manyLines;
    while (manyLines.size() < (1u << 20)) {
        manyLines += "line\n";
    }
    // More lines than the page shows, after a NUL, where decoding ends.
    std::string hidden(1, '\0');
    for (int i = 0; i < 10; ++i) {
        hidden += "hidden\n";
    }
    const Case cases[] = {
        {"one line of 1 MiB without a space", "", 1L << 20},
        {"200,000 short lines, the last with two-byte characters",
         manyLines.substr(0, (1u << 20) - 12 - hidden.size()) + "\n\xC3\xA9t\xC3\xA9\r\nlast" + hidden, 0},
    };
    for (const Case& c : cases) {
        setReply(200, c.body, c.repeat);
        auto* page = openWizard();
        const std::size_t logged = harness().logLines().size();
        clickItem(page->pNextButton);
        ASSERT_TRUE(page->pRequest != nullptr);
        ASSERT_TRUE(waitForResult(page)) << c.what;
        frames(5);
        // What the frames did with the reply (the viewer logs each message it takes in, "> " and its text):
        // only the lines the viewer can show were taken in, each cut to the length of network text, however
        // large the reply. Besides the reply's lines come the starting line, the line of a UDP port that
        // another test holds, the success line and "Done.". (Taking in every line of the reply, or a line of
        // 1 MiB, had a frame work for seconds.)
        const MessageViewer& viewer = *page->pViewer;
        std::size_t taken = 0;
        for (std::size_t i = logged; i < harness().logLines().size(); ++i) {
            const std::string& line = harness().logLines()[i];
            const std::size_t text = line.find("> ");
            if (line.find("MessageViewer::addMessage") == std::string::npos || text == std::string::npos) {
                continue;
            }
            ++taken;
            EXPECT_LE(utf8ToWide(line.substr(text + 2)).size(), NETWORK_TEXT_LIMIT + 3) << c.what;
        }
        EXPECT_LE(taken, viewer.maxLines + 4) << c.what;

        ASSERT_LE(viewer.lines.size(), viewer.maxLines);
        EXPECT_EQ(viewer.lines.back(), u"Done.");
        for (const UString& line : viewer.lines) {
            EXPECT_LE(viewer.pFont->measureLine(line) * viewer.pFont->getScaleX(),
                      static_cast<float>(viewer.wrapWidth))
                << c.what;
        }
        if (c.repeat > 0) {
            EXPECT_EQ(viewer.lines[viewer.lines.size() - 2].substr(viewer.lines[viewer.lines.size() - 2].size() - 3),
                      u"...");
        } else {
            EXPECT_EQ(viewer.lines[viewer.lines.size() - 3], u"\u00E9t\u00E9");
            EXPECT_EQ(viewer.lines[viewer.lines.size() - 2], u"last");
        }
        screenshot(c.repeat > 0 ? "online-network-wizard-long-line" : "online-network-wizard-many-lines");
        // Cancel answers an ordinary click.
        clickItem(page->pCancelButton);
        frames(2);
        EXPECT_NE(top(), page) << c.what;
        clearScreens();
    }
}

TEST_F(NetworkWizardTest, TakenUdpPortCostsOneLine)
{
    UString error;
    std::unique_ptr<NetConnection> holder = NetConnection::tryBind(NetAddress(0, NetAddress::DEFAULT_PORT), error);
    if (!holder) {
        GTEST_SKIP() << "port 23006 is in use on this machine already";
    }
    setReply(200, "OK");
    auto* page = openWizard();
    runTest(page);
    EXPECT_FALSE(page->udpError.empty());
    EXPECT_TRUE(hasLine(page->pViewer, wideToUtf8(page->udpError)));
    EXPECT_TRUE(hasLine(page->pViewer, "OK"));
    EXPECT_TRUE(hasLine(page->pViewer, "Done."));
}

TEST_F(NetworkWizardTest, RunOnDesktopSwitchesToAWindowFirst)
{
    GameConfiguration& config = global().config;
    config.bFullScreen = 1;
    config.bNetworkConfigured = 0;
    auto* page = new ContextNetworkWizard1();
    push(page);
    EXPECT_TRUE(page->bRunOnDesktop);
    EXPECT_FALSE(page->pDesktopToggle->bHidden);
    const int before = requestCount();
    clickItem(page->pNextButton);
    frames(1);
    EXPECT_EQ(config.bFullScreen, 0);
    EXPECT_TRUE(page->pRequest == nullptr);
    EXPECT_TRUE(page->pDesktopToggle->bHidden);
    setReply(200, "OK");
    clickItem(page->pNextButton);
    ASSERT_TRUE(waitForResult(page));
    EXPECT_EQ(requestCount(), before + 1);
    // Leaving by Cancel restores full screen.
    clearScreens();
    EXPECT_EQ(config.bFullScreen, 1);
    // Back to the window the other tests draw in.
    config.bFullScreen = 0;
    global().applySettings(-1, -1);
    frames(1);
}
} // namespace
