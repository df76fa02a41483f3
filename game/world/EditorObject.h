#pragma once
// The editable, selectable world object: base of every level object. It knows the list a new instance
// joins (homeList), owns an EditorProxy in the controller's proxyList, which draws it in editor order
// (the object's own list skips it), and draws its editor marks while editing is active. Its pose, scale,
// colour, skin and hidden flag are its properties; construct-call arguments are flagged as the
// constructor group (0x10).
#include <cstdint>

#include "engine/core/Reference.h"
#include "engine/core/UColor.h"
#include "engine/net/RPC.h"
#include "engine/render/Renderable.h"
#include "game/world/LevelAccess.h"
#include "game/world/LevelDataCheck.h"

class EditorProxy;

class EditorObject : public Renderable, public LevelDataCheck::Checked {
public:
    static const RuntimeClass classRecord;
    // Editor event: a property of the object was changed in the editor panel.
    static constexpr int32_t EVENT_EDITED = 9;

    EditorObject();
    ~EditorObject() override;

    const RuntimeClass* getClass() const override { return &classRecord; }
    // Nothing while a proxy draws the object; without one the object draws itself.
    void render() override;
    void addPropertiesTo(Property& list) override;
    // Clamps values a level file may carry (checkLoadedValues), makes a proxy when the object has none,
    // then runs the after-edit hook.
    void netPostReplicate() override;
    // Editor event 9 (a property changed) runs the after-edit hook.
    bool onEvent(KivEvent& event) override;

    // Sender of the replicated construct call; its body is local_construct, which every level class's own
    // construct body runs first.
    void construct();
    virtual void local_construct();

    void placeProxyAfter(EditorObject* other);
    void placeProxyBefore(EditorObject* other);
    virtual void editorSetPosition(const V3& point);
    // The editor marks: skin frame, rotation handle, class name and radius circles.
    virtual void renderObject();
    // Rebuilds what depends on the properties (hull, strips, body) after an edit or a load.
    virtual void afterEdit();
    // Holds the values that a level file or the editor may carry to their ranges, as `run` says: clamped with
    // a "Warning:" line each, or refused (LevelDataCheck).
    void checkValues(const LevelDataCheck::Run& run) override;
    // The check of a level's values as they arrive.
    void checkLoadedValues() { checkValues({}); }
    // The radius the editor draws around the object (0: none).
    virtual float getEditorRadius() const { return 0.0f; }

    // Draws the object (its skin by default).
    virtual void drawObject();
    // Draws the object and its marks (the proxy's render).
    void drawThroughProxy();
    KivBase* getHomeList() const;
    EditorProxy* getProxy() const;

    // The list a new instance joins; set by each class's constructor.
    LevelAccess::ListId homeListId = LevelAccess::OBJECT_LIST;
    KivBase* homeList = nullptr;
    // The proxy in the controller's proxyList (a reference: either may go first).
    Reference pProxy{this};

protected:
    explicit EditorObject(LevelAccess::ListId home);

private:
    void makeProxy();
};

// Draws "editor_circle:0" around the point, scaled to the radius, in the colour.
void drawEditorCircle(float x, float y, float z, float radius, UColor colour);

class RPC_EditorObject_construct : public RPC {
public:
    static const RuntimeClass classRecord;
    explicit RPC_EditorObject_construct(KivBase* target = nullptr);
    const RuntimeClass* getClass() const override { return &classRecord; }
    const RuntimeClass* getTargetClass() const override;
    void invoke() override;
};
