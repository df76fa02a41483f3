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
    list.appendChild(new PropertyDWORD(u"THEROLE->nextObjectUID", 0, counter));
}
