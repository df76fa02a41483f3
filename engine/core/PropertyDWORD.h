#pragma once
// A 32-bit unsigned word, text form "%08x" (parsed as hexadecimal).
#include <cstdint>

#include "engine/core/Property.h"

class PropertyDWORD : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyDWORD(UStringView name, uint32_t flags, uint32_t* value);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;

    uint32_t* value() const { return static_cast<uint32_t*>(address); }
};
