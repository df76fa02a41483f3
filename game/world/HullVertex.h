#pragma once
// One point of a hull, in the owner's frame. Its point is checked when it arrives and after an edit.
#include "engine/core/KivBase.h"
#include "game/world/LevelDataCheck.h"

class HullVertex : public KivBase, public LevelDataCheck::Checked {
public:
    static const RuntimeClass classRecord;

    const RuntimeClass* getClass() const override { return &classRecord; }
    void addPropertiesTo(Property& list) override;
    // Its own values arrive after its hull's, which cannot check them.
    void netPostReplicate() override;
    // The editor's change notice (EditorObject::EVENT_EDITED) checks the point.
    bool onEvent(KivEvent& event) override;
    // The point's coordinates (LevelDataCheck), as `run` says.
    void checkValues(const LevelDataCheck::Run& run) override;
    void checkLoadedValues() { checkValues({}); }

    V3 point;
};
