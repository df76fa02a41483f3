#include "engine/render/Renderable.h"

#include <cmath>

#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Skin.h"

const RuntimeClass Renderable::classRecord(u"Renderable", &KivBase::classRecord, &RuntimeClass::factoryOf<Renderable>);

Renderable::Renderable() { updateVisuals(); }

Renderable::~Renderable()
{
    if (bOwnsSkin) {
        delete pSkin;
    }
    pSkin = nullptr;
}

void Renderable::setPosition(const V3& p)
{
    position = p;
    updateVisuals();
}

void Renderable::setRotation(const V3& r)
{
    rotation = r;
    updateVisuals();
}

void Renderable::setScale(const V3& s)
{
    scale = s;
    updateVisuals();
}

void Renderable::setScaleXY(float s)
{
    scale.x = s;
    scale.y = s;
    updateVisuals();
}

void Renderable::setSkin(Skin* skin, bool owns)
{
    if (bOwnsSkin && pSkin != skin) {
        delete pSkin;
    }
    pSkin = skin;
    bOwnsSkin = owns;
    updateVisuals();
}

void Renderable::setParentMatrix(const Matrix4& outer)
{
    matOuter = outer;
    updateVisuals();
}

void Renderable::updateVisuals()
{
    V3 s = scale;
    if (scaleMode != SCALE_PLAIN) {
        if (const KivGraphics* graphics = KivGraphics::instance()) {
            if (scaleMode == SCALE_ASPECT) {
                s.y *= graphics->aspectCorrection;
            } else if (scaleMode == SCALE_PIXELS) {
                s.x *= graphics->pixelFactor[0];
                s.y *= graphics->pixelFactor[1];
                s.z *= graphics->pixelFactor[2];
            }
        }
    }
    matLocal = Matrix4::scaling(s.x, s.y, s.z);
    if (rotation.x != 0.0f || rotation.y != 0.0f || rotation.z != 0.0f) {
        matLocal = matLocal * Matrix4::rotationYawPitchRoll(rotation.x, rotation.y, rotation.z);
    }
    matLocal.m[3][0] = position.x;
    matLocal.m[3][1] = position.y;
    matLocal.m[3][2] = position.z;
    if (matPre == Matrix4() && matOuter == Matrix4()) {
        world = matLocal;
    } else {
        world = matPre * matLocal * matOuter;
    }
    if (bHasInvXform && !world.inverse(invWorld)) {
        invWorld = Matrix4(); // a flattened sprite: nothing can be inside it
    }
    if (pSkin != nullptr) {
        Matrix4 drawn = world;
        pSkin->applyOrigin(drawn);
        boundsCenter = drawn.transformCoord(pSkin->getCenter());
        const float sx = std::fabs(s.x), sy = std::fabs(s.y);
        const float hw = pSkin->width * 0.5f * sx, hh = pSkin->height * 0.5f * sy;
        boundingRadius = std::sqrt(hw * hw + hh * hh);
    } else {
        boundsCenter = world.getTranslation();
        boundingRadius = 0.0f;
    }
}

bool Renderable::isInView() const
{
    if (bSkipVisibility) {
        return true;
    }
    const Context* context = Context::getCurrent();
    if (context == nullptr || context->camera == nullptr) {
        return true;
    }
    Camera::Rect r;
    context->camera->getVisibleRect(r, boundsCenter.z);
    return boundsCenter.x + boundingRadius >= r.left && boundsCenter.x - boundingRadius <= r.right &&
           boundsCenter.y + boundingRadius >= r.bottom && boundsCenter.y - boundingRadius <= r.top;
}

void Renderable::render()
{
    if (!bHidden && pSkin != nullptr) {
        bVisible = isInView();
        if (bVisible) {
            pSkin->draw(*this);
        }
    }
    KivBase::render();
}

void Renderable::local2world(V3& out, const V3& local) const { out = world.transformCoord(local); }

bool Renderable::isPointInside(const V3& point)
{
    if (pSkin == nullptr || bHidden || bSkipVisibility || !bHasInvXform) {
        return false;
    }
    V3 local = invWorld.transformCoord(point);
    local = local + pSkin->origin;
    return pSkin->isPointInside(local.x, local.y, local.z);
}
