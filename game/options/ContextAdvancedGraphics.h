#pragma once
// The advanced graphics page: the display's video mode, the frame-rate limit, full screen (with the
// letterbox choice, which only full screen uses), vertical sync, filtering and the frame-rate readout.
// Everything reaches the engine once, when the page is closed.
#include <vector>

#include "game/options/ContextOptionPage.h"

class MenuToggleItem;

class ContextAdvancedGraphics : public ContextOptionPage {
public:
    ContextAdvancedGraphics();

    void tickContents(double time, double dt) override;
    void onDeactivate(bool closing) override;

    // The size handed to the settings on closing: the chosen mode, or -1, -1 (keep the current size) when
    // the list is empty or the player left an unlisted current mode as it was.
    void chosenSize(int& width, int& height) const;

    std::vector<UString> videoModeNames;
    int32_t selectedMode = 0;
    int32_t initialMode = 0;
    bool bCurrentModeListed = false;
    MenuToggleItem* pFullScreenItem = nullptr;
    MenuToggleItem* pLetterboxItem = nullptr;
};
