#pragma once
// The pig, the player's character. It moves in level state 4 only, by the key bindings or the three touch
// controls: walking at 4.5 m/s on slopes up to 50 degrees, jumping 1.6 m (1.3 times as high from an apple,
// 1.5 times with the winged hat), climbing ladders, carrying one cargo on its head and going in at the
// house door, which takes its action before anything else within reach. It faints in danger, below the
// playing area or after a hard landing without an umbrella, and comes back at its last safe spot 1.5 s
// later. Piglets follow the path it leaves.
#include <array>
#include <cstdint>

#include "game/world/PigBody.h"

class Cargo;
class Ladder;

// The controls of one frame.
struct PigInput {
    bool left = false;
    bool right = false;
    bool up = false;   // the use/carry action, held
    bool down = false;
    bool jump = false; // held
    bool jumpPressed = false;
    bool usePressed = false;
};

class Pig : public PigBody {
public:
    static const RuntimeClass classRecord;

    enum MoveState : int32_t { MOVE_GROUND, MOVE_AIR, MOVE_CLIMBING, MOVE_FAINTED, MOVE_HOME };

    static constexpr float RADIUS = 28.0f;          // units
    // How far its picture reaches beyond its round body, ahead (the snout) and behind (the tail).
    static constexpr float PICTURE_OVERHANG = PIG_BOX_WIDTH / 2.0f - RADIUS;
    static constexpr float WALK_SPEED = 4.5f;       // m/s
    static constexpr float CLIMB_SPEED = 2.5f;      // m/s
    static constexpr float JUMP_HEIGHT = 1.6f;      // m
    static constexpr float APPLE_JUMP = 1.3f;       // height factor from an apple
    static constexpr float HAT_JUMP = 1.5f;         // height factor with the winged hat
    static constexpr float MAX_SLOPE_COS = 0.6427876f; // cos 50 degrees
    static constexpr float FAINT_LANDING = 22.0f;   // m/s
    static constexpr double JUMP_GRACE = 0.1;       // s after walking off an edge
    static constexpr double FAINT_TIME = 1.5;       // s
    static constexpr float ACTION_RANGE = 96.0f;    // units
    static constexpr int PATH_LENGTH = 128;         // ticks of path the piglets can follow

    Pig();

    const RuntimeClass* getClass() const override { return &classRecord; }
    void tick(double time, double dt) override;
    void addPropertiesTo(Property& list) override;
    void checkValues(const LevelDataCheck::Run& run) override;

    bool queryAction(const V3& hero, int32_t& priority, float& distance) override;
    // Its own action: in at the door, or onto a ladder.
    void use(Pig* pig) override;

    void makeBody(PhysicsWorld& world) override;
    void prePhysicsStep(float dt) override;
    void onContact(A99Object& other, const PhysicsWorld::Contact& contact, bool first) override;

    // Uses this input instead of the bindings (tests, recorded playback); null goes back to the bindings.
    void setInputOverride(const PigInput* input);
    const PigInput& getInput() const { return input; }

    // Puts the pig at a point, standing still and in the air (a respawn, a teleport).
    void placeAt(const V3& point);
    void faint();
    bool isFainted() const { return moveState == MOVE_FAINTED; }
    bool isHome() const { return moveState == MOVE_HOME; }
    void pickUp(Cargo* cargo);
    // Puts the carried cargo down in front of the pig (nothing when the head is empty).
    void dropCarried();
    // A point of the path it leaves, and whether it stood on the ground there (not in a jump or a fall, nor
    // on a ladder).
    struct PathPoint {
        V3 position;
        bool bStanding = true;
    };
    // Where the pig was `delay` seconds ago (where it is now for 0 or when the path is shorter).
    PathPoint pathAt(double delay) const;
    // The latest point of its path where it stood on the ground at least `gap` units from where it is now,
    // on the side `side` (-1 left, +1 right); false when its path does not reach that far.
    bool pathPointBeyond(float side, float gap, PathPoint& out) const;
    // -1 facing left, +1 facing right.
    float facing() const { return scale.x < 0.0f ? -1.0f : 1.0f; }
    // The jump speed in m/s from the ground it stands on and its hat.
    float jumpSpeed() const;

    int32_t moveState = MOVE_AIR;
    bool bJumpGrace = false;
    bool bPigAtHome = false;
    Cargo* pCarried = nullptr;
    V3 safeSpot;
    float faintTimer = 0.0f;

protected:
    bool standsOnGround() const override { return moveState == MOVE_GROUND; }
    bool eyesShut() const override { return moveState == MOVE_FAINTED; }
    int mouthNow() const override;
    bool lookingUp() const override { return moveState == MOVE_CLIMBING; }

private:
    void latchInput();
    void leaveHouse();
    void enterHouse();
    void respawn();
    void recordPath(double dt);
    // The best ground contact of the body: true with its upward normal and owner.
    bool findGround(float& nx, float& ny, A99Object*& ground) const;

    PigInput input;
    const PigInput* inputOverride = nullptr;
    double graceLeft = 0.0;
    // After a jump the ground it left does not count for a moment.
    double groundIgnoredFor = 0.0;
    double footstepTime = 0.0;
    bool bOnApple = false;
    A99Object* groundObject = nullptr;
    float groundNx = 0.0f;
    float groundNy = 1.0f;
    Ladder* pLadder = nullptr;
    // A ring of recent positions, one per tick in which the pig moved, with their times.
    std::array<PathPoint, PATH_LENGTH> path{};
    std::array<double, PATH_LENGTH> pathTime{};
    int pathHead = 0;
    int pathCount = 0;
    double pathClock = 0.0;
};
