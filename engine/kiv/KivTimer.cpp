#include "engine/kiv/KivTimer.h"

#include <chrono>
#include <thread>

#include "engine/core/Logger.h"
#include "engine/core/TimeKeeper.h"
#include "engine/kiv/Kiv.h"

namespace {
const TimeKeeper gClock;
}

KivTimer::KivTimer()
{
    Logger::logFrom("KivTimer::KivTimer", u"Starting...");
    start();
    Logger::logFrom("KivTimer::KivTimer", u"Started.");
}

double KivTimer::now()
{
    const Kiv* kiv = Kiv::instance();
    const double start = kiv != nullptr && kiv->timeKeeper != nullptr ? kiv->timeKeeper->getStartTime() : 0.0;
    return gClock.getPhysicalTime() - start;
}

void KivTimer::start()
{
    lastFrameTime = now();
    nextFrameTime = lastFrameTime;
}

void KivTimer::setFramePeriod(double period)
{
    framePeriod = period > 0.0 ? period : 0.01;
    start();
}

void KivTimer::wait()
{
    const double due = lastFrameTime + framePeriod;
    nextFrameTime = due;
    const double t = now();
    if (t < due) {
        std::this_thread::sleep_for(std::chrono::duration<double>(due - t));
        lastFrameTime = due;
    } else if (t - due > framePeriod) {
        lastFrameTime = t;
    } else {
        lastFrameTime = due;
    }
}
