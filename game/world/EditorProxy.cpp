#include "game/world/EditorProxy.h"

#include "engine/core/PropertyReferenceBase.h"
#include "game/world/EditorObject.h"
#include "game/world/LevelDataCheck.h"

const RuntimeClass EditorProxy::classRecord(RuntimeClass::hashName(u"EditorProxy"), &KivBase::classRecord,
                                            &RuntimeClass::factoryOf<EditorProxy>);

void EditorProxy::netPostReplicate()
{
    KivBase::netPostReplicate();
    KivBase* object = pObject.get();
    if (LevelDataCheck(*this).objectOfClass(u"pObject", object, &EditorObject::classRecord)) {
        pObject.set(nullptr);
    }
}

void EditorProxy::render()
{
    EditorObject* object = getObject();
    if (object != nullptr && !object->bDeleted && !object->bInactive && object->getProxy() == this) {
        object->drawThroughProxy();
    }
}

void EditorProxy::addPropertiesTo(Property& list)
{
    KivBase::addPropertiesTo(list);
    list.appendChild(new PropertyReferenceBase(u"pObject", Property::FLAG_READONLY, &pObject, &KivBase::classRecord));
}

EditorObject* EditorProxy::getObject() const
{
    KivBase* object = pObject.get();
    return object != nullptr && object->isDerivedFrom(&EditorObject::classRecord) ? static_cast<EditorObject*>(object)
                                                                                   : nullptr;
}
