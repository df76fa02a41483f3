#include "engine/net/RPC.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"

const RuntimeClass RPC::classRecord(u"RPC", &KivBase::classRecord, nullptr);

void RPC::netSerialize(Packet& packet) { packet.doPointer2(target); }

void RPC::addPropertiesTo(Property& /*list*/) {}

bool RPC::executeRemotely(RPC* call)
{
    NetRole* role = THEROLE;
    if (role == nullptr) {
        return false;
    }
    if (role->bIsServer) {
        return call->bRunsOnClients && !role->bInsideBroadcastCall;
    }
    if (!call->bRunsOnServer || role->bInsideServerCall) {
        return false;
    }
    if (!call->bClientMayCall) {
        const UString targetName = call->target != nullptr ? call->target->getClass()->getName() : UString(u"NULL");
        KIV_FATAL(formatString(u"Can't call '%s::%s' client-side.", targetName, call->getClass()->getName()));
    }
    return true;
}

void RPC::executeLocally(RPC* call)
{
    NetRole* role = THEROLE;
    // Without a role this process is on its own and acts as the server.
    const bool server = role == nullptr || role->bIsServer;
    if (!(server ? call->bRunsOnServer : call->bRunsOnClients)) {
        return;
    }
    if (role == nullptr) {
        call->invoke();
        return;
    }
    const bool insideServerCall = role->bInsideServerCall;
    const bool insideBroadcastCall = role->bInsideBroadcastCall;
    call->savedInsideServerCall = insideServerCall ? 1 : 0;
    call->savedInsideBroadcastCall = insideBroadcastCall ? 1 : 0;
    role->bInsideServerCall = call->bRunsOnServer != 0;
    role->bInsideBroadcastCall = call->bRunsOnClients != 0;
    // The call may end its own life (a call that rebuilds the property tree holding it): nothing reads it
    // after it ran.
    call->invoke();
    role->bInsideServerCall = insideServerCall;
    role->bInsideBroadcastCall = insideBroadcastCall;
}

void RPC::send(RPC& call)
{
    if (executeRemotely(&call)) {
        THEROLE->sendRPC(&call);
    }
    executeLocally(&call);
}
