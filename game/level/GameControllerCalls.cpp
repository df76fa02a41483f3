#include "game/level/GameControllerCalls.h"

#include "engine/core/Logger.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyUString.h"
#include "engine/net/Packet.h"
#include "game/language/Language.h"
#include "game/level/GameController.h"

const RuntimeClass RPC_GameController_construct::classRecord(
    RuntimeClass::hashName(u"RPC_GameController_construct"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_GameController_construct>);
const RuntimeClass RPC_GameController_enterState::classRecord(
    RuntimeClass::hashName(u"RPC_GameController_enterState"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_GameController_enterState>);
const RuntimeClass RPC_GameController_setMessage::classRecord(
    RuntimeClass::hashName(u"RPC_GameController_setMessage"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_GameController_setMessage>);
const RuntimeClass RPC_GameController_setMessageText::classRecord(
    RuntimeClass::hashName(u"RPC_GameController_setMessageText"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_GameController_setMessageText>);
const RuntimeClass RPC_GameController_shakeCamera::classRecord(
    RuntimeClass::hashName(u"RPC_GameController_shakeCamera"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_GameController_shakeCamera>);

namespace {

void everywhere(RPC& call)
{
    call.bRunsOnServer = 1;
    call.bRunsOnClients = 1;
}

void clientsOnly(RPC& call) { call.bRunsOnClients = 1; }

GameController* controllerOf(KivBase* target) { return static_cast<GameController*>(target); }

// Texts travel in UTF-8 with their length; a longer text than a call carries is cut on both ends.
void doText(Packet& packet, UString& text)
{
    if (packet.bWriting) {
        text = LevelCalls::clipText(text);
    }
    packet.doUString(text, -1);
    if (!packet.bWriting) {
        text = LevelCalls::clipText(text);
    }
}

} // namespace

UString LevelCalls::clipText(const UString& text)
{
    if (text.size() <= static_cast<std::size_t>(GameController::MAXMESSAGELENGTH)) {
        return text;
    }
    return text.substr(0, GameController::MAXMESSAGELENGTH);
}

bool LevelCalls::isValidMessage(int32_t messenger, int32_t textId)
{
    return (messenger == 1 || messenger == 2) && textId >= 0 && textId < Language::NUMSTRINGS;
}

RPC_GameController_construct::RPC_GameController_construct(KivBase* target) : RPC(target) { everywhere(*this); }

const RuntimeClass* RPC_GameController_construct::getTargetClass() const { return &GameController::classRecord; }

void RPC_GameController_construct::invoke() { controllerOf(target)->local_construct(); }

RPC_GameController_enterState::RPC_GameController_enterState(KivBase* target) : RPC(target) { everywhere(*this); }

const RuntimeClass* RPC_GameController_enterState::getTargetClass() const { return &GameController::classRecord; }

void RPC_GameController_enterState::invoke() { controllerOf(target)->local_enterState(); }

RPC_GameController_setMessage::RPC_GameController_setMessage(KivBase* target, int32_t messenger, int32_t textId,
                                                             const UString& text, float displayTime)
    : RPC(target), messenger(messenger), textId(textId), text(LevelCalls::clipText(text)), displayTime(displayTime)
{
    clientsOnly(*this);
}

const RuntimeClass* RPC_GameController_setMessage::getTargetClass() const { return &GameController::classRecord; }

void RPC_GameController_setMessage::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doVarInt(messenger);
    packet.doVarInt(textId);
    doText(packet, text);
    packet.doHalfFloat(displayTime);
}

void RPC_GameController_setMessage::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyInt(u"", 0, &messenger));
    list.appendChild(new PropertyInt(u"", 0, &textId));
    list.appendChild(new PropertyUString(u"", 0, &text, GameController::MAXMESSAGELENGTH));
    list.appendChild(new PropertyFloat(u"", 0, &displayTime));
}

void RPC_GameController_setMessage::invoke()
{
    if (!LevelCalls::isValidMessage(messenger, textId)) {
        Logger::logFrom("GameController::local_setMessage", u"Ignoring a message for messenger %d with text %d.", messenger, textId);
        return;
    }
    controllerOf(target)->local_setMessage(messenger, textId, displayTime, text);
}

RPC_GameController_setMessageText::RPC_GameController_setMessageText(KivBase* target, uint32_t playerId,
                                                                     int32_t messenger, int32_t textId,
                                                                     const UString& text, float displayTime)
    : RPC(target), playerId(playerId), messenger(messenger), textId(textId), text(LevelCalls::clipText(text)),
      displayTime(displayTime)
{
    clientsOnly(*this);
}

const RuntimeClass* RPC_GameController_setMessageText::getTargetClass() const
{
    return &GameController::classRecord;
}

void RPC_GameController_setMessageText::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doDWORD(playerId);
    packet.doVarInt(messenger);
    packet.doVarInt(textId);
    doText(packet, text);
    packet.doHalfFloat(displayTime);
}

void RPC_GameController_setMessageText::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyDWORD(u"", 0, &playerId));
    list.appendChild(new PropertyInt(u"", 0, &messenger));
    list.appendChild(new PropertyInt(u"", 0, &textId));
    list.appendChild(new PropertyUString(u"", 0, &text, GameController::MAXMESSAGELENGTH));
    list.appendChild(new PropertyFloat(u"", 0, &displayTime));
}

void RPC_GameController_setMessageText::invoke()
{
    if (!LevelCalls::isValidMessage(messenger, textId)) {
        Logger::logFrom("GameController::local_setMessage", u"Ignoring a message for messenger %d with text %d.", messenger, textId);
        return;
    }
    controllerOf(target)->local_setPlayerMessage(playerId, messenger, textId, text, displayTime);
}

RPC_GameController_shakeCamera::RPC_GameController_shakeCamera(KivBase* target, float amplitude, float duration)
    : RPC(target), amplitude(amplitude), duration(duration)
{
    clientsOnly(*this);
}

const RuntimeClass* RPC_GameController_shakeCamera::getTargetClass() const { return &GameController::classRecord; }

void RPC_GameController_shakeCamera::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doHalfFloat(amplitude);
    packet.doHalfFloat(duration);
}

void RPC_GameController_shakeCamera::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyFloat(u"", 0, &amplitude));
    list.appendChild(new PropertyFloat(u"", 0, &duration));
}

void RPC_GameController_shakeCamera::invoke()
{
    // A shake from a peer is held to a few seconds of a small roll.
    if (!(amplitude >= -1.0f && amplitude <= 1.0f && duration >= 0.0f && duration <= 10.0f)) {
        Logger::logFrom("GameController::shakeCamera", u"Ignoring a shake of %f for %f s.", amplitude, duration);
        return;
    }
    controllerOf(target)->shakeCamera(amplitude, duration);
}
