#include "engine/render/Context.h"

#include <algorithm>

#include "engine/kiv/Kiv.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"

const RuntimeClass Context::classRecord(u"Context", &KivBase::classRecord, &RuntimeClass::factoryOf<Context>);

namespace {
Context* gCurrent = nullptr;
float gPointerX = 0.0f;
float gPointerY = 0.0f;
} // namespace

double Context::maxTimeStep = 0.1;

Context* Context::getCurrent()
{
    if (const Kiv* engine = Kiv::instance()) {
        return engine->currentContext;
    }
    return gCurrent;
}

void Context::setCurrent(Context* context)
{
    gCurrent = context;
    if (Kiv* engine = Kiv::instance()) {
        engine->currentContext = context;
    }
}

void Context::setInputPointer(float x, float y)
{
    gPointerX = x;
    gPointerY = y;
}

Context::Context() : camera(new Camera()) {}

Context::Context(Camera* ownCamera) : camera(ownCamera != nullptr ? ownCamera : new Camera()) {}

Context::~Context()
{
    if (getCurrent() == this) {
        setCurrent(nullptr);
    }
    delete camera;
}

void Context::onActivate(bool firstActivation)
{
    (void)firstActivation;
    bFirstActivation = false;
}

void Context::onDeactivate(bool /*closing*/) {}

void Context::updatePointer()
{
    const KivGraphics* graphics = KivGraphics::instance();
    const float w = graphics != nullptr ? static_cast<float>(graphics->width) : 800.0f;
    const float h = graphics != nullptr ? static_cast<float>(graphics->height) : 600.0f;
    const V3 now = camera->screenToWorld(gPointerX, gPointerY, w, h, 0.0f);
    pointerMotion = now - pointer;
    pointer = now;
}

void Context::tickEntry(double tickTime, double dt)
{
    (void)tickTime;
    if (pPreObject != nullptr) {
        pPreObject->tick(tickTime, dt);
    }
    Context* previous = getCurrent();
    setCurrent(this);
    timeStep = std::min(dt, maxTimeStep) * timeScale;
    time += timeStep;
    if (endTime != 0.0 && time > endTime) {
        bClosed = true;
    }
    tickState(time, timeStep);
    camera->tick(time, timeStep);
    updatePointer();
    tickContents(time, timeStep);
    camera->updateTick(time, timeStep);
    setCurrent(previous);
    if (pPostObject != nullptr) {
        pPostObject->tick(tickTime, dt);
    }
}

void Context::renderEntry()
{
    if (pPreObject != nullptr) {
        pPreObject->render();
    }
    Context* previous = getCurrent();
    setCurrent(this);
    KivGraphics* graphics = KivGraphics::instance();
    float savedView[16], savedProjection[16];
    if (graphics != nullptr) {
        if (clearColor.argb != 0) {
            graphics->clear(GLDevice::ClearTarget, clearColor.argb);
        }
        std::copy_n(graphics->getView(), 16, savedView);
        std::copy_n(graphics->getProjection(), 16, savedProjection);
    }
    camera->render();
    renderContents();
    if (graphics != nullptr) {
        graphics->setView(savedView);
        graphics->setProjection(savedProjection);
    }
    setCurrent(previous);
    if (pPostObject != nullptr) {
        pPostObject->render();
    }
}

void Context::tickContents(double tickTime, double dt)
{
    KivBase* child = getFirstChild();
    while (child != nullptr) {
        if (!child->bDeleted && !child->bInactive) {
            child->tick(tickTime, dt);
        }
        KivBase* next = child->getNext();
        if (child->bDeleted) {
            child->destroy();
        }
        child = next;
    }
}

void Context::renderContents()
{
    for (KivBase* child = getFirstChild(); child != nullptr; child = child->getNext()) {
        if (!child->bDeleted && !child->bInactive) {
            child->render();
        }
    }
}

V3 Context::transformFromContext(const V3& point, const Context& other) const
{
    const KivGraphics* graphics = KivGraphics::instance();
    const float w = graphics != nullptr ? static_cast<float>(graphics->width) : 800.0f;
    const float h = graphics != nullptr ? static_cast<float>(graphics->height) : 600.0f;
    float sx = 0.0f, sy = 0.0f;
    other.camera->worldToScreen(point, w, h, sx, sy);
    return camera->screenToWorld(sx, sy, w, h, point.z);
}
