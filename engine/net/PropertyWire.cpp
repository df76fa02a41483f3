// The wire forms of the property kinds: integers and enumerations as variable-length integers, words,
// colours and floats as raw 32 bits, doubles as raw 64 bits, booleans as single bits, strings as UTF-8,
// object pointers and references as UIDs, resource pointers as names, arrays as a count and then their
// elements. Groups (containers, sub-objects) pass the packet to their children in order.
#include <algorithm>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
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
#include "engine/core/SecureInt.h"
#include "engine/core/UColor.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"

namespace {
// Arrays longer than this are not taken from a stream.
constexpr uint32_t MAX_ARRAY_COUNT = 1u << 16;

// A pointer read from a stream must name an object of the class the member allows.
void checkTarget(const Packet& packet, const Property& property, const KivBase* object)
{
    if (!PropertyPointer::accepts(object, property.requiredClass)) {
        packet.decodeFailed(formatString(u"Object %d does not fit '%s' (%s required).", object->objectUID,
                                         property.name, property.requiredClass->getName()),
                            PropertyPointer::misfitReason(property.name, *object), __PRETTY_FUNCTION__);
    }
}
} // namespace

void PropertyBool::serialize(Packet& packet) { packet.doBool(*value()); }

void PropertyInt::serialize(Packet& packet) { packet.doVarInt(*value()); }

void PropertySecureInt::serialize(Packet& packet)
{
    int32_t v = packet.bWriting ? value()->get() : 0;
    packet.doVarInt(v);
    if (!packet.bWriting) {
        value()->set(v);
    }
}

void PropertyDWORD::serialize(Packet& packet) { packet.doDWORD(*value()); }

void PropertyFloat::serialize(Packet& packet) { packet.doFloat(*value()); }

void PropertyDouble::serialize(Packet& packet) { packet.doDouble(*value()); }

void PropertyUColor::serialize(Packet& packet) { packet.doDWORD(value()->argb); }

void PropertyUString::serialize(Packet& packet) { packet.doUString(*value(), maxLength, name); }

void PropertyPointer::serialize(Packet& packet)
{
    KivBase* object = get();
    if (isResource()) {
        packet.doResourcePointer2(object);
    } else {
        packet.doPointer2(object);
    }
    if (!packet.bWriting) {
        checkTarget(packet, *this, object);
        assign(object);
    }
}

void PropertyReferenceBase::serialize(Packet& packet)
{
    KivBase* object = get();
    packet.doPointer2(object);
    if (!packet.bWriting) {
        checkTarget(packet, *this, object);
        assign(object);
    }
}

void PropertyEnumBase::serialize(Packet& packet)
{
    int32_t v = packet.bWriting ? getValue() : 0;
    packet.doVarInt(v);
    if (!packet.bWriting) {
        if (v < 0 || v >= getCount()) {
            packet.decodeFailed(formatString(u"Value %d of '%s' is out of range.", v, name), __PRETTY_FUNCTION__);
        }
        setValue(v);
    }
}

void PropertyArrayBase::serialize(Packet& packet)
{
    uint32_t count = static_cast<uint32_t>(getCount());
    packet.doVarUInt(count);
    if (!packet.bWriting) {
        // Every element takes at least one bit of the stream.
        if (count > MAX_ARRAY_COUNT || count > packet.remainingToRead() * 8 + 8) {
            packet.decodeFailed(formatString(u"Array '%s' of %u elements is too long for its stream.", name, count),
                                __PRETTY_FUNCTION__);
        }
        setCount(static_cast<int32_t>(count));
    }
    for (Property* element = getFirstProperty(); element != nullptr; element = element->getNextProperty()) {
        element->serialize(packet);
    }
}

void KivBase::netSerializeParent(Packet& packet)
{
    KivBase* parent = getParent();
    if (packet.isLocalCopy()) {
        if (packet.bWriting) {
            packet.doPointer2(parent);
            return;
        }
        KivBase* newParent = nullptr;
        packet.doPointer2(newParent);
        placeBelow(packet, newParent);
        return;
    }
    if (packet.bWriting) {
        uint32_t uid = streamParentUID();
        packet.doVarUInt(uid);
        return;
    }
    uint32_t uid = 0;
    packet.doVarUInt(uid);
    if (uid == 0) {
        return;
    }
    const NetRole* role = THEROLE;
    KivBase* newParent =
        role != nullptr && uid <= 0x7FFFFFFFu ? role->findObjectOrNull(static_cast<int32_t>(uid)) : nullptr;
    if (newParent == nullptr) {
        packet.decodeFailed(formatString(u"Could not find object ID %d", static_cast<int32_t>(uid)), __PRETTY_FUNCTION__);
    }
    placeBelow(packet, newParent);
}

uint32_t KivBase::streamParentUID() const
{
    // A parent that is not registered (the role, a plain holder) is not part of the stream.
    const KivBase* parent = getParent();
    if (parent == nullptr || parent->objectUID <= 0) {
        return 0;
    }
    const NetRole* role = THEROLE;
    if ((role != nullptr && role->findObjectOrNull(parent->objectUID) == parent) ||
        NetRole::findRoleOf(*parent) != nullptr) {
        return static_cast<uint32_t>(parent->objectUID);
    }
    return 0;
}

namespace {
// The levels of the tree below `top` (0 for none), counted no further than `limit` + 1. Walks the links,
// without recursion; `visited` counts the objects it reached.
int levelsBelow(const KivBase& top, int limit, uint64_t& visited)
{
    int deepest = 0;
    int depth = 0;
    const KivBase* o = &top;
    for (;;) {
        ++visited;
        if (const KivBase* child = o->getFirstChild(); child != nullptr && depth <= limit) {
            o = child;
            deepest = std::max(deepest, ++depth);
            continue;
        }
        while (o != &top && o->getNext() == nullptr) {
            o = o->getParent();
            --depth;
        }
        if (o == &top) {
            return deepest;
        }
        o = o->getNext();
    }
}
} // namespace

void KivBase::checkPlacement(const Packet& packet, const KivBase* newParent) const
{
    // One walk up from the new parent finds a loop and the level below the top of the tree (the role) that
    // the object would lie at.
    int level = 0;
    for (const KivBase* p = newParent; p != nullptr; p = p->getParent()) {
        if (p == this) {
            packet.decodeFailed(formatString(u"Object %d cannot be placed below itself.", objectUID),
                                __PRETTY_FUNCTION__);
        }
        if (++level > NetRole::MAX_TREE_DEPTH) {
            break;
        }
    }
    uint64_t visited = static_cast<uint64_t>(level);
    const int deepest = level > NetRole::MAX_TREE_DEPTH || getFirstChild() == nullptr
                            ? level
                            : level + levelsBelow(*this, NetRole::MAX_TREE_DEPTH - level, visited);
    const bool tooDeep = deepest > NetRole::MAX_TREE_DEPTH;
    if (NetRole* role = THEROLE) {
        role->placementObjectsVisited += visited;
    }
    if (tooDeep) {
        packet.decodeFailed(formatString(u"Object %d would lie deeper than %d levels.", objectUID,
                                         NetRole::MAX_TREE_DEPTH),
                            __PRETTY_FUNCTION__);
    }
}

void KivBase::placeBelow(const Packet& packet, KivBase* newParent)
{
    if (newParent == nullptr) {
        return;
    }
    // A childless object placed below a parent that has children already lies no deeper than they do and
    // closes no loop; that is most placements of a stream, which skip the walk up the tree.
    if (newParent != getParent() && (getFirstChild() != nullptr || newParent->getFirstChild() == nullptr)) {
        checkPlacement(packet, newParent);
    }
    if (KivBase* parent = getParent()) {
        parent->removeChild(this);
    }
    newParent->addChild(this);
}
