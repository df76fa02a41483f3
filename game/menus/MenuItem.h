#pragma once
// An entry of a menu screen: a framed, hoverable, pressable sprite with a caption, a hint line shown at the
// bottom of the screen while hovered, and an optional value drawn by the kinds that show one. The owning
// screen learns of a click by reading and clearing bClicked in its own tick.
//
// The background frame and the highlight frame are nine-slice skins over frames 0 and 1 of one sheet.
#include <cstdint>

#include "engine/core/UColor.h"
#include "engine/core/UString.h"
#include "engine/render/Renderable.h"
#include "game/menus/Navigable.h"

class FontQuad;
class SlicedSkin;

class MenuItem : public Renderable, public Navigable {
public:
    // Caption places: left of, on (shrunk to fit), right of and above the item.
    enum CaptionLocation { CAPTION_LEFT = 4, CAPTION_CENTER = 5, CAPTION_RIGHT = 6, CAPTION_ABOVE = 8 };

    MenuItem(float x, float y, float z, const UString& caption, const UString& hint);
    ~MenuItem() override;

    void tick(double time, double dt) override;
    void render() override;

    // Hot spot 0: a quarter of the background's height below the centre.
    V3 getNavigationPoint(int index) override;
    virtual void renderValue(float x, float y, float z);
    // Sets bClicked and plays "mouseClick".
    virtual void onClick();

    // Frames 0 (background) and 1 (highlight) of the sheet with the border widths in pixels.
    void setBackground(const UString& sheet, int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Both frames at that width, keeping the sheet's height.
    void setWidth(int32_t width);
    // The scale at which a text fits between the frame's end caps (1.0 when it fits or the frame is short).
    virtual float getFitScale(const UString& text) const;
    float frameWidth() const;
    float frameHeight() const;
    // The scale of a caption beside or above the item: it keeps to the screen and to `captionRoom`.
    float sideCaptionScale(float anchorX, std::uint32_t flags) const;
    // Where the caption is drawn: the world anchor, the text flags and the scale it is drawn at.
    struct CaptionPlacement {
        V3 at;
        std::uint32_t flags = 0;
        float scale = 1.0f;
    };
    CaptionPlacement captionPlacement() const;
    // True for a click read once: returns bClicked and clears it.
    bool takeClick();
    // The point under the pointer of the screen being ticked, in this item's unscaled local frame.
    bool isPointerOver() const;

    float baseScale = 1.0f;
    int32_t captionLocation;
    bool bDisabled = false;
    bool bHovered = false;
    bool bForceHover = false;
    UString caption;
    float captionRoom = 0.0f; // the widest a caption beside or above the item may be; 0: up to the screen edge
    UString hint;
    UString disabledHint;
    bool bClicked = false;
    double highlight = 0.0;
    UColor normalColor{0x80000000u};
    UColor highlightColor{0xFFFF0000u};
    UColor currentColor{0u};
    UColor disabledColor{0x40000000u};
    FontQuad* pFont = nullptr;
    Renderable highlightLayer;
    float pulse = 0.0f;

protected:
    // The scale at which a text fits into `room` units (1.0 when it fits, or when the room is 10 units or less).
    float fitScale(const UString& text, int room) const;
    // Draws a text with the item's rotation and scale (times extraScale) at a world point.
    void printText(const UString& text, const V3& worldPoint, std::uint32_t flags, UColor color,
                   float extraScale = 1.0f) const;

    SlicedSkin* background = nullptr;      // owned through the renderable's skin
    SlicedSkin* highlightFrame = nullptr;  // owned through highlightLayer's skin
};
