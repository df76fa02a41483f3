#pragma once
// An object pointer member. The target must be or derive from the required class. Text form: the
// resource name for a resource pointer (FLAG_RESOURCE; names come from the ResourceManager), else the
// address as "%08lx", or "NULL" for none.
#include <cstdint>

#include "engine/core/Property.h"

class PropertyPointer : public Property {
public:
    static const RuntimeClass classRecord;

    template <class T>
    PropertyPointer(UStringView name, uint32_t flags, T** pointer, const RuntimeClass* required)
        : Property(name, flags, pointer), getter(&getAs<T>), setter(&setAs<T>)
    {
        requiredClass = required;
    }

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    // Empty text or "NULL" clears. A resource pointer takes a resource name. An object pointer takes no
    // other text: an address typed by hand is never trusted.
    bool fromString(UStringView text) override;

    KivBase* get() const { return getter(address); }
    // Stores `object` when it is null or of the required class; answers whether it was stored.
    virtual bool assign(KivBase* object);
    bool isResource() const { return (flags & FLAG_RESOURCE) != 0; }
    // The member's accessors by address, for the class layouts.
    KivBase* (*getterFunction() const)(void*) { return getter; }
    void (*setterFunction() const)(void*, KivBase*) { return setter; }

    // The shared text form of the pointer kinds.
    static UString pointerText(const KivBase* object, bool resource);
    // True when `object` may be stored under `required` (null always may).
    static bool accepts(const KivBase* object, const RuntimeClass* required);
    // Why the pointer named `name` cannot hold `object`, for its user: "'pTarget' cannot name object 12
    // (Hull)", "'pSkin' cannot name 'pop' (Sound)". A level read from outside, or a pointer set in the
    // editor, is refused with it.
    static UString misfitReason(UStringView name, const KivBase& object);

private:
    template <class T>
    static KivBase* getAs(void* address)
    {
        return *static_cast<T**>(address);
    }
    template <class T>
    static void setAs(void* address, KivBase* object)
    {
        *static_cast<T**>(address) = static_cast<T*>(object);
    }

    KivBase* (*getter)(void*);
    void (*setter)(void*, KivBase*);
};
