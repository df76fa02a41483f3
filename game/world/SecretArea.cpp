#include "game/world/SecretArea.h"

#include "engine/core/PropertyBool.h"

const RuntimeClass SecretArea::classRecord(RuntimeClass::hashName(u"SecretArea"), &TriggerArea::classRecord,
                                           &RuntimeClass::factoryOf<SecretArea>);

SecretArea::SecretArea() : TriggerArea(LevelAccess::SECRET_LIST) {}

void SecretArea::addPropertiesTo(Property& list)
{
    TriggerArea::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bFound", Property::FLAG_READONLY, &bFound));
}

void SecretArea::onHeroEnter(Pig* /*pig*/)
{
    if (bFound) {
        return;
    }
    bFound = true;
    LevelAccess::addToCounter(LevelAccess::SECRETS_FOUND, 1);
    LevelAccess::addToCounter(LevelAccess::SCORE, POINTS);
    LevelAccess::playSound(u"secretArea");
    LevelAccess::setMessage(2, LevelAccess::textId(u"SECRETAREA"), 3.0f, UString());
}
