#pragma once
// A boolean. Its text form is one glyph of the fonts: U+000E true, U+000D false.
#include <cstdint>

#include "engine/core/Property.h"

class PropertyBool : public Property {
public:
    static const RuntimeClass classRecord;

    PropertyBool(UStringView name, uint32_t flags, bool* value);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;

    bool* value() const { return static_cast<bool*>(address); }
};
