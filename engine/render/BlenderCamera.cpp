#include "engine/render/BlenderCamera.h"

#include <algorithm>
#include <cmath>

const RuntimeClass BlenderCamera::classRecord(u"BlenderCamera", &Camera::classRecord,
                                              &RuntimeClass::factoryOf<BlenderCamera>);

BlenderCamera::BlenderCamera() : target(eye) {}

void BlenderCamera::updateTick(double time, double dt)
{
    V3 running = target;
    KivBase* child = getFirstChild();
    while (child != nullptr) {
        KivBase* next = child->getNext();
        auto* modifier = dynamic_cast<Camera*>(child);
        if (modifier == nullptr || child->bDeleted) {
            child = next;
            continue;
        }
        if (modifier->startDelay > 0.0) {
            modifier->startDelay -= dt;
            child = next;
            continue;
        }
        modifier->tick(time, dt);
        const V3 from = running;
        running.ease(modifier->easeType, from, modifier->eye, modifier->progress);
        if (modifier->progress >= 1.0f) {
            if (KivBase* before = modifier->getPrev()) {
                before->unlink();
                delete before;
            }
        }
        child = next;
    }
    eye = running;
    lookAt.x = running.x;
    lookAt.y = running.y;

    if (shakeElapsed < shakeDuration) {
        shakeElapsed = std::clamp(shakeElapsed + dt, 0.0, shakeDuration);
        roll = static_cast<float>(std::cos(shakeElapsed * 32.0) * (shakeDuration - shakeElapsed) * shakeAmplitude);
    } else {
        roll = 0.0f;
    }
}

void BlenderCamera::snapTo(float x, float y, float z)
{
    target = V3(x, y, z);
    eye = target;
    lookAt.x = x;
    lookAt.y = y;
    destroyAllChildren();
}

void BlenderCamera::shake(double amplitude, double duration)
{
    shakeAmplitude = amplitude;
    shakeDuration = duration;
    shakeElapsed = 0.0;
}
