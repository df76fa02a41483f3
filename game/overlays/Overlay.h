#pragma once
// Base of the in-game overlays (pause menu, statistics, mini map, hint, tutorial): a menu screen that the
// level's root object opens over the running level, which stands still while it is open. An overlay never
// closes itself: it asks (Escape, its close keys, a click, the Jump binding, its own request or its
// finished flag) and sets `closed` at a replication step of the role once it has been open minOpenTime;
// the root object then takes it down.
#include <cstdint>

#include "game/menus/ContextMenu.h"

class Overlay : public ContextMenu {
public:
    static const RuntimeClass classRecord;
    const RuntimeClass* getClass() const override { return &classRecord; }

    Overlay();
    // Marks the first touch point as handled, so the press that closed the overlay does not reach the level.
    ~Overlay() override;

    void tickContents(double time, double dt) override;

    // Draws the level's controller (the frozen level) through its render entry.
    static void renderLevelBehind();

    bool closed = false;
    double minOpenTime = 0.1;
    int32_t closeKey1 = 0;
    int32_t closeKey2 = 0;
    bool clickToClose = false;
    bool closeRequested = false;
};
