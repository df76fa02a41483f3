#include "FrontHarness.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <typeinfo>
#include <vector>

#include "engine/files/WadReader.h"
#include "engine/files/WadWriter.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "game/front/ContextIntroText.h"
#include "game/front/ContextLanguageSelect.h"
#include "game/front/ContextManager.h"
#include "game/front/ContextSplash.h"
#include "game/front/Global.h"
#include "game/front/Loader.h"
#include "game/front/ShellHooks.h"
#include "game/language/Language.h"
#include "game/menus/ContextMenu.h"
#include "game/resources/ResourceCatalogue.h"
#include "support/PngFile.h"

namespace {

constexpr const char* ARCHIVES[] = {"TobbleXmasdemo.dat", "TobbleXmasdemo.dat.language.v2", "TobbleXmasdemo.dat.levels",
                                    "TobbleXmasdemo.dat.1252"};
}

std::string FrontHarness::defaultStaticConfig()
{
    return KivHarness::readFile(std::string(TOBBLE_RUNTIME_DIR) + "/.cfg.static");
}

FrontHarness::FrontHarness(const std::string& userConfig, const std::string& locale, const std::string& staticConfig,
                           bool start)
{
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", locale.c_str(), 1);
    // The menus' navigation outlives a restart of the game, not the process: each harness starts as a new
    // process does.
    ContextMenu::menuNavigationMode = ContextMenu::NAVIGATION_POINTER;
    ContextMenu::navigationModeFrame = -1;
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    harness = std::make_unique<KivHarness>(staticConfig.empty() ? defaultStaticConfig() : staticConfig, userConfig);
    for (const char* archive : ARCHIVES) {
        const std::string target = std::string(TOBBLE_RUNTIME_DIR) + "/" + archive;
        [[maybe_unused]] const int rc = symlink(target.c_str(), harness->dataFolder.file(archive).c_str());
    }
    if (start) {
        createGame();
    }
}

std::string FrontHarness::archiveEntry(const std::string& archive, const std::string& name)
{
    WadReader reader(std::string(TOBBLE_RUNTIME_DIR) + "/" + archive);
    for (std::size_t i = 0; i < reader.entries().size(); ++i) {
        if (reader.entries()[i].name == name) {
            const FileData data = reader.read(i);
            return std::string(reinterpret_cast<const char*>(data.bytes.get()), data.size);
        }
    }
    return {};
}

void FrontHarness::replaceArchive(const std::string& archive, const std::function<bool(const std::string&)>& keep,
                                  const std::map<std::string, std::string>& extra)
{
    WadReader reader(std::string(TOBBLE_RUNTIME_DIR) + "/" + archive);
    WadWriter writer;
    for (std::size_t i = 0; i < reader.entries().size(); ++i) {
        const std::string& name = reader.entries()[i].name;
        if (keep(name) && extra.count(name) == 0) {
            const FileData data = reader.read(i);
            writer.add(name, data.bytes.get(), data.size);
        }
    }
    for (const auto& [name, bytes] : extra) {
        writer.add(name, bytes.data(), bytes.size());
    }
    const std::string path = harness->dataFolder.file(archive);
    std::remove(path.c_str());
    writer.write(path, WadWriter::Packing::Zlib);
}

FrontHarness::~FrontHarness()
{
    destroyGame();
    harness.reset();
    Kiv::setLanguageFactory(nullptr, nullptr);
}

void FrontHarness::createGame() { makeGameHooks().create(); }

void FrontHarness::destroyGame()
{
    if (Global::instance() == nullptr) {
        return;
    }
    if (Kiv::instance() != nullptr) {
        Kiv::instance()->forgetRoot();
    }
    makeGameHooks().destroy();
}

void FrontHarness::restart()
{
    destroyGame();
    harness->stop();
    harness->start();
    createGame();
}

void FrontHarness::frame() { harness->frame(Global::instance()->contextManager); }

void FrontHarness::frames(int count)
{
    for (int i = 0; i < count; ++i) {
        frame();
    }
}

bool FrontHarness::runUntilLoaded(int limit)
{
    for (int i = 0; i < limit; ++i) {
        const Loader* loader = nullptr;
        for (KivBase* child = stack().getFirstChild(); child != nullptr && loader == nullptr; child = child->getNext()) {
            loader = dynamic_cast<Loader*>(child);
        }
        if (loader == nullptr || loader->bClosed) {
            return true;
        }
        frame();
    }
    return false;
}

ContextManager& FrontHarness::stack() { return *Global::instance()->contextManager; }

std::string FrontHarness::screens()
{
    std::string out;
    for (KivBase* child = stack().getFirstChild(); child != nullptr; child = child->getNext()) {
        std::string name = "other";
        if (auto* loader = dynamic_cast<Loader*>(child)) {
            name = loader->bClosed ? "loader(closed)" : "loader";
        } else if (dynamic_cast<ContextLanguageSelect*>(child) != nullptr) {
            name = "language";
        } else if (std::string(typeid(*child).name()).find("Main") != std::string::npos) {
            name = "menu"; // the game's main menu, whatever its class

        } else if (dynamic_cast<ContextIntroText*>(child) != nullptr) {
            name = "story";
        } else if (dynamic_cast<ContextSplash*>(child) != nullptr) {
            name = "splash";
        }
        out += out.empty() ? name : " " + name;
    }
    return out;
}

Global& FrontHarness::global() { return *Global::instance(); }

std::string FrontHarness::screenshot(const std::string& name)
{
    const std::string path = std::string(TOBBLE_RUNTIME_DIR) + "/../screenshots/" + name + ".png";
    if (KivGraphics* graphics = KivGraphics::instance()) {
        // The frame is drawn again without presenting it: after a present the back buffer is undefined.
        graphics->beginScene();
        Kiv::instance()->currentContext = &stack();
        stack().render();
        graphics->endScene();
        int width = 0, height = 0;
        const std::vector<std::uint32_t> pixels = graphics->readScreen(width, height);
        mkdir((std::string(TOBBLE_RUNTIME_DIR) + "/../screenshots").c_str(), 0755);
        writePng(path, pixels, width, height);
    }
    return path;
}
