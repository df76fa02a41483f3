// The wire forms of the class layouts: the bytes of the properties' own wire forms (PropertyWire.cpp),
// written and read straight in the packet's buffer. A reader checks the room for a run of fixed-size
// entries once (each entry's `ahead`); whatever is out of the ordinary there (an overlong integer, a value
// out of range, an unknown object, a string that does not fit) is read again from its start through the
// packet's own operations, which report it as they always do (the fatal path, or a dropped peer).
#include <cstring>
#include <memory>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/KivBase.h"
#include "engine/core/PropertyArrayBase.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyLayout.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/Reference.h"
#include "engine/core/SecureInt.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/PacketCursor.h"

namespace {
using Entry = PropertyLayout::Entry;

// As for array properties: longer arrays are not taken from a stream.
constexpr uint32_t MAX_ARRAY_COUNT = 1u << 16;

void checkTarget(const Packet& packet, const Entry& entry, const KivBase* object)
{
    if (!PropertyPointer::accepts(object, entry.requiredClass)) {
        packet.decodeFailed(formatString(u"Object %d does not fit '%s' (%s required).", object->objectUID,
                                         entry.name, entry.requiredClass->getName()),
                            PropertyPointer::misfitReason(entry.name, *object), __PRETTY_FUNCTION__);
    }
}

KivBase* getObject(const Entry& entry, void* member)
{
    return entry.kind == Entry::REFERENCE ? static_cast<Reference*>(member)->get() : entry.getPointer(member);
}

void setObject(const Entry& entry, void* member, KivBase* object)
{
    if (entry.kind == Entry::REFERENCE) {
        static_cast<Reference*>(member)->set(object);
    } else {
        entry.setPointer(member, object);
    }
}

// The string kinds in the cursor's state: false leaves the entry to the packet's own operation (a text
// over its limit or too long for the stream, a short stream).
[[gnu::always_inline]] inline bool writeString(PacketCursor& c, const Entry& entry, const UString& text)
{
    const std::size_t units = text.length();
    if (entry.limit >= 0 && units > static_cast<std::size_t>(entry.limit)) {
        return false;
    }
    if (units < 43) {
        // At most 126 bytes of UTF-8: a one-byte length, written once the text is.
        c.ensure(1 + 3 * units);
        uint8_t* const start = c.at();
        const uint8_t* const end = encodeUtf8(text, start + 1);
        *start = static_cast<uint8_t>(end - start - 1);
        c.skip(static_cast<std::size_t>(end - start));
        return true;
    }
    const std::size_t length = utf8Length(text);
    if (length >= Packet::BUFFERSIZE) {
        return false;
    }
    c.ensure(5 + length);
    c.putVarUInt(static_cast<uint32_t>(length));
    encodeUtf8(text, c.at());
    c.skip(length);
    return true;
}

[[gnu::always_inline]] inline bool readString(PacketCursor& c, const Entry& entry, UString& text)
{
    uint32_t length = 0;
    if (!c.getVarUInt(length) || length >= Packet::BUFFERSIZE || length > c.remaining()) {
        return false;
    }
    const uint8_t* bytes = c.at();
    // Plain ASCII (no zero, no high bit) is widened as it comes; anything else is decoded as the packet
    // decodes it.
    bool plain = true;
    for (uint32_t k = 0; k < length; ++k) {
        plain &= static_cast<uint8_t>(bytes[k] - 1) < 0x7F;
    }
    if (plain) {
        text.assign(bytes, bytes + length);
    } else {
        text = utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes), length));
    }
    c.skip(length);
    return entry.limit < 0 || text.length() <= static_cast<std::size_t>(entry.limit);
}

[[gnu::always_inline]] inline bool readObject(PacketCursor& c, bool localCopy, const Entry& entry, KivBase*& target)
{
    if (localCopy) {
        uint64_t raw = 0;
        c.getRaw(&raw, sizeof(raw));
        target = reinterpret_cast<KivBase*>(static_cast<uintptr_t>(raw));
    } else {
        uint32_t uid = 0;
        if (!c.getVarUInt(uid)) {
            return false;
        }
        if (uid == 0) {
            target = nullptr;
            return true;
        }
        NetRole* role = THEROLE;
        if (role == nullptr || uid > 0x7FFFFFFFu) {
            return false;
        }
        target = role->findObjectOrNull(static_cast<int32_t>(uid));
        if (target == nullptr) {
            return false;
        }
    }
    return target == nullptr || entry.requiredClass == nullptr || target->getClass() == entry.requiredClass ||
           PropertyPointer::accepts(target, entry.requiredClass);
}
} // namespace

class PropertyLayout::Wire {
public:
    Wire(KivBase& object, Packet& packet) : object(object), packet(packet) {}

    // Each works in a cursor of its own, from and to the packet's state.
    void write(const PropertyLayout& layout, char* base, bool withParent = false);
    void read(const PropertyLayout& layout, char* base, bool withParent = false);

private:
    // The entry through the packet's own operations, as its property serialises it.
    void slow(const Entry& entry, char* member);
    void general(const Entry& entry);

    KivBase& object;
    Packet& packet;
    std::unique_ptr<PropertyContainer> list; // the object's own list, made for its first general entry
};

namespace {
// Raw members: the usual lengths at once, others in eight-byte steps and a last word (their lengths are
// whole words).
[[gnu::always_inline]] inline void copyRaw(uint8_t* to, const char* from, int32_t bytes)
{
    if (bytes == 8) {
        std::memcpy(to, from, 8);
        return;
    }
    if (bytes == 16) {
        std::memcpy(to, from, 16);
        return;
    }
    int32_t k = 0;
    for (; k + 8 <= bytes; k += 8) {
        std::memcpy(to + k, from + k, 8);
    }
    if (k < bytes) {
        std::memcpy(to + k, from + k, 4);
    }
}
} // namespace

// The loops walk the steps with the cursor in locals, testing the commonest codes first: a chain of
// tests that repeats object after object is predicted better than one jump through a table.
__attribute__((optimize("no-jump-tables"))) void PropertyLayout::Wire::write(const PropertyLayout& layout,
                                                                              char* base, bool withParent)
{
    using Step = PropertyLayout::Step;
    PacketCursor c(packet);
    const bool localCopy = packet.isLocalCopy();
    if (withParent) {
        if (localCopy) {
            c.store();
            object.netSerializeParent(packet);
            c.load();
        } else {
            c.ensure(VarInt::MAX_BYTES);
            c.putVarUInt(object.streamParentUID());
        }
    }
    const Entry* const entries = layout.entries.data();
    for (const Step *s = layout.steps.data(), *const end = s + layout.steps.size(); s != end; ++s) {
        char* const member = base + s->offset;
        const Step::Code code = s->code;
        if (code == Step::INT || code == Step::ENUM4) {
            int32_t v = 0;
            std::memcpy(&v, member, 4);
            c.putVarInt(v);
            continue;
        }
        if (code == Step::RAW8) {
            c.putRaw(member, 8);
            continue;
        }
        if (code == Step::RAW16) {
            c.putRaw(member, 16);
            continue;
        }
        if (code == Step::RAW4) {
            c.putRaw(member, 4);
            continue;
        }
        if (code == Step::CHECK) {
            c.ensure(s->arg);
            continue;
        }
        if (code == Step::BOOL) {
            c.putBit(*reinterpret_cast<const bool*>(member));
            continue;
        }
        const Entry& e = entries[s->entry];
        switch (code) {
        case Step::RAW:
            copyRaw(c.at(), member, static_cast<int32_t>(s->arg));
            c.skip(s->arg);
            continue;
        case Step::SECUREINT:
            c.putVarInt(reinterpret_cast<SecureInt*>(member)->get());
            continue;
        case Step::ENUM:
            c.putVarInt(e.getEnum(member));
            continue;
        case Step::USTRING:
            if (writeString(c, e, *reinterpret_cast<const UString*>(member))) {
                continue;
            }
            break;
        case Step::POINTER:
        case Step::REFERENCE: {
            KivBase* target = getObject(e, member);
            if (localCopy) {
                const uint64_t raw = reinterpret_cast<uintptr_t>(target);
                c.putRaw(&raw, sizeof(raw));
                continue;
            }
            if (target == nullptr) {
                c.putVarUInt(0);
                continue;
            }
            if (target->objectUID >= 0) {
                c.putVarUInt(static_cast<uint32_t>(target->objectUID));
                continue;
            }
            break; // the packet reports the bad UID
        }
        default:
            break; // through the packet
        }
        c.store();
        slow(e, member);
        c.load();
    }
    c.store();
}

__attribute__((optimize("no-jump-tables"))) void PropertyLayout::Wire::read(const PropertyLayout& layout,
                                                                             char* base, bool withParent)
{
    using Step = PropertyLayout::Step;
    PacketCursor c(packet);
    const bool localCopy = packet.isLocalCopy();
    if (withParent) {
        // A registered parent found at once; anything else (a local copy's pointer, an unknown UID, the
        // end of the stream) the packet's way.
        KivBase* parent = nullptr;
        uint32_t uid = 0;
        const PacketCursor::Mark start = c.mark();
        if (!localCopy && c.remaining() >= VarInt::MAX_BYTES && c.getVarUInt(uid) &&
            (uid == 0 || (THEROLE != nullptr && uid <= 0x7FFFFFFFu &&
                          (parent = THEROLE->findObjectOrNull(static_cast<int32_t>(uid))) != nullptr))) {
            if (parent != nullptr) {
                c.store();
                object.placeBelow(packet, parent);
                c.load();
            }
        } else {
            c.restore(start);
            c.store();
            object.netSerializeParent(packet);
            c.load();
        }
    }
    const Entry* const entries = layout.entries.data();
    const std::size_t entryCount = layout.entries.size();
    std::size_t rest = entryCount; // the first entry left to the packet's own operations
    for (const Step *s = layout.steps.data(), *const end = s + layout.steps.size(); s != end; ++s) {
        char* const member = base + s->offset;
        const Step::Code code = s->code;
        if (code == Step::INT) {
            const uint8_t first = *c.at();
            if (first < 0x80) {
                // Six bits of magnitude and the sign.
                const int32_t magnitude = first & 0x3F;
                const int32_t v = (first & 0x40) != 0 ? -magnitude : magnitude;
                std::memcpy(member, &v, 4);
                c.skip(1);
                continue;
            }
            // Thirteen bits in two bytes (the run's room covers the longest form).
            if (const uint8_t second = c.at()[1]; second < 0x80) {
                const int32_t magnitude = (first & 0x3F) | (second << 6);
                const int32_t v = (first & 0x40) != 0 ? -magnitude : magnitude;
                std::memcpy(member, &v, 4);
                c.skip(2);
                continue;
            }
        } else if (code == Step::RAW8) {
            c.getRaw(member, 8);
            continue;
        } else if (code == Step::RAW16) {
            c.getRaw(member, 16);
            continue;
        } else if (code == Step::RAW4) {
            c.getRaw(member, 4);
            continue;
        } else if (code == Step::CHECK) {
            if (c.remaining() < s->arg) {
                rest = s->entry; // too near the end to read unchecked
                break;
            }
            continue;
        } else if (code == Step::BOOL) {
            *reinterpret_cast<bool*>(member) = c.getBit();
            continue;
        }
        // The rest, and what the shortcuts above leave: only these can meet something out of the ordinary,
        // and they keep where they began.
        const Entry& e = entries[s->entry];
        const PacketCursor::Mark mark = c.mark();
        switch (code) {
        case Step::INT: {
            int32_t v = 0;
            if (c.getVarInt(v)) {
                std::memcpy(member, &v, 4);
                continue;
            }
            break;
        }
        case Step::ENUM4: {
            int32_t v = 0;
            if (c.getVarInt(v) && static_cast<uint32_t>(v) < s->arg) {
                std::memcpy(member, &v, 4);
                continue;
            }
            break;
        }
        case Step::RAW:
            copyRaw(reinterpret_cast<uint8_t*>(member), reinterpret_cast<const char*>(c.at()),
                    static_cast<int32_t>(s->arg));
            c.skip(s->arg);
            continue;
        case Step::SECUREINT: {
            int32_t v = 0;
            if (c.getVarInt(v)) {
                reinterpret_cast<SecureInt*>(member)->set(v);
                continue;
            }
            break;
        }
        case Step::ENUM: {
            int32_t v = 0;
            if (c.getVarInt(v) && static_cast<uint32_t>(v) < s->arg) {
                e.setEnum(member, v);
                continue;
            }
            break;
        }
        case Step::USTRING:
            if (readString(c, e, *reinterpret_cast<UString*>(member))) {
                continue;
            }
            break;
        case Step::POINTER:
        case Step::REFERENCE: {
            KivBase* target = nullptr;
            if (readObject(c, localCopy, e, target)) {
                setObject(e, member, target);
                continue;
            }
            break;
        }
        default:
            break; // through the packet
        }
        // Out of the ordinary, or a kind the packet reads: the entry again from its start, the packet's way,
        // and the room for the rest of its run made sure of again.
        c.restore(mark);
        c.store();
        slow(e, member);
        c.load();
        const std::size_t next = s->entry + 1;
        if (next < entryCount && s + 1 != end && s[1].code != Step::CHECK && c.remaining() < entries[next].ahead) {
            rest = next;
            break;
        }
    }
    c.store();
    for (std::size_t i = rest; i < entryCount; ++i) {
        slow(entries[i], base + entries[i].offset);
    }
}

void PropertyLayout::Wire::slow(const Entry& e, char* member)
{
    switch (e.kind) {
    case Entry::BOOL:
        packet.doBool(*reinterpret_cast<bool*>(member));
        break;
    case Entry::INT:
        packet.doVarInt(*reinterpret_cast<int32_t*>(member));
        break;
    case Entry::SECUREINT: {
        auto* value = reinterpret_cast<SecureInt*>(member);
        int32_t v = packet.bWriting ? value->get() : 0;
        packet.doVarInt(v);
        if (!packet.bWriting) {
            value->set(v);
        }
        break;
    }
    case Entry::DWORD:
        packet.doDWORD(*reinterpret_cast<uint32_t*>(member));
        break;
    case Entry::FLOAT:
        packet.doFloat(*reinterpret_cast<float*>(member));
        break;
    case Entry::DOUBLE:
        packet.doDouble(*reinterpret_cast<double*>(member));
        break;
    case Entry::USTRING:
        packet.doUString(*reinterpret_cast<UString*>(member), e.limit, e.name);
        break;
    case Entry::POINTER:
    case Entry::RESOURCE:
    case Entry::REFERENCE: {
        KivBase* target = getObject(e, member);
        if (e.kind == Entry::RESOURCE) {
            packet.doResourcePointer2(target);
        } else {
            packet.doPointer2(target);
        }
        if (!packet.bWriting) {
            checkTarget(packet, e, target);
            setObject(e, member, target);
        }
        break;
    }
    case Entry::ENUM: {
        int32_t v = packet.bWriting ? e.getEnum(member) : 0;
        packet.doVarInt(v);
        if (!packet.bWriting) {
            if (v < 0 || v >= e.limit) {
                packet.decodeFailed(formatString(u"Value %d of '%s' is out of range.", v, e.name),
                                    __PRETTY_FUNCTION__);
            }
            e.setEnum(member, v);
        }
        break;
    }
    case Entry::ARRAY: {
        uint32_t count = static_cast<uint32_t>(e.array->countAt(member));
        packet.doVarUInt(count);
        if (!packet.bWriting) {
            if (count > MAX_ARRAY_COUNT || count > packet.remainingToRead() * 8 + 8) {
                packet.decodeFailed(
                    formatString(u"Array '%s' of %u elements is too long for its stream.", e.name, count),
                    __PRETTY_FUNCTION__);
            }
            e.array->resizeAt(member, static_cast<int32_t>(count));
        }
        for (uint32_t k = 0; k < count; ++k) {
            char* element = static_cast<char*>(e.array->elementAt(member, static_cast<int32_t>(k)));
            if (packet.bWriting) {
                write(*e.element, element);
            } else {
                read(*e.element, element);
            }
        }
        break;
    }
    case Entry::GENERAL:
        general(e);
        break;
    case Entry::RAW:
        // Word by word, as the members' own operations go (a double is two words).
        for (int32_t k = 0; k < e.limit; k += 4) {
            uint32_t word = 0;
            std::memcpy(&word, member + k, 4);
            packet.doDWORD(word);
            std::memcpy(member + k, &word, 4);
        }
        break;
    }
}

void PropertyLayout::Wire::general(const Entry& entry)
{
    if (list == nullptr) {
        list.reset(object.getProperties());
    }
    Property* property = list->getFirstProperty();
    for (int32_t k = 0; k < entry.limit && property != nullptr; ++k) {
        property = property->getNextProperty();
    }
    KIV_ASSERT(property != nullptr);
    property->serialize(packet);
}

void PropertyLayout::serialize(KivBase& object, Packet& packet, bool withParent) const
{
#ifndef NDEBUG
    // Checked builds compare every object written with its property list: a class that lists its
    // properties differently from one object to the next must flag them FLAG_PER_OBJECT.
    if (packet.bWriting && !matchesPropertyList(object, packet.commandFlags)) {
        KIV_FATAL(formatString(u"Class '%s' lists its properties differently from its layout.",
                               object.getClass()->getName()));
    }
#endif
    Wire wire(object, packet);
    if (packet.bWriting) {
        wire.write(*this, reinterpret_cast<char*>(&object), withParent);
    } else {
        wire.read(*this, reinterpret_cast<char*>(&object), withParent);
    }
}

bool PropertyLayout::matchesPropertyList(KivBase& object, uint32_t commandFlags)
{
    const PropertyLayout* layout = of(object);
    if (layout == nullptr) {
        return true; // the object writes its property list itself
    }
    Packet fast(commandFlags, 64);
    Wire(object, fast).write(*layout, reinterpret_cast<char*>(&object));
    Packet general(commandFlags, 64);
    const std::unique_ptr<PropertyContainer> properties(object.getProperties());
    properties->serialize(general);
    return fast.size() == general.size() && std::memcmp(fast.data(), general.data(), fast.size()) == 0;
}
