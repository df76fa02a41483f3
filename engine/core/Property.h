#pragma once
// Base of the reflection properties: a named, flagged description of one value of an object. Properties
// form trees (a property's children are properties), serve saving, copying, replication and the editor.
// Each kind has a wire form through Packet, a text form and parsing; the empty text clears the value.
#include <cstdint>

#include "engine/core/KivBase.h"
#include "engine/core/UString.h"

class Packet;

class Property : public KivBase {
public:
    static const RuntimeClass classRecord;

    // Flags read by the editor.
    static constexpr uint32_t FLAG_READONLY = 0x8;     // not editable
    static constexpr uint32_t FLAG_CONSTRUCTOR = 0x10; // constructor group
    static constexpr uint32_t FLAG_RESOURCE = 0x20;    // a pointer to a resource, named by its resource name
    static constexpr uint32_t FLAG_HIDDEN = 0x80;      // hidden from the editor
    // Bound outside its object, or listed differently from one object to the next: the class's layout
    // leaves the top-level property holding it to the object's own property list.
    static constexpr uint32_t FLAG_PER_OBJECT = 0x10000;

    Property(UStringView name, uint32_t flags, void* address = nullptr);

    const RuntimeClass* getClass() const override { return &classRecord; }

    // The wire form (reads or writes according to the packet's direction).
    virtual void serialize(Packet& packet) = 0;
    virtual UString toString() const = 0;
    // Parses `text` into the value; the empty text clears it. Text that does not parse leaves the value
    // unchanged and answers false.
    virtual bool fromString(UStringView text) = 0;
    // Logs "name = text" for this property and, indented, its children.
    virtual void dump(int depth = 0) const;

    // Destroys every child property whose flags share a bit with `mask`, then recurses into the rest.
    void removeFlaggedProperties(uint32_t mask);

    Property* getFirstProperty() const { return static_cast<Property*>(getFirstChild()); }
    Property* getNextProperty() const { return static_cast<Property*>(getNext()); }
    // The direct child named `childName`, or null.
    Property* findProperty(UStringView childName) const;

    uint32_t flags;
    UString name;
    void* address;
    // Pointer kinds: the class a target must be or derive from.
    const RuntimeClass* requiredClass = nullptr;
};

class PropertyDWORD;
class PropertyFloat;
class PropertyInt;
class PropertyUString;

// Builders for property lists (remote-call arguments among them): each appends one property for `member`.
PropertyDWORD* addPropertyDWORD(Property& list, UStringView name, uint32_t& member, uint32_t flags = 0);
PropertyFloat* addPropertyFloat(Property& list, UStringView name, float& member, uint32_t flags = 0);
PropertyUString* addPropertyUString(Property& list, UStringView name, UString& member, uint32_t flags = 0);
PropertyInt* addIntProperty(Property& list, UStringView name, int32_t& member, uint32_t flags = 0);
