#pragma once
// The physics of one running level: a Box2D world stepped at a fixed 1/60 s from an accumulator, with
// helpers that make the bodies of the world objects. 64 world units are one metre; y points up.
// Only the server simulates; clients receive poses and velocities as properties.
//
// Determinism: the level's controller calls step() once per tick; bodies are made by the objects at
// their first tick, in tree order; contacts are collected during a step and handed to their objects
// after it, sorted by the UID pair; no wall clock and no random numbers are used here.
//
// A crowd: a moving body with MAX_MOVING_CONTACTS contacts with other moving bodies makes none with a further
// moving body as large as itself or larger; such a body passes through it. Bodies that lie side by side never
// have that many (and a crate holds all the apples that lie on it, however many), so a level plays as without
// the bound. What it keeps in check is a heap of bodies on top of each other (apples put at one spot), whose
// contacts would otherwise grow with the square of its size and the physics' work with them faster still.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/V3.h"

class A99Object;
class b2Body;
class b2Fixture;
class b2World;
struct b2Vec2;

class PhysicsWorld {
public:
    static constexpr float UNITS_PER_METRE = 64.0f;
    static constexpr float GRAVITY = 25.0f; // m/s², downwards
    static constexpr double STEP = 1.0 / 60.0;
    static constexpr int MAX_STEPS_PER_TICK = 4;
    static constexpr int VELOCITY_ITERATIONS = 8;
    static constexpr int POSITION_ITERATIONS = 3;
    static constexpr int MAX_MOVING_CONTACTS = 16;

    // One contact that began during a step: the two objects (the lower UID first), the contact normal
    // pointing from a to b, and the speed at which they closed along it (m/s, above 0 when approaching).
    // A sensor's touch has neither: its normal is zero and its speed 0.
    struct Contact {
        A99Object* a = nullptr;
        A99Object* b = nullptr;
        float normalX = 0.0f;
        float normalY = 0.0f;
        float approachSpeed = 0.0f;
    };

    // Where a ray meets a surface: the point (world units), the surface's normal and its body.
    struct RayHit {
        V3 point;
        float normalX = 0.0f;
        float normalY = 0.0f;
        const b2Body* body = nullptr;
    };

    PhysicsWorld();
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    // Adds dt to the accumulator and runs whole steps of STEP (at most MAX_STEPS_PER_TICK; time beyond
    // them is dropped). Before each step every body's owner runs prePhysicsStep; after it the contacts
    // that began go to their owners (onContact, in UID-pair order) and the poses are copied back
    // (readPose). Answers the number of steps run.
    int step(double dt);
    // Drops every body and the accumulated time (the level is being torn down or rebuilt).
    void clear();

    // Bodies. Positions are world units; each body's user data names its owner.
    b2Body* createStaticBody(A99Object* owner, const V3& position);
    // A dynamic body; fixedRotation keeps it upright (the pig).
    b2Body* createDynamicBody(A99Object* owner, const V3& position, float angle, bool fixedRotation);
    // Circle and box fixtures in world units about the body's origin.
    b2Fixture* addCircle(b2Body* body, float radiusUnits, float density, float friction, float restitution);
    b2Fixture* addBox(b2Body* body, float halfWidthUnits, float halfHeightUnits, float density, float friction,
                      float restitution);
    // A run of joined points (world units, body frame) as one-sided chains: both windings, or only the
    // one that faces upwards for a one-way run. Points closer than a centimetre to the previous one are
    // skipped; fewer than two points make nothing. Answers the number of chains made.
    int addChainRun(b2Body* body, const std::vector<V3>& points, bool oneWay, float friction);
    // The first surface along the segment from `from` to `to` (world units) that `accept` takes; sensors are
    // passed by. A one-sided chain is met only from its front. False when the segment meets none.
    bool castRay(const V3& from, const V3& to, const std::function<bool(const RayHit&)>& accept, RayHit& hit) const;
    // Destroys the body (null is ignored) and clears the pointer.
    void destroyBody(b2Body*& body);

    b2World& world() { return *physics; }
    int bodyCount() const;
    // Steps run since the world was made.
    uint64_t stepCount() const { return steps; }

    static float toMetres(float units) { return units / UNITS_PER_METRE; }
    static float toUnits(float metres) { return metres * UNITS_PER_METRE; }

private:
    class ContactRecorder;
    class CrowdBound;

    void deliverContacts();
    void copyPoses();

    std::unique_ptr<b2World> physics;
    std::unique_ptr<ContactRecorder> recorder;
    std::unique_ptr<CrowdBound> crowdBound;
    std::vector<Contact> began;
    double accumulator = 0.0;
    uint64_t steps = 0;
};
