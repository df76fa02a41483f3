#pragma once
// A group of properties. Its text form is "..." with children and "(empty)" without; it takes no text.
#include "engine/core/Property.h"

class PropertyContainer : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyContainer(UStringView name, uint32_t flags, void* address = nullptr);

    const RuntimeClass* getClass() const override { return &classRecord; }
    // The children's wire forms, in order.
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;
};
