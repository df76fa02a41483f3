#pragma once
// Frame pacing: a frame period and two reference times on the physical clock (seconds since the engine
// started). wait() sleeps until the next frame is due; it never spins.
class KivTimer {
public:
    KivTimer();

    // The physical clock less the engine's time-keeper start (monotonic, high resolution, seconds).
    static double now();

    // Resets both reference times to now.
    void start();
    // The frame period becomes `period` seconds and the frame clock restarts from now.
    void setFramePeriod(double period);
    // Sleeps until the frame that began at `frameStart` is one period old, then steps the references on.
    // A frame that overran by more than a period restarts the clock from now instead of catching up.
    void wait();

    double framePeriod = 0.01;
    double lastFrameTime = 0.0; // when the current frame was due
    double nextFrameTime = 0.0; // when the next frame is due
};
