#pragma once
// Base of everything drawn or hit-tested: position, rotation (yaw, pitch, roll), scale, colour and skin,
// with the world matrix World = A x local x B (B set through setParentMatrix), its inverse for pointer
// tests, and culling by bounding radius against the current context's view. Children are not transformed
// by their parent: each child's position is its own.
#include "engine/core/KivBase.h"
#include "engine/core/UColor.h"
#include "engine/core/V3.h"
#include "engine/core/Matrix4.h"

class Skin;

class Renderable : public KivBase {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    // Scale modes: the scale as it is, the y scale corrected by the aspect-correction ratio, or every axis
    // multiplied by the display's pixel factors.
    enum ScaleMode : int32_t { SCALE_PLAIN = 0, SCALE_ASPECT = 1, SCALE_PIXELS = 2 };

    Renderable();
    ~Renderable() override;

    void render() override;
    bool isPointInside(const V3& point) override;

    // Recomputes the world matrix, its inverse and the bounds.
    virtual void updateVisuals();
    // Sets the outer matrix B and updates the visuals.
    virtual void setParentMatrix(const Matrix4& outer);
    // Sets the x and y scale to s (z unchanged) and updates the visuals.
    virtual void setScaleXY(float s);

    void setPosition(const V3& p);
    void setRotation(const V3& yawPitchRoll);
    void setScale(const V3& s);
    // The skin; with owns set the renderable deletes it.
    void setSkin(Skin* skin, bool owns = false);

    void local2world(V3& out, const V3& local) const;
    // True when the sphere of the bounds touches the current context's view (or when culling is off).
    bool isInView() const;

    V3 position;
    V3 rotation; // yaw, pitch, roll
    V3 scale{1.0f, 1.0f, 1.0f};
    UColor color;
    Skin* pSkin = nullptr;
    bool bOwnsSkin = false;
    bool bHidden = false;
    bool bVisible = true; // the result of the last culling
    bool bSkipVisibility = false;
    bool bHasInvXform = true;
    bool bAdditive = false; // drawn with additive blending
    int32_t scaleMode = SCALE_PLAIN;
    Matrix4 matPre;   // A
    Matrix4 matLocal;
    Matrix4 matOuter; // B
    Matrix4 world;
    Matrix4 invWorld;
    V3 boundsCenter;
    float boundingRadius = 0.0f;
};
