#pragma once
// A piglet (types 2 to 4): no physics body; it follows the pig's path 0.3 s x (type - 1) behind, never
// closer to the pig than its place in the line; when the pig turns back it runs past it to its place, as far
// as the way is clear. It hops along where the pig jumped; elsewhere, and when the line comes to rest, it
// stands on the level's ground, falling to it where that has gone from under it. It goes home with the pig.
#include "game/world/PigBody.h"

class Pig;

class Piglet : public PigBody {
public:
    static const RuntimeClass classRecord;
    static constexpr double FOLLOW_DELAY = 0.3; // s per place in the line
    // The least distance from the pig's centre to the first piglet's, and between places in the line.
    static constexpr float FIRST_GAP = 84.0f;
    static constexpr float GAP = 68.0f;
    // Faster than the pig, so it catches up after a turn; farther than this it is put there at once.
    static constexpr float CATCH_UP_SPEED = 576.0f; // units/s
    static constexpr float SNAP_DISTANCE = 800.0f;
    // The ground it walks up or down from one tick to the next without a fall, in units.
    static constexpr float STEP_HEIGHT = 12.0f;
    static constexpr float FALL_DEPTH = 4096.0f; // how far down it looks for ground in a level without bounds

    Piglet();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void makeBody(PhysicsWorld& /*world*/) override {}

    // Its least distance from the pig.
    float gap() const { return FIRST_GAP + GAP * static_cast<float>(type - 2); }

    bool bHome = false;

private:
    void follow(const Pig& pig, double dt);
    // How far from the pig's centre, up to `wanted`, its place on the side `side` at the pig's height is
    // clear of the level's ground for all of its picture.
    float roomBeside(const Pig& pig, float side, float wanted) const;
    // Stands on the ground under it, or falls towards it.
    void settle(double dt);

    bool bPlaced = false;
    float fallSpeed = 0.0f; // units/s
};
