#include "game/world/Pig.h"

#include <algorithm>
#include <cmath>

#include <box2d/box2d.h>

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/userdata/GameConfiguration.h"
#include "game/world/Apple.h"
#include "game/world/Cargo.h"
#include "game/world/DangerArea.h"
#include "game/world/House.h"
#include "game/world/Ladder.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/Umbrella.h"
#include "game/world/WingedHat.h"
#include "game/world/WorldPointer.h"

const RuntimeClass Pig::classRecord(RuntimeClass::hashName(u"Pig"), &PigBody::classRecord,
                                    &RuntimeClass::factoryOf<Pig>);

namespace {
// Contacts older than the last step (after a jump or a teleport) are not ground for this long.
constexpr double STEP_GROUND_IGNORE = 0.1;

float metres(float units) { return PhysicsWorld::toMetres(units); }

// Default bindings when the user's settings are not there (tests, tools).
constexpr uint32_t DEFAULT_KEYS[5][2] = {{203, 258}, {205, 259}, {45, 256}, {208, 257}, {57, 272}};

bool held(const KivInput& in, const GameConfiguration* config, int binding)
{
    const uint32_t key = config != nullptr ? config->keyBindings[binding].keyboard : DEFAULT_KEYS[binding][0];
    const uint32_t joy = config != nullptr ? config->keyBindings[binding].joystick : DEFAULT_KEYS[binding][1];
    return (key != 0 && in.isDown(static_cast<int>(key))) || (joy != 0 && in.isDown(static_cast<int>(joy)));
}

bool pressed(const KivInput& in, const GameConfiguration* config, int binding)
{
    const uint32_t key = config != nullptr ? config->keyBindings[binding].keyboard : DEFAULT_KEYS[binding][0];
    const uint32_t joy = config != nullptr ? config->keyBindings[binding].joystick : DEFAULT_KEYS[binding][1];
    return (key != 0 && in.wasKeyPressed(static_cast<int>(key))) ||
           (joy != 0 && in.wasKeyPressed(static_cast<int>(joy)));
}
} // namespace

Pig::Pig() : PigBody(LevelAccess::PIG_LIST) { type = TYPE_PIG; }

void Pig::addPropertiesTo(Property& list)
{
    PigBody::addPropertiesTo(list);
    list.appendChild(new PropertyInt(u"moveState", Property::FLAG_READONLY, &moveState));
    list.appendChild(new PropertyBool(u"bJumpGrace", Property::FLAG_READONLY, &bJumpGrace));
    list.appendChild(new PropertyBool(u"bPigAtHome", Property::FLAG_READONLY, &bPigAtHome));
    list.appendChild(worldPointer(u"pCarried", Property::FLAG_READONLY, &pCarried));
    auto* spot = new PropertyContainer(u"safeSpot", Property::FLAG_READONLY);
    spot->appendChild(new PropertyFloat(u"x", Property::FLAG_READONLY, &safeSpot.x));
    spot->appendChild(new PropertyFloat(u"y", Property::FLAG_READONLY, &safeSpot.y));
    spot->appendChild(new PropertyFloat(u"z", Property::FLAG_READONLY, &safeSpot.z));
    list.appendChild(spot);
    list.appendChild(new PropertyFloat(u"faintTimer", Property::FLAG_READONLY, &faintTimer));
}

void Pig::checkValues(const LevelDataCheck::Run& run)
{
    PigBody::checkValues(run);
    LevelDataCheck check(*this, run);
    check.range(u"moveState", moveState, MOVE_GROUND, MOVE_HOME);
    check.reference(u"pCarried", pCarried, &Cargo::classRecord);
    check.coordinate(u"safeSpot.x", safeSpot.x);
    check.coordinate(u"safeSpot.y", safeSpot.y);
    check.size(u"faintTimer", faintTimer, 0.0f, static_cast<float>(FAINT_TIME), 0.0f);
    if (safeSpot.x == 0.0f && safeSpot.y == 0.0f) {
        safeSpot = position;
    }
}

void Pig::setInputOverride(const PigInput* in) { inputOverride = in; }

void Pig::latchInput()
{
    if (inputOverride != nullptr) {
        input = *inputOverride;
        return;
    }
    // A jump press waits for the next physics step: frames come faster than the steps, and a frame without
    // a step must not drop it. The step takes it whether it jumps or not.
    const bool pendingJump = input.jumpPressed;
    input = PigInput{};
    input.jumpPressed = pendingJump;
    Kiv* kiv = Kiv::instance();
    if (kiv == nullptr || kiv->input == nullptr) {
        return;
    }
    const KivInput& in = *kiv->input;
    const GameConfiguration* config = LevelAccess::configuration();
    using B = GameConfiguration::Binding;
    input.left = held(in, config, B::BIND_LEFT) || LevelAccess::touchHeld(LevelAccess::TOUCH_LEFT);
    input.right = held(in, config, B::BIND_RIGHT) || LevelAccess::touchHeld(LevelAccess::TOUCH_RIGHT);
    input.up = held(in, config, B::BIND_USE);
    input.down = held(in, config, B::BIND_DOWN);
    input.jump = held(in, config, B::BIND_JUMP) || LevelAccess::touchHeld(LevelAccess::TOUCH_JUMP);
    input.jumpPressed = input.jumpPressed || pressed(in, config, B::BIND_JUMP) ||
                        LevelAccess::touchPressed(LevelAccess::TOUCH_JUMP);
    // By touch the action is a tap on its object: in touch mode the controller aims the action only at an
    // object tapped in this frame, so a target is the press.
    input.usePressed = pressed(in, config, B::BIND_USE) ||
                       (LevelAccess::touchMode() && LevelAccess::actionTarget() != nullptr);
}

void Pig::tick(double time, double dt)
{
    PigBody::tick(time, dt);
    if (!LevelAccess::isActing()) {
        input = PigInput{};
        return;
    }
    // The cheat: debug request 3 toggles the second guarded counter; turning it on marks the run.
    if (LevelAccess::cheatsAllowed() && LevelAccess::takeDebugRequest() == 3) {
        const bool on = LevelAccess::secondGuardedCounter() != 1;
        LevelAccess::setSecondGuardedCounter(on ? 1 : 0);
        if (on) {
            LevelAccess::addToThirdGuardedCounter(1);
        }
    }
    // Only state 4 moves the pig; in state 5 it stands.
    if (LevelAccess::levelState() == 4) {
        latchInput();
    } else {
        input = PigInput{};
    }

    if (moveState == MOVE_FAINTED) {
        input.jumpPressed = false; // not kept for after the respawn
        faintTimer -= static_cast<float>(dt);
        if (faintTimer <= 0.0f) {
            respawn();
        }
        recordPath(dt);
        return;
    }
    if (moveState == MOVE_HOME) {
        if (input.left || input.right || input.jumpPressed) {
            leaveHouse();
        }
        input.jumpPressed = false; // a press that leaves the house is spent on it
        recordPath(dt);
        return;
    }

    // The action: the target the controller found, when it is within reach.
    if (input.usePressed) {
        if (A99Object* target = LevelAccess::actionTarget(); target != nullptr && !target->bDeleted) {
            if (target == this || distanceTo(target->position) <= ACTION_RANGE ||
                (pCarried != nullptr && static_cast<A99Object*>(pCarried) == target)) {
                target->use(this);
            }
        }
    }

    const LevelAccess::Area area = LevelAccess::playingArea();
    if (area.top != area.bottom && position.y < area.bottom) {
        faint();
        recordPath(dt);
        return;
    }

    if (moveState == MOVE_GROUND && !bOnApple && groundObject != nullptr && pLadder == nullptr) {
        bool safe = true;
        if (KivBase* dangers = LevelAccess::list(LevelAccess::DANGER_AREA_LIST)) {
            for (KivBase* d = dangers->getFirstChild(); d != nullptr; d = d->getNext()) {
                if (d->isDerivedFrom(&DangerArea::classRecord) && static_cast<DangerArea*>(d)->contains(position)) {
                    safe = false;
                    break;
                }
            }
        }
        if (safe) {
            safeSpot = position;
        }
    }

    // Footsteps while walking.
    if (moveState == MOVE_GROUND && (input.left || input.right) && groundObject != nullptr) {
        footstepTime -= dt;
        if (footstepTime <= 0.0) {
            footstepTime = 0.3;
            LevelAccess::playSound(footstepOf(groundObject->groundMaterial));
        }
    }
    recordPath(dt);
}

void Pig::recordPath(double dt)
{
    pathClock += dt;
    // Standing still adds nothing, so the ring keeps the way it came by for the piglets; a point where it
    // came down and now stands counts as stood on.
    if (pathCount > 0 && path[static_cast<std::size_t>(pathHead)].position == position) {
        path[static_cast<std::size_t>(pathHead)].bStanding |= moveState == MOVE_GROUND;
        return;
    }
    pathHead = (pathHead + 1) % PATH_LENGTH;
    path[static_cast<std::size_t>(pathHead)] = PathPoint{position, moveState == MOVE_GROUND};
    pathTime[static_cast<std::size_t>(pathHead)] = pathClock;
    pathCount = std::min(pathCount + 1, PATH_LENGTH);
}

Pig::PathPoint Pig::pathAt(double delay) const
{
    if (pathCount == 0 || delay <= 0.0) {
        return PathPoint{position, moveState == MOVE_GROUND};
    }
    const double when = pathClock - delay;
    int index = pathHead;
    for (int i = 0; i < pathCount; ++i) {
        const int at = (pathHead - i + PATH_LENGTH) % PATH_LENGTH;
        index = at;
        if (pathTime[static_cast<std::size_t>(at)] <= when) {
            break;
        }
    }
    return path[static_cast<std::size_t>(index)];
}

bool Pig::pathPointBeyond(float side, float gap, PathPoint& out) const
{
    for (int i = 0; i < pathCount; ++i) {
        const PathPoint& p = path[static_cast<std::size_t>((pathHead - i + PATH_LENGTH) % PATH_LENGTH)];
        if (p.bStanding && (p.position.x - position.x) * side >= gap) {
            out = p;
            return true;
        }
    }
    return false;
}

int Pig::mouthNow() const
{
    if (moveState == MOVE_AIR && velocity.y > 0.0f) {
        return 1; // wide open on the way up
    }
    if (pCarried != nullptr || moveState == MOVE_FAINTED) {
        return 2;
    }
    return 0;
}

bool Pig::queryAction(const V3& hero, int32_t& priority, float& distance)
{
    if (moveState == MOVE_FAINTED || moveState == MOVE_HOME) {
        return false;
    }
    House* house = LevelAccess::house();
    const bool atDoor = house != nullptr && house->isAtDoor(position);
    if (!atDoor && pLadder == nullptr) {
        return false;
    }
    // The pig asks from where it stands; a press by touch or mouse counts on the pig as it is drawn.
    const V3 centre = hero == position ? position : drawnCentre();
    const float d = std::hypot(hero.x - centre.x, hero.y - centre.y);
    if (d > ACTION_RANGE) {
        return false;
    }
    priority = atDoor ? PRIORITY_DOOR : PRIORITY_LADDER;
    distance = d;
    return true;
}

void Pig::use(Pig* pig)
{
    if (pig != this) {
        return;
    }
    House* house = LevelAccess::house();
    if (house != nullptr && house->isAtDoor(position)) {
        enterHouse();
        return;
    }
    if (pLadder != nullptr && moveState != MOVE_CLIMBING) {
        moveState = MOVE_CLIMBING;
    }
}

void Pig::enterHouse()
{
    House* house = LevelAccess::house();
    moveState = MOVE_HOME;
    bPigAtHome = true;
    bHidden = true;
    if (house != nullptr) {
        house->bPigAtHome = true;
        house->pigEntered(this);
    }
    // What it carries goes in with it.
    if (pCarried != nullptr) {
        pCarried->setIndoors(true);
    }
    if (body != nullptr) {
        body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
        body->SetEnabled(false);
    }
    LevelAccess::playSound(u"doorOpen");
}

void Pig::leaveHouse()
{
    moveState = MOVE_GROUND;
    bPigAtHome = false;
    bHidden = false;
    if (House* house = LevelAccess::house()) {
        house->bPigAtHome = false;
    }
    if (pCarried != nullptr) {
        pCarried->setIndoors(false);
    }
    if (body != nullptr) {
        body->SetEnabled(true);
    }
    LevelAccess::playSound(u"doorClose");
}

void Pig::faint()
{
    if (moveState == MOVE_FAINTED || moveState == MOVE_HOME || !LevelAccess::isActing()) {
        return;
    }
    LevelAccess::addToCounter(LevelAccess::LIVES_LOST, 1);
    LevelAccess::playSound(u"pigFaint");
    dropCarried();
    moveState = MOVE_FAINTED;
    faintTimer = static_cast<float>(FAINT_TIME);
    pLadder = nullptr;
    if (body != nullptr) {
        body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
        body->SetEnabled(false);
    }
}

void Pig::placeAt(const V3& point)
{
    moveState = MOVE_AIR;
    position = point;
    velocity = V3{};
    groundObject = nullptr;
    groundIgnoredFor = STEP_GROUND_IGNORE;
    if (body != nullptr) {
        body->SetTransform(b2Vec2(metres(position.x), metres(position.y)), 0.0f);
        body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
        body->SetEnabled(true);
        body->SetAwake(true);
    }
    updateVisuals();
}

void Pig::respawn()
{
    faintTimer = 0.0f;
    placeAt(safeSpot);
    LevelAccess::playSound(u"pigSpawn");
    LevelAccess::lookAtThenFollow(position.x, position.y, 1.0);
}

void Pig::pickUp(Cargo* cargo)
{
    if (cargo == nullptr || cargo == pCarried) {
        return;
    }
    dropCarried();
    pCarried = cargo;
    cargo->attachTo(this);
    LevelAccess::playSound(u"pigCarry");
}

void Pig::dropCarried()
{
    if (pCarried == nullptr) {
        return;
    }
    Cargo* cargo = pCarried;
    pCarried = nullptr;
    cargo->detach(V3{position.x + facing() * (RADIUS + cargo->halfWidth()), position.y, position.z});
}

float Pig::jumpSpeed() const
{
    float height = JUMP_HEIGHT;
    if (bOnApple) {
        height *= APPLE_JUMP;
    }
    if (pCarried != nullptr && pCarried->isDerivedFrom(&WingedHat::classRecord)) {
        height *= HAT_JUMP;
    }
    return std::sqrt(2.0f * PhysicsWorld::GRAVITY * height);
}

void Pig::makeBody(PhysicsWorld& world)
{
    A99Object::makeBody(world);
    body = world.createDynamicBody(this, position, 0.0f, true);
    world.addCircle(body, RADIUS, 1.0f, 0.0f, 0.0f);
    body->SetBullet(true);
    body->SetSleepingAllowed(false);
    body->SetLinearVelocity(b2Vec2(metres(velocity.x), metres(velocity.y)));
    if (moveState == MOVE_FAINTED || moveState == MOVE_HOME) {
        body->SetEnabled(false);
    }
    if (safeSpot.x == 0.0f && safeSpot.y == 0.0f) {
        safeSpot = position;
    }
}

bool Pig::findGround(float& nx, float& ny, A99Object*& ground) const
{
    bool found = false;
    ny = -2.0f;
    for (b2ContactEdge* edge = body->GetContactList(); edge != nullptr; edge = edge->next) {
        b2Contact* c = edge->contact;
        if (!c->IsTouching() || !c->IsEnabled() || c->GetFixtureA()->IsSensor() || c->GetFixtureB()->IsSensor()) {
            continue;
        }
        b2WorldManifold m;
        c->GetWorldManifold(&m);
        // The normal points from A to B; we want it pointing from the ground into the pig.
        b2Vec2 n = c->GetFixtureB()->GetBody() == body ? m.normal : -m.normal;
        if (n.y > ny) {
            ny = n.y;
            nx = n.x;
            ground = reinterpret_cast<A99Object*>(edge->other->GetUserData().pointer);
            found = true;
        }
    }
    return found && ny >= MAX_SLOPE_COS;
}

void Pig::prePhysicsStep(float dt)
{
    if (body == nullptr || moveState == MOVE_FAINTED || moveState == MOVE_HOME) {
        return;
    }
    // The ladder the pig stands in, if any.
    pLadder = nullptr;
    if (KivBase* objects = LevelAccess::list(LevelAccess::OBJECT_LIST)) {
        for (KivBase* o = objects->getFirstChild(); o != nullptr; o = o->getNext()) {
            if (o->isDerivedFrom(&Ladder::classRecord) && !static_cast<Ladder*>(o)->bHidden &&
                static_cast<Ladder*>(o)->contains(position)) {
                pLadder = static_cast<Ladder*>(o);
                break;
            }
        }
    }
    if (moveState == MOVE_CLIMBING && (pLadder == nullptr || input.jumpPressed || input.left || input.right)) {
        moveState = MOVE_AIR;
    }

    A99Object* ground = nullptr;
    float nx = 0.0f;
    float ny = 1.0f;
    groundIgnoredFor = std::max(0.0, groundIgnoredFor - static_cast<double>(dt));
    const bool onGround = moveState != MOVE_CLIMBING && groundIgnoredFor <= 0.0 && findGround(nx, ny, ground);
    const b2Vec2 v = body->GetLinearVelocity();
    if (moveState != MOVE_CLIMBING) {
        if (onGround) {
            moveState = MOVE_GROUND;
            graceLeft = JUMP_GRACE;
            groundObject = ground;
            groundNx = nx;
            groundNy = ny;
            bOnApple = ground != nullptr && ground->isDerivedFrom(&Apple::classRecord);
        } else {
            if (moveState == MOVE_GROUND) {
                moveState = MOVE_AIR;
            }
            graceLeft = std::max(0.0, graceLeft - static_cast<double>(dt));
            groundObject = nullptr;
        }
    }
    bJumpGrace = graceLeft > 0.0;

    const float dir = (input.right ? 1.0f : 0.0f) - (input.left ? 1.0f : 0.0f);
    if (dir != 0.0f) {
        scale.x = std::fabs(scale.x) * dir;
    }

    if (moveState == MOVE_CLIMBING) {
        float climb = (input.up ? 1.0f : 0.0f) - (input.down ? 1.0f : 0.0f);
        // Touch controls have no up and down: the tapped ladder is climbed to its top, where the pig holds
        // on until an arrow or the jump button takes it off.
        if (climb == 0.0f && pLadder != nullptr && LevelAccess::touchMode()) {
            const float reach = pLadder->triggerHalfHeight > 0.0f ? pLadder->triggerHalfHeight : pLadder->triggerRadius;
            const float stepUp = PhysicsWorld::toUnits(CLIMB_SPEED) * dt;
            climb = position.y + stepUp < pLadder->position.y + reach ? 1.0f : 0.0f;
        }
        body->SetGravityScale(0.0f);
        body->SetLinearVelocity(b2Vec2(0.0f, climb * CLIMB_SPEED));
        return;
    }
    body->SetGravityScale(1.0f);

    b2Vec2 next = v;
    if (moveState == MOVE_GROUND) {
        // Along the surface, so slopes are walked and not jumped off.
        const b2Vec2 tangent(groundNy, -groundNx);
        next = WALK_SPEED * dir * tangent;
        if (dir == 0.0f) {
            next.SetZero();
            body->SetGravityScale(0.0f); // stands still on a slope
        }
    } else {
        next.x = WALK_SPEED * dir;
    }

    // A jump from the ground, within the grace time after an edge, or at any time with the cheat on.
    if (input.jumpPressed && (moveState == MOVE_GROUND || bJumpGrace || LevelAccess::secondGuardedCounter() == 1)) {
        next.y = jumpSpeed();
        moveState = MOVE_AIR;
        graceLeft = 0.0;
        groundIgnoredFor = STEP_GROUND_IGNORE;
        bJumpGrace = false;
        body->SetGravityScale(1.0f);
        LevelAccess::playSound(u"pigJump");
    }
    input.jumpPressed = false; // one jump per press, even over several steps

    // An open umbrella caps the fall.
    if (pCarried != nullptr && pCarried->isDerivedFrom(&Umbrella::classRecord)) {
        auto* umbrella = static_cast<Umbrella*>(pCarried);
        umbrella->setOpen(next.y < -Umbrella::FALL_SPEED * 0.5f && moveState == MOVE_AIR);
        if (umbrella->bOpen && next.y <= -Umbrella::FALL_SPEED) {
            // It sinks at the umbrella's speed: gravity no longer adds to it.
            next.y = -Umbrella::FALL_SPEED;
            body->SetGravityScale(0.0f);
        }
    }
    body->SetLinearVelocity(next);
}

void Pig::onContact(A99Object& other, const PhysicsWorld::Contact& contact, bool first)
{
    // What it carries rides on its head and never lands on it (its touch is made anew when the pig comes
    // out of the house).
    if (&other == static_cast<A99Object*>(pCarried)) {
        return;
    }
    // The normal points from a to b; up into the pig means the pig landed on something.
    const float intoPigY = first ? -contact.normalY : contact.normalY;
    if (intoPigY < MAX_SLOPE_COS || contact.approachSpeed < FAINT_LANDING) {
        return;
    }
    const bool umbrella = pCarried != nullptr && pCarried->isDerivedFrom(&Umbrella::classRecord);
    if (!umbrella) {
        faint();
    }
}
