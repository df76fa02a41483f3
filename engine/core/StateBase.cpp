#include "engine/core/StateBase.h"

#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyInt.h"
#include "engine/net/NestedCallScope.h"

void StateBase::tickState(double /*time*/, double dt)
{
    timeInState += dt;
    if (stateLeft > 0.0) {
        stateLeft -= dt;
        if (stateLeft <= 0.0) {
            // Every peer counts down and switches; the scope only decides where the hook's calls go.
            NestedCallScope scope;
            stateLeft = 0.0;
            timeInState = 0.0;
            state = stateGoto;
            onStateChange();
        }
    }
}

void StateBase::enterStateNow(int32_t newState)
{
    if (stateGoto == newState) {
        return;
    }
    stateLeft = 0.0;
    timeInState = 0.0;
    state = newState;
    stateGoto = newState;
    onStateChange();
}

void StateBase::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyInt(u"state", 0, &state));
    list.appendChild(new PropertyDouble(u"timeInState", 0, &timeInState));
    list.appendChild(new PropertyDouble(u"stateLeft", 0, &stateLeft));
    list.appendChild(new PropertyInt(u"stateGoto", 0, &stateGoto));
}
