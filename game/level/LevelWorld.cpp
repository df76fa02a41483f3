#include "game/level/LevelWorld.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/RuntimeClass.h"
#include "engine/core/RuntimeClassManager.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/render/Renderable.h"
#include "game/level/GameController.h"

namespace {
// A new registered object of a world class, or null while the class is not part of the game.
KivBase* createWorldObject(const char16_t* className)
{
    const RuntimeClass* record =
        RuntimeClassManager::getInstance()->findClassById(RuntimeClass::hashName(UStringView(className)));
    if (record == nullptr || !record->hasFactory()) {
        return nullptr;
    }
    KIV_ASSERT(THEROLE != NULL);
    KIV_ASSERT(THEROLE->bAllowNewObjectRegistations);
    KivBase* object = record->create();
    THEROLE->registerObject(object, 0);
    return object;
}

void addTo(KivBase* list, KivBase* object)
{
    if (list != nullptr && object != nullptr) {
        list->netAddChild(object);
    }
}
} // namespace

bool LevelWorld::queryAction(KivBase* /*object*/, const V3& /*point*/, int32_t& /*priority*/, float& /*distance*/)
{
    return false;
}

bool LevelWorld::isHeroInside(KivBase* /*house*/) { return false; }

bool LevelWorld::isPigAtHome(KivBase* /*house*/) { return false; }

V3 LevelWorld::positionOf(const KivBase* object)
{
    const auto* r = dynamic_cast<const Renderable*>(object);
    return r != nullptr ? r->position : V3();
}

void LevelWorld::createStarterContent(GameController& gc)
{
    addTo(gc.pigList, createWorldObject(u"Pig"));
    addTo(gc.houseList, createWorldObject(u"House"));
    addTo(gc.appleList, createWorldObject(u"Apple"));
}

void LevelWorld::createBoundary(GameController& /*gc*/) {}

void LevelWorld::createPiglets(GameController& /*gc*/) {}
