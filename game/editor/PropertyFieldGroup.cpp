#include "game/editor/PropertyFieldGroup.h"

#include "engine/render/PointerDispatcher.h"

PropertyFieldGroup::PropertyFieldGroup(Property* property) : PropertyField(property)
{
    prefix += u'\u0080';
    color = UColor(0xffc0ffffu);
}

bool PropertyFieldGroup::onEvent(KivEvent& event)
{
    if (event.type != PointerDispatcher::EVENT_CLICK) {
        return PropertyField::onEvent(event);
    }
    bOpen = !bOpen;
    sendChanged();
    return true;
}

void PropertyFieldGroup::place(V3& cursor, float w)
{
    PropertyField::place(cursor, w);
    setChildrenFlag(bOpen ? 0 : 1);
    if (!bOpen) {
        return;
    }
    V3 child(5.0f, -(static_cast<float>(height) / 2.0f), 0.0f);
    for (KivBase* c = getFirstChild(); c != nullptr; c = c->getNext()) {
        auto* field = dynamic_cast<PropertyField*>(c);
        if (field != nullptr && !field->bDeleted) {
            field->place(child, w - 10.0f);
        }
    }
    cursor.y += static_cast<float>(height) / 2.0f + child.y;
}
