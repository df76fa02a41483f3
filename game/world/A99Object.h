#pragma once
// Base of every level object that takes part in play: a collision hull, an ambient sound that loops near
// the camera, a ground material (footstep sound and friction), a collision sensitivity, the action query,
// use and switching. A plain skinned A99Object is a prop (tree, rock, gate). Objects with a physics body
// make it at their first tick on the server and receive its pose after every physics step.
#include <cstdint>
#include <memory>

#include "game/world/EditorObject.h"
#include "game/world/PhysicsWorld.h"

class Hull;
class Pig;
class Sound;
class b2Body;

class A99Object : public EditorObject {
public:
    static const RuntimeClass classRecord;

    enum GroundMaterial : int32_t { GROUND_DIRT, GROUND_LEAVES, GROUND_SNOW, GROUND_STONE, GROUND_WOOD, GROUND_ICE, GROUND_COUNT };
    // Friction of a ground material (ice is slippery).
    static float frictionOf(int32_t material);
    // The footstep sound of a ground material.
    static const char16_t* footstepOf(int32_t material);

    A99Object();
    ~A99Object() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    // Makes the body at the first tick on the server, then keeps the ambient sound going.
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;
    // Rebuilds the bodies from the properties.
    void afterEdit() override;

    // The action query: whether the object offers the pig an action now, with what priority and at what
    // distance from `hero`. The base answers false and writes nothing.
    virtual bool queryAction(const V3& hero, int32_t& priority, float& distance);
    // The priorities the objects answer with; the highest within reach takes the action, the nearest of
    // equals. At its door the pig goes in whatever else lies within reach.
    enum ActionPriority : int32_t { PRIORITY_LADDER = 1, PRIORITY_CARGO = 2, PRIORITY_DEVICE = 3, PRIORITY_DOOR = 4 };
    // The pig acts on the object.
    virtual void use(Pig* pig);
    // A switch flipped: the base shows or hides the object and enables or disables its hull.
    virtual void onSwitched(bool on);

    // Sender of the replicated call that gives the object a hull; its body is local_createHull.
    void createHull();
    virtual void local_createHull();
    // Opens a speech bubble beside the object: style 2 when `flag` is set, else 1.
    void say(const V3& offset, bool flag, int32_t waitMode, const UString& text);

    // Physics. makeBody runs at the first tick on the server; the base makes the static hull body.
    virtual void makeBody(PhysicsWorld& world);
    // True for an object whose moving body starts with `velocity` (x and y) when play begins: the editor
    // lists the velocity as the level's start value. Other objects' velocity is the physics' alone (the
    // base has no moving body) and is not listed for editing.
    virtual bool startsWithVelocity() const { return false; }
    // Before each physics step (dynamic and kinematic bodies only).
    virtual void prePhysicsStep(float /*dt*/) {}
    // After each physics step: the body's pose and velocity in world units.
    virtual void readPose(float x, float y, float angle, float vx, float vy);
    // A contact that began in the last step. It must not delete objects (set bDeleted instead).
    virtual void onContact(A99Object& /*other*/, const PhysicsWorld::Contact& /*contact*/, bool /*first*/) {}
    // The world is going away: its bodies are no longer ours.
    void forgetBody();
    // Destroys the bodies; the next tick makes them again.
    void destroyBodies();

    Hull* pHull = nullptr;
    Sound* ambientSound = nullptr;
    int32_t groundMaterial = GROUND_DIRT;
    float collisionSensitivity = 1.0f;
    V3 velocity;

    b2Body* body = nullptr;     // the moving body, if the object has one
    b2Body* hullBody = nullptr; // the static body of the hull
    PhysicsWorld* bodyWorld = nullptr;
    bool bBodyMade = false;

protected:
    explicit A99Object(LevelAccess::ListId home);
    // Distance from `hero` to the object's position.
    float distanceTo(const V3& hero) const;

private:
    struct AmbientLoop;
    std::unique_ptr<AmbientLoop> ambient;
};

class RPC_A99Object_createHull : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_A99Object_createHull(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &A99Object::classRecord; }
    void invoke() override;
};
