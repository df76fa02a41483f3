#include "LevelEnvironment.h"

#include "engine/core/ErrorManager.h"
#include "engine/kiv/Kiv.h"
#include "game/language/Language.h"
#include "game/level/LevelServices.h"
#include "support/GameData.h"
#include "support/LevelBot.h"

LevelEnvironment& LevelEnvironment::get() {
    static LevelEnvironment* instance = new LevelEnvironment();
    return *instance;
}

LevelEnvironment::LevelEnvironment() {
    Kiv::setLanguageFactory(&Language::createForEngine, &Language::destroyForEngine);
    engine = std::make_unique<KivHarness>();
    engine->kiv().language->setLanguage(0);
    ErrorManager::setThrowForTests(true);
    GameData::load(*engine, TOBBLE_RUNTIME_DIR);
    levelSources = readLevelSources(LEVEL_SOURCE_DIR);
}

std::vector<BotStep> LevelEnvironment::routeOf(const LevelSource& level) {
    std::vector<BotStep> steps;
    for (const RouteStep& r : level.route) {
        BotStep s;
        s.kind = BotStep::Kind(int(r.kind));
        s.value = r.value;
        s.target = r.target;
        steps.push_back(s);
    }
    return steps;
}

ProfileData& LevelEnvironment::profile() { return *LevelServices::currentProfile(); }
