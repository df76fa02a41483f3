#pragma once
// A screen, overlay or layer: its own clock, camera, pointer position and the flags of the screen stack.
// tickEntry and renderEntry tick and draw it as a whole and make it the engine's current context around
// its contents; tickContents and renderContents handle the children by default.
#include "engine/core/KivBase.h"
#include "engine/core/UColor.h"
#include "engine/core/V3.h"

class Camera;

class Context : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    Context();
    // A context with a camera of its own kind (owned).
    explicit Context(Camera* ownCamera);
    ~Context() override;

    void tick(double time, double dt) override { tickEntry(time, dt); }
    void render() override { renderEntry(); }

    virtual void tickEntry(double time, double dt);
    virtual void renderEntry();
    virtual void onActivate(bool firstActivation);
    virtual void onDeactivate(bool closing);
    virtual void tickContents(double time, double dt);
    virtual void renderContents();

    // Maps a point of the other context's world into this context's world through both cameras.
    V3 transformFromContext(const V3& point, const Context& other) const;

    // The context being ticked or drawn.
    static Context* getCurrent();
    static void setCurrent(Context* context);
    // The input pointer in game-screen pixels (x from the left, y from the top); the engine sets it each
    // frame before the contexts tick.
    static void setInputPointer(float x, float y);
    // The largest time step a context takes in one tick.
    static double maxTimeStep;

    double time = 0.0;
    double timeStep = 0.0;
    double timeScale = 1.0;
    double endTime = 0.0;
    Camera* camera = nullptr;
    V3 pointer;
    V3 pointerMotion;
    UColor clearColor{0u};
    KivBase* pPreObject = nullptr;  // not owned
    KivBase* pPostObject = nullptr; // not owned

    bool bClosed = false; // finished: the screen stack removes it
    bool bDeleteWhenClosed = false;
    bool bEscapeCloses = true;
    bool bWaitForContinue = false;
    bool bShowPointer = true;
    bool bHideFrameRate = false;
    // Pixels by which the frame-rate readout stands below the screen's top-right corner, so that it clears
    // what the screen draws there.
    float frameRateDrop = 0.0f;
    bool bConfirmClose = false;
    bool bFirstActivation = true;

protected:
    void updatePointer();
};
