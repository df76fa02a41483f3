#pragma once
// The remote calls of every object: state changes, the replicated add-child, the two post-replicate hooks
// and replicated deletion. Each runs on the server and on every client; none may be called by a client.
#include <cstdint>

#include "engine/net/RPC.h"

// Arguments: the new state (var int) and the delay (raw 64-bit double).
class RPC_KivBase_gotoState : public RPC {
public:
    static const RuntimeClass classRecord;
    RPC_KivBase_gotoState(KivBase* target = nullptr, int32_t newState = 0, double delay = 0.0);
    const RuntimeClass* getClass() const override { return &classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    int32_t newState;
    double delay;
};

// Argument: the state (var int). Sets state and a time in state of 0; stateGoto stays, no hook runs.
class RPC_KivBase_setState : public RPC {
public:
    static const RuntimeClass classRecord;
    RPC_KivBase_setState(KivBase* target = nullptr, int32_t newState = 0);
    const RuntimeClass* getClass() const override { return &classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    int32_t newState;
};

// Argument: the child (object reference), appended as the target's last child.
class RPC_KivBase_addChild : public RPC {
public:
    static const RuntimeClass classRecord;
    RPC_KivBase_addChild(KivBase* target = nullptr, KivBase* child = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    KivBase* child;
};

class RPC_KivBase_netPostReplicate : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_KivBase_netPostReplicate(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    void invoke() override;
};

class RPC_KivBase_netPostReplicateGlobal : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_KivBase_netPostReplicateGlobal(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    void invoke() override;
};

// Replicated deletion. The target travels as a UID of its own: a peer that has already let the object go
// (with its parent, or by its own logic) skips the call.
class RPC_KivBase_destroy : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_KivBase_destroy(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    void netSerialize(Packet& packet) override;
    void invoke() override;
};

namespace KivBaseCalls {
// The sender behind KivBase::gotoState.
void gotoState(KivBase& object, int32_t newState, double delay);
} // namespace KivBaseCalls
