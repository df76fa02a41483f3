#include "game/world/HullVertex.h"

#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "game/world/EditorObject.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass HullVertex::classRecord(RuntimeClass::hashName(u"HullVertex"), &KivBase::classRecord,
                                           &RuntimeClass::factoryOf<HullVertex>);

void HullVertex::addPropertiesTo(Property& list)
{
    KivBase::addPropertiesTo(list);
    auto* group = new PropertyContainer(u"point", 0);
    group->appendChild(new PropertyFloat(u"x", 0, &point.x));
    group->appendChild(new PropertyFloat(u"y", 0, &point.y));
    group->appendChild(new PropertyFloat(u"z", 0, &point.z));
    list.appendChild(group);
}

void HullVertex::netPostReplicate()
{
    KivBase::netPostReplicate();
    checkLoadedValues();
}

bool HullVertex::onEvent(KivEvent& event)
{
    if (event.type == EditorObject::EVENT_EDITED) {
        checkLoadedValues();
    }
    return KivBase::onEvent(event);
}

void HullVertex::checkValues(const LevelDataCheck::Run& run)
{
    LevelDataCheck check(*this, run);
    check.coordinate(u"point.x", point.x);
    check.coordinate(u"point.y", point.y);
    check.coordinate(u"point.z", point.z);
}
