#pragma once
// A class entry of the editor's class list: makes an instance through the class's factory and keeps only
// that instance's constructor-group (FLAG_CONSTRUCTOR) properties as children. It owns the instance until
// takeInstance hands it over.
#include "engine/core/PropertyContainer.h"

class PropertyClass : public PropertyContainer {
public:
    static const RuntimeClass classRecord;

    PropertyClass(uint32_t flags, const RuntimeClass* runtimeClass, UStringView name);
    ~PropertyClass() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    KivBase* getInstance() const { return instance; }
    // Hands the instance over (null when there is none) and forgets it.
    KivBase* takeInstance();
    const RuntimeClass* getInstanceClass() const { return instanceClass; }

private:
    const RuntimeClass* instanceClass;
    KivBase* instance = nullptr;
};
