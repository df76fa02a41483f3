#include "game/world/TriggerArea.h"

#include <cmath>

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyFloat.h"
#include "engine/render/Rect.h"
#include "game/world/LevelDataCheck.h"
#include "game/world/Pig.h"

const RuntimeClass TriggerArea::classRecord(RuntimeClass::hashName(u"TriggerArea"), &A99Object::classRecord,
                                            &RuntimeClass::factoryOf<TriggerArea>);

TriggerArea::TriggerArea() : TriggerArea(LevelAccess::OBJECT_LIST) {}

TriggerArea::TriggerArea(LevelAccess::ListId home) : A99Object(home) {}

void TriggerArea::addPropertiesTo(Property& list)
{
    A99Object::addPropertiesTo(list);
    list.appendChild(new PropertyFloat(u"triggerRadius", 0, &triggerRadius));
    list.appendChild(new PropertyFloat(u"triggerHalfHeight", 0, &triggerHalfHeight));
    list.appendChild(new PropertyBool(u"bHeroInside", Property::FLAG_READONLY, &bHeroInside));
}

void TriggerArea::checkValues(const LevelDataCheck::Run& run)
{
    A99Object::checkValues(run);
    LevelDataCheck check(*this, run);
    check.size(u"triggerRadius", triggerRadius, 0.0f, LevelDataCheck::MAX_COORDINATE, 64.0f);
    check.size(u"triggerHalfHeight", triggerHalfHeight, 0.0f, LevelDataCheck::MAX_COORDINATE, 0.0f);
}

bool TriggerArea::contains(const V3& point) const
{
    const float dx = point.x - position.x;
    const float dy = point.y - position.y;
    if (triggerHalfHeight <= 0.0f) {
        return dx * dx + dy * dy <= triggerRadius * triggerRadius;
    }
    return std::fabs(dx) <= triggerRadius && std::fabs(dy) <= triggerHalfHeight;
}

void TriggerArea::tick(double time, double dt)
{
    A99Object::tick(time, dt);
    if (!LevelAccess::isActing()) {
        return;
    }
    Pig* pig = LevelAccess::hero();
    const bool inside = pig != nullptr && !pig->isFainted() && contains(pig->position);
    if (inside != bHeroInside) {
        bHeroInside = inside;
        if (inside) {
            onHeroEnter(pig);
        } else {
            onHeroLeave(pig);
        }
    }
}

void TriggerArea::renderObject()
{
    A99Object::renderObject();
    if (!LevelAccess::showGuide(LevelAccess::SHOW_TRIGGER_AREAS)) {
        return;
    }
    const UColor colour(bHeroInside ? 0xffff8000u : 0xff00ff00u);
    if (triggerHalfHeight <= 0.0f) {
        drawEditorCircle(position.x, position.y, position.z, triggerRadius, colour);
    } else {
        Rect r{position.x - triggerRadius, position.y + triggerHalfHeight, position.x + triggerRadius,
               position.y - triggerHalfHeight};
        r.drawOutline(colour, position.z);
    }
}
