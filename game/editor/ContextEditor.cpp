#include "game/editor/ContextEditor.h"

#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyContainer.h"
#include "engine/core/PropertyFloat.h"
#include "engine/core/PropertyRPCBase.h"
#include "engine/core/PropertyUString.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "game/level/GameController.h"
#include "game/level/TouchButton.h"

const RuntimeClass ContextEditor::classRecord(RuntimeClass::hashName(u"ContextEditor"), &Context::classRecord,
                                              &RuntimeClass::factoryOf<ContextEditor>);
const RuntimeClass RPC_ContextEditor_listClasses::classRecord(
    RuntimeClass::hashName(u"RPC_ContextEditor_listClasses"), &RPC::classRecord,
    &RuntimeClass::factoryOf<RPC_ContextEditor_listClasses>);

ContextEditor::ContextEditor()
    : propertyHolder(new KivBase()), panelHolder(new KivBase()),
      panelHome(static_cast<float>(HudTouch::screenWidth() / 2 - 100),
                static_cast<float>(HudTouch::screenHeight() / 2 - 10), 0.0f),
      editorCamera(0.0f, 0.0f, static_cast<float>(-(HudTouch::screenWidth() / 2)))
{
    appendChild(propertyHolder);
    appendChild(panelHolder);
}

ContextEditor::~ContextEditor() = default;

void ContextEditor::addPropertiesTo(Property& list)
{
    Context::addPropertiesTo(list);
    list.appendChild(new PropertyBool(u"bShowHulls", 0, &bShowHulls));
    list.appendChild(new PropertyBool(u"bShowBezierPaths", 0, &bShowBezierPaths));
    list.appendChild(new PropertyBool(u"bShowTriggerAreas", 0, &bShowTriggerAreas));
    auto* camera = new PropertyContainer(u"editorCamera", 0);
    camera->appendChild(new PropertyFloat(u"x", 0, &editorCamera.x));
    camera->appendChild(new PropertyFloat(u"y", 0, &editorCamera.y));
    camera->appendChild(new PropertyFloat(u"z", 0, &editorCamera.z));
    list.appendChild(camera);
    list.appendChild(new PropertyUString(u"levelName", 0, &levelName));
    list.appendChild(new PropertyRPCBase(u"showClassConstructors", 0, new RPC_ContextEditor_listClasses(this)));
}

void ContextEditor::netPostReplicate()
{
    const GameController* gc = GameController::getCurrent();
    const bool editing = THEROLE != nullptr && gc != nullptr && gc->editor != nullptr && THEROLE->bEditing;
    if (editing) {
        if (GameController* controller = GameController::getCurrent(); controller != nullptr) {
            if (BlenderCamera* cam = controller->getGameCamera()) {
                cam->snapTo(editorCamera.x, editorCamera.y, editorCamera.z);
            }
        }
        if (bHideEditorOverlay) {
            bShowHulls = bShowBezierPaths = bShowTriggerAreas = false;
        }
    }
    const Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->bRelease && !editing) {
        bShowHulls = bShowBezierPaths = bShowTriggerAreas = false;
    }
}

// The panel and its class list come with the level editor.
void ContextEditor::listClasses() {}

RPC_ContextEditor_listClasses::RPC_ContextEditor_listClasses(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_ContextEditor_listClasses::invoke() { static_cast<ContextEditor*>(target)->listClasses(); }
