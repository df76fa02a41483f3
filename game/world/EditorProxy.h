#pragma once
// An editable object's place in the controller's proxyList, which orders drawing and selection: the proxy
// draws its object, and the object's own list skips it.
#include "engine/core/KivBase.h"

class EditorObject;

class EditorProxy : public KivBase {
public:
    static const RuntimeClass classRecord;

    EditorProxy() = default;
    ~EditorProxy() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void render() override;
    void addPropertiesTo(Property& list) override;

    EditorObject* pObject = nullptr;
};
