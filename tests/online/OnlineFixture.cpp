#include "OnlineFixture.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "engine/kiv/Kiv.h"
#include "game/front/Global.h"
#include "game/online/MessageViewer.h"

extern char** environ;

namespace {
pid_t gServer = -1;
std::string gFolder;
// The game's time-outs, which each test starts with.
const double gConnectTimeout = WizardPage::connectTimeout;
const double gTransferTimeout = WizardPage::transferTimeout;

std::string jsonField(const std::string& json, const std::string& key)
{
    const std::string marker = "\"" + key + "\": \"";
    const std::size_t at = json.find(marker);
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + marker.size();
    return json.substr(start, json.find('"', start) - start);
}
} // namespace

void OnlineFixture::SetUpTestSuite()
{
    MenuFixture::SetUpTestSuite();
    if (gServer > 0) {
        return;
    }
    char pattern[] = "/tmp/online-web-host-XXXXXX";
    gFolder = std::string(mkdtemp(pattern)) + "/";
    const std::string script = std::string(TOBBLE_SOURCE_DIR) + "/tests/online/web_host.py";
    std::string python = "python3";
    char* argv[] = {python.data(), const_cast<char*>(script.c_str()), gFolder.data(), nullptr};
    ASSERT_EQ(0, posix_spawnp(&gServer, "python3", nullptr, nullptr, argv, environ));
    // The server names its port once it listens, or ends when it cannot.
    bool ended = false;
    while (!std::filesystem::exists(gFolder + "port") && !ended) {
        ended = waitpid(gServer, nullptr, WNOHANG) == gServer;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ended) {
        gServer = -1;
    }
    const std::string port = readFile(gFolder + "port");
    ASSERT_FALSE(port.empty()) << "the web host did not start";
    Kiv::instance()->webHost = utf8ToWide("127.0.0.1:" + port);
}

void OnlineFixture::TearDownTestSuite()
{
    if (gServer > 0) {
        kill(gServer, SIGTERM);
        waitpid(gServer, nullptr, 0);
        gServer = -1;
        std::filesystem::remove_all(gFolder);
    }
    MenuFixture::TearDownTestSuite();
}

void OnlineFixture::SetUp()
{
    MenuFixture::SetUp();
    Kiv::instance()->bRelease = false; // the pages' debug lines are part of what is checked
    WizardPage::connectTimeout = gConnectTimeout;
    WizardPage::transferTimeout = gTransferTimeout;
    setReply(200, "");
}

void OnlineFixture::TearDown()
{
    releaseReplies();
    MenuFixture::TearDown();
    global().config.bNetworkConfigured = 0;
}

std::string OnlineFixture::serverFolder() { return gFolder; }

std::string OnlineFixture::readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void OnlineFixture::writeFile(const std::string& path, const std::string& bytes)
{
    // Whole or not at all for a reader at any moment (the server reads the reply while a request comes in).
    std::ofstream(path + ".tmp", std::ios::binary) << bytes;
    std::filesystem::rename(path + ".tmp", path);
}

void OnlineFixture::setReply(int status, const std::string& body, long repeat)
{
    writeFile(gFolder + "reply.bin", body);
    std::ostringstream spec;
    spec << "{\"status\": " << status << ", \"repeat\": " << repeat << "}";
    writeFile(gFolder + "reply.json", spec.str());
}

void OnlineFixture::holdReplies() { writeFile(gFolder + "hold", ""); }

void OnlineFixture::releaseReplies() { std::filesystem::remove(gFolder + "hold"); }

int OnlineFixture::requestCount()
{
    int n = 0;
    while (std::filesystem::exists(gFolder + "request-" + std::to_string(n) + ".json")) {
        ++n;
    }
    return n;
}

OnlineFixture::Recorded OnlineFixture::request(int index)
{
    const std::string base = gFolder + "request-" + std::to_string(index);
    const std::string json = readFile(base + ".json");
    return {jsonField(json, "method"), jsonField(json, "path"), jsonField(json, "contentType"),
            readFile(base + ".bin")};
}

bool OnlineFixture::waitForResult(WizardPage* page)
{
    while (page->pRequest && page->pRequest->state.load() == HttpRequest::STATE_RUNNING) {
        frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The frame after the request ended takes its result.
    frames(1);
    return page->pRequest && page->pRequest->state.load() == HttpRequest::STATE_IDLE;
}

std::vector<std::string> OnlineFixture::viewerLines(const MessageViewer* viewer)
{
    std::vector<std::string> lines;
    for (const UString& line : viewer->lines) {
        lines.push_back(wideToUtf8(line));
    }
    return lines;
}

bool OnlineFixture::hasLine(const MessageViewer* viewer, const std::string& line)
{
    for (const std::string& l : viewerLines(viewer)) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

std::string OnlineFixture::multipartBody(const std::vector<Part>& parts)
{
    const std::string boundary = "-----------------------------7d33992b80330";
    std::vector<Part> all = {{"platform", "", "WIN"}, {"gameName", "", "TobbleXmasdemo"}, {"gameVersion", "", "1.25"},
                             {"gamePatch", "", "t"}};
    all.insert(all.end(), parts.begin(), parts.end());
    std::string body;
    for (const Part& part : all) {
        body += "\r\n" + boundary + "\r\nContent-Disposition: form-data; name=\"" + part.name + "\"";
        if (!part.fileName.empty()) {
            body += "; filename=\"" + part.fileName + "\"\r\nContent-Type: application/octet-stream";
        }
        body += "\r\n\r\n" + part.data;
    }
    return body + "\r\n" + boundary + "--\r\n";
}
