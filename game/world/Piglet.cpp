#include "game/world/Piglet.h"

#include <cmath>

#include "engine/core/PropertyBool.h"
#include "game/world/Pig.h"

const RuntimeClass Piglet::classRecord(RuntimeClass::hashName(u"Piglet"), &PigBody::classRecord,
                                       &RuntimeClass::factoryOf<Piglet>);

Piglet::Piglet() : PigBody(LevelAccess::PIGLET_LIST) { type = 2; }

void Piglet::addPropertiesTo(Property& list)
{
    PigBody::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bHome", Property::FLAG_READONLY, &bHome));
}

void Piglet::tick(double time, double dt)
{
    PigBody::tick(time, dt);
    Pig* pig = LevelAccess::hero();
    if (pig == nullptr || !LevelAccess::isActing()) {
        return;
    }
    if (pig->isHome() != bHome) {
        bHome = pig->isHome();
        bHidden = bHome;
        if (bHome) {
            LevelAccess::playSound(u"pigletJump");
        }
    }
    if (bHome || pig->isFainted()) {
        return;
    }
    const V3 target = pig->pathAt(FOLLOW_DELAY * static_cast<double>(type - 1));
    if (target.x != position.x) {
        scale.x = std::fabs(scale.x) * (target.x < position.x ? -1.0f : 1.0f);
    }
    position = target;
    updateVisuals();
}
