#pragma once
// The view of a context: eye, look-at point, aspect factor (height of the view per unit of width) and
// roll. A new camera stands at (0, 0, -W/2) and looks at the origin, so one unit of the plane z = 0 is one
// pixel of the screen. Cameras appended to a BlenderCamera act as its modifiers and use the transition
// fields below.
#include "engine/core/KivBase.h"
#include "engine/core/V3.h"
#include "engine/core/Matrix4.h"

class Camera : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    struct Rect {
        float left = 0, top = 0, right = 0, bottom = 0;
    };

    static constexpr float NEAR_PLANE = 1.0f;
    static constexpr float FAR_PLANE = 1048576.0f;

    Camera();

    // Sets the projection and the view of the graphics.
    void render() override;
    // Runs once per tick of the owning context, after its contents.
    virtual void updateTick(double time, double dt);

    // What the camera sees in the plane at depth z (top above bottom).
    void getVisibleRect(Rect& out, float z) const;
    Matrix4 getProjection() const;
    Matrix4 getView() const;
    // A point of the plane z = depth from screen pixels (x from the left, y from the top of W x H).
    V3 screenToWorld(float sx, float sy, float screenW, float screenH, float depth = 0.0f) const;
    // Screen pixels of a world point's place on the plane at its own depth.
    void worldToScreen(const V3& p, float screenW, float screenH, float& sx, float& sy) const;

    V3 eye;
    V3 lookAt;
    float aspectFactor = 0.75f;
    float roll = 0.0f;

    // Transition of a camera used as a modifier of a BlenderCamera.
    int32_t easeType = 6;
    double transitionDuration = 1.0;
    double transitionElapsed = 0.0;
    float progress = 0.0f;
    double startDelay = 0.0;
    // Advances the transition: progress = elapsed / duration, clamped, 1.0 for a duration of 0.
    void stepTransition(double dt);
};
