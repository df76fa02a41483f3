#include "game/world/Switch.h"

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Skin.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass Switch::classRecord(RuntimeClass::hashName(u"Switch"), &A99Object::classRecord,
                                       &RuntimeClass::factoryOf<Switch>);

Switch::Switch() : A99Object(LevelAccess::OBJECT_LIST) {}

void Switch::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyReferenceBase(u"pTarget", 0, &pTarget, &KivBase::classRecord));
    list.appendChild(new PropertyBool(u"bOn", 0, &bOn));
    list.appendChild(new PropertyBool(u"bButton", 0, &bButton));
}

void Switch::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    KivBase* target = pTarget.get();
    if (LevelDataCheck(*this, run).objectOfClass(u"pTarget", target, &A99Object::classRecord) || target == this) {
        pTarget.set(nullptr);
    }
}

void Switch::afterEdit()
{
    if (ResourceManager* resources = ResourceManager::instance()) {
        if (auto* skin = dynamic_cast<Skin*>(resources->find(bOn ? u"switch:1" : u"switch:0", false))) {
            pSkin = skin;
        }
    }
    A99Object::afterEdit();
}

bool Switch::queryAction(const V3& hero, int32_t& priority, float& distance)
{
    if (bHidden || (bButton && bOn)) {
        return false;
    }
    const float d = distanceTo(hero);
    if (d > QUERY_RANGE) {
        return false;
    }
    priority = PRIORITY_DEVICE;
    distance = d;
    return true;
}

void Switch::use(Pig* /*pig*/)
{
    if (bButton && bOn) {
        return;
    }
    bOn = !bOn;
    LevelAccess::playSound(bButton ? u"switchButton" : (bOn ? u"switchLower" : u"switchRaise"));
    afterEdit();
    if (A99Object* target = getTarget()) {
        LevelAccess::playSound(u"switchActivate");
        target->onSwitched(bOn);
        LevelAccess::showSpot(target->position.x, target->position.y, SHOW_TIME, HOLD_TIME);
    }
}
