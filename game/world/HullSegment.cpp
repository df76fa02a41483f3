#include "game/world/HullSegment.h"

#include "engine/core/PropertyPointer.h"
#include "game/world/HullVertex.h"

const RuntimeClass HullSegment::classRecord(RuntimeClass::hashName(u"HullSegment"), &KivBase::classRecord,
                                            &RuntimeClass::factoryOf<HullSegment>);

void HullSegment::addPropertiesTo(Property& list)
{
    KivBase::addPropertiesTo(list);
    list.appendChild(new PropertyPointer(u"pFrom", 0, &pFrom, &KivBase::classRecord));
    list.appendChild(new PropertyPointer(u"pTo", 0, &pTo, &KivBase::classRecord));
}
