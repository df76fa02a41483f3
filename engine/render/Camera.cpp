#include "engine/render/Camera.h"

#include <algorithm>
#include <cmath>

#include "engine/render/KivGraphics.h"

const RuntimeClass Camera::classRecord(u"Camera", &KivBase::classRecord, &RuntimeClass::factoryOf<Camera>);

Camera::Camera()
{
    int w = 800;
    if (const KivGraphics* graphics = KivGraphics::instance()) {
        w = graphics->width;
        aspectFactor = graphics->aspectFactor;
    }
    eye = V3(0.0f, 0.0f, -static_cast<float>(w / 2));
}

Matrix4 Camera::getProjection() const { return Matrix4::perspectiveLH(2.0f, 2.0f * aspectFactor, NEAR_PLANE, FAR_PLANE); }

Matrix4 Camera::getView() const
{
    return Matrix4::lookAtLH(eye, lookAt, V3(std::sin(roll), std::cos(roll), 0.0f));
}

void Camera::render()
{
    if (KivGraphics* graphics = KivGraphics::instance()) {
        const Matrix4 projection = getProjection();
        const Matrix4 view = getView();
        graphics->setProjection(projection.data());
        graphics->setView(view.data());
    }
}

void Camera::updateTick(double /*time*/, double /*dt*/) {}

void Camera::getVisibleRect(Rect& out, float z) const
{
    const float d = z - eye.z;
    out.left = eye.x - d;
    out.right = eye.x + d;
    out.top = eye.y + d * aspectFactor;
    out.bottom = eye.y - d * aspectFactor;
}

V3 Camera::screenToWorld(float sx, float sy, float screenW, float screenH, float depth) const
{
    Rect r;
    getVisibleRect(r, depth);
    const float fx = screenW > 0 ? sx / screenW : 0.0f;
    const float fy = screenH > 0 ? sy / screenH : 0.0f;
    return {r.left + fx * (r.right - r.left), r.top - fy * (r.top - r.bottom), depth};
}

void Camera::worldToScreen(const V3& p, float screenW, float screenH, float& sx, float& sy) const
{
    Rect r;
    getVisibleRect(r, p.z);
    const float w = r.right - r.left, h = r.top - r.bottom;
    sx = w != 0.0f ? (p.x - r.left) / w * screenW : 0.0f;
    sy = h != 0.0f ? (r.top - p.y) / h * screenH : 0.0f;
}

void Camera::stepTransition(double dt)
{
    if (progress >= 1.0f) {
        return;
    }
    transitionElapsed += dt;
    const double p = transitionDuration > 0.0 ? transitionElapsed / transitionDuration : 1.0;
    progress = static_cast<float>(std::clamp(p, 0.0, 1.0));
}
