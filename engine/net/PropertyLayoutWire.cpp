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
                            __PRETTY_FUNCTION__);
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

// UTF-8 bytes of a text as the packet writes it (1, 2 or 3 per UTF-16 unit).
std::size_t utf8Length(const UString& text)
{
    std::size_t n = 0;
    for (char16_t u : text) {
        n += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
    }
    return n;
}
} // namespace

namespace {
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
        uint8_t* out = start + 1;
        for (char16_t u : text) {
            if (u < 0x80) {
                *out++ = static_cast<uint8_t>(u);
            } else if (u < 0x800) {
                *out++ = static_cast<uint8_t>(0xC0 | (u >> 6));
                *out++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
            } else {
                *out++ = static_cast<uint8_t>(0xE0 | (u >> 12));
                *out++ = static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F));
                *out++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
            }
        }
        *start = static_cast<uint8_t>(out - start - 1);
        c.skip(static_cast<std::size_t>(out - start));
        return true;
    }
    const std::size_t length = utf8Length(text);
    if (length >= Packet::BUFFERSIZE) {
        return false;
    }
    c.ensure(5 + length);
    c.putVarUInt(static_cast<uint32_t>(length));
    uint8_t* out = c.at();
    for (char16_t u : text) {
        if (u < 0x80) {
            *out++ = static_cast<uint8_t>(u);
        } else if (u < 0x800) {
            *out++ = static_cast<uint8_t>(0xC0 | (u >> 6));
            *out++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
        } else {
            *out++ = static_cast<uint8_t>(0xE0 | (u >> 12));
            *out++ = static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F));
            *out++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
        }
    }
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
    // Plain ASCII is copied as it comes; anything else is decoded as the packet decodes it.
    text.resize(length);
    char16_t* out = text.data();
    bool plain = true;
    for (uint32_t k = 0; k < length; ++k) {
        const uint8_t b = bytes[k];
        plain &= static_cast<uint8_t>(b - 1) < 0x7F;
        out[k] = b;
    }
    if (!plain) {
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
    void write(const PropertyLayout& layout, char* base);
    void read(const PropertyLayout& layout, char* base);

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

// The loops walk the entries through pointers and keep what they need of each entry in locals: the
// members they store to may, for the compiler, lie anywhere.
__attribute__((optimize("no-jump-tables"))) void PropertyLayout::Wire::write(const PropertyLayout& layout, char* base)
{
    PacketCursor c(packet);
    const bool localCopy = packet.isLocalCopy();
    const Entry* e = layout.entries.data();
    const Entry* const end = e + layout.entries.size();
    bool check = true;
    for (; e != end; ++e) {
        const Entry::Kind kind = e->kind;
        char* const member = base + e->offset;
        if (check) {
            c.ensure(e->ahead);
            check = false;
        }
        // The commonest kinds before the others.
        if (kind == Entry::INT) {
            int32_t v = 0;
            std::memcpy(&v, member, 4);
            c.putVarInt(v);
            continue;
        }
        if (kind == Entry::RAW) {
            const int32_t bytes = e->limit;
            copyRaw(c.at(), member, bytes);
            c.skip(static_cast<std::size_t>(bytes));
            continue;
        }
        switch (kind) {
        case Entry::INT:
        case Entry::RAW:
            break; // taken above
        case Entry::BOOL:
            c.putBit(*reinterpret_cast<const bool*>(member));
            break;
        case Entry::SECUREINT:
            c.putVarInt(reinterpret_cast<SecureInt*>(member)->get());
            break;
        case Entry::DWORD:
        case Entry::FLOAT:
            c.putRaw(member, 4);
            break;
        case Entry::DOUBLE:
            c.putRaw(member, 8);
            break;
        case Entry::ENUM: {
            int32_t v = 0;
            if (e->enumSize == 4) {
                std::memcpy(&v, member, 4);
            } else {
                v = e->getEnum(member);
            }
            c.putVarInt(v);
            break;
        }
        case Entry::USTRING:
            if (!writeString(c, *e, *reinterpret_cast<const UString*>(member))) {
                c.store();
                slow(*e, member);
                c.load();
            }
            check = true;
            break;
        case Entry::POINTER:
        case Entry::REFERENCE: {
            KivBase* target = getObject(*e, member);
            if (localCopy) {
                const uint64_t raw = reinterpret_cast<uintptr_t>(target);
                c.putRaw(&raw, sizeof(raw));
            } else if (target == nullptr || target->objectUID >= 0) {
                c.putVarUInt(target != nullptr ? static_cast<uint32_t>(target->objectUID) : 0u);
            } else {
                c.store();
                slow(*e, member); // reports the bad UID
                c.load();
            }
            break;
        }
        case Entry::RESOURCE:
        case Entry::ARRAY:
        case Entry::GENERAL:
            c.store();
            slow(*e, member);
            c.load();
            check = true;
            break;
        }
    }
    c.store();
}

__attribute__((optimize("no-jump-tables"))) void PropertyLayout::Wire::read(const PropertyLayout& layout, char* base)
{
    PacketCursor c(packet);
    const bool localCopy = packet.isLocalCopy();
    const Entry* e = layout.entries.data();
    const Entry* const end = e + layout.entries.size();
    bool check = true;
    for (; e != end; ++e) {
        const Entry::Kind kind = e->kind;
        char* const member = base + e->offset;
        if (check) {
            if (c.remaining() < e->ahead) {
                break; // too near the end to read unchecked: the rest goes through the packet
            }
            check = false;
        }
        // The commonest kinds before the others.
        if (kind == Entry::RAW) {
            const int32_t bytes = e->limit;
            copyRaw(reinterpret_cast<uint8_t*>(member), reinterpret_cast<const char*>(c.at()), bytes);
            c.skip(static_cast<std::size_t>(bytes));
            continue;
        }
        if (kind == Entry::INT) {
            const PacketCursor::Mark start = c.mark();
            int32_t v = 0;
            if (c.getVarInt(v)) {
                std::memcpy(member, &v, 4);
                continue;
            }
            c.restore(start);
            c.store();
            slow(*e, member);
            c.load();
            check = true;
            continue;
        }
        // Only the kinds that can meet something out of the ordinary keep where they began.
        PacketCursor::Mark mark{};
        bool ok = true;
        switch (kind) {
        case Entry::INT:
        case Entry::RAW:
            break; // taken above
        case Entry::BOOL:
            *reinterpret_cast<bool*>(member) = c.getBit();
            break;
        case Entry::SECUREINT: {
            mark = c.mark();
            int32_t v = 0;
            ok = c.getVarInt(v);
            if (ok) {
                reinterpret_cast<SecureInt*>(member)->set(v);
            }
            break;
        }
        case Entry::DWORD:
        case Entry::FLOAT:
            c.getRaw(member, 4);
            break;
        case Entry::DOUBLE:
            c.getRaw(member, 8);
            break;
        case Entry::ENUM: {
            mark = c.mark();
            int32_t v = 0;
            ok = c.getVarInt(v) && v >= 0 && v < e->limit;
            if (ok) {
                if (e->enumSize == 4) {
                    std::memcpy(member, &v, 4);
                } else {
                    e->setEnum(member, v);
                }
            }
            break;
        }
        case Entry::USTRING:
            mark = c.mark();
            ok = readString(c, *e, *reinterpret_cast<UString*>(member));
            check = true;
            break;
        case Entry::POINTER:
        case Entry::REFERENCE: {
            mark = c.mark();
            KivBase* target = nullptr;
            ok = readObject(c, localCopy, *e, target);
            if (ok) {
                setObject(*e, member, target);
            }
            break;
        }
        case Entry::RESOURCE:
        case Entry::ARRAY:
        case Entry::GENERAL:
            mark = c.mark();
            ok = false;
            break;
        }
        if (!ok) {
            c.restore(mark);
            c.store();
            slow(*e, member);
            c.load();
            check = true;
        }
    }
    c.store();
    for (; e != end; ++e) {
        slow(*e, base + e->offset);
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
        packet.doUString(*reinterpret_cast<UString*>(member), e.limit);
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

void PropertyLayout::serialize(KivBase& object, Packet& packet) const
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
        wire.write(*this, reinterpret_cast<char*>(&object));
    } else {
        wire.read(*this, reinterpret_cast<char*>(&object));
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
