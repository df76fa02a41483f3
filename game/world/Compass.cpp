#include "game/world/Compass.h"

#include <cmath>

#include "engine/core/PropertyFloat.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "game/world/Apple.h"
#include "game/world/Basket.h"
#include "game/world/House.h"

const RuntimeClass Compass::classRecord(RuntimeClass::hashName(u"Compass"), &Cargo::classRecord,
                                        &RuntimeClass::factoryOf<Compass>);

Compass::Compass() : Cargo(LevelAccess::CARGO_LIST) {}

void Compass::addPropertiesTo(Property& list)
{
    Cargo::addPropertiesTo(list);
    list.appendChild(new PropertyFloat(u"needleAngle", Property::FLAG_READONLY, &needleAngle));
}

void Compass::tick(double time, double dt)
{
    Cargo::tick(time, dt);
    if (!LevelAccess::isActing()) {
        return;
    }
    float best = -1.0f;
    V3 target;
    auto consider = [&](const V3& p) {
        const float d = (p.x - position.x) * (p.x - position.x) + (p.y - position.y) * (p.y - position.y);
        if (best < 0.0f || d < best) {
            best = d;
            target = p;
        }
    };
    if (KivBase* apples = LevelAccess::list(LevelAccess::APPLE_LIST)) {
        for (KivBase* a = apples->getFirstChild(); a != nullptr; a = a->getNext()) {
            if (a->isDerivedFrom(&Apple::classRecord)) {
                const auto* apple = static_cast<Apple*>(a);
                if (apple->pBasket == nullptr && !apple->bLost && !apple->bHidden && !apple->bDeleted) {
                    consider(apple->position);
                }
            }
        }
    }
    if (KivBase* cargo = LevelAccess::list(LevelAccess::CARGO_LIST)) {
        for (KivBase* c = cargo->getFirstChild(); c != nullptr; c = c->getNext()) {
            if (c->isDerivedFrom(&Basket::classRecord) && static_cast<Basket*>(c)->carriedBy == nullptr) {
                consider(static_cast<Basket*>(c)->position);
            }
        }
    }
    if (House* house = LevelAccess::house()) {
        consider(house->position);
    }
    if (best >= 0.0f) {
        needleAngle = std::atan2(target.y - position.y, target.x - position.x);
    }
}

void Compass::drawObject()
{
    Cargo::drawObject();
    if (bHidden) {
        return;
    }
    ResourceManager* resources = ResourceManager::instance();
    Skin* needle = resources != nullptr ? dynamic_cast<Skin*>(resources->find(u"compass:1", false)) : nullptr;
    if (needle == nullptr) {
        return;
    }
    Renderable hand;
    hand.setSkin(needle, false);
    hand.bSkipVisibility = true;
    hand.setRotation(V3{0.0f, 0.0f, needleAngle});
    hand.setPosition(V3{position.x, position.y, position.z - 0.1f});
    hand.render();
}
