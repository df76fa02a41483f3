#pragma once
// The menu fixture with a stand-in web host: a small Python server on 127.0.0.1 and a port of the system's
// choosing, started once for the test program and stopped at its end. Each test says what the next reply
// is; the server records every request it receives for the test to read back. The requests keep the
// game's own time-outs: a busy machine may keep the server waiting for seconds before it answers.
#include <string>
#include <vector>

#include "MenuFixture.h"
#include "game/online/WizardPage.h"

class MessageViewer;

class OnlineFixture : public MenuFixture {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    struct Recorded {
        std::string method;
        std::string path;
        std::string contentType;
        std::string body;
    };

    // The reply to the next requests: status, and body or `repeat` bytes of "x".
    static void setReply(int status, const std::string& body, long repeat = 0);
    // The requests from now on are recorded but not answered, until the replies are released (at the latest
    // at the end of the test).
    static void holdReplies();
    static void releaseReplies();
    static int requestCount();
    static Recorded request(int index);
    // Runs frames until the page's request has ended (with its reply or at its own time-outs) and the page
    // has handled the result; false when the page has no request or did not handle it.
    static bool waitForResult(WizardPage* page);
    static std::vector<std::string> viewerLines(const MessageViewer* viewer);
    static bool hasLine(const MessageViewer* viewer, const std::string& line);

    // The multipart body as the web host receives it: the standard fields, the given parts, the end.
    struct Part {
        std::string name;
        std::string fileName;
        std::string data;
    };
    static std::string multipartBody(const std::vector<Part>& parts);

    static std::string serverFolder();
    static std::string readFile(const std::string& path);
    static void writeFile(const std::string& path, const std::string& bytes);
};
