#pragma once
// A Reference member, shown and edited like an object pointer.
#include <cstdint>

#include "engine/core/Property.h"
#include "engine/core/Reference.h"

class PropertyReferenceBase : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyReferenceBase(UStringView name, uint32_t flags, Reference* reference, const RuntimeClass* required);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    // Empty text or "NULL" empties the reference; no other text is taken.
    bool fromString(UStringView text) override;

    Reference* reference() const { return static_cast<Reference*>(address); }
    KivBase* get() const { return reference()->get(); }
    virtual bool assign(KivBase* object);
};
