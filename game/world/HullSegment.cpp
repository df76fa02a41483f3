#include "game/world/HullSegment.h"

#include "engine/core/PropertyPointer.h"
#include "game/world/HullVertex.h"
#include "game/world/WorldPointer.h"

const RuntimeClass HullSegment::classRecord(RuntimeClass::hashName(u"HullSegment"), &KivBase::classRecord,
                                            &RuntimeClass::factoryOf<HullSegment>);

void HullSegment::addPropertiesTo(Property& list)
{
    KivBase::addPropertiesTo(list);
    list.appendChild(worldPointer(u"pFrom", 0, &pFrom));
    list.appendChild(worldPointer(u"pTo", 0, &pTo));
}
