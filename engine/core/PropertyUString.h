#pragma once
// A text. Its text form is the text itself; a text longer than the maximum length is cut to it.
#include <cstdint>

#include "engine/core/Property.h"

class PropertyUString : public Property {
public:
    static const RuntimeClass classRecord;

    // A negative maximum length means no limit.
    PropertyUString(UStringView name, uint32_t flags, UString* value, int32_t maxLength = -1);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;

    UString* value() const { return static_cast<UString*>(address); }
    int32_t maxLength;
};
