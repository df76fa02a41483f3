#include "engine/net/RootObject.h"

#include "engine/core/PropertyDWORD.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"

const RuntimeClass RootObject::classRecord(u"RootObject", &KivBase::classRecord, &RuntimeClass::factoryOf<RootObject>);

void RootObject::addPropertiesTo(Property& list)
{
    KivBase::addPropertiesTo(list);
    NetRole* role = THEROLE;
    // The counter is a signed word of the role, carried as its 32 bits.
    uint32_t* counter = role != nullptr ? reinterpret_cast<uint32_t*>(&role->nextObjectUID) : &detachedNextObjectUID;
    // Bound to whichever role is current when the list is made: never part of the class's layout.
    list.appendChild(new PropertyDWORD(u"THEROLE->nextObjectUID", Property::FLAG_PER_OBJECT, counter));
}
