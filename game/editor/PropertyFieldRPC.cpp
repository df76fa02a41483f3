#include "game/editor/PropertyFieldRPC.h"

#include "engine/core/PropertyRPCBase.h"
#include "engine/core/Reference.h"
#include "engine/net/RPC.h"

PropertyFieldRPC::PropertyFieldRPC(Property* property) : PropertyFieldGroup(property)
{
    prefix += u'\u0082';
    color = UColor(0xffffc0c0u);
}

bool PropertyFieldRPC::onEvent(KivEvent& event)
{
    if (!isCtrlKey(event, KEY_X)) {
        return PropertyFieldGroup::onEvent(event);
    }
    auto* rpcProperty = dynamic_cast<PropertyRPCBase*>(property);
    auto* call = rpcProperty != nullptr ? dynamic_cast<RPC*>(rpcProperty->getCall()) : nullptr;
    // A constructor-group call goes on to the listener like any group key; read before the call runs,
    // since a call may rebuild the panel.
    const bool passOn = (property->flags & Property::FLAG_CONSTRUCTOR) != 0;
    KivBase* listener = eventListener;
    if (call != nullptr) {
        Reference alive;
        alive.set(this);
        {
            const LevelRoleScope scope(*this);
            RPC::executeLocally(call);
        }
        if (alive.get() == nullptr) {
            return true; // the call rebuilt the panel: this row and its parents are gone
        }
    }
    if (!passOn) {
        return true;
    }
    return listener != nullptr ? listener->onEvent(event) : false;
}
