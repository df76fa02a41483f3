#include "game/world/Piglet.h"

#include <algorithm>
#include <cmath>

#include <box2d/box2d.h>

#include "engine/core/PropertyBool.h"
#include "game/world/PhysicsWorld.h"
#include "game/world/Pig.h"

const RuntimeClass Piglet::classRecord(RuntimeClass::hashName(u"Piglet"), &PigBody::classRecord,
                                       &RuntimeClass::factoryOf<Piglet>);

Piglet::Piglet() : PigBody(LevelAccess::PIGLET_LIST) { type = 2; }

void Piglet::addPropertiesTo(Property& list)
{
    PigBody::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bHome", Property::FLAG_READONLY, &bHome));
}

void Piglet::tick(double time, double dt)
{
    PigBody::tick(time, dt);
    Pig* pig = LevelAccess::hero();
    if (pig == nullptr || !LevelAccess::isServer() || LevelAccess::isEditing()) {
        return;
    }
    if (LevelAccess::isActing() && pig->isHome() != bHome) {
        bHome = pig->isHome();
        bHidden = bHome;
        if (bHome) {
            LevelAccess::playSound(u"pigletJump");
        }
    }
    if (bHome || pig->isFainted()) {
        return;
    }
    follow(*pig, dt);
}

void Piglet::follow(const Pig& pig, double dt)
{
    Pig::PathPoint target = pig.pathAt(FOLLOW_DELAY * static_cast<double>(type - 1));
    // The side of the pig it belongs on: where the pig came from, else where it stands, else behind the pig.
    const float fromPig = target.position.x - pig.position.x;
    const float ownSide = bPlaced ? position.x - pig.position.x : 0.0f;
    const float side = std::fabs(fromPig) > 1.0f ? (fromPig < 0.0f ? -1.0f : 1.0f)
                       : ownSide != 0.0f        ? (ownSide < 0.0f ? -1.0f : 1.0f)
                                                : -pig.facing();
    if (fromPig * side < gap() && !pig.pathPointBeyond(side, gap(), target)) {
        // The pig's path is shorter than the line (the level start, or a turn at a wall): in line at the pig's
        // height, as far as the way is clear.
        target.position = V3{pig.position.x + side * roomBeside(pig, side, gap()), pig.position.y, position.z};
        target.bStanding = true;
    }
    target.position.z = position.z;
    const float dx = target.position.x - position.x;
    if (!bPlaced || std::fabs(dx) > SNAP_DISTANCE) {
        position = target.position;
        scale.x = std::fabs(scale.x) * pig.facing();
        bPlaced = true;
        fallSpeed = 0.0f;
        if (target.bStanding) {
            settle(dt);
        }
        updateVisuals();
        return;
    }
    const float rel = position.x - pig.position.x;
    // Far enough behind, it waits for the line to come by rather than walking back to it. When the pig turns
    // towards it, it runs past the pig to its place behind.
    const bool waiting =
        rel * side > 0.0f && std::fabs(rel) >= gap() && std::fabs(target.position.x - pig.position.x) > std::fabs(rel);
    if (!waiting) {
        const float reach = CATCH_UP_SPEED * static_cast<float>(dt);
        position.x += std::clamp(dx, -reach, reach);
        if (dx != 0.0f) {
            scale.x = std::fabs(scale.x) * (dx < 0.0f ? -1.0f : 1.0f);
        }
    }
    if (!waiting && !target.bStanding) {
        position.y = target.position.y; // hopping where the pig jumped
        fallSpeed = 0.0f;
    } else {
        settle(dt);
    }
    updateVisuals();
}

float Piglet::roomBeside(const Pig& pig, float side, float wanted) const
{
    PhysicsWorld* world = LevelAccess::physics();
    if (world == nullptr) {
        return wanted;
    }
    const float half = pictureHalfWidth();
    const V3 from = pig.position;
    auto fixedGround = [](const PhysicsWorld::RayHit& hit) { return hit.body->GetType() == b2_staticBody; };
    PhysicsWorld::RayHit hit;
    if (!world->castRay(from, from + V3(side * (wanted + half), 0.0f, 0.0f), fixedGround, hit)) {
        return wanted;
    }
    return std::min(wanted, std::fabs(hit.point.x - from.x) - half);
}

void Piglet::settle(double dt)
{
    PhysicsWorld* world = LevelAccess::physics();
    if (world == nullptr) {
        return;
    }
    // The level's fixed ground facing up, below the top of a step it may walk up. A piglet stands at the
    // height of the pig's centre, its feet the pig's radius lower.
    auto ground = [](const PhysicsWorld::RayHit& hit) {
        return hit.body->GetType() == b2_staticBody && hit.normalY > 0.0f;
    };
    // It looks down to the bottom of the playing area, or a long way without one.
    const LevelAccess::Area area = LevelAccess::playingArea();
    const float bottom = area.top != area.bottom ? area.bottom : position.y - FALL_DEPTH;
    const V3 from(position.x, position.y + STEP_HEIGHT, position.z);
    const float lowest = std::min(bottom, position.y) - Pig::RADIUS;
    PhysicsWorld::RayHit hit;
    if (!world->castRay(from, V3(position.x, lowest, position.z), ground, hit)) {
        fallSpeed = 0.0f; // nothing under it: it keeps its height
        return;
    }
    const float standing = hit.point.y + Pig::RADIUS;
    if (position.y <= standing + STEP_HEIGHT) {
        position.y = standing;
        fallSpeed = 0.0f;
        return;
    }
    fallSpeed += PhysicsWorld::toUnits(PhysicsWorld::GRAVITY) * static_cast<float>(dt);
    position.y = std::max(standing, position.y - fallSpeed * static_cast<float>(dt));
}
