#include "game/editor/PropertyFieldValue.h"

#include "engine/core/Format.h"
#include "engine/core/Property.h"
#include "engine/core/PropertyClass.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"
#include "engine/render/PointerDispatcher.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/menus/GUItextBox.h"
#include "game/menus/GUItheme.h"
#include "game/world/EditorObject.h"
#include "game/world/LevelDataCheck.h"

namespace {
const UColor REFUSED_COLOUR(0xffff0000u);
}

PropertyFieldValue::PropertyFieldValue(Property* property) : PropertyField(property)
{
    textBox = new GUItextBox(pTheme);
    textBox->bHidden = true;
    addChild(textBox);
}

void PropertyFieldValue::render()
{
    const UColor own = color;
    if (bRefused) {
        color = REFUSED_COLOUR;
    }
    PropertyField::render();
    color = own;
}

bool PropertyFieldValue::onEvent(KivEvent& event)
{
    if (event.type == PointerDispatcher::EVENT_HOVER_GAINED) {
        beginEdit();
        return true;
    }
    return PropertyField::onEvent(event);
}

bool PropertyFieldValue::onEventBubble(KivEvent& event)
{
    if (event.type == GUItextBox::EVENT_EDITED && event.source == textBox) {
        commitEdit();
    }
    return PropertyField::onEventBubble(event);
}

void PropertyFieldValue::place(V3& cursor, float w)
{
    PropertyField::place(cursor, w);
    const int row = pTheme != nullptr ? pTheme->rowHeight : DEFAULT_HEIGHT;
    textBox->setPosition(V3(static_cast<float>((width - textBox->width) / 2), -static_cast<float>(row / 2), 0.0f));
    textBox->updateVisuals();
}

void PropertyFieldValue::beginEdit()
{
    if (isReadOnly() || bTextEntry || bDeleted) {
        return;
    }
    bTextEntry = true;
    bRefused = false;
    textBox->bHidden = false;
    textBox->text.clear();
    height *= 2;
    const Kiv* engine = Kiv::instance();
    if (engine != nullptr && engine->pointerDispatcher != nullptr) {
        engine->pointerDispatcher->setHovered(textBox);
    }
    sendChanged();
}

void PropertyFieldValue::commitEdit()
{
    if (isReadOnly() || !bTextEntry || bDeleted) {
        return;
    }
    bTextEntry = false;
    textBox->bHidden = true;
    const UString text = textBox->text;
    if (text == UString(1, CLEAR_MARK)) {
        bRefused = !applyText(UString());
    } else if (!text.empty()) {
        bRefused = !applyText(text);
    }
    height /= 2;
    sendChanged();
}

bool PropertyFieldValue::applyText(const UString& text)
{
    return writeChecked([&] { return property->fromString(text); });
}

bool PropertyFieldValue::writeChecked(const std::function<bool()>& write)
{
    // The value as it was, byte for byte, to put back when the edited object refuses the new one.
    Packet before(Packet::FLAG_LOCAL_COPY, 64);
    property->serialize(before);
    if (!write()) {
        return false;
    }
    UString why;
    if (editedObjectTakesValue(why)) {
        return true;
    }
    before.rewindToRead();
    property->serialize(before);
    EditorSession::report(formatString(u"Value refused: %s.", why));
    return false;
}

bool PropertyFieldValue::editedObjectTakesValue(UString& why)
{
    // A class-list entry's value belongs to the entry's instance, which is not in the level yet.
    EditorObject* entry = nullptr;
    for (const KivBase* p = property; p != nullptr && entry == nullptr; p = p->getParent()) {
        if (p->getClass() == &PropertyClass::classRecord) {
            KivBase* instance = static_cast<const PropertyClass*>(p)->getInstance();
            entry = instance != nullptr && instance->isDerivedFrom(&EditorObject::classRecord)
                        ? static_cast<EditorObject*>(instance)
                        : nullptr;
        }
    }
    const ContextEditor* editor = findEditor();
    KivBase* object = entry != nullptr ? entry : editor != nullptr ? editor->edited.get() : nullptr;
    const LevelRoleScope scope(*this);
    NetRole* role = scope.role();
    if (object == nullptr || role == nullptr) {
        return true;
    }
    // The object answers the editor's change notice by checking its values (an entry's instance only checks
    // them); a typed value is checked as one from outside, where what the physics cannot take is refused
    // rather than clamped.
    KivEvent edited;
    edited.type = ContextEditor::EVENT_EDITED;
    edited.source = this;
    edited.target = object;
    try {
        const NetRole::Scope untrusted = role->readingUntrusted();
        if (entry != nullptr) {
            entry->checkLoadedValues();
        } else {
            object->onEvent(edited);
        }
    } catch (const LevelDataCheck::Refused& refused) {
        why = refused.value; // the object is the one edited
        return false;
    } catch (const PacketDecodeError& error) {
        why = error.message;
        return false;
    }
    return true;
}
