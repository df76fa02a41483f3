#include "game/world/Cargo.h"

#include <cmath>

#include <box2d/box2d.h>

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyPointer.h"
#include "engine/render/Skin.h"
#include "game/world/DangerArea.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/Pig.h"
#include "game/world/WorldPointer.h"

const RuntimeClass Cargo::classRecord(RuntimeClass::hashName(u"Cargo"), &A99Object::classRecord,
                                      &RuntimeClass::factoryOf<Cargo>);

namespace {
// Size of cargo without a skin (half extents, units).
constexpr float DEFAULT_HALF = 24.0f;

// Carried cargo rides on its carrier without pushing it: its fixtures only sense.
void setCarried(b2Body* body, bool carried)
{
    for (b2Fixture* f = body->GetFixtureList(); f != nullptr; f = f->GetNext()) {
        f->SetSensor(carried);
    }
    body->SetType(carried ? b2_kinematicBody : b2_dynamicBody);
}
} // namespace

Cargo::Cargo() : Cargo(LevelAccess::CARGO_LIST) {}

Cargo::Cargo(LevelAccess::ListId home) : A99Object(home) {}

void Cargo::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(worldPointer(u"carriedBy", Property::FLAG_READONLY, &carriedBy));
    auto* start = new PropertyContainer(u"startPosition", Property::FLAG_READONLY);
    start->appendChild(new PropertyFloat(u"x", Property::FLAG_READONLY, &startPosition.x));
    start->appendChild(new PropertyFloat(u"y", Property::FLAG_READONLY, &startPosition.y));
    start->appendChild(new PropertyFloat(u"z", Property::FLAG_READONLY, &startPosition.z));
    list.appendChild(start);
    list.appendChild(new PropertyBool(u"bStartKnown", Property::FLAG_READONLY, &bStartKnown));
}

void Cargo::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    LevelDataCheck check(*this, run);
    check.reference(u"carriedBy", carriedBy, &Pig::classRecord);
    check.coordinate(u"startPosition.x", startPosition.x);
    check.coordinate(u"startPosition.y", startPosition.y);
    check.coordinate(u"startPosition.z", startPosition.z);
    // The carrier must agree that it carries this cargo.
    if (carriedBy != nullptr && carriedBy->pCarried != this) {
        check.warn(u"carriedBy", u"names a pig that carries something else; emptied.");
        carriedBy = nullptr;
    }
}

float Cargo::halfWidth() const
{
    return pSkin != nullptr && pSkin->width > 0.0f ? pSkin->width * 0.5f * std::fabs(scale.x) : DEFAULT_HALF;
}

float Cargo::halfHeight() const
{
    return pSkin != nullptr && pSkin->height > 0.0f ? pSkin->height * 0.5f * std::fabs(scale.y) : DEFAULT_HALF;
}

V3 Cargo::carryPoint() const
{
    return V3{carriedBy->position.x, carriedBy->position.y + Pig::RADIUS + halfHeight(), position.z};
}

void Cargo::makeBody(PhysicsWorld& world)
{
    A99Object::makeBody(world);
    if (!bStartKnown) {
        startPosition = position;
        bStartKnown = true;
    }
    body = world.createDynamicBody(this, position, rotation.z, false);
    world.addBox(body, halfWidth(), halfHeight(), 0.5f, 0.6f, 0.1f);
    body->SetLinearVelocity(b2Vec2(PhysicsWorld::toMetres(velocity.x), PhysicsWorld::toMetres(velocity.y)));
    if (carriedBy != nullptr) {
        setCarried(body, true);
    }
    if (bHidden) {
        body->SetEnabled(false);
    }
}

void Cargo::prePhysicsStep(float /*dt*/)
{
    if (body == nullptr || carriedBy == nullptr) {
        return;
    }
    const V3 p = carryPoint();
    body->SetTransform(b2Vec2(PhysicsWorld::toMetres(p.x), PhysicsWorld::toMetres(p.y)), 0.0f);
    if (carriedBy->body != nullptr) {
        body->SetLinearVelocity(carriedBy->body->GetLinearVelocity());
    }
}

void Cargo::tick(double time, double dt)
{
    A99Object::tick(time, dt);
    if (!LevelAccess::isActing()) {
        return;
    }
    if (carriedBy != nullptr) {
        if (body == nullptr) {
            position = carryPoint();
            updateVisuals();
        }
        return;
    }
    bool lost = false;
    const LevelAccess::Area area = LevelAccess::playingArea();
    if (area.top != area.bottom && position.y < area.bottom) {
        lost = true;
    } else if (KivBase* dangers = LevelAccess::list(LevelAccess::DANGER_AREA_LIST)) {
        for (KivBase* d = dangers->getFirstChild(); d != nullptr && !lost; d = d->getNext()) {
            lost = d->isDerivedFrom(&DangerArea::classRecord) && static_cast<DangerArea*>(d)->contains(position);
        }
    }
    if (lost && bStartKnown) {
        returnToStart();
    }
}

bool Cargo::queryAction(const V3& hero, int32_t& priority, float& distance)
{
    if (bHidden) {
        return false;
    }
    if (carriedBy != nullptr) {
        // Only the carrier can put it down, and that comes first among cargo.
        if (LevelAccess::hero() != carriedBy) {
            return false;
        }
        priority = PRIORITY_CARGO;
        distance = 0.0f;
        return true;
    }
    const float d = distanceTo(hero);
    if (d > QUERY_RANGE) {
        return false;
    }
    priority = PRIORITY_CARGO;
    distance = d;
    return true;
}

void Cargo::use(Pig* pig)
{
    if (pig == nullptr) {
        return;
    }
    if (carriedBy == pig) {
        pig->dropCarried();
    } else if (carriedBy == nullptr) {
        pig->pickUp(this);
    }
}

void Cargo::attachTo(Pig* pig)
{
    carriedBy = pig;
    if (body != nullptr) {
        setCarried(body, true);
        body->SetAngularVelocity(0.0f);
    }
    rotation.z = 0.0f;
    position = carryPoint();
    updateVisuals();
}

void Cargo::detach(const V3& at)
{
    carriedBy = nullptr;
    position = at;
    if (body != nullptr) {
        setCarried(body, false);
        body->SetTransform(b2Vec2(PhysicsWorld::toMetres(at.x), PhysicsWorld::toMetres(at.y)), 0.0f);
        body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
        body->SetAwake(true);
    }
    updateVisuals();
}

void Cargo::setIndoors(bool indoors)
{
    bHidden = indoors;
    if (body != nullptr) {
        body->SetEnabled(!indoors);
    }
}

void Cargo::returnToStart()
{
    if (carriedBy != nullptr) {
        Pig* pig = carriedBy;
        pig->pCarried = nullptr;
        carriedBy = nullptr;
    }
    detach(startPosition);
    rotation.z = 0.0f;
    velocity = V3{};
}
