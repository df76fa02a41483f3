#include "game/world/EditorProxy.h"

#include "engine/core/PropertyPointer.h"
#include "game/world/EditorObject.h"

const RuntimeClass EditorProxy::classRecord(RuntimeClass::hashName(u"EditorProxy"), &KivBase::classRecord,
                                            &RuntimeClass::factoryOf<EditorProxy>);

EditorProxy::~EditorProxy()
{
    if (pObject != nullptr && pObject->pProxy == this) {
        pObject->pProxy = nullptr;
    }
}

void EditorProxy::render()
{
    if (pObject != nullptr && !pObject->bDeleted && !pObject->bInactive) {
        pObject->drawThroughProxy();
    }
}

void EditorProxy::addPropertiesTo(Property& list)
{
    KivBase::addPropertiesTo(list);
    list.appendChild(new PropertyPointer(u"pObject", Property::FLAG_READONLY, &pObject, &EditorObject::classRecord));
}
