#include "OnlineFixture.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "engine/files/Md5.h"
#include "game/front/Global.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/online/ContextScoreUpload.h"
#include "game/online/MessageViewer.h"
#include "game/online/ScoreUploadData.h"

namespace {
using ScoreUploadTest = OnlineFixture;

TEST_F(ScoreUploadTest, RecordCopiesTheConfigurationAndIsSealed)
{
    GameConfiguration& config = global().config;
    config.resetHighScores();
    std::memcpy(config.countryCode, "DE", 2);
    config.submitHighScore(12, 3, 65, 800, true, u"Pig");
    const ScoreUploadData data = ScoreUploadData::fromConfiguration(config);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&data);
    EXPECT_EQ(std::memcmp(bytes + 16, config.gameId, 32), 0);
    EXPECT_EQ(std::memcmp(bytes + 48, config.version, 16), 0);
    EXPECT_EQ(std::memcmp(bytes + 64, config.reservedText, 32), 0);
    EXPECT_EQ(std::memcmp(bytes + 96, &config.installationId, 4), 0);
    EXPECT_EQ(std::memcmp(bytes + 100, "DE\0\0", 4), 0);
    EXPECT_EQ(std::memcmp(bytes + 104, config.highScores, sizeof config.highScores), 0);
    for (int i = 9576; i < 9584; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
    // The tag: salt and record with the tag zero.
    unsigned char copy[sizeof(ScoreUploadData)];
    std::memcpy(copy, bytes, sizeof copy);
    std::memset(copy, 0, 16);
    const Md5Digest digest = md5DigestPrefixed(0x5A3C9E71u, copy, sizeof copy);
    EXPECT_EQ(std::memcmp(digest.data(), bytes, 16), 0);

    // An empty table: 32 empty entries numbered 0..31.
    config.resetHighScores();
    const ScoreUploadData empty = ScoreUploadData::fromConfiguration(config);
    for (int level = 0; level < 32; ++level) {
        EXPECT_EQ(empty.highScores[level].levelNumber, level);
        EXPECT_EQ(empty.highScores[level].score, 0);
        EXPECT_EQ(empty.highScores[level].name[0], 0);
    }
}

TEST_F(ScoreUploadTest, PostsTheRecordAndShowsTheReply)
{
    global().config.resetHighScores();
    setReply(200, "first\nsecond\r\nthird");
    auto* page = new ContextScoreUpload();
    push(page);
    EXPECT_TRUE(hasLine(page->pViewer, "Debug: sizeof(ScoreUploadData)=9584, mod8=0"));
    screenshot("online-score-upload");
    const int before = requestCount();
    clickItem(page->pNextButton);
    ASSERT_TRUE(waitForResult(page));
    ASSERT_EQ(requestCount(), before + 1);
    const Recorded sent = request(before);
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.path, "/tobble/highscoreupload.php");
    const ScoreUploadData data = ScoreUploadData::fromConfiguration(global().config);
    const std::string record(reinterpret_cast<const char*>(&data), sizeof data);
    EXPECT_EQ(sent.body, multipartBody({{"HSTfile", "TobbleXmasdemo.hst", record}}));

    const std::vector<std::string> lines = viewerLines(page->pViewer);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
              (std::vector<std::string>{"Connected.", "first", "second", "third", "Done."}));
    EXPECT_EQ(page->pNextButton->caption, u"Finish");
    EXPECT_FALSE(page->pNextButton->bDisabled);
    clickItem(page->pNextButton);
    frames(2);
    EXPECT_NE(top(), page);
}

TEST_F(ScoreUploadTest, FailedUploadOffersOnlyCancel)
{
    setReply(500, "broken");
    auto* page = new ContextScoreUpload();
    push(page);
    clickItem(page->pNextButton);
    ASSERT_TRUE(waitForResult(page));
    const std::vector<std::string> lines = viewerLines(page->pViewer);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"Failed with HTTP status code 500",
                                        "Please check your internet connection and try again.", "Failed."}));
    EXPECT_TRUE(page->pNextButton->bDisabled);
}
TEST_F(ScoreUploadTest, CancelDuringTheUploadLeavesItRunning)
{
    holdReplies();
    auto* page = new ContextScoreUpload();
    push(page);
    const int before = requestCount();
    clickItem(page->pNextButton);
    ASSERT_TRUE(page->pRequest != nullptr);
    EXPECT_EQ(page->pRequest->state.load(), HttpRequest::STATE_RUNNING);
    clickItem(page->pCancelButton);
    frames(2);
    EXPECT_NE(top(), page);
    // The server still receives the upload (its reply is held, so the request is still running).
    while (requestCount() == before) {
        frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(requestCount(), before + 1);
}
} // namespace
