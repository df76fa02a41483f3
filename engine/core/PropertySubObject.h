#pragma once
// A member object shown as a group of its own properties (filled from the object's addPropertiesTo, or by
// the owner when the member is a plain record). The editor can edit the sub-object itself.
#include "engine/core/PropertyContainer.h"

class PropertySubObject : public PropertyContainer {
public:
    static const RuntimeClass classRecord;

    PropertySubObject(UStringView name, uint32_t flags, KivBase* object = nullptr);

    const RuntimeClass* getClass() const override { return &classRecord; }
    KivBase* getSubObject() const { return static_cast<KivBase*>(address); }
};
