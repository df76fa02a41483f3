#pragma once
// The advanced graphics page: the display's video mode, the frame-rate limit, full screen (with the
// letterbox choice, which only full screen uses), vertical sync, filtering and the frame-rate readout.
// Everything reaches the engine once, when the page is closed.
#include <utility>
#include <vector>

#include "game/options/ContextOptionPage.h"

class MenuToggleItem;

class ContextAdvancedGraphics : public ContextOptionPage {
public:
    ContextAdvancedGraphics();

    void tickContents(double time, double dt) override;
    void onDeactivate(bool closing) override;

    // The size handed to the settings on closing: the chosen entry (for a window, the size that fits the
    // display in its place), or -1, -1 (keep the current size) when the player left the field at the window's
    // size.
    void chosenSize(int& width, int& height) const;

    // Where the captions end (x in a left-to-right language), 5 units before each item's frame.
    static constexpr float CAPTION_COLUMN = -60.0f;

    // The listed modes by name and size, in the list's order, with the window's size among them.
    std::vector<UString> videoModeNames;
    std::vector<std::pair<int, int>> videoModeSizes;
    int32_t selectedMode = 0;
    int32_t initialMode = 0;
    bool bCurrentModeListed = false; // the window's size is one of the listed modes
    MenuToggleItem* pFullScreenItem = nullptr;
    MenuToggleItem* pLetterboxItem = nullptr;
};
