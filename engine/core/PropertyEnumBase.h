#pragma once
// An enumeration member with values 0 to count - 1, text form "%d". PropertyEnum binds it to a member of
// any enumeration or integer type; it shares the PropertyEnumBase class record.
#include <cstddef>
#include <cstdint>
#include <typeinfo>

#include "engine/core/Property.h"

class PropertyEnumBase : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyEnumBase(UStringView name, uint32_t flags, void* address, int32_t count);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    // The empty text sets 0; a number outside 0 to count - 1 is refused.
    bool fromString(UStringView text) override;

    virtual int32_t getValue() const = 0;
    virtual void setValue(int32_t value) = 0;
    int32_t getCount() const { return count; }

    // For the class layouts: the exact property type, the member's size and its accessors by address.
    struct MemberAccess {
        const std::type_info* type = nullptr;
        std::size_t size = 0;
        int32_t (*get)(const void* member) = nullptr;
        void (*set)(void* member, int32_t value) = nullptr;
    };
    MemberAccess access;

private:
    int32_t count;
};

template <class E>
class PropertyEnum : public PropertyEnumBase {
public:
    PropertyEnum(UStringView name, uint32_t flags, E* member, int32_t count)
        : PropertyEnumBase(name, flags, member, count)
    {
        access = {&typeid(PropertyEnum<E>), sizeof(E), &getAt, &setAt};
    }
    int32_t getValue() const override { return getAt(address); }
    void setValue(int32_t value) override { setAt(address, value); }

private:
    static int32_t getAt(const void* member) { return static_cast<int32_t>(*static_cast<const E*>(member)); }
    static void setAt(void* member, int32_t value) { *static_cast<E*>(member) = static_cast<E>(value); }
};
