// Frame pacing: waits keep the period, sleep instead of spinning, and do not race to catch up after a stall.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "engine/kiv/KivTimer.h"

namespace {
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
} // namespace

TEST(KivTimer, WaitsKeepThePeriodWithoutSpinning)
{
    KivTimer timer;
    timer.setFramePeriod(0.02);
    const double wallStart = KivTimer::now();
    const double cpuStart = cpuSeconds();
    for (int i = 0; i < 10; ++i) {
        timer.wait();
    }
    const double wall = KivTimer::now() - wallStart;
    EXPECT_GE(wall, 0.19);
    EXPECT_LT(wall, 1.0); // generous: a loaded machine oversleeps
    EXPECT_LT(cpuSeconds() - cpuStart, wall * 0.5); // asleep, not busy
    EXPECT_NEAR(timer.nextFrameTime - timer.lastFrameTime, 0.0, 0.02);
}

TEST(KivTimer, AStalledFrameRestartsTheClockInsteadOfCatchingUp)
{
    KivTimer timer;
    timer.setFramePeriod(0.01);
    timer.wait();
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // a long frame
    timer.wait();                                                // late: no sleep, the clock restarts
    const double before = KivTimer::now();
    for (int i = 0; i < 3; ++i) {
        timer.wait();
    }
    // Three more frames take three periods, not zero (no burst of frames to make up for the stall).
    EXPECT_GE(KivTimer::now() - before, 0.025);
}

TEST(KivTimer, PeriodMustBePositive)
{
    KivTimer timer;
    timer.setFramePeriod(0.0);
    EXPECT_DOUBLE_EQ(timer.framePeriod, 0.01);
    timer.setFramePeriod(1.0 / 60.0);
    EXPECT_DOUBLE_EQ(timer.framePeriod, 1.0 / 60.0);
}
