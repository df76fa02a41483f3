#include "engine/net/KivBaseCalls.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"

// Like every remote-call class, these are registered under "_" and the hash of their own name.

const RuntimeClass RPC_KivBase_gotoState::classRecord(RuntimeClass::hashName(u"RPC_KivBase_gotoState"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_KivBase_gotoState>);
const RuntimeClass RPC_KivBase_setState::classRecord(RuntimeClass::hashName(u"RPC_KivBase_setState"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_KivBase_setState>);
const RuntimeClass RPC_KivBase_addChild::classRecord(RuntimeClass::hashName(u"RPC_KivBase_addChild"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_KivBase_addChild>);
const RuntimeClass RPC_KivBase_netPostReplicate::classRecord(RuntimeClass::hashName(u"RPC_KivBase_netPostReplicate"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_KivBase_netPostReplicate>);
const RuntimeClass RPC_KivBase_netPostReplicateGlobal::classRecord(RuntimeClass::hashName(u"RPC_KivBase_netPostReplicateGlobal"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_KivBase_netPostReplicateGlobal>);
const RuntimeClass RPC_KivBase_destroy::classRecord(RuntimeClass::hashName(u"RPC_KivBase_destroy"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_KivBase_destroy>);

namespace {
// Every call of every object runs on the server and on the clients.
void everywhere(RPC& call)
{
    call.bRunsOnServer = 1;
    call.bRunsOnClients = 1;
    call.bClientMayCall = 0;
}
} // namespace

RPC_KivBase_gotoState::RPC_KivBase_gotoState(KivBase* target, int32_t newState, double delay)
    : RPC(target), newState(newState), delay(delay)
{
    everywhere(*this);
}

void RPC_KivBase_gotoState::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doVarInt(newState);
    packet.doDouble(delay);
}

void RPC_KivBase_gotoState::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyInt(u"", 0, &newState));
    list.appendChild(new PropertyDouble(u"", 0, &delay));
}

void RPC_KivBase_gotoState::invoke()
{
    if (target != nullptr) {
        target->local_gotoState(newState, delay);
    }
}

RPC_KivBase_setState::RPC_KivBase_setState(KivBase* target, int32_t newState) : RPC(target), newState(newState)
{
    everywhere(*this);
}

void RPC_KivBase_setState::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doVarInt(newState);
}

void RPC_KivBase_setState::addPropertiesTo(Property& list) { list.appendChild(new PropertyInt(u"", 0, &newState)); }

void RPC_KivBase_setState::invoke()
{
    if (target != nullptr) {
        target->state = newState;
        target->timeInState = 0.0;
    }
}

RPC_KivBase_addChild::RPC_KivBase_addChild(KivBase* target, KivBase* child) : RPC(target), child(child)
{
    everywhere(*this);
}

void RPC_KivBase_addChild::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    packet.doPointer2(child);
    if (!packet.bWriting && target != nullptr && child != nullptr && child->getParent() != target) {
        child->checkPlacement(packet, target);
    }
}

void RPC_KivBase_addChild::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyPointer(u"", 0, &child, &KivBase::classRecord));
}

void RPC_KivBase_addChild::invoke()
{
    if (target == nullptr || child == nullptr) {
        return;
    }
    // A child can neither be its own ancestor nor be linked twice. Only a child with children of its own
    // can be an ancestor of the target.
    if (child == target || (child->getFirstChild() != nullptr && child->isAncestorOf(target))) {
        KIV_FATAL(formatString(u"Object %d cannot be added below itself.", child->objectUID));
    }
    if (KivBase* parent = child->getParent()) {
        parent->removeChild(child);
    }
    target->addChild(child);
}

RPC_KivBase_netPostReplicate::RPC_KivBase_netPostReplicate(KivBase* target) : RPC(target) { everywhere(*this); }

void RPC_KivBase_netPostReplicate::invoke()
{
    if (target != nullptr) {
        target->netPostReplicate();
    }
}

RPC_KivBase_netPostReplicateGlobal::RPC_KivBase_netPostReplicateGlobal(KivBase* target) : RPC(target)
{
    everywhere(*this);
}

void RPC_KivBase_netPostReplicateGlobal::invoke()
{
    if (target != nullptr) {
        target->netPostReplicateGlobal();
    }
}

RPC_KivBase_destroy::RPC_KivBase_destroy(KivBase* target) : RPC(target) { everywhere(*this); }

void RPC_KivBase_destroy::netSerialize(Packet& packet)
{
    uint32_t uid = target != nullptr ? static_cast<uint32_t>(target->objectUID) : 0;
    packet.doVarUInt(uid);
    if (!packet.bWriting) {
        NetRole* role = THEROLE;
        target = role != nullptr && uid <= 0x7FFFFFFFu ? role->findObjectOrNull(static_cast<int32_t>(uid)) : nullptr;
    }
}

void RPC_KivBase_destroy::invoke()
{
    if (target != nullptr) {
        target->destroy();
    }
}

void KivBaseCalls::gotoState(KivBase& object, int32_t newState, double delay)
{
    RPC_KivBase_gotoState call(&object, newState, delay);
    RPC::send(call);
}

void KivBase::netAddChild(KivBase* child)
{
    RPC_KivBase_addChild call(this, child);
    RPC::send(call);
}

void KivBase::netCallPostReplicate()
{
    RPC_KivBase_netPostReplicate call(this);
    RPC::send(call);
}

void KivBase::netCallPostReplicateGlobal()
{
    RPC_KivBase_netPostReplicateGlobal call(this);
    RPC::send(call);
}
