#pragma once
// A headless engine for tests: an offscreen window, the engine object with its user files in a fresh
// temporary folder, frames run at a fixed time step, synthetic window messages, and the log as lines.
// Run with SDL_VIDEODRIVER=offscreen and ALSOFT_DRIVERS=null.
#include <memory>
#include <string>
#include <vector>

#include "engine/core/UString.h"
#include "support/TempDir.h"

class Context;
class Kiv;
class PlatformWindow;

class KivHarness {
public:
    // The largest window the game is played at, which the screen tests give it.
    static constexpr int LARGEST_WIDTH = 2560;
    static constexpr int LARGEST_HEIGHT = 1440;

    // The static configuration is written beside the "executable" before the engine starts (empty: none).
    // The offscreen window can later be given any size up to largestWidth x largestHeight (at least 800x600).
    explicit KivHarness(const std::string& staticConfig = {}, const std::string& userConfig = {},
                        int largestWidth = 800, int largestHeight = 600);
    ~KivHarness();
    KivHarness(const KivHarness&) = delete;
    KivHarness& operator=(const KivHarness&) = delete;

    // Builds the engine (done by the constructor; again after stop()).
    void start();
    // Deletes the engine, keeping the window and the log.
    void stop();

    Kiv& kiv();
    PlatformWindow& window() { return *platformWindow; }

    // Delivers the waiting window messages, then runs one engine frame.
    void frame(Context* root = nullptr);
    void frames(int count, Context* root = nullptr);

    // Every log line since the harness began (UTF-8, without the timing prefix).
    const std::vector<std::string>& logLines() const { return lines; }
    bool logContains(const std::string& text) const;
    // Index of the first line containing text at or after `from`; -1 when none.
    int logIndex(const std::string& text, int from = 0) const;

    // A whole file as bytes (empty when it cannot be read).
    static std::string readFile(const std::string& path);

    TempDir userFolder;
    TempDir dataFolder;
    static constexpr double STEP = 0.01;

private:
    std::unique_ptr<PlatformWindow> platformWindow;
    std::vector<std::string> lines;
};
