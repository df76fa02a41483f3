#pragma once
// The in-game level editor layer: the level's guide switches (hulls, Bezier paths, trigger areas), the
// editor camera and the level's name, all stored in the level file with the rest of the level. Editing is
// active while a role exists, the level's controller has its editor and the role's bEditing is set.
//
// While editing, the mouse steers the game camera (wheel zoom, middle-button pan), F1 shows the class list
// of editable level objects, F2 edits the level's controller and F3 this layer's own settings. The edited
// object's properties are shown as a panel of property fields (makeGUI builds one field per property).
#include "engine/core/Reference.h"
#include "engine/core/UString.h"
#include "engine/net/RPC.h"
#include "engine/render/Context.h"
#include "game/world/EditorObject.h"

class ContextEditorTools;
class GameController;
class GUIitem;
class Property;

class ContextEditor : public Context, public LevelDataCheck::Checked {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    // Event a panel field sends when it changed something; the layer answers with the objects' own
    // EVENT_EDITED to the edited object.
    static constexpr int32_t EVENT_FIELD_CHANGED = 8;
    static constexpr int32_t EVENT_EDITED = EditorObject::EVENT_EDITED;
    static constexpr float PANEL_WIDTH = 150.0f;
    // The camera's distance limits while editing (its z, farthest and nearest).
    static constexpr float ZOOM_FAR = -6400.0f;
    static constexpr float ZOOM_NEAR = -25.0f;

    ContextEditor();
    ~ContextEditor() override;

    void addPropertiesTo(Property& list) override;
    bool onEvent(KivEvent& event) override;
    bool onEventBubble(KivEvent& event) override;
    // After the layer's state arrived: its values checked (checkLoadedValues), the editor camera while
    // editing; a release build that does not edit shows no level guides.
    void netPostReplicate() override;
    // The editor camera within the coordinates' reach and the zoom's limits, and a level name that the level
    // file can hold: from outside (a level the user saved, a value typed in the panel) a camera beyond them
    // is refused, else clamped; a name too long is cut. Also the answer to the editor's change notice.
    void checkValues(const LevelDataCheck::Run& run) override;
    void checkLoadedValues() { checkValues({}); }
    void tickContents(double time, double dt) override;
    void renderContents() override;
    // The panel field under the pointer; while editing, else the level object under the game layer's
    // pointer.
    KivBase* findObjectUnderPointer(const V3& point) override;
    // The level object at a point of the game layer: the last drawn one whose sprite holds the point, or
    // whose position lies within a few units of it; null when none.
    EditorObject* findLevelObjectAt(const V3& gamePoint) const;
    // The level controller whose layer this is (its parent), else the current role's.
    GameController* controller() const;

    // Makes the object (or nothing) the edited one and rebuilds the panel; the same object again does
    // nothing. Fields must not call it from inside their own event handlers when the call would delete
    // them (it destroys the whole panel): they use requestEdit.
    void editObject(KivBase* object);
    // editObject, run at the start of the layer's next tick: a field can ask for another object from its
    // own handler (Ctrl+F) without being deleted while it still runs.
    void requestEdit(KivBase* object);
    // Shows the class list of editable level objects in the panel.
    void listClasses();
    // Takes the text still being typed into a field of the panel as Enter takes it (the field's own write
    // and check), before anything leaves the panel or keeps the level: another object edited, the class
    // list, a save, a play test. False, with the field's reason, when the field refused it (the field has
    // said so on the screen; the value stands as it was). True when nothing was being typed, and when the
    // panel's object is gone (its fields write nowhere).
    bool takeTypedText(UString& why);
    // A field of the panel has its text box open (Esc then cancels the typing, not the level).
    bool isTextEntryOpen() const;
    // The open text box of a field holds text that would change its value (what Ctrl+S would take).
    bool holdsTypedText() const;
    // In the editor ("-editor"), while a screen of the game stands over the level (an overlay such as the
    // pause menu and its questions, or the end of a play test with its results): the panel, its line to
    // the edited object and the editor's line on the screen step aside, not drawn, so that it stands whole.
    bool standsAside() const;
    // Builds the property field for one property and, for groups, its children; null when none.
    // (The table of field kinds lives in ContextEditorMakeGUI.cpp.)
    GUIitem* makeGUI(Property* property);
    // Places a field made by makeGUI (and, for groups, its children) with its top row at `cursor` and the
    // given width (the field's own place operation; defined beside makeGUI).
    static void placeField(KivBase* field, const V3& cursor, float width);
    // Places the panel's root field at panelPos with the panel width.
    void placePanel();
    // The panel's left and right edges in this layer's units (screen pixels from the centre) while a panel
    // is shown; false when none is.
    bool panelSpan(float& left, float& right) const;
    // Stores the editor camera, held within the limits a level file takes, and snaps the game layer's camera
    // to it.
    void setEditorCamera(float x, float y, float z);
    // True while editing is active for this layer's level.
    bool isEditingActive() const;

    UString levelName = u"none";
    bool bShowHulls = true;
    bool bShowBezierPaths = true;
    bool bShowTriggerAreas = true;
    bool bHideEditorOverlay = false;
    ContextEditorTools* tools = nullptr; // owned; the resource palette
    Reference edited{this};
    KivBase* propertyHolder; // child
    KivBase* panelHolder;    // child
    V3 panelHome;
    V3 panelPos;
    V3 editorCamera;

private:
    // A press on a level object edits it; holding the press drags it (editorSetPosition).
    void pickAndDrag(const V3& gamePointer, bool pressed, bool held);

    bool bListingClasses = false; // the panel shows the class list (its entries' own instances)
    Reference pendingEdit{this};
    bool bEditPending = false;
    Reference dragged{this};
    V3 dragOffset;
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
