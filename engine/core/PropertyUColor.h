#pragma once
// A colour (alpha in the top byte, then red, green, blue), text form "%08x".
#include <cstdint>

#include "engine/core/Property.h"
#include "engine/core/UColor.h"

class PropertyUColor : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyUColor(UStringView name, uint32_t flags, UColor* value);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;

    UColor* value() const { return static_cast<UColor*>(address); }
};
