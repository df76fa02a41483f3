#include "game/editor/PropertyFieldBool.h"

#include "engine/core/Property.h"
#include "engine/render/PointerDispatcher.h"

PropertyFieldBool::PropertyFieldBool(Property* property) : PropertyField(property) {}

bool PropertyFieldBool::onEvent(KivEvent& event)
{
    if (event.type != PointerDispatcher::EVENT_CLICK) {
        return PropertyField::onEvent(event);
    }
    if (isReadOnly()) {
        sayReadOnly(u"toggled");
        return true;
    }
    if (property->address == nullptr) {
        return true;
    }
    bool* value = static_cast<bool*>(property->address);
    *value = !*value;
    sendChanged();
    return true;
}
