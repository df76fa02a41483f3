#pragma once
// A double, text form "%.9lf".
#include <cstdint>

#include "engine/core/Property.h"

class PropertyDouble : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyDouble(UStringView name, uint32_t flags, double* value);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;

    double* value() const { return static_cast<double*>(address); }
};
