// The editor panel's table of field kinds: each property gets the field of its exact class (a class
// derived from one of these gets the plain field), and the three group kinds get their children's fields.
#include <array>
#include <utility>

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyClass.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyDWORD.h"
#include "engine/core/PropertyDouble.h"
#include "engine/core/PropertyEnumBase.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyInt.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyRPCBase.h"
#include "engine/core/PropertyReferenceBase.h"
#include "engine/core/PropertySecureInt.h"
#include "engine/core/PropertySubObject.h"
#include "engine/core/PropertyUColor.h"
#include "engine/core/PropertyUString.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/PropertyFieldBool.h"
#include "game/editor/PropertyFieldClass.h"
#include "game/editor/PropertyFieldPointer.h"
#include "game/editor/PropertyFieldRPC.h"
#include "game/editor/PropertyFieldSubObject.h"

namespace {
enum class FieldKind { Plain, Bool, Group, RPC, Class, SubObject, Value, Pointer };

const std::array<std::pair<const RuntimeClass*, FieldKind>, 15> FIELD_KINDS = {{
    {&PropertyBool::classRecord, FieldKind::Bool},
    {&PropertyContainer::classRecord, FieldKind::Group},
    {&PropertyRPCBase::classRecord, FieldKind::RPC},
    {&PropertyClass::classRecord, FieldKind::Class},
    {&PropertySubObject::classRecord, FieldKind::SubObject},
    {&PropertyInt::classRecord, FieldKind::Value},
    {&PropertyFloat::classRecord, FieldKind::Value},
    {&PropertyDouble::classRecord, FieldKind::Value},
    {&PropertyUString::classRecord, FieldKind::Value},
    {&PropertyDWORD::classRecord, FieldKind::Value},
    {&PropertyUColor::classRecord, FieldKind::Value},
    {&PropertyEnumBase::classRecord, FieldKind::Value},
    {&PropertySecureInt::classRecord, FieldKind::Value},
    {&PropertyPointer::classRecord, FieldKind::Pointer},
    {&PropertyReferenceBase::classRecord, FieldKind::Pointer},
}};

FieldKind kindOf(const Property& property)
{
    const RuntimeClass* exact = property.getClass();
    for (const auto& [record, kind] : FIELD_KINDS) {
        if (record == exact) {
            return kind;
        }
    }
    return FieldKind::Plain;
}
} // namespace

GUIitem* ContextEditor::makeGUI(Property* property)
{
    if (property == nullptr) {
        return nullptr;
    }
    PropertyField* field = nullptr;
    bool group = false;
    switch (kindOf(*property)) {
    case FieldKind::Plain: field = new PropertyField(property); break;
    case FieldKind::Bool: field = new PropertyFieldBool(property); break;
    case FieldKind::Group: field = new PropertyFieldGroup(property); group = true; break;
    case FieldKind::RPC: field = new PropertyFieldRPC(property); group = true; break;
    case FieldKind::Class: field = new PropertyFieldClass(property); group = true; break;
    case FieldKind::SubObject: field = new PropertyFieldSubObject(property); break;
    case FieldKind::Value: field = new PropertyFieldValue(property); break;
    case FieldKind::Pointer: field = new PropertyFieldPointer(property); break;
    }
    if (group) {
        for (Property* child = property->getFirstProperty(); child != nullptr; child = child->getNextProperty()) {
            if (GUIitem* childField = makeGUI(child)) {
                field->addChild(childField);
            }
        }
    }
    return field;
}

void ContextEditor::placeField(KivBase* field, const V3& cursor, float width)
{
    if (auto* row = dynamic_cast<PropertyField*>(field)) {
        V3 at = cursor;
        row->place(at, width);
    }
}
