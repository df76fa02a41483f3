#pragma once
// A SecureInt member, text form "%d".
#include <cstdint>

#include "engine/core/Property.h"
#include "engine/core/SecureInt.h"

class PropertySecureInt : public Property {
public:
    static const RuntimeClass classRecord;

    PropertySecureInt(UStringView name, uint32_t flags, SecureInt* value);

    const RuntimeClass* getClass() const override { return &classRecord; }
    void serialize(Packet& packet) override;
    UString toString() const override;
    bool fromString(UStringView text) override;

    SecureInt* value() const { return static_cast<SecureInt*>(address); }
};
