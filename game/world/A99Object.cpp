#include "game/world/A99Object.h"

#include <cmath>

#include <box2d/box2d.h>

#include "engine/audio/Sound.h"
#include "engine/audio/SoundChannel.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyPointer.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "game/world/Hull.h"
#include "game/world/LevelDataCheck.h"
#include "game/effects/SpeechBubble.h"
#include "game/world/WorldPointer.h"

const RuntimeClass A99Object::classRecord(RuntimeClass::hashName(u"A99Object"), &EditorObject::classRecord,
                                          &RuntimeClass::factoryOf<A99Object>);
const RuntimeClass RPC_A99Object_createHull::classRecord(RuntimeClass::hashName(u"RPC_A99Object_createHull"),
                                                         &RPC::classRecord,
                                                         &RuntimeClass::factoryOf<RPC_A99Object_createHull>);

namespace {
// An ambient sound is heard within this distance of the camera (world units).
constexpr float AMBIENT_RANGE = 1200.0f;
} // namespace

// The ambient loop of an object; made when the object first comes near the camera.
struct A99Object::AmbientLoop {
    explicit AmbientLoop(Sound* sound) : channel(sound) { channel.setLooping(true); }
    SoundChannel channel;
};

float A99Object::frictionOf(int32_t material)
{
    switch (material) {
    case GROUND_ICE:
        return 0.05f;
    case GROUND_STONE:
        return 0.6f;
    default:
        return 0.8f;
    }
}

const char16_t* A99Object::footstepOf(int32_t material)
{
    switch (material) {
    case GROUND_LEAVES:
        return u"footstepLeaves";
    case GROUND_SNOW:
    case GROUND_ICE:
        return u"footstepSnow";
    case GROUND_STONE:
        return u"footstepStone";
    case GROUND_WOOD:
        return u"footstepWood";
    default:
        return u"footstepDirt";
    }
}

A99Object::A99Object() : A99Object(LevelAccess::OBJECT_LIST) {}

A99Object::A99Object(LevelAccess::ListId home) : EditorObject(home) {}

A99Object::~A99Object() { destroyBodies(); }

void A99Object::addPropertiesTo(Property& list)
{
    EditorObject::addPropertiesTo(list);
    list.appendChild(worldPointer(u"pHull", Property::FLAG_READONLY, &pHull));
    list.appendChild(new PropertyPointer(u"ambientSound", Property::FLAG_RESOURCE, &ambientSound, &Sound::classRecord));
    list.appendChild(new PropertyEnum<int32_t>(u"groundMaterial", 0, &groundMaterial, GROUND_COUNT));
    list.appendChild(new PropertyFloat(u"collisionSensitivity", 0, &collisionSensitivity));
    const uint32_t shown = startsWithVelocity() ? 0u : Property::FLAG_HIDDEN;
    auto* v = new PropertyContainer(u"velocity", shown);
    v->appendChild(new PropertyFloat(u"x", shown, &velocity.x));
    v->appendChild(new PropertyFloat(u"y", shown, &velocity.y));
    v->appendChild(new PropertyFloat(u"z", Property::FLAG_HIDDEN, &velocity.z)); // the physics is flat
    list.appendChild(v);
}

void A99Object::checkValues(const LevelDataCheck::Run& run)
{
    EditorObject::checkValues(run);
    LevelDataCheck check(*this, run);
    check.reference(u"pHull", pHull, &Hull::classRecord);
    check.size(u"collisionSensitivity", collisionSensitivity, 0.0f, 100.0f, 1.0f);
    check.speed(u"velocity.x", velocity.x);
    check.speed(u"velocity.y", velocity.y);
    check.speed(u"velocity.z", velocity.z);
    if (pHull != nullptr) {
        pHull->pOwner.set(this);
    }
}

void A99Object::afterEdit()
{
    EditorObject::afterEdit();
    // The next tick makes the bodies again from the new values.
    destroyBodies();
}

void A99Object::tick(double time, double dt)
{
    EditorObject::tick(time, dt);
    if (!bBodyMade && LevelAccess::isServer() && !LevelAccess::isEditing()) {
        if (PhysicsWorld* world = LevelAccess::physics()) {
            bBodyMade = true;
            bodyWorld = world;
            makeBody(*world);
        }
    }
    if (ambientSound != nullptr) {
        V3 eye;
        const bool near = !bHidden && LevelAccess::cameraEye(eye) &&
                          std::hypot(eye.x - position.x, eye.y - position.y) < AMBIENT_RANGE;
        if (near && ambient == nullptr) {
            ambient = std::make_unique<AmbientLoop>(ambientSound);
        }
        if (ambient != nullptr && near != ambient->channel.isPlaying()) {
            if (near) {
                ambient->channel.play();
            } else {
                ambient->channel.stop();
            }
        }
    }
}

void A99Object::makeBody(PhysicsWorld& world)
{
    if (pHull == nullptr || !pHull->bEnabled || bHidden) {
        return;
    }
    const auto runs = pHull->getRuns();
    if (runs.empty()) {
        return;
    }
    hullBody = world.createStaticBody(this, position);
    hullBody->SetTransform(hullBody->GetPosition(), rotation.z);
    for (const auto& run : runs) {
        world.addChainRun(hullBody, run, pHull->bOneWay, frictionOf(groundMaterial));
    }
}

void A99Object::readPose(float x, float y, float angle, float vx, float vy)
{
    position.x = x;
    position.y = y;
    rotation.z = angle;
    velocity.x = vx;
    velocity.y = vy;
    updateVisuals();
}

void A99Object::forgetBody()
{
    body = nullptr;
    hullBody = nullptr;
    bodyWorld = nullptr;
    bBodyMade = false;
}

void A99Object::destroyBodies()
{
    if (bodyWorld != nullptr) {
        bodyWorld->destroyBody(body);
        bodyWorld->destroyBody(hullBody);
    }
    forgetBody();
}

bool A99Object::queryAction(const V3& /*hero*/, int32_t& /*priority*/, float& /*distance*/) { return false; }

void A99Object::use(Pig* /*pig*/) {}

void A99Object::onSwitched(bool on)
{
    bHidden = !on;
    if (pHull != nullptr) {
        pHull->bEnabled = on;
    }
    if (hullBody != nullptr) {
        hullBody->SetEnabled(on);
    } else if (on && body != nullptr && bodyWorld != nullptr) {
        // Hidden when its bodies were made: the moving body stays, the hull's (if any) is made beside it.
        A99Object::makeBody(*bodyWorld);
    } else if (on) {
        bBodyMade = false; // made at the next tick
    }
    if (body != nullptr) {
        body->SetEnabled(on);
    }
}

void A99Object::createHull()
{
    RPC_A99Object_createHull call(this);
    RPC::send(call);
}

void A99Object::local_createHull()
{
    KIV_ASSERT(THEROLE != nullptr);
    KIV_ASSERT(THEROLE->bAllowNewObjectRegistations);
    auto* hull = new Hull();
    hull->pOwner.set(this);
    THEROLE->registerObject(hull, 0);
    pHull = hull;
    if (KivBase* hulls = LevelAccess::list(LevelAccess::HULL_LIST)) {
        hulls->netAddChild(hull);
    }
}

void A99Object::say(const V3& offset, bool flag, int32_t waitMode, const UString& text)
{
    SpeechBubble::say(*this, offset, flag ? 2 : 1, waitMode, text);
}

float A99Object::distanceTo(const V3& hero) const { return std::hypot(hero.x - position.x, hero.y - position.y); }

RPC_A99Object_createHull::RPC_A99Object_createHull(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_A99Object_createHull::invoke()
{
    if (target != nullptr) {
        static_cast<A99Object*>(target)->local_createHull();
    }
}
