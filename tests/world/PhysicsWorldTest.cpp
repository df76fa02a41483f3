// The physics world on its own: the fixed step with its accumulator and cap, one-way hulls, the order
// and speed of the contacts handed to their objects, and the bound on the contacts of a heap.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <utility>
#include <vector>

#include <box2d/box2d.h>

#include "game/world/A99Object.h"
#include "game/world/PhysicsWorld.h"

namespace {
// A body owner that notes its contacts.
class Probe : public A99Object {
public:
    explicit Probe(int32_t uid, std::vector<std::pair<int32_t, int32_t>>* log = nullptr) : log(log)
    {
        objectUID = uid;
    }
    ~Probe() override { objectUID = 0; }
    void onContact(A99Object& other, const PhysicsWorld::Contact& contact, bool /*first*/) override
    {
        if (log != nullptr) {
            log->emplace_back(objectUID, other.objectUID);
        }
        fastest = std::max(fastest, contact.approachSpeed);
        last = contact;
    }
    std::vector<std::pair<int32_t, int32_t>>* log;
    float fastest = 0.0f;
    PhysicsWorld::Contact last;
};

b2Body* ball(PhysicsWorld& world, Probe& owner, float x, float y, float vy = 0.0f)
{
    b2Body* body = world.createDynamicBody(&owner, V3{x, y, 0.0f}, 0.0f, false);
    world.addCircle(body, 16.0f, 1.0f, 0.5f, 0.0f);
    body->SetLinearVelocity(b2Vec2(0.0f, vy));
    owner.body = body;
    owner.bodyWorld = &world;
    return body;
}

// The body's contacts with other moving bodies.
int movingContacts(const b2Body* body)
{
    int count = 0;
    for (const b2ContactEdge* edge = body->GetContactList(); edge != nullptr; edge = edge->next) {
        count += edge->other->GetType() == b2_dynamicBody ? 1 : 0;
    }
    return count;
}

b2Body* ground(PhysicsWorld& world, Probe& owner, bool oneWay)
{
    b2Body* body = world.createStaticBody(&owner, V3{});
    EXPECT_EQ(world.addChainRun(body, {V3{-500.0f, 0.0f, 0.0f}, V3{500.0f, 0.0f, 0.0f}}, oneWay, 0.8f),
              oneWay ? 1 : 2);
    owner.hullBody = body;
    owner.bodyWorld = &world;
    return body;
}
} // namespace

TEST(PhysicsWorld, StepsAtASixtiethWithAtMostFourStepsPerTick)
{
    PhysicsWorld world;
    EXPECT_EQ(world.step(1.0 / 60.0), 1);
    EXPECT_EQ(world.step(0.005), 0);
    EXPECT_EQ(world.step(0.012), 1) << "the remainder is kept";
    EXPECT_EQ(world.step(0.5), 4) << "a long frame runs four steps and drops the rest";
    EXPECT_EQ(world.step(1.0 / 60.0), 1);
    EXPECT_EQ(world.step(0.0), 0);
    EXPECT_EQ(world.step(-1.0), 0);
    EXPECT_EQ(world.step(std::nan("")), 0);
    EXPECT_EQ(world.stepCount(), 7u);
}

TEST(PhysicsWorld, FallsUnderGravityInWorldUnits)
{
    PhysicsWorld world;
    Probe p(2);
    ball(world, p, 0.0f, 1000.0f);
    for (int i = 0; i < 60; ++i) {
        world.step(1.0 / 60.0);
    }
    // About half of g t^2 after one second (semi-implicit Euler falls a little further).
    const float fallen = 1000.0f - p.position.y;
    EXPECT_NEAR(fallen, 0.5f * PhysicsWorld::GRAVITY * 64.0f, 30.0f);
    EXPECT_NEAR(p.velocity.y, -PhysicsWorld::GRAVITY * 64.0f, 1.0f);
}

TEST(PhysicsWorld, AOneWayHullHoldsFromAboveAndLetsThroughFromBelow)
{
    PhysicsWorld world;
    Probe floor(1);
    ground(world, floor, true);
    Probe above(2);
    Probe below(3);
    ball(world, above, 0.0f, 100.0f);
    ball(world, below, 200.0f, -100.0f, 12.0f);
    for (int i = 0; i < 120; ++i) {
        world.step(1.0 / 60.0);
    }
    EXPECT_NEAR(above.position.y, 16.0f, 2.0f);
    EXPECT_NEAR(below.position.y, 16.0f, 2.0f) << "went up through it and landed on it";

    // A two-sided hull stops the same ball from below.
    PhysicsWorld solid;
    Probe wall(1);
    ground(solid, wall, false);
    Probe up(3);
    ball(solid, up, 200.0f, -100.0f, 12.0f);
    for (int i = 0; i < 120; ++i) {
        solid.step(1.0 / 60.0);
    }
    EXPECT_LT(up.position.y, -16.0f + 2.0f);
}

TEST(PhysicsWorld, ContactsArriveAfterTheStepInUidOrderWithTheirImpactSpeed)
{
    PhysicsWorld world;
    std::vector<std::pair<int32_t, int32_t>> log;
    Probe floor(9, &log);
    ground(world, floor, false);
    Probe late(5, &log);
    Probe early(3, &log);
    Probe after(12, &log);
    // Made in the other order: the delivery order does not depend on it.
    ball(world, late, -100.0f, 16.5f, -3.0f);
    ball(world, early, 100.0f, 16.5f, -3.0f);
    ball(world, after, 300.0f, 16.5f, -3.0f);
    world.step(1.0 / 60.0);
    const std::vector<std::pair<int32_t, int32_t>> expected{{3, 9}, {9, 3}, {5, 9}, {9, 5}, {9, 12}, {12, 9}};
    EXPECT_EQ(log, expected);
    EXPECT_NEAR(early.fastest, 3.0f, 0.5f);
    EXPECT_NEAR(floor.fastest, 3.0f, 0.5f);
    // The normal points from the lower UID to the higher, whichever fixture the physics put first: down from
    // a ball into a floor of a higher UID, up from a floor into a ball of a higher UID.
    EXPECT_EQ(early.last.a, &early);
    EXPECT_EQ(early.last.b, &floor);
    EXPECT_NEAR(early.last.normalX, 0.0f, 1e-4f);
    EXPECT_NEAR(early.last.normalY, -1.0f, 1e-4f);
    EXPECT_EQ(after.last.a, &floor);
    EXPECT_NEAR(after.last.normalY, 1.0f, 1e-4f);
    EXPECT_NEAR(after.fastest, 3.0f, 0.5f);

    // A sensor's touch has no contact points, so it has no normal and no speed to report, also when it
    // begins in the same step as a real impact.
    PhysicsWorld touching;
    Probe ledge(1);
    ground(touching, ledge, false);
    Probe ghost(2);
    Probe solid(3);
    ball(touching, solid, 200.0f, 16.5f, -3.0f);
    ball(touching, ghost, 0.0f, 10.0f, -3.0f)->GetFixtureList()->SetSensor(true);
    touching.step(1.0 / 60.0);
    ASSERT_EQ(ghost.last.a, &ledge);
    EXPECT_EQ(ghost.last.normalX, 0.0f);
    EXPECT_EQ(ghost.last.normalY, 0.0f);
    EXPECT_EQ(ghost.last.approachSpeed, 0.0f);
}

TEST(PhysicsWorld, DegenerateRunsMakeNoChainAndClearingLetsOwnersForgetTheirBodies)
{
    PhysicsWorld world;
    Probe owner(1);
    b2Body* body = world.createStaticBody(&owner, V3{});
    const float nan = std::nanf("");
    EXPECT_EQ(world.addChainRun(body, {}, false, 0.5f), 0);
    EXPECT_EQ(world.addChainRun(body, {V3{1.0f, 1.0f, 0.0f}, V3{1.0f, 1.0f, 0.0f}}, false, 0.5f), 0)
        << "two points at the same place";
    EXPECT_EQ(world.addChainRun(body, {V3{nan, 0.0f, 0.0f}, V3{5.0f, 0.0f, 0.0f}}, false, 0.5f), 0);
    owner.hullBody = body;
    owner.bodyWorld = &world;
    world.clear();
    EXPECT_EQ(owner.hullBody, nullptr);
    EXPECT_EQ(owner.bodyWorld, nullptr);
    EXPECT_EQ(world.bodyCount(), 0);
}

// A heap of balls put on top of each other pushes apart with each ball in contact with at most
// MAX_MOVING_CONTACTS others (not with every other one), and lands on the floor. A crate with more balls
// than that lying on it holds them all.
TEST(PhysicsWorld, AHeapKeepsItsContactsBoundedAndABodyLargerThanItsNeighboursTakesThemAll)
{
    constexpr int HEAP = 200;
    PhysicsWorld world;
    Probe floor(1);
    ground(world, floor, false);
    std::deque<Probe> heap;
    for (int i = 0; i < HEAP; ++i) {
        ball(world, heap.emplace_back(2 + i), static_cast<float>(i % 7), 100.0f + static_cast<float>(i % 5));
    }
    int most = 0;
    for (int step = 0; step < 60; ++step) {
        world.step(1.0 / 60.0);
        for (const Probe& p : heap) {
            most = std::max(most, movingContacts(p.body));
        }
    }
    EXPECT_GT(most, 0);
    EXPECT_LE(most, PhysicsWorld::MAX_MOVING_CONTACTS);
    for (const Probe& p : heap) {
        EXPECT_GT(p.position.y, 0.0f) << "ball " << p.objectUID << " went through the floor";
    }

    // Twenty-eight balls side by side on a crate wider than the row.
    PhysicsWorld stacked;
    Probe base(1);
    ground(stacked, base, false);
    Probe crate(2);
    crate.body = stacked.createDynamicBody(&crate, V3{0.0f, 20.0f, 0.0f}, 0.0f, false);
    stacked.addBox(crate.body, 490.0f, 20.0f, 1.0f, 0.8f, 0.0f);
    crate.bodyWorld = &stacked;
    std::deque<Probe> row;
    for (int i = 0; i < 28; ++i) {
        ball(stacked, row.emplace_back(3 + i), -459.0f + 34.0f * static_cast<float>(i), 60.0f);
    }
    for (int step = 0; step < 60; ++step) {
        stacked.step(1.0 / 60.0);
    }
    EXPECT_GT(movingContacts(crate.body), PhysicsWorld::MAX_MOVING_CONTACTS);
    for (const Probe& p : row) {
        EXPECT_NEAR(p.position.y, 56.0f, 2.0f) << "ball " << p.objectUID << " is not on the crate";
    }
}
