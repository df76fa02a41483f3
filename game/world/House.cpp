#include "game/world/House.h"

#include <cmath>

#include "engine/core/Format.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyFloat.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "game/world/Apple.h"
#include "game/world/Basket.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/Pig.h"

const RuntimeClass House::classRecord(RuntimeClass::hashName(u"House"), &TriggerArea::classRecord,
                                      &RuntimeClass::factoryOf<House>);
const RuntimeClass RPC_House_construct::classRecord(RuntimeClass::hashName(u"RPC_House_construct"), &RPC::classRecord,
                                                    &RuntimeClass::factoryOf<RPC_House_construct>);

House::House() : TriggerArea(LevelAccess::HOUSE_LIST) { triggerRadius = 256.0f; }

void House::addPropertiesTo(Property& list)
{
    TriggerArea::addPropertiesTo(list);
    list.appendChild(new PropertyFloat(u"doorRadius", 0, &doorRadius));
    list.appendChild(new PropertyBool(u"bPigAtHome", Property::FLAG_READONLY, &bPigAtHome));
}

void House::checkValues(const LevelDataCheck::Run& run)
{
    TriggerArea::checkValues(run);
    LevelDataCheck(*this, run).size(u"doorRadius", doorRadius, 0.0f, LevelDataCheck::MAX_COORDINATE, 96.0f);
}

void House::afterEdit()
{
    if (pSkin == nullptr) {
        if (ResourceManager* resources = ResourceManager::instance()) {
            pSkin = dynamic_cast<Skin*>(resources->find(u"house:0", false));
        }
    }
    TriggerArea::afterEdit();
}

void House::construct()
{
    RPC_House_construct call(this);
    RPC::send(call);
}

void House::local_construct()
{
    TriggerArea::local_construct();
    afterEdit();
}

bool House::isAtDoor(const V3& point) const
{
    return std::hypot(point.x - position.x, point.y - position.y) <= doorRadius;
}

void House::deliver(Apple& apple)
{
    if (LevelAccess::counter(LevelAccess::REQUIRED_APPLES_GOT) < LevelAccess::applesNeeded()) {
        LevelAccess::addToCounter(LevelAccess::REQUIRED_APPLES_GOT, 1);
    } else {
        LevelAccess::addToCounter(LevelAccess::BONUS_APPLES_GOT, 1);
    }
    LevelAccess::playSound(u"appleCollect");
    apple.pBasket = nullptr;
    apple.basketSlot = -1;
    apple.bHidden = true;
    apple.destroyBodies();
    apple.bDeleted = true;
}

void House::tick(double time, double dt)
{
    TriggerArea::tick(time, dt);
    if (!LevelAccess::isActing()) {
        return;
    }
    KivBase* apples = LevelAccess::list(LevelAccess::APPLE_LIST);
    if (apples == nullptr) {
        return;
    }
    for (KivBase* a = apples->getFirstChild(); a != nullptr; a = a->getNext()) {
        if (!a->isDerivedFrom(&Apple::classRecord) || a->bDeleted) {
            continue;
        }
        auto* apple = static_cast<Apple*>(a);
        if (apple->bLost) {
            continue;
        }
        // An apple in a basket counts where its basket is.
        const V3& at = apple->pBasket != nullptr ? apple->pBasket->position : apple->position;
        if (isAtDoor(at)) {
            deliver(*apple);
        }
    }
}

void House::pigEntered(Pig* /*pig*/)
{
    const int32_t missing = LevelAccess::applesNeeded() - LevelAccess::counter(LevelAccess::REQUIRED_APPLES_GOT);
    if (missing <= 0) {
        return;
    }
    if (missing == 1) {
        LevelAccess::setMessage(1, LevelAccess::textId(u"ONEMOREAPPLE"), 3.0f, UString());
    } else {
        LevelAccess::setMessage(1, 0, 3.0f, formatString(LevelAccess::text(u"XMOREAPPLES"), missing));
    }
}

RPC_House_construct::RPC_House_construct(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_House_construct::invoke()
{
    if (target != nullptr) {
        static_cast<House*>(target)->local_construct();
    }
}
