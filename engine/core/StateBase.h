#pragma once
// The small state machine every engine object carries as its second base. A tick adds the time step to
// timeInState and counts stateLeft down; when the countdown reaches zero the object switches to stateGoto
// and onStateChange runs. addPropertiesTo lists an object's properties (each class after its parent's).
#include <cstdint>

class Property;

class StateBase {
public:
    StateBase() = default;
    virtual ~StateBase() = default;

    // When the countdown ends the switch and its hook run inside a NestedCallScope, so that replicated
    // calls made by the hook go out to the clients even while a broadcast call is being run.
    virtual void tickState(double time, double dt);
    virtual void onStateChange() {}
    virtual void addPropertiesTo(Property& list);

    // Enters `newState` at once (no countdown); nothing happens when stateGoto already names it.
    void enterStateNow(int32_t newState);

    int32_t state = 0;
    double timeInState = 0.0;
    double stateLeft = 0.0;
    int32_t stateGoto = 0;
};
