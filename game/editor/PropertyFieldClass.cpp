#include "game/editor/PropertyFieldClass.h"

#include <cmath>

#include "engine/core/PropertyClass.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/NetRole.h"
#include "engine/render/PointerDispatcher.h"
#include "game/level/GameController.h"
#include "game/world/EditorObject.h"

PropertyFieldClass::PropertyFieldClass(Property* property) : PropertyFieldGroup(property) { bOpen = false; }

bool PropertyFieldClass::onEvent(KivEvent& event)
{
    if (isCtrlKey(event, KEY_X)) {
        createInstance();
        return eventListener != nullptr ? eventListener->onEvent(event) : false;
    }
    return PropertyFieldGroup::onEvent(event);
}

bool PropertyFieldClass::onEventBubble(KivEvent& event)
{
    if (isCtrlKey(event, KEY_X)) {
        createInstance();
    }
    return PropertyFieldGroup::onEventBubble(event);
}

bool PropertyFieldClass::createInstance()
{
    const LevelRoleScope scope(*this);
    NetRole* role = scope.role();
    auto* entry = dynamic_cast<PropertyClass*>(property);
    auto* object = entry != nullptr ? dynamic_cast<EditorObject*>(entry->getInstance()) : nullptr;
    KivBase* home = object != nullptr ? object->getHomeList() : nullptr;
    if (home == nullptr || role == nullptr) {
        return false;
    }
    role->registerObject(object, 0);
    object->netPostReplicate();
    object->netPostReplicateGlobal();
    home->addChild(object);
    V3 at;
    if (const GameController* controller = GameController::getCurrent();
        controller != nullptr && controller->contextGame != nullptr) {
        at = controller->contextGame->pointer;
    }
    object->editorSetPosition(V3(std::trunc(at.x), std::trunc(at.y), 0.0f));
    const Kiv* engine = Kiv::instance();
    if (engine != nullptr && engine->pointerDispatcher != nullptr) {
        engine->pointerDispatcher->sendEvent(9, this, object);
    }
    // The level owns the object now. The entry's rows showed properties of the instance, which go with it:
    // they leave at the panel's next walk (one of them may be the row whose key is being handled).
    entry->takeInstance();
    for (KivBase* row = getFirstChild(); row != nullptr; row = row->getNext()) {
        row->bDeleted = true;
    }
    sendChanged();
    return true;
}
