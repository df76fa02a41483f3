// Every level file of the archive loads through the level manager, passes the controller's level-start
// set-up and holds what its source says; the load times (file to first frame) are printed as a table.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "LevelEnvironment.h"
#include "engine/files/FileManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/Skin.h"
#include "game/world/A99Object.h"
#include "game/world/DangerArea.h"
#include "game/world/EditorProxy.h"
#include "game/world/TerrainDeco.h"
#include "game/world/TriggerHint.h"
#include "game/world/Pig.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/userdata/ProfileData.h"

namespace {

int children(KivBase* list) {
    int n = 0;
    for (KivBase* c = list ? list->getFirstChild() : nullptr; c != nullptr; c = c->getNext())
        ++n;
    return n;
}

} // namespace

TEST(LevelFiles, EveryLevelLoadsAndHoldsWhatItsSourceSays) {
    LevelEnvironment& env = LevelEnvironment::get();
    KivHarness& harness = env.harness();
    double slowest = 0;
    // The first level drawn uploads the shared textures; that is the loader's cost, not a level's.
    env.profile().currentLevel = 0;
    {
        auto warmUp = std::make_unique<ContextLevelManager>(0);
        harness.frame(warmUp.get());
    }
    THEROLE = nullptr;
    std::printf("level  file                    load (ms, best of 3)\n");
    for (const LevelSource& source : env.sources()) {
        SCOPED_TRACE(source.path);
        const UString file = ProfileData::levelNumberToFile(source.number);
        ASSERT_TRUE(harness.kiv().fileManager->exists(file)) << wideToUtf8(file);
        env.profile().currentLevel = source.number;

        // The machine is shared: the best of three loads is the level's own cost.
        std::unique_ptr<ContextLevelManager> manager;
        double ms = 1e9;
        for (int run = 0; run < 3; ++run) {
            manager.reset();
            THEROLE = nullptr;
            const auto start = std::chrono::steady_clock::now();
            manager = std::make_unique<ContextLevelManager>(source.number);
            harness.frame(manager.get());
            ms = std::min(ms, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        slowest = std::max(slowest, ms);
        std::printf("%5d  %-22s %9.1f\n", source.number, wideToUtf8(file).c_str(), ms);

        GameController* gc = manager->getGameController();
        ASSERT_NE(gc, nullptr);
        // The level-start set-up ran: the level began, with piglets on a normal level only.
        EXPECT_GE(gc->state, 1);
        EXPECT_EQ(children(gc->pigletList), source.bonus ? 0 : 3);
        EXPECT_EQ(gc->bBonusLevel, source.bonus);
        EXPECT_EQ(int(gc->season), source.season);
        EXPECT_DOUBLE_EQ(gc->parTime, source.parTime);
        // Its things are those of the source.
        EXPECT_EQ(children(gc->appleList), source.count("apple"));
        EXPECT_EQ(children(gc->sweetList), source.count("sweet"));
        EXPECT_EQ(children(gc->secretList), source.count("secret"));
        EXPECT_EQ(gc->levelStats.requiredApples, source.applesNeeded);
        EXPECT_EQ(gc->levelStats.bonusApples, source.count("apple") - source.applesNeeded);
        EXPECT_EQ(gc->levelStats.secrets, source.count("secret"));
        EXPECT_NE(gc->findHeroOrNull(), nullptr);
        EXPECT_NE(gc->findHouseOrNull(), nullptr);
        // Things are drawn in the order of their proxies: the scenery comes before the ground and the pig,
        // which then stand in front of it; the house's trimmings come after the house, the pig after both.
        std::map<const KivBase*, int> drawn;
        int order = 0;
        for (KivBase* p = gc->proxyList->getFirstChild(); p != nullptr; p = p->getNext())
            if (auto* proxy = dynamic_cast<EditorProxy*>(p))
                drawn[proxy->getObject()] = order++;
        int ground = order;
        for (KivBase* o = gc->objectList->getFirstChild(); o != nullptr; o = o->getNext())
            if (dynamic_cast<TerrainDeco*>(o) != nullptr && drawn.count(o))
                ground = std::min(ground, drawn[o]);
        ASSERT_TRUE(drawn.count(gc->findHeroOrNull()));
        ASSERT_TRUE(drawn.count(gc->findHouseOrNull()));
        for (KivBase* o = gc->bgList->getFirstChild(); o != nullptr; o = o->getNext()) {
            auto* prop = dynamic_cast<A99Object*>(o);
            if (prop == nullptr || !drawn.count(prop))
                continue;
            const UString* skin = ResourceManager::instance()->nameOf(prop->pSkin);
            ASSERT_NE(skin, nullptr);
            if (wideToUtf8(*skin).rfind("house-", 0) == 0) {
                EXPECT_GT(drawn[prop], drawn[gc->findHouseOrNull()]) << wideToUtf8(*skin);
                EXPECT_LT(drawn[prop], drawn[gc->findHeroOrNull()]) << wideToUtf8(*skin) << " hides the pig";
            } else
                EXPECT_LT(drawn[prop], ground) << wideToUtf8(*skin) << " at " << prop->position.x;
        }
        EXPECT_LT(ground, drawn[gc->findHeroOrNull()]);
        EXPECT_GT(drawn[gc->findHeroOrNull()], drawn[gc->findHouseOrNull()]) << "the pig is drawn over its house";
        // Signposts stand by the way, behind the pig.
        for (KivBase* o = gc->objectList->getFirstChild(); o != nullptr; o = o->getNext()) {
            auto* hint = dynamic_cast<TriggerHint*>(o);
            if (hint != nullptr && hint->pSkin != nullptr) {
                EXPECT_LT(drawn[hint], ground) << "sign at " << hint->position.x;
            }
        }
        // Water and acid show in their pits: they are filled, and seen from behind the ground.
        for (KivBase* o = gc->dangerAreaList->getFirstChild(); o != nullptr; o = o->getNext()) {
            auto* danger = dynamic_cast<DangerArea*>(o);
            ASSERT_NE(danger, nullptr);
            if (danger->kind == DangerArea::KIND_THORNS)
                continue;
            EXPECT_NE(danger->pSkin, nullptr) << "at " << danger->position.x;
            EXPECT_LT(drawn[danger], ground) << "at " << danger->position.x;
        }
        manager.reset();
        THEROLE = nullptr;
    }
    // The times are a measurement for the table, not a check: on a busy machine they say nothing.
    std::printf("slowest level: %.1f ms\n", slowest);
}

// A ledge of ice is drawn with the ice slab, every other solid ledge with a stone slab (snowed on in winter)
// stretched over its whole width, so that the pig is seen to cross on it; the look leaves the ledge's hull
// and ground as they were. With LEVELBOT_TRACE set, every solid ledge is saved with the pig on
// it ("ledge-LEVEL-LINE.tga").
TEST(LevelFiles, LedgesAreDrawnAsIceOrStoneSlabs) {
    LevelEnvironment& env = LevelEnvironment::get();
    KivHarness& harness = env.harness();
    Skin* ice = dynamic_cast<Skin*>(ResourceManager::instance()->find(u"iceSlab:0", false));
    ASSERT_NE(ice, nullptr);
    Skin* stone = dynamic_cast<Skin*>(ResourceManager::instance()->find(u"stoneSlab:0", false));
    Skin* snowyStone = dynamic_cast<Skin*>(ResourceManager::instance()->find(u"stoneSlab:1", false));
    ASSERT_NE(stone, nullptr);
    ASSERT_NE(snowyStone, nullptr);
    int icy = 0;
    const bool trace = std::getenv("LEVELBOT_TRACE") != nullptr;
    for (const LevelSource& source : env.sources()) {
        std::vector<const LevelThing*> ledges;
        for (const LevelThing& t : source.things)
            if (t.kind == "ledge" && !t.has("oneway"))
                ledges.push_back(&t);
        if (ledges.empty())
            continue;
        SCOPED_TRACE(source.path);
        THEROLE = nullptr;
        env.profile().currentLevel = source.number;
        auto manager = std::make_unique<ContextLevelManager>(source.number);
        harness.frame(manager.get());
        GameController* gc = manager->getGameController();
        ASSERT_NE(gc, nullptr);
        for (const LevelThing* t : ledges) {
            float left = t->points[0].x, right = left, bottom = t->points[0].y, top = bottom;
            for (const LevelPoint& p : t->points) {
                left = std::min(left, p.x), right = std::max(right, p.x);
                bottom = std::min(bottom, p.y), top = std::max(top, p.y);
            }
            A99Object* ledge = nullptr;
            for (KivBase* o = gc->objectList->getFirstChild(); o != nullptr; o = o->getNext()) {
                auto* a = dynamic_cast<A99Object*>(o);
                if (a != nullptr && a->pHull != nullptr && a->position.x == (left + right) / 2 &&
                    a->position.y == (bottom + top) / 2)
                    ledge = a;
            }
            ASSERT_NE(ledge, nullptr) << "line " << t->line;
            EXPECT_EQ(ledge->pSkin == ice, t->icy()) << "line " << t->line;
            if (!t->icy()) {
                const bool snowy = source.christmas || source.season == 3;
                EXPECT_EQ(ledge->pSkin, snowy ? snowyStone : stone) << "line " << t->line;
            }
            auto* quad = dynamic_cast<Quad*>(ledge->pSkin);
            ASSERT_NE(quad, nullptr) << "line " << t->line;
            EXPECT_GE(quad->width * ledge->scale.x, right - left) << "line " << t->line;
            EXPECT_LE(quad->width * ledge->scale.x, right - left + 12) << "line " << t->line;
            EXPECT_EQ(ledge->groundMaterial == A99Object::GROUND_ICE, t->has("ice")) << "line " << t->line;
            icy += t->icy() ? 1 : 0;
            if (trace) {
                auto* pig = dynamic_cast<Pig*>(gc->findHeroOrNull());
                ASSERT_NE(pig, nullptr);
                for (int i = 0; i < 1500 && gc->state != 4; ++i)
                    harness.frame(manager.get());
                pig->placeAt(V3((left + right) / 2, top + Pig::RADIUS + 20.0f, 0.0f));
                harness.frames(150, manager.get());
                KivGraphics::instance()->saveScreenshot(std::string(TOBBLE_RUNTIME_DIR) + "/ledge-" +
                                                            std::to_string(source.number) + "-" +
                                                            std::to_string(t->line) + ".tga",
                                                        true);
            }
        }
        manager.reset();
        THEROLE = nullptr;
    }
    EXPECT_GT(icy, 0) << "no level has a ledge of ice";
}

// A prop set too low sinks into the ground and one set too high hangs in the air: the foot of every prop's
// picture is at the ground below it, give or take a little grass.
TEST(LevelFiles, PropsStandOnTheGround) {
    LevelEnvironment& env = LevelEnvironment::get();
    int props = 0;
    for (const LevelSource& source : env.sources())
        for (const LevelThing& t : source.things) {
            if (t.kind != "prop")
                continue;
            auto* quad = dynamic_cast<Quad*>(ResourceManager::instance()->find(utf8ToWide(t.variant), false));
            ASSERT_NE(quad, nullptr) << source.path << ":" << t.line;
            const auto scale = t.settings.find("scale.y");
            const float height = quad->height * (scale != t.settings.end() ? std::stof(scale->second) : 1.0f);
            const float foot = t.y - height / 2 - source.groundAt(t.x);
            EXPECT_GE(foot, -12.0f) << source.path << ":" << t.line << " " << t.variant << " is sunk into the ground";
            EXPECT_LE(foot, 12.0f) << source.path << ":" << t.line << " " << t.variant << " floats above the ground";
            ++props;
        }
    EXPECT_GT(props, 100);
}
