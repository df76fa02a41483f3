#pragma once
// The remote calls of the level controller. construct and enterState run on the server and the clients;
// the message and shake calls only on the clients. A call received from a peer with arguments out of
// range is logged and dropped.
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/net/RPC.h"

class RPC_GameController_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_GameController_construct(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override;
    void invoke() override;
};

class RPC_GameController_enterState : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_GameController_enterState(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override;
    void invoke() override;
};

// Messenger (var int), text id (var int), text (at most 256 characters), display time (half float).
class RPC_GameController_setMessage : public RPC {
public:
    static const RuntimeClass classRecord;
    RPC_GameController_setMessage(KivBase* target = nullptr, int32_t messenger = 0, int32_t textId = 0,
                                  const UString& text = {}, float displayTime = 0.0f);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override;
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    int32_t messenger;
    int32_t textId;
    UString text;
    float displayTime;
};

// Player id (raw 32-bit word), messenger, text id, text, display time: shown only by that player's peer.
class RPC_GameController_setMessageText : public RPC {
public:
    static const RuntimeClass classRecord;
    RPC_GameController_setMessageText(KivBase* target = nullptr, uint32_t playerId = 0, int32_t messenger = 0,
                                      int32_t textId = 0, const UString& text = {}, float displayTime = 0.0f);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override;
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    uint32_t playerId;
    int32_t messenger;
    int32_t textId;
    UString text;
    float displayTime;
};

// Amplitude and duration (half floats).
class RPC_GameController_shakeCamera : public RPC {
public:
    static const RuntimeClass classRecord;
    RPC_GameController_shakeCamera(KivBase* target = nullptr, float amplitude = 0.0f, float duration = 0.0f);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override;
    void netSerialize(Packet& packet) override;
    void addPropertiesTo(Property& list) override;
    void invoke() override;
    float amplitude;
    float duration;
};

namespace LevelCalls {
// A text cut to the length a remote call carries.
UString clipText(const UString& text);
// True when a message's messenger and text id may be shown.
bool isValidMessage(int32_t messenger, int32_t textId);
} // namespace LevelCalls
