// Wire forms of the property kinds. The group kinds pass the packet to their children; the value kinds
// read or write their value through Packet, which the network layer supplies: until it does, a value
// kind has no wire form and asking for one is fatal.
#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"

void PropertyContainer::serialize(Packet& packet)
{
    for (Property* p = getFirstProperty(); p != nullptr; p = p->getNextProperty()) {
        p->serialize(packet);
    }
}

void PropertyBool::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyBool."); }
void PropertyInt::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyInt."); }
void PropertyDWORD::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyDWORD."); }
void PropertyFloat::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyFloat."); }
void PropertyDouble::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyDouble."); }
void PropertyUColor::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyUColor."); }
void PropertyUString::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyUString."); }
void PropertyPointer::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyPointer."); }
void PropertyReferenceBase::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyReferenceBase."); }
void PropertyEnumBase::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyEnumBase."); }
void PropertyArrayBase::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertyArrayBase."); }
