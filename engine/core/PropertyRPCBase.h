#pragma once
// A remote-call property: holds one call object (owned) whose arguments are its children. The editor
// runs the call on request.
#include "engine/core/PropertyContainer.h"

class PropertyRPCBase : public PropertyContainer {
public:
    static const RuntimeClass classRecord;

    // Takes ownership of `call` and lists its arguments as children.
    PropertyRPCBase(UStringView name, uint32_t flags, KivBase* call = nullptr);
    ~PropertyRPCBase() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    // The call object.
    virtual KivBase* getCall() const { return call; }
    void setCall(KivBase* newCall);

private:
    KivBase* call = nullptr;
};
