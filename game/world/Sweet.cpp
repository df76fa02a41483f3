#include "game/world/Sweet.h"

#include "engine/core/PropertyBool.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "game/world/Pig.h"

const RuntimeClass Sweet::classRecord(RuntimeClass::hashName(u"Sweet"), &A99Object::classRecord,
                                      &RuntimeClass::factoryOf<Sweet>);

Sweet::Sweet() : A99Object(LevelAccess::SWEET_LIST) {}

void Sweet::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bCollected", Property::FLAG_READONLY, &bCollected));
}

void Sweet::afterEdit()
{
    if (pSkin == nullptr) {
        if (ResourceManager* resources = ResourceManager::instance()) {
            pSkin = dynamic_cast<Skin*>(resources->find(u"sweets:0", false));
        }
    }
    A99Object::afterEdit();
}

void Sweet::tick(double time, double dt)
{
    A99Object::tick(time, dt);
    if (bCollected || !LevelAccess::isActing()) {
        return;
    }
    Pig* pig = LevelAccess::hero();
    if (pig == nullptr || pig->isFainted() || pig->isHome()) {
        return;
    }
    const float reach = PICKUP_RADIUS + Pig::RADIUS;
    if (distanceTo(pig->position) <= reach) {
        bCollected = true;
        bHidden = true;
        LevelAccess::addToCounter(LevelAccess::SWEETS_GOT, 1);
        LevelAccess::addToCounter(LevelAccess::SCORE, POINTS);
        LevelAccess::playSound(u"sweetPickup");
        bDeleted = true;
    }
}
