#include "support/KivHarness.h"

#include <cstdio>

#include "engine/core/ErrorManager.h"
#include "engine/core/GameInfo.h"
#include "engine/core/Logger.h"
#include "engine/files/FileIO.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformWindow.h"

namespace {
void writeFile(const std::string& path, const std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f != nullptr) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}
} // namespace

std::string KivHarness::readFile(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    FileIO::readWholeFile(path, bytes);
    return std::string(bytes.begin(), bytes.end());
}

KivHarness::KivHarness(const std::string& staticConfig, const std::string& userConfig, int largestWidth,
                       int largestHeight)
{
    ErrorManager::setThrowForTests(true);
    Logger::setObserver([this](UStringView line) { lines.push_back(wideToUtf8(line)); });
    if (!staticConfig.empty()) {
        writeFile(dataFolder.file(".cfg.static"), staticConfig);
    }
    if (!userConfig.empty()) {
        writeFile(userFolder.file(".cfg"), userConfig);
    }
    Kiv::setFolders(userFolder.path(), dataFolder.path());
    platformWindow = std::make_unique<PlatformWindow>(GameInfo::WINDOW_TITLE, largestWidth, largestHeight);
    // The offscreen driver offers no full-screen modes. The harness's display offers the two small sizes that a
    // development build lists anyway, so that the engine lists the same modes in every build type.
    platformWindow->standInModes(std::vector<std::pair<int, int>>{{320, 240}, {480, 360}});
    start();
}

KivHarness::~KivHarness()
{
    stop();
    platformWindow.reset();
    Kiv::setFolders({}, {});
    Logger::setObserver(nullptr);
}

void KivHarness::start()
{
    if (Kiv::instance() == nullptr) {
        Kiv* engine = new Kiv();
        engine->setFixedStep(STEP);
    }
}

void KivHarness::stop() { delete Kiv::instance(); }

Kiv& KivHarness::kiv() { return *Kiv::instance(); }

void KivHarness::frame(Context* root)
{
    platformWindow->pumpEvents();
    kiv().frame(root);
}

void KivHarness::frames(int count, Context* root)
{
    for (int i = 0; i < count; ++i) {
        frame(root);
    }
}

bool KivHarness::logContains(const std::string& text) const { return logIndex(text) >= 0; }

int KivHarness::logIndex(const std::string& text, int from) const
{
    for (int i = from < 0 ? 0 : from; i < static_cast<int>(lines.size()); ++i) {
        if (lines[static_cast<std::size_t>(i)].find(text) != std::string::npos) {
            return i;
        }
    }
    return -1;
}
