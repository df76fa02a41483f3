#include "game/world/Apple.h"

#include <box2d/box2d.h>

#include "engine/core/Format.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "game/world/AppleGhost.h"
#include "game/world/Basket.h"
#include "game/world/DangerArea.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/WorldPointer.h"

const RuntimeClass Apple::classRecord(RuntimeClass::hashName(u"Apple"), &A99Object::classRecord,
                                      &RuntimeClass::factoryOf<Apple>);

namespace {
Skin* appleFrame(int frame)
{
    ResourceManager* resources = ResourceManager::instance();
    return resources != nullptr ? dynamic_cast<Skin*>(resources->find(formatString(u"apple:%d", frame), false))
                                : nullptr;
}
} // namespace

Apple::Apple() : A99Object(LevelAccess::APPLE_LIST) {}

Apple::~Apple() = default;

void Apple::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bSuperApple", 0, &bSuperApple));
    list.appendChild(worldPointer(u"pBasket", Property::FLAG_READONLY, &pBasket));
    list.appendChild(new PropertyInt(u"basketSlot", Property::FLAG_READONLY, &basketSlot));
    list.appendChild(new PropertyBool(u"bLost", Property::FLAG_READONLY, &bLost));
}

void Apple::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    LevelDataCheck check(*this, run);
    check.reference(u"pBasket", pBasket, &Basket::classRecord);
    if (pBasket == nullptr) {
        if (basketSlot != -1) {
            check.warn(u"basketSlot", u"is set without a basket; freed.");
            basketSlot = -1;
        }
    } else if (check.range(u"basketSlot", basketSlot, 0, pBasket->getCapacity() - 1)) {
        // A slot out of range would overlap another apple: take the basket's next free slot instead.
        basketSlot = -1;
        const int32_t slot = pBasket->nextFreeSlot();
        if (slot < 0) {
            pBasket = nullptr;
        }
        basketSlot = slot;
    }
}

void Apple::afterEdit()
{
    if (pSkin == nullptr) {
        pSkin = appleFrame(0);
    }
    if (bSuperApple) {
        scale = V3{1.5f, 1.5f, 1.0f};
    }
    A99Object::afterEdit();
}

void Apple::drawObject()
{
    // Colour-blind help: a highlighted frame.
    Skin* normal = pSkin;
    if (LevelAccess::colorBlind()) {
        if (Skin* highlighted = appleFrame(1)) {
            pSkin = highlighted;
        }
    }
    A99Object::drawObject();
    pSkin = normal;
}

void Apple::makeBody(PhysicsWorld& world)
{
    A99Object::makeBody(world);
    if (pBasket != nullptr || bLost || bHidden) {
        return;
    }
    body = world.createDynamicBody(this, position, rotation.z, false);
    // Three times the mass in 2.25 times the area.
    const float density = bSuperApple ? 3.0f / 2.25f : 1.0f;
    world.addCircle(body, getRadius(), density, 0.5f, 0.3f);
    body->SetLinearVelocity(b2Vec2(PhysicsWorld::toMetres(velocity.x), PhysicsWorld::toMetres(velocity.y)));
}

void Apple::tick(double time, double dt)
{
    A99Object::tick(time, dt);
    if (pBasket != nullptr && !pBasket->isDerivedFrom(&Basket::classRecord)) {
        // Only a basket holds apples, whatever a copied value says.
        pBasket = nullptr;
        basketSlot = -1;
    }
    if (pBasket != nullptr && basketSlot >= 0) {
        position = pBasket->slotPosition(basketSlot);
        rotation.z = pBasket->rotation.z;
        updateVisuals();
    }
    if (!LevelAccess::isActing() || bLost || pBasket != nullptr) {
        return;
    }
    const LevelAccess::Area area = LevelAccess::playingArea();
    if (area.top != area.bottom && position.y < area.bottom) {
        lose(-1);
        return;
    }
    if (KivBase* dangers = LevelAccess::list(LevelAccess::DANGER_AREA_LIST)) {
        for (KivBase* d = dangers->getFirstChild(); d != nullptr; d = d->getNext()) {
            if (d->isDerivedFrom(&DangerArea::classRecord) && static_cast<DangerArea*>(d)->contains(position)) {
                lose(static_cast<DangerArea*>(d)->kind);
                return;
            }
        }
    }
}

void Apple::onContact(A99Object& /*other*/, const PhysicsWorld::Contact& contact, bool /*first*/)
{
    if (!LevelAccess::isActing() || bLost) {
        return;
    }
    if (bSuperApple && contact.approachSpeed >= HARD_LANDING) {
        LevelAccess::playSound(u"appleBig");
        LevelAccess::shakeCamera(0.07f, 0.35f);
    } else if (contact.approachSpeed >= BOUNCE_SPEED) {
        LevelAccess::playSound(u"appleBounce");
    }
}

void Apple::enterBasket(Basket* basket, int32_t slot)
{
    pBasket = basket;
    basketSlot = slot;
    velocity = V3{};
    if (bodyWorld != nullptr) {
        bodyWorld->destroyBody(body);
    }
    position = basket->slotPosition(slot);
    updateVisuals();
}

void Apple::leaveBasket()
{
    pBasket = nullptr;
    basketSlot = -1;
    destroyBodies(); // a body again at the next tick
}

void Apple::lose(int32_t kind)
{
    if (bLost) {
        return;
    }
    bLost = true;
    LevelAccess::addToCounter(LevelAccess::APPLES_LOST, 1);
    switch (kind) {
    case DangerArea::KIND_WATER:
        LevelAccess::playSound(u"waterSplashSmall");
        break;
    case DangerArea::KIND_ACID:
        LevelAccess::playSound(u"appleAcid");
        break;
    case DangerArea::KIND_THORNS:
        LevelAccess::playSound(u"appleSquish");
        break;
    default:
        break;
    }
    bHidden = true;
    velocity = V3{};
    if (bodyWorld != nullptr) {
        bodyWorld->destroyBody(body);
    }
    if (KivBase* ghosts = LevelAccess::list(LevelAccess::APPLE_GHOST_LIST)) {
        ghosts->appendChild(new AppleGhost(position, pSkin));
    }
}
