#pragma once
// The engine's physical clock: high-resolution seconds on a monotonic clock. The keeper notes its start
// time and the total time spent in the frozen engine mode, so callers can measure time that excludes it.
class TimeKeeper {
public:
    TimeKeeper();

    // Seconds on the monotonic clock (a process-wide origin; only differences mean anything).
    double getPhysicalTime() const;
    double getStartTime() const { return startTime; }
    // Seconds spent frozen so far (a freeze still running counts up to now).
    double getFrozenTime() const;
    // Physical time less the frozen total.
    double getUnfrozenTime() const { return getPhysicalTime() - getFrozenTime(); }

    // The engine enters or leaves the frozen mode; repeated calls change nothing.
    void setFrozen(bool frozen);
    bool isFrozen() const { return frozenSince >= 0.0; }

private:
    double startTime;
    double frozenTotal = 0.0;
    double frozenSince = -1.0;
};
