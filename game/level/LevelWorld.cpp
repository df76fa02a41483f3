#include "game/level/LevelWorld.h"

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/render/Quad.h"
#include "game/level/GameController.h"
#include "game/level/TouchButton.h"
#include "game/world/A99Object.h"
#include "game/world/Apple.h"
#include "game/world/House.h"
#include "game/world/Hull.h"
#include "game/world/Pig.h"
#include "game/world/Piglet.h"
#include "game/world/Terrain.h"
#include "game/world/TerrainDeco.h"

namespace {
// Registers a new world object with the current role; a failure is reported from `caller`.
template <class T>
T* registered(const SourceLocation& caller)
{
    KivNetwork::assertRegistrationAllowed(caller);
    auto* object = new T();
    try {
        THEROLE->registerObject(object, 0);
    } catch (...) {
        delete object;
        throw;
    }
    return object;
}

// The two post-replicate calls, then the replicated add-child to the list. An object that reaches no list
// (a damaged level lacks it, or a failure on the way) is kept below the controller, which deletes it with
// the level, rather than lost.
void finish(KivBase* object, KivBase* list, GameController& gc)
{
    try {
        object->netCallPostReplicate();
        object->netCallPostReplicateGlobal();
        if (list != nullptr) {
            list->netAddChild(object);
        }
    } catch (...) {
        if (object->getParent() == nullptr) {
            gc.appendChild(object);
        }
        throw;
    }
    if (object->getParent() == nullptr) {
        gc.appendChild(object);
    }
}

template <class T>
T* findResource(const char16_t* name)
{
    ResourceManager* resources = ResourceManager::instance();
    return resources != nullptr ? dynamic_cast<T*>(resources->find(name, false)) : nullptr;
}

void addDeco(GameController& gc, Terrain* terrain, const char16_t* skinName, int32_t segments, int32_t depth,
             const SourceLocation& caller)
{
    // Without the picture (a level built without data) there is nothing to lay.
    Quad* skin = findResource<Quad>(skinName);
    if (skin == nullptr) {
        return;
    }
    auto* deco = registered<TerrainDeco>(caller);
    deco->construct(terrain, skin, segments, depth);
    finish(deco, gc.objectList, gc);
}
} // namespace

bool LevelWorld::queryAction(KivBase* object, const V3& point, int32_t& priority, float& distance)
{
    auto* a = dynamic_cast<A99Object*>(object);
    return a != nullptr && a->queryAction(point, priority, distance);
}

bool LevelWorld::isHeroInside(KivBase* house)
{
    auto* h = dynamic_cast<House*>(house);
    return h != nullptr && h->bHeroInside;
}

bool LevelWorld::isPigAtHome(KivBase* house)
{
    auto* h = dynamic_cast<House*>(house);
    return h != nullptr && h->bPigAtHome;
}

V3 LevelWorld::positionOf(const KivBase* object)
{
    const auto* r = dynamic_cast<const Renderable*>(object);
    return r != nullptr ? r->position : V3();
}

void LevelWorld::createStarterContent(GameController& gc, SourceLocation caller)
{
    auto* prop = registered<A99Object>(caller);
    prop->construct();
    prop->pSkin = findResource<Skin>(u"terrain-grassy:0");
    finish(prop, gc.objectList, gc);

    auto* terrain = registered<Terrain>(caller);
    terrain->construct(512, 16);
    terrain->position = V3{0.0f, 0.0f, 0.0f};
    finish(terrain, gc.objectList, gc);

    addDeco(gc, terrain, u"deco-grass:0", 64, 28, caller);

    auto* pig = registered<Pig>(caller);
    pig->construct(PigBody::TYPE_PIG);
    pig->position = V3{-256.0f, Pig::RADIUS, 0.0f};
    finish(pig, gc.pigList, gc);

    addDeco(gc, terrain, u"terrain-grassy:0", 512, 261, caller);
    addDeco(gc, terrain, u"ground-grass:0", 512, 1, caller);

    auto* house = registered<House>(caller);
    house->construct();
    house->position = V3{512.0f, 96.0f, 0.0f};
    finish(house, gc.houseList, gc);

    auto* apple = registered<Apple>(caller);
    apple->construct();
    apple->position = V3{0.0f, Apple::RADIUS, 0.0f};
    finish(apple, gc.appleList, gc);
}

void LevelWorld::createBoundary(GameController& gc, SourceLocation caller)
{
    auto* boundary = registered<A99Object>(caller);
    boundary->construct();
    finish(boundary, gc.objectList, gc);
    boundary->createHull();
    const float floor = gc.playingArea.bottom - 0.5f * static_cast<float>(HudTouch::screenHeight());
    Hull* hull = boundary->pHull;
    if (hull == nullptr) {
        return;
    }
    hull->addHullPoint(gc.playingArea.left, gc.playingArea.top, 0.0f, true);
    hull->addHullPoint(gc.playingArea.left, floor, 0.0f, true);
    hull->addHullPoint(gc.playingArea.right, floor, 0.0f, true);
    hull->addHullPoint(gc.playingArea.right, gc.playingArea.top, 0.0f, true);
}

void LevelWorld::createPiglets(GameController& gc, SourceLocation caller)
{
    auto* hero = dynamic_cast<EditorObject*>(gc.findHeroOrNull());
    for (int32_t type = 2; type <= PigBody::TYPE_LAST_PIGLET; ++type) {
        auto* piglet = registered<Piglet>(caller);
        piglet->construct(type);
        if (hero != nullptr) {
            piglet->position = hero->position;
        }
        finish(piglet, piglet->getHomeList(), gc);
        if (type == 2) {
            piglet->placeProxyAfter(hero);
        } else {
            piglet->placeProxyBefore(hero);
        }
    }
}
