#pragma once
// The in-game pause menu: resume, restart the level (result code 6, after a YES), end the level (result
// code 1, after a YES, or at once by the Jump binding while the button is highlighted) and options. Its
// whole content is built by its constructor, so every peer's copy is complete by itself. Over a level with
// unsaved edits of the editor, restart and end level say that they will be lost, the Jump binding too.
#include "game/overlays/Overlay.h"

class MenuButton;

class OverlayPause : public Overlay {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    OverlayPause();

    void tickContents(double time, double dt) override;
    // The frozen level, the menu, then the mouse pointer on top.
    void renderContents() override;
    // The level has edits that no save holds: restart and end level ask whether to lose them, whichever
    // way they are chosen.
    void warnOfUnsavedEdits();

    MenuButton* buttonResume;
    MenuButton* buttonRestart;
    MenuButton* buttonEnd;
    MenuButton* buttonOptions;
    bool bUnsavedEdits = false;
};
