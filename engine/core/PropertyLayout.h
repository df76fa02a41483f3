#pragma once
// The serialisation layout of a class: the properties its addPropertiesTo lists, taken once from a
// prototype made by the class's factory and kept as plain entries (kind, offset of the member from the
// object's start, flags, name, element layouts for arrays). Groups and sub-objects held inside the object
// add their members in place. Writing and reading an object then walks the entries straight into and out
// of the packet's buffer, building no Property objects; the bytes are those of the properties.
//
// A top-level property whose values lie outside the object (a member bound to the network role, a
// sub-object held through a pointer), that is flagged FLAG_PER_OBJECT, or whose kind the layout does not
// know, keeps the general path: the object's own property list is built and that property serialised.
// Objects whose class has no factoryOf factory, or whose getClass answers a base's record, take the
// general path altogether.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <typeinfo>
#include <vector>

#include "engine/core/UString.h"

class KivBase;
class Packet;
class Property;
class PropertyArrayBase;
class PropertyContainer;
class RuntimeClass;

class PropertyLayout {
public:
    struct Entry {
        enum Kind : uint8_t {
            BOOL,      // bool: one bit
            INT,       // int32_t: variable-length integer
            SECUREINT, // SecureInt: variable-length integer
            DWORD,     // uint32_t (also a colour's word): raw 32 bits
            FLOAT,     // float: raw 32 bits
            DOUBLE,    // double: raw 64 bits
            USTRING,   // UString: UTF-8 with its byte length; `limit` is the maximum length
            POINTER,   // object pointer: UID (raw pointer in local copies)
            RESOURCE,  // resource pointer: resource name
            REFERENCE, // Reference: UID (raw pointer in local copies)
            ENUM,      // enumeration through `getEnum`/`setEnum`: variable-length integer; `limit` is the count
            ARRAY,     // std::vector through `array`: count, then each element through `element`
            GENERAL,   // the top-level property number `limit` of the object's own list
            RAW,       // `limit` bytes of members that lie next to each other (words, floats, doubles)
        };
        Kind kind = GENERAL;
        uint32_t offset = 0;
        uint32_t flags = 0;
        int32_t limit = 0;
        // Most bytes the fixed part of the entries from this one to the next variable-length one takes
        // (string and array contents excluded): a reader that has these bytes checks nothing in between.
        uint32_t ahead = 0;
        UString name;
        const RuntimeClass* requiredClass = nullptr;
        KivBase* (*getPointer)(void* member) = nullptr;
        void (*setPointer)(void* member, KivBase* object) = nullptr;
        int32_t (*getEnum)(const void* member) = nullptr;
        void (*setEnum)(void* member, int32_t value) = nullptr;
        // An enumeration's member size: one of four bytes is read and written as the int32_t it holds.
        uint32_t enumSize = 0;
        std::unique_ptr<PropertyArrayBase> array; // the prototype's array property, for its operations
        std::unique_ptr<PropertyLayout> element;
    };

    // The entries as the read and write loops take them: one code each, with the member's offset, and a
    // CHECK where a run of fixed-size entries starts, for the room that run takes.
    struct Step {
        enum Code : uint8_t {
            CHECK,     // `arg` bytes ahead (the `ahead` of entry `entry`)
            INT,
            ENUM4,     // four-byte enumeration of `arg` values
            RAW,       // `arg` bytes as they lie
            RAW4,
            RAW8,
            RAW16,
            BOOL,
            SECUREINT,
            ENUM,      // enumeration through its accessors
            USTRING,
            POINTER,
            REFERENCE,
            PACKET,    // through the packet's own operations
        };
        Code code = PACKET;
        uint32_t offset = 0;
        uint32_t arg = 0;
        uint32_t entry = 0; // index of the entry
    };

    PropertyLayout();
    ~PropertyLayout();
    PropertyLayout(const PropertyLayout&) = delete;
    PropertyLayout& operator=(const PropertyLayout&) = delete;

    // The layout of the object's class, built on first use; null when the object takes the general path.
    static const PropertyLayout* of(const KivBase& object);
    // The layout of the properties listed under `list` for an object of `size` bytes at `base`.
    static std::unique_ptr<PropertyLayout> build(Property& list, const void* base, std::size_t size);
    // The layout of one array element's property, or null when it reaches outside the element.
    static std::unique_ptr<PropertyLayout> buildElement(Property& element, const void* base, std::size_t size);

    // The object's data (what its property list serialises), in the packet's direction, after the
    // parent's UID as KivBase::netSerializeParent has it when `withParent` is set. `object` is the object
    // this layout belongs to. Defined with the wire forms.
    void serialize(KivBase& object, Packet& packet, bool withParent = false) const;
    // True when writing the object through the layout gives the bytes of writing its property list.
    static bool matchesPropertyList(KivBase& object, uint32_t commandFlags);

    const std::vector<Entry>& getEntries() const { return entries; }
    const std::vector<Step>& getSteps() const { return steps; }
    bool hasGeneralEntries() const { return bGeneral; }

private:
    class Wire;
    friend class Wire;

    bool addProperty(Property& property, const char* base, std::size_t size);
    void finish();

    std::vector<Entry> entries;
    std::vector<Step> steps;
    bool bGeneral = false;
    const std::type_info* type = nullptr; // the prototype's type: objects of another type use the general path
};
