#include "engine/core/TimeKeeper.h"

#include <chrono>

namespace {
const std::chrono::steady_clock::time_point gOrigin = std::chrono::steady_clock::now();
} // namespace

TimeKeeper::TimeKeeper() : startTime(getPhysicalTime()) {}

double TimeKeeper::getPhysicalTime() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - gOrigin).count();
}

double TimeKeeper::getFrozenTime() const
{
    return frozenTotal + (isFrozen() ? getPhysicalTime() - frozenSince : 0.0);
}

void TimeKeeper::setFrozen(bool frozen)
{
    if (frozen == isFrozen()) {
        return;
    }
    const double now = getPhysicalTime();
    if (frozen) {
        frozenSince = now;
    } else {
        frozenTotal += now - frozenSince;
        frozenSince = -1.0;
    }
}
