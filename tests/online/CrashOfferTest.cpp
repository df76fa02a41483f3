// The crash-report offer at start-up: on top of the stack when the last run left a crash log or dump.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/core/ErrorManager.h"
#include "engine/kiv/Kiv.h"
#include "game/front/ContextManager.h"
#include "game/front/ContextSplash.h"
#include "game/front/Loader.h"
#include "game/front/MyGlobal.h"
#include "game/language/Language.h"
#include "game/online/ContextErrorReport.h"
#include "game/online/CrashFiles.h"
#include "support/KivHarness.h"

namespace {
// The screen on top once the loader has finished, with the given crash files in the user folder.
template <class Check>
void startWithCrashFiles(const std::vector<std::string>& extensions, Check check)
{
    Kiv::setLanguageFactory(Language::createForEngine, Language::destroyForEngine);
    const std::string runtime = TOBBLE_RUNTIME_DIR;
    {
        // The engine (and its language) goes with the harness, before the language factory is reset.
        KivHarness harness(KivHarness::readFile(runtime + "/.cfg.static"), "[Kiv]\ndefaultLanguage=0\n");
        for (const char* suffix : {"", ".1252", ".language.v2", ".levels"}) {
            const std::string name = std::string("TobbleXmasdemo.dat") + suffix;
            std::filesystem::create_symlink(runtime + "/" + name, harness.dataFolder.file(name));
        }
        for (const std::string& extension : extensions) {
            std::ofstream(harness.kiv().userFolder + "crash.TobbleXmasdemo" + extension) << "left behind";
        }
        auto* global = new MyGlobal();
        Global::setInstance(global);
        global->initPreLoader();
        for (int i = 0; i < 2000 && dynamic_cast<Loader*>(global->contextManager->getTop()) != nullptr; ++i) {
            harness.frame(global->contextManager);
        }
        check(global->contextManager->getTop());
        Kiv::instance()->forgetRoot();
        delete global;
        Global::setInstance(nullptr);
    }
    Kiv::setLanguageFactory(nullptr, nullptr);
}

TEST(CrashOffer, ShownOnTopAfterACrash)
{
    ErrorManager::setThrowForTests(true);
    startWithCrashFiles({".log", ".jpg"}, [](Context* top) { EXPECT_NE(dynamic_cast<ContextErrorReport*>(top), nullptr); });
    startWithCrashFiles({".mdmp"}, [](Context* top) { EXPECT_NE(dynamic_cast<ContextErrorReport*>(top), nullptr); });
    // A screenshot alone, or nothing: the splash is the first screen.
    startWithCrashFiles({".jpg"}, [](Context* top) { EXPECT_NE(dynamic_cast<ContextSplash*>(top), nullptr); });
    startWithCrashFiles({}, [](Context* top) { EXPECT_NE(dynamic_cast<ContextSplash*>(top), nullptr); });
}
} // namespace
