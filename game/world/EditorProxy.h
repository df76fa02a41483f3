#pragma once
// An editable object's place in the controller's proxyList, which orders drawing and selection: the proxy
// draws its object, and the object's own list skips it.
#include "engine/core/KivBase.h"
#include "engine/core/Reference.h"

class EditorObject;

class EditorProxy : public KivBase {
public:
    static const RuntimeClass classRecord;

    EditorProxy() = default;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void render() override;
    // A proxy whose object is of another class draws nothing.
    void netPostReplicate() override;
    void addPropertiesTo(Property& list) override;

    EditorObject* getObject() const;

    Reference pObject{this};
};
