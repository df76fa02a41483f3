#pragma once
// An object the pig can carry on its head: a box that falls and slides while free and follows the pig,
// kinematic, while carried. Use picks it up when the pig's head is empty, after dropping what it carries;
// the carried cargo answers the action query at distance 0, so the next use puts it down (at the house's
// door the pig goes in with it instead). Cargo lost in danger or below the playing area goes back to where
// it started.
#include "game/world/A99Object.h"

class Cargo : public A99Object {
public:
    static const RuntimeClass classRecord;
    static constexpr float QUERY_RANGE = 96.0f;

    Cargo();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;

    bool queryAction(const V3& hero, int32_t& priority, float& distance) override;
    void use(Pig* pig) override;

    void makeBody(PhysicsWorld& world) override;
    bool startsWithVelocity() const override { return true; }
    void prePhysicsStep(float dt) override;

    // Carried by the pig from now on.
    void attachTo(Pig* pig);
    // Put down at the point.
    void detach(const V3& at);
    // Back to the start, free.
    void returnToStart();
    // Out of sight and out of the world while its carrier is in the house (true), and back with it.
    void setIndoors(bool indoors);
    float halfWidth() const;
    float halfHeight() const;

    Pig* carriedBy = nullptr;
    V3 startPosition;
    bool bStartKnown = false;

protected:
    explicit Cargo(LevelAccess::ListId home);
    // Where on the carrier's head the cargo sits.
    V3 carryPoint() const;
};
