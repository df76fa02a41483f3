#pragma once
// A themed element of the level editor's tool windows: a rectangle drawn as one of three nine-slice frames
// (normal, focused, disabled), with a caption, a hint line, a hover colour and child elements that take
// its transform. The theme decides its frames, margins and font.
#include <cstdint>

#include "engine/core/UColor.h"
#include "engine/core/UString.h"
#include "engine/render/Renderable.h"

class FontQuad;
class GUItheme;
class SlicedSkin;

class GUIitem : public Renderable {
public:
    // Caption places: outside left, centred, outside right, above; inside at the left, right and top edge.
    enum CaptionLocation {
        CAPTION_LEFT = 4,
        CAPTION_CENTER = 5,
        CAPTION_RIGHT = 6,
        CAPTION_ABOVE = 8,
        CAPTION_INSIDE_LEFT = -4,
        CAPTION_INSIDE_RIGHT = -6,
        CAPTION_INSIDE_TOP = -8,
    };

    GUIitem(GUItheme* theme, int style);
    ~GUIitem() override;

    void tick(double time, double dt) override;
    void render() override;
    // The renderable's update, then every child element takes this element's world matrix.
    void updateVisuals() override;
    void addChild(KivBase* child) override;

    // Frames from the sheet's frames 1 (normal), 0 (disabled) and 2 (focused).
    void applySkin(const UString& sheet);
    void setSize(int32_t width, int32_t height);
    void layout() { updateVisuals(); }
    bool isDisabled() const { return isIgnoringEvents(); }

    int32_t captionLocation = CAPTION_CENTER;
    bool bHovered = false;
    UString caption;
    UString disabledHint;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameBorder = 0;
    int32_t sliceBorders[4] = {0, 0, 0, 0};
    GUItheme* pTheme = nullptr;
    SlicedSkin* normalFrame = nullptr;
    SlicedSkin* focusFrame = nullptr;
    SlicedSkin* disabledFrame = nullptr;
    double highlight = 0.0;
    UColor normalColor{0xFF747A80u};
    UColor hoverColor{0xFFCC8B00u};
    UColor currentColor{0xFFFFFFFFu};
    UColor disabledColor{0x80747A80u};
    UString hint;
    FontQuad* pFont = nullptr;

private:
    void deleteFrames();
};
