#include "game/world/Ladder.h"

const RuntimeClass Ladder::classRecord(RuntimeClass::hashName(u"Ladder"), &TriggerArea::classRecord,
                                       &RuntimeClass::factoryOf<Ladder>);

Ladder::Ladder() : TriggerArea(LevelAccess::OBJECT_LIST)
{
    triggerRadius = 32.0f;
    triggerHalfHeight = 128.0f;
}
