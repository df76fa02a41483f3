#pragma once
// One row of the editor panel: shows a property's name at its left edge and the property's text form at
// its right edge, in the tiny font over a minimal-theme frame. Every kind of field derives from it; this
// plain kind only shows (properties of kinds the panel has no editing for). Fields keep no copy of the
// value: they read the property's text every frame and write through the property.
#include <cstdint>

#include "engine/core/UString.h"
#include "game/menus/GUIitem.h"

class ContextEditor;
class FontQuad;
class NetRole;
class Property;
struct KivEvent;

class PropertyField : public GUIitem {
public:
    // DirectInput codes of the panel's key commands.
    static constexpr int KEY_F = 0x21;
    static constexpr int KEY_G = 0x22;
    static constexpr int KEY_X = 0x2D;
    static constexpr int KEY_B = 0x30;
    static constexpr int DEFAULT_HEIGHT = 10;

    explicit PropertyField(Property* property);
    ~PropertyField() override;

    void render() override;
    // Sets the size to (width, height), centres the row at (cursor.x, cursor.y - height / 2, cursor.z) in
    // the parent's coordinates and moves the cursor down by the row's height.
    virtual void place(V3& cursor, float width);

    // Announces a change (event 8, this field as source and target): the parent's capture step, this
    // field's own handler, then the bubble from the parent.
    void sendChanged();
    // True for a key-input event of `key` on the frame it went down, with exactly Ctrl held.
    static bool isCtrlKey(const KivEvent& event, int key);
    // The editor layer this field belongs to (its nearest ancestor), else the running level's editor.
    ContextEditor* findEditor() const;
    bool isReadOnly() const;
    // The network role of the edited level: the current one, else the one the editor layer is registered
    // with (the panel's events arrive outside the level's tick, where no role need be current).
    NetRole* findLevelRole() const;

    // Makes the level's role current for the life of the scope, as inside the level's tick.
    class LevelRoleScope {
    public:
        explicit LevelRoleScope(const PropertyField& field);
        ~LevelRoleScope();
        LevelRoleScope(const LevelRoleScope&) = delete;
        LevelRoleScope& operator=(const LevelRoleScope&) = delete;
        NetRole* role() const { return current; }

    private:
        NetRole* previous;
        NetRole* current;
    };

    Property* property; // lives in the editor's property tree
    UString prefix;

protected:
    // The property's name from the edited object's (or class-list entry's) properties down: "position.x".
    UString propertyPath() const;
    // Says on the console and the level's message line that the read-only row cannot be changed `how`
    // ("typed", "toggled").
    void sayReadOnly(const char16_t* how) const;
    // The name and value texts at the row's two edges.
    void drawTexts();
    // Shortens the name and then the value (ending them in "...") until both fit the room side by side.
    static void fitTexts(const FontQuad& font, float room, UString& name, UString& value);
};
