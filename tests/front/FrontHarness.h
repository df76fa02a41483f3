#pragma once
// The real start-up, headless: the engine with the game's language, the built archives linked into the
// harness's data folder, MyGlobal made and its first phase run as the shell does, and frames run with the
// screen stack as the root.
#include <memory>
#include <string>

#include "support/KivHarness.h"

class ContextManager;
class Global;

class FrontHarness {
public:
    // `locale` becomes LANG (LC_ALL and LC_MESSAGES are cleared). The static configuration is the
    // builder's unless one is given.
    explicit FrontHarness(const std::string& userConfig = {}, const std::string& locale = "en_GB.UTF-8",
                          const std::string& staticConfig = {});
    ~FrontHarness();

    // MyGlobal made and its first phase run, as the shell's engine creation does.
    void createGame();
    void destroyGame();
    // Deletes the game and the engine, builds both again (the restart).
    void restart();

    void frame();
    void frames(int count);
    // Frames until the loader has finished and closed (at most `limit`); false when it has not.
    bool runUntilLoaded(int limit = 400);

    ContextManager& stack();
    Global& global();
    KivHarness& engine() { return *harness; }
    // A PNG of the screen as it stands, for looking at; written into the build folder.
    std::string screenshot(const std::string& name);

    static std::string defaultStaticConfig();

private:
    std::unique_ptr<KivHarness> harness;
};
