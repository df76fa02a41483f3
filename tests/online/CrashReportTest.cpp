#include "OnlineFixture.h"

#include <filesystem>

#include "engine/kiv/Kiv.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/menus/MenuButton.h"
#include "game/online/ContextErrorReport.h"
#include "game/online/ContextNetworkWizard1.h"
#include "game/online/CrashFiles.h"
#include "game/online/MessageViewer.h"

namespace {
class CrashReportTest : public OnlineFixture {
protected:
    void TearDown() override
    {
        OnlineFixture::TearDown();
        CrashFiles::removeAll();
    }
    static bool exists(const UString& path) { return std::filesystem::exists(wideToUtf8(path)); }
    static void make(const UString& path, const std::string& bytes) { writeFile(wideToUtf8(path), bytes); }
};

TEST_F(CrashReportTest, FileNamesAndTheOffer)
{
    const std::string folder = Kiv::instance()->userFolder;
    EXPECT_EQ(getCrashLogFileName(), u"crash.TobbleXmasdemo.log");
    EXPECT_EQ(getCrashDumpFileName(), u"crash.TobbleXmasdemo.mdmp");
    EXPECT_EQ(getCrashScreenshotFileName(), u"crash.TobbleXmasdemo.jpg");
    EXPECT_EQ(getCrashTrafficFileName(), u"crash.TobbleXmasdemo.net");
    EXPECT_EQ(getCrashLogPath(), utf8ToWide(folder) + getCrashLogFileName());

    CrashFiles::removeAll();
    EXPECT_FALSE(CrashFiles::reportWaiting());
    // A screenshot alone is no reason to offer a report.
    make(getCrashScreenshotPath(), "jpg");
    EXPECT_FALSE(CrashFiles::reportWaiting());
    make(getCrashDumpPath(), "dump");
    EXPECT_TRUE(CrashFiles::reportWaiting());
}

TEST_F(CrashReportTest, NotConfiguredOffersTheNetworkWizardAndKeepsTheFiles)
{
    global().config.bNetworkConfigured = 0;
    make(getCrashLogPath(), "log");
    auto* page = new ContextErrorReport();
    push(page);
    screenshot("online-crash-report");
    ASSERT_NE(page->pNetworkWizardButton, nullptr);
    EXPECT_TRUE(page->pNextButton->bDisabled);
    EXPECT_FALSE(page->pNetworkWizardButton->bDisabled);
    clickItem(page->pNetworkWizardButton);
    frames(1);
    ASSERT_NE(dynamic_cast<ContextNetworkWizard1*>(top()), nullptr);
    // Finishing the wizard elsewhere; back on this page Next is usable.
    global().config.bNetworkConfigured = 1;
    top()->bClosed = true;
    frames(2);
    ASSERT_EQ(top(), page);
    EXPECT_FALSE(page->pNextButton->bDisabled);
    EXPECT_TRUE(page->pNetworkWizardButton->bDisabled);

    // Cancelled without the network configured: the files stay for the next start.
    global().config.bNetworkConfigured = 0;
    clearScreens();
    EXPECT_TRUE(exists(getCrashLogPath()));
    // Configured and cancelled: they are removed.
    global().config.bNetworkConfigured = 1;
    make(getCrashScreenshotPath(), "jpg");
    push(new ContextErrorReport());
    clearScreens();
    EXPECT_FALSE(exists(getCrashLogPath()));
    EXPECT_FALSE(exists(getCrashScreenshotPath()));
}

TEST_F(CrashReportTest, SendsTheFilesThatExistAndRemovesThemAfterwards)
{
    global().config.bNetworkConfigured = 1;
    CrashFiles::removeAll();
    make(getCrashLogPath(), "the log\n");
    make(getCrashDumpPath(), std::string("dump\0bytes", 10));
    make(getCrashTrafficPath(), "net");
    setReply(200, "Thanks\nbye");
    auto* page = new ContextErrorReport();
    push(page);
    EXPECT_EQ(page->pNetworkWizardButton, nullptr);
    EXPECT_FALSE(page->pNextButton->bDisabled);
    // The traffic record vanishes between the start and the upload: it is left out.
    std::filesystem::remove(wideToUtf8(getCrashTrafficPath()));
    const int before = requestCount();
    clickItem(page->pNextButton);
    EXPECT_TRUE(hasLine(page->pViewer, "DEBUG: Adding crashLog"));
    EXPECT_TRUE(hasLine(page->pViewer, "DEBUG: Adding crashMiniDump"));
    EXPECT_FALSE(hasLine(page->pViewer, "DEBUG: Adding crashNetTraffic"));
    EXPECT_TRUE(hasLine(page->pViewer, "Uploading error data (18 bytes)."));
    EXPECT_TRUE(page->pNextButton->bDisabled);
    // The page coming back on top with the network configured enables Next, upload or not.
    page->onActivate(false);
    EXPECT_FALSE(page->pNextButton->bDisabled);
    ASSERT_TRUE(waitForResult(page));
    ASSERT_EQ(requestCount(), before + 1);
    const Recorded sent = request(before);
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.path, "/tobble/crashreport.php");
    EXPECT_EQ(sent.body, multipartBody({{"crashLog", wideToUtf8(getCrashLogPath()), "the log\n"},
                                        {"crashMiniDump", wideToUtf8(getCrashDumpPath()), std::string("dump\0bytes", 10)}}));
    const std::vector<std::string> lines = viewerLines(page->pViewer);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{"Connected.", "Thanks", "bye", "Done."}));
    screenshot("online-crash-report-sent");
    EXPECT_EQ(page->pNextButton->caption, u"Finish");
    clickItem(page->pNextButton);
    frames(2);
    EXPECT_FALSE(exists(getCrashLogPath()));
    EXPECT_FALSE(exists(getCrashDumpPath()));
}

} // namespace
