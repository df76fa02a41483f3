#pragma once
// A speech bubble beside a level object (the pig, or the object a hint names): a wrapped text with colour
// runs in a stretchable frame that follows its speaker. It closes after a reading time, once the player did
// what it waits for (move, jump, use), or when its speaker goes. At most one bubble is shown at a time.
#include <cstdint>
#include <memory>

#include "engine/core/Reference.h"
#include "engine/core/UString.h"
#include "engine/core/V3.h"
#include "engine/render/Renderable.h"

class FontQuad;
class SlicedSkin;
class TextBlock;

class SpeechBubble : public Renderable {
public:
    enum WaitMode : int32_t { WAIT_NONE = 0, WAIT_MOVE = 1, WAIT_JUMP = 2, WAIT_USE = 3 };
    // The shortest reading time, and the time per UTF-16 unit of the text.
    static constexpr double MIN_READING_TIME = 2.5;
    static constexpr double TIME_PER_CHARACTER = 0.1;

    // style 1 or 2: the frame of the bubble sheet and the placement rule.
    SpeechBubble(Renderable* speaker, const V3& offset, int32_t style);
    ~SpeechBubble() override;

    // Shows a text for `time` seconds (0 or less: by its length). An empty text only ends the time.
    void setText(const UString& text, double time);
    void tick(double time, double dt) override;
    void render() override;

    // What a level object's say does: a bubble for `speaker` (mirrored when the speaker is right of the
    // screen centre) replaces any shown bubble, and "pop" plays. Answers the new bubble (null without a
    // running level).
    static SpeechBubble* say(Renderable& speaker, const V3& offset, int32_t style, int32_t waitMode,
                             const UString& text);

    // Moves the bubble beside its speaker, and back inside the game camera's view where it would reach past
    // an edge of the screen.
    void place();

    // The frame's box on the screen, in pixels from the screen's centre (x to the right, y up), as the
    // overlays lay out their contents.
    struct ScreenBox {
        float left = 0.0f;
        float bottom = 0.0f;
        float right = 0.0f;
        float top = 0.0f;
    };
    // The box of the bubble the running level shows; false when it shows none.
    static bool shownBox(ScreenBox& box);

    // Space kept between a bubble and the screen's edges, in screen pixels; at the top the HUD's top row
    // stays free.
    static constexpr float EDGE_MARGIN = 4.0f;

    bool bClosesByTime = true;
    int32_t waitMode = WAIT_NONE;
    Reference speaker{this};
    std::unique_ptr<TextBlock> block;
    int32_t style = 1;
    FontQuad* pFont = nullptr;
    V3 offset;
    double remaining = 0.0;
    SlicedSkin* frame = nullptr; // the skin, owned through the renderable
};
