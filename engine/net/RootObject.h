#pragma once
// The engine's root-object class: the object with UID 1 of a role. Its one property binds the current
// role's next-UID counter, so a stored level brings its own counter with it.
#include <cstdint>

#include "engine/core/KivBase.h"

class Node;

class RootObject : public KivBase {
public:
    static const RuntimeClass classRecord;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;

    // The empty-world hook: the server calls it when it starts without a stored stream.
    virtual void start() {}
    virtual void peerConnected(Node* /*peer*/) {}
    virtual void peerDisconnected(Node* /*peer*/) {}

private:
    // Bound instead of the counter while there is no current role.
    uint32_t detachedNextObjectUID = 0;
};
