// Wire forms of the value property kinds. They read or write their value through Packet, which lives in
// the network layer; these placeholders give way to the network layer's definitions (remove this file
// when adding them). Until then asking for a wire form is fatal.
#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertySecureInt.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"

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
void PropertySecureInt::serialize(Packet&) { KIV_FATAL(u"No wire form for PropertySecureInt."); }
