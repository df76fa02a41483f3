#include "game/world/DangerArea.h"

#include "engine/core/PropertyEnumBase.h"
#include "game/world/Pig.h"

const RuntimeClass DangerArea::classRecord(RuntimeClass::hashName(u"DangerArea"), &TriggerArea::classRecord,
                                           &RuntimeClass::factoryOf<DangerArea>);

DangerArea::DangerArea() : TriggerArea(LevelAccess::DANGER_AREA_LIST) {}

void DangerArea::addPropertiesTo(Property& list)
{
    TriggerArea::addPropertiesTo(list);
    list.appendChild(new PropertyEnum<int32_t>(u"kind", 0, &kind, KIND_COUNT));
}

void DangerArea::onHeroEnter(Pig* pig)
{
    if (pig == nullptr) {
        return;
    }
    if (kind == KIND_WATER) {
        LevelAccess::playSound(u"waterSplashLarge");
    }
    pig->faint();
}
