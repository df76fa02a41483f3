#include "engine/net/NestedCallScope.h"

#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"

NestedCallScope::NestedCallScope()
{
    NetRole* role = THEROLE;
    saved = role != nullptr && role->bInsideBroadcastCall;
    if (role == nullptr || role->bIsServer) {
        skip = false;
        if (role != nullptr) {
            role->bInsideBroadcastCall = false;
        }
    } else {
        skip = true;
    }
}

NestedCallScope::~NestedCallScope()
{
    if (NetRole* role = THEROLE) {
        role->bInsideBroadcastCall = saved;
    }
}
