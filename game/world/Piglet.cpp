#include "game/world/Piglet.h"

#include <algorithm>
#include <cmath>

#include "engine/core/PropertyBool.h"
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
    V3 target = pig.pathAt(FOLLOW_DELAY * static_cast<double>(type - 1));
    // The side of the pig it belongs on: where the pig came from, else where it stands, else behind the pig.
    const float fromPig = target.x - pig.position.x;
    const float ownSide = bPlaced ? position.x - pig.position.x : 0.0f;
    const float side = std::fabs(fromPig) > 1.0f ? (fromPig < 0.0f ? -1.0f : 1.0f)
                       : ownSide != 0.0f        ? (ownSide < 0.0f ? -1.0f : 1.0f)
                                                : -pig.facing();
    if (fromPig * side < gap() && !pig.pathPointBeyond(side, gap(), target)) {
        // The pig's path is shorter than the line (the level start): in line on the pig's ground.
        target = V3{pig.position.x + side * gap(), pig.position.y, position.z};
    }
    target.z = position.z;
    const float dx = target.x - position.x;
    if (!bPlaced || std::fabs(dx) > SNAP_DISTANCE) {
        position = target;
        scale.x = std::fabs(scale.x) * pig.facing();
        bPlaced = true;
        updateVisuals();
        return;
    }
    const float rel = position.x - pig.position.x;
    // Far enough behind, it waits for the line to come by rather than walking back to it. When the pig turns
    // towards it, it runs past the pig to its place behind.
    if (rel * side > 0.0f && std::fabs(rel) >= gap() && std::fabs(target.x - pig.position.x) > std::fabs(rel)) {
        return;
    }
    const float reach = CATCH_UP_SPEED * static_cast<float>(dt);
    position.x += std::clamp(dx, -reach, reach);
    position.y = target.y;
    if (dx != 0.0f) {
        scale.x = std::fabs(scale.x) * (dx < 0.0f ? -1.0f : 1.0f);
    }
    updateVisuals();
}
