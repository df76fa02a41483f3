#pragma once
// The in-game level editor layer: the level's guide switches (hulls, Bezier paths, trigger areas), the
// editor camera and the level's name, all stored in the level file with the rest of the level. Editing is
// active while a role exists, the level's controller has its editor and the role's bEditing is set.
#include "engine/core/Reference.h"
#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "engine/render/Context.h"

class ContextEditor : public Context {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    ContextEditor();
    ~ContextEditor() override;

    void addPropertiesTo(Property& list) override;
    // After the layer's state arrived: a release build that does not edit shows no level guides.
    void netPostReplicate() override;

    // Shows the class list of editable level objects in the panel.
    void listClasses();

    UString levelName = u"none";
    bool bShowHulls = true;
    bool bShowBezierPaths = true;
    bool bShowTriggerAreas = true;
    bool bHideEditorOverlay = false;
    Reference edited{this};
    KivBase* propertyHolder; // child
    KivBase* panelHolder;    // child
    V3 panelHome;
    V3 panelPos;
    V3 editorCamera;
};

// Runs ContextEditor::listClasses on its target.
class RPC_ContextEditor_listClasses : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_ContextEditor_listClasses(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override { return &ContextEditor::classRecord; }
    void invoke() override;
};
