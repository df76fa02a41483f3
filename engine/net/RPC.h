#pragma once
// Base of the remote-call classes: one registered class per remote-callable method. A sender fills a call,
// sends it through the current role when executeRemotely says so, then runs it through executeLocally,
// which runs it only where its flags say it belongs. On the wire a call is its target object reference,
// then its arguments, which each call class writes in its netSerialize after the target.
#include <cstdint>

#include "engine/core/KivBase.h"

class RPC : public KivBase {
public:
    static const RuntimeClass classRecord;

    RPC() = default;
    explicit RPC(KivBase* target) : target(target) {}

    const RuntimeClass* getClass() const override { return &classRecord; }
    // The target object reference; call classes add their arguments after it.
    void netSerialize(Packet& packet) override;
    // The arguments as unnamed properties (none in the base).
    void addPropertiesTo(Property& list) override;
    // Runs the owner's method of the call (nothing in the base).
    virtual void invoke() {}
    // The class the target must be of for invoke to run: a received call aimed at anything else (or at no
    // object) is refused. Null accepts any target and none; the engine's own calls check their targets.
    virtual const RuntimeClass* getTargetClass() const { return nullptr; }

    // Whether the caller must send the call before running it locally.
    static bool executeRemotely(RPC* call);
    // Runs the call when this side executes it, with the role's in-call flags set to the call's flags.
    static void executeLocally(RPC* call);
    // The usual sender: sends the call when executeRemotely says so, then runs it locally.
    static void send(RPC& call);

    uint8_t bRunsOnServer = 0;
    uint8_t bRunsOnClients = 0;
    uint8_t bClientMayCall = 0;
    KivBase* target = nullptr;
    uint8_t savedInsideServerCall = 0;
    uint8_t savedInsideBroadcastCall = 0;
};
