#pragma once
// A float, text form "%.9lf".
#include <cstdint>

#include "engine/core/Property.h"

class PropertyFloat : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyFloat(UStringView name, uint32_t flags, float* value);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;

    float* value() const { return static_cast<float*>(address); }
};
