#pragma once
// The real start-up, headless: the engine with the game's language, the built archives linked into the
// harness's data folder, MyGlobal made and its first phase run as the shell does, and frames run with the
// screen stack as the root.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "support/KivHarness.h"

class ContextManager;
class Global;

class FrontHarness {
public:
    // `locale` becomes LANG (LC_ALL and LC_MESSAGES are cleared). The static configuration is the
    // builder's unless one is given.
    // Without `start` the game is not made yet (createGame), so archives can be replaced first.
    explicit FrontHarness(const std::string& userConfig = {}, const std::string& locale = "en_GB.UTF-8",
                          const std::string& staticConfig = {}, bool start = true);
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

    // Puts a copy of a built archive in place of its link: the entries `keep` accepts, then `extra`
    // (stored name, bytes), which replace entries of the same name.
    void replaceArchive(const std::string& archive, const std::function<bool(const std::string&)>& keep,
                        const std::map<std::string, std::string>& extra = {});
    // The bytes of an entry of a built archive (empty when there is none).
    static std::string archiveEntry(const std::string& archive, const std::string& name);

    ContextManager& stack();
    // The screens from the bottom: "loader" ("loader(closed)"), "language", "menu", "story", "splash", or
    // "other".
    std::string screens();
    Global& global();
    KivHarness& engine() { return *harness; }
    // A PNG of the screen as it stands, for looking at; written into the build folder.
    std::string screenshot(const std::string& name);

    static std::string defaultStaticConfig();

private:
    std::unique_ptr<KivHarness> harness;
};
