#pragma once
// A 32-bit signed integer, text form "%d".
#include <cstdint>

#include "engine/core/Property.h"

class PropertyInt : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyInt(UStringView name, uint32_t flags, int32_t* value);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;

    int32_t* value() const { return static_cast<int32_t*>(address); }
};
