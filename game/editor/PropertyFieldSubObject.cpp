#include "game/editor/PropertyFieldSubObject.h"

#include "engine/core/PropertySubObject.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/PointerDispatcher.h"
#include "game/editor/ContextEditor.h"

PropertyFieldSubObject::PropertyFieldSubObject(Property* property) : PropertyField(property) { prefix += u'\u0081'; }

bool PropertyFieldSubObject::onEvent(KivEvent& event)
{
    if (!isCtrlKey(event, KEY_F)) {
        return PropertyField::onEvent(event);
    }
    auto* member = dynamic_cast<PropertySubObject*>(property);
    KivBase* object = member != nullptr ? member->getSubObject() : nullptr;
    if (ContextEditor* editor = findEditor()) {
        // The rebuild deletes this row, so it waits for the layer's next tick.
        editor->requestEdit(object);
    }
    if (event.dispatcher != nullptr) {
        event.dispatcher->setHovered(object);
    }
    return true;
}
