#include "game/world/PhysicsWorld.h"

#include <algorithm>
#include <cmath>

#include <box2d/box2d.h>

#include "game/world/A99Object.h"

namespace {
A99Object* ownerOf(b2Body* body) { return reinterpret_cast<A99Object*>(body->GetUserData().pointer); }

b2Vec2 metres(const V3& units) { return b2Vec2(PhysicsWorld::toMetres(units.x), PhysicsWorld::toMetres(units.y)); }

// Chains refuse points closer than this (metres).
constexpr float MIN_POINT_DISTANCE = 0.01f;
} // namespace

// Records the contacts that begin during a step, with the speed at which the two bodies close. Box2D
// reports new contacts before it solves, so the velocities read here are those before the impact. No
// game logic runs inside the step.
class PhysicsWorld::ContactRecorder : public b2ContactListener {
public:
    explicit ContactRecorder(std::vector<Contact>& out) : out(out) {}

    void BeginContact(b2Contact* contact) override
    {
        b2Body* bodyA = contact->GetFixtureA()->GetBody();
        b2Body* bodyB = contact->GetFixtureB()->GetBody();
        A99Object* a = ownerOf(bodyA);
        A99Object* b = ownerOf(bodyB);
        if (a == nullptr || b == nullptr || a == b) {
            return;
        }
        // A touch without contact points (a sensor's, which the physics does not resolve) has no normal:
        // it comes with a zero normal and no approach speed.
        b2WorldManifold manifold{};
        b2Vec2 normal(0.0f, 0.0f);
        float approach = 0.0f;
        if (contact->GetManifold()->pointCount > 0) {
            contact->GetWorldManifold(&manifold);
            normal = manifold.normal; // from A to B
            const b2Vec2 point = manifold.points[0];
            approach = b2Dot(bodyA->GetLinearVelocityFromWorldPoint(point) - bodyB->GetLinearVelocityFromWorldPoint(point),
                             normal);
        }
        if (b->objectUID < a->objectUID) {
            std::swap(a, b);
            normal = -normal;
        }
        out.push_back(Contact{a, b, normal.x, normal.y, approach});
    }

private:
    std::vector<Contact>& out;
};

// Keeps a heap of moving bodies from making a contact of every body with every other: a moving body with
// MAX_MOVING_CONTACTS contacts with other moving bodies takes no further contact with a moving body as large
// as itself or larger. A large body (a crate that apples lie on) still takes every smaller one that comes.
// Asked only when two bodies come near (their bounding boxes meet), before the contact is made.
class PhysicsWorld::CrowdBound : public b2ContactFilter {
public:
    bool ShouldCollide(b2Fixture* fixtureA, b2Fixture* fixtureB) override
    {
        if (!b2ContactFilter::ShouldCollide(fixtureA, fixtureB)) {
            return false;
        }
        const b2Body* a = fixtureA->GetBody();
        const b2Body* b = fixtureB->GetBody();
        if (a->GetType() != b2_dynamicBody || b->GetType() != b2_dynamicBody) {
            return true;
        }
        const float sizeA = sizeOf(*fixtureA);
        const float sizeB = sizeOf(*fixtureB);
        return !(sizeB >= sizeA && crowded(a, b)) && !(sizeA >= sizeB && crowded(b, a));
    }

private:
    // The larger extent of the fixture's shape (a moving body's shape has one child).
    static float sizeOf(const b2Fixture& fixture)
    {
        b2AABB box;
        fixture.GetShape()->ComputeAABB(&box, b2Transform(b2Vec2(0.0f, 0.0f), b2Rot(0.0f)), 0);
        const b2Vec2 extent = box.upperBound - box.lowerBound;
        return std::max(extent.x, extent.y);
    }

    // Whether the body has MAX_MOVING_CONTACTS contacts with moving bodies other than `other` (the body it is
    // asked about, whose contact may be asked about again).
    static bool crowded(const b2Body* body, const b2Body* other)
    {
        int count = 0;
        for (const b2ContactEdge* edge = body->GetContactList(); edge != nullptr; edge = edge->next) {
            if (edge->other != other && edge->other->GetType() == b2_dynamicBody && ++count >= MAX_MOVING_CONTACTS) {
                return true;
            }
        }
        return false;
    }
};

PhysicsWorld::PhysicsWorld()
    : physics(std::make_unique<b2World>(b2Vec2(0.0f, -GRAVITY))), recorder(std::make_unique<ContactRecorder>(began)),
      crowdBound(std::make_unique<CrowdBound>())
{
    physics->SetContactListener(recorder.get());
    physics->SetContactFilter(crowdBound.get());
    physics->SetAllowSleeping(true);
    began.reserve(256);
}

PhysicsWorld::~PhysicsWorld() { clear(); }

void PhysicsWorld::clear()
{
    // Owners forget their bodies first, so none of them reaches into a world that is gone.
    for (b2Body* body = physics->GetBodyList(); body != nullptr;) {
        b2Body* next = body->GetNext();
        if (A99Object* owner = ownerOf(body)) {
            owner->forgetBody();
        }
        physics->DestroyBody(body);
        body = next;
    }
    began.clear();
    accumulator = 0.0;
}

int PhysicsWorld::step(double dt)
{
    if (!(dt > 0.0)) {
        return 0;
    }
    accumulator += dt;
    int run = 0;
    while (accumulator >= STEP && run < MAX_STEPS_PER_TICK) {
        accumulator -= STEP;
        for (b2Body* body = physics->GetBodyList(); body != nullptr; body = body->GetNext()) {
            if (A99Object* owner = ownerOf(body); owner != nullptr && body->GetType() != b2_staticBody) {
                owner->prePhysicsStep(static_cast<float>(STEP));
            }
        }
        began.clear();
        physics->Step(static_cast<float>(STEP), VELOCITY_ITERATIONS, POSITION_ITERATIONS);
        ++steps;
        ++run;
        copyPoses();
        deliverContacts();
    }
    // A slow frame does not make the simulation run ahead later.
    if (accumulator >= STEP) {
        accumulator = std::fmod(accumulator, STEP);
    }
    return run;
}

void PhysicsWorld::copyPoses()
{
    for (b2Body* body = physics->GetBodyList(); body != nullptr; body = body->GetNext()) {
        if (body->GetType() == b2_staticBody || !body->IsAwake()) {
            continue;
        }
        if (A99Object* owner = ownerOf(body)) {
            const b2Vec2 p = body->GetPosition();
            const b2Vec2 v = body->GetLinearVelocity();
            owner->readPose(toUnits(p.x), toUnits(p.y), body->GetAngle(), toUnits(v.x), toUnits(v.y));
        }
    }
}

void PhysicsWorld::deliverContacts()
{
    if (began.empty()) {
        return;
    }
    std::sort(began.begin(), began.end(), [](const Contact& x, const Contact& y) {
        if (x.a->objectUID != y.a->objectUID) {
            return x.a->objectUID < y.a->objectUID;
        }
        return x.b->objectUID < y.b->objectUID;
    });
    // An owner may destroy bodies while it handles a contact; the list was taken before that.
    for (const Contact& c : began) {
        c.a->onContact(*c.b, c, true);
        c.b->onContact(*c.a, c, false);
    }
    began.clear();
}

b2Body* PhysicsWorld::createStaticBody(A99Object* owner, const V3& position)
{
    b2BodyDef def;
    def.type = b2_staticBody;
    def.position = metres(position);
    def.userData.pointer = reinterpret_cast<uintptr_t>(owner);
    return physics->CreateBody(&def);
}

b2Body* PhysicsWorld::createDynamicBody(A99Object* owner, const V3& position, float angle, bool fixedRotation)
{
    b2BodyDef def;
    def.type = b2_dynamicBody;
    def.position = metres(position);
    def.angle = angle;
    def.fixedRotation = fixedRotation;
    def.userData.pointer = reinterpret_cast<uintptr_t>(owner);
    return physics->CreateBody(&def);
}

b2Fixture* PhysicsWorld::addCircle(b2Body* body, float radiusUnits, float density, float friction, float restitution)
{
    b2CircleShape shape;
    shape.m_radius = std::max(toMetres(radiusUnits), 0.01f);
    b2FixtureDef def;
    def.shape = &shape;
    def.density = density;
    def.friction = friction;
    def.restitution = restitution;
    return body->CreateFixture(&def);
}

b2Fixture* PhysicsWorld::addBox(b2Body* body, float halfWidthUnits, float halfHeightUnits, float density,
                                float friction, float restitution)
{
    b2PolygonShape shape;
    shape.SetAsBox(std::max(toMetres(halfWidthUnits), 0.01f), std::max(toMetres(halfHeightUnits), 0.01f));
    b2FixtureDef def;
    def.shape = &shape;
    def.density = density;
    def.friction = friction;
    def.restitution = restitution;
    return body->CreateFixture(&def);
}

int PhysicsWorld::addChainRun(b2Body* body, const std::vector<V3>& points, bool oneWay, float friction)
{
    std::vector<b2Vec2> run;
    run.reserve(points.size());
    for (const V3& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            continue;
        }
        const b2Vec2 m = metres(p);
        if (!run.empty() && b2DistanceSquared(run.back(), m) < MIN_POINT_DISTANCE * MIN_POINT_DISTANCE) {
            continue;
        }
        run.push_back(m);
    }
    if (run.size() < 2) {
        return 0;
    }
    // A chain collides on the right of its direction. The winding whose right side faces up (on average,
    // weighted by length) is the one a one-way run keeps.
    float upFacing = 0.0f;
    for (std::size_t i = 1; i < run.size(); ++i) {
        const b2Vec2 e = run[i] - run[i - 1];
        upFacing += -e.x; // the right normal of e is (e.y, -e.x)
    }
    std::vector<b2Vec2> reversed(run.rbegin(), run.rend());
    const std::vector<b2Vec2>* windings[2] = {&run, &reversed};
    int made = 0;
    for (int w = 0; w < 2; ++w) {
        const bool facesUp = (w == 0) == (upFacing > 0.0f);
        if (oneWay && !facesUp) {
            continue;
        }
        const std::vector<b2Vec2>& v = *windings[w];
        const std::size_t n = v.size();
        // Ghost vertices continue the ends straight on, so the ends collide like the middle.
        const b2Vec2 prev = v[0] + (v[0] - v[1]);
        const b2Vec2 next = v[n - 1] + (v[n - 1] - v[n - 2]);
        b2ChainShape chain;
        chain.CreateChain(v.data(), static_cast<int32>(n), prev, next);
        b2FixtureDef def;
        def.shape = &chain;
        def.friction = friction;
        body->CreateFixture(&def);
        ++made;
    }
    return made;
}

bool PhysicsWorld::castRay(const V3& from, const V3& to, const std::function<bool(const RayHit&)>& accept,
                           RayHit& hit) const
{
    // Box2D reports the fixtures on the segment in no particular order; clipping the ray at each accepted one
    // leaves the nearest.
    class Nearest : public b2RayCastCallback {
    public:
        explicit Nearest(const std::function<bool(const RayHit&)>& accept) : accept(accept) {}
        float ReportFixture(b2Fixture* fixture, const b2Vec2& point, const b2Vec2& normal, float fraction) override
        {
            if (fixture->IsSensor()) {
                return -1.0f;
            }
            RayHit candidate;
            candidate.point = V3(toUnits(point.x), toUnits(point.y), 0.0f);
            candidate.normalX = normal.x;
            candidate.normalY = normal.y;
            candidate.body = fixture->GetBody();
            if (!accept(candidate)) {
                return -1.0f;
            }
            found = candidate;
            met = true;
            return fraction;
        }
        const std::function<bool(const RayHit&)>& accept;
        RayHit found;
        bool met = false;
    };
    const b2Vec2 start = metres(from);
    const b2Vec2 end = metres(to);
    if (b2DistanceSquared(start, end) < MIN_POINT_DISTANCE * MIN_POINT_DISTANCE) {
        return false;
    }
    Nearest nearest(accept);
    physics->RayCast(&nearest, start, end);
    if (!nearest.met) {
        return false;
    }
    hit = nearest.found;
    hit.point.z = from.z;
    return true;
}

void PhysicsWorld::destroyBody(b2Body*& body)
{
    if (body != nullptr) {
        physics->DestroyBody(body);
        body = nullptr;
    }
}

int PhysicsWorld::bodyCount() const { return physics->GetBodyCount(); }
