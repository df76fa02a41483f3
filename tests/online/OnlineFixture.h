#pragma once
// The menu fixture with a stand-in web host: a small Python server on 127.0.0.1 and a port of the system's
// choosing, started once for the test program and stopped at its end. Each test says what the next reply
// is; the server records every request it receives for the test to read back.
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

    // The reply to the next requests: status, body, seconds before answering, or `repeat` bytes of "x".
    static void setReply(int status, const std::string& body, double delay = 0.0, long repeat = 0);
    static int requestCount();
    static Recorded request(int index);
    // Runs frames until the page has handled its request's result (at most about ten seconds).
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
