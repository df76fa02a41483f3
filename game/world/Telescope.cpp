#include "game/world/Telescope.h"

#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass Telescope::classRecord(RuntimeClass::hashName(u"Telescope"), &A99Object::classRecord,
                                          &RuntimeClass::factoryOf<Telescope>);

Telescope::Telescope() : A99Object(LevelAccess::OBJECT_LIST) {}

void Telescope::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    auto* group = new PropertyContainer(u"lookAt", 0);
    group->appendChild(new PropertyFloat(u"x", 0, &lookAt.x));
    group->appendChild(new PropertyFloat(u"y", 0, &lookAt.y));
    group->appendChild(new PropertyFloat(u"z", 0, &lookAt.z));
    list.appendChild(group);
    list.appendChild(new PropertyFloat(u"holdTime", 0, &holdTime));
}

void Telescope::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    LevelDataCheck check(*this, run);
    check.coordinate(u"lookAt.x", lookAt.x);
    check.coordinate(u"lookAt.y", lookAt.y);
    check.coordinate(u"lookAt.z", lookAt.z);
    check.size(u"holdTime", holdTime, 0.0f, 60.0f, 2.0f);
}

bool Telescope::queryAction(const V3& hero, int32_t& priority, float& distance)
{
    const float d = distanceTo(hero);
    if (bHidden || d > QUERY_RANGE) {
        return false;
    }
    priority = PRIORITY_DEVICE;
    distance = d;
    return true;
}

void Telescope::use(Pig* /*pig*/) { LevelAccess::showSpot(lookAt.x, lookAt.y, TRANSITION, holdTime); }
