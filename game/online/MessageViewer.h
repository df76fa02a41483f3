#pragma once
// The status lines of the online wizards: each message is word-wrapped once when it is added (a word too
// wide for a line is broken), the newest `maxLines` display lines are kept, every message is logged as
// "> " + the text, and the lines are drawn each frame, optionally fading out `fadeTime` seconds after
// the last message.
#include <cstdint>
#include <vector>

#include "engine/core/KivBase.h"
#include "engine/core/UColor.h"
#include "engine/core/UString.h"
#include "engine/core/V3.h"

class FontQuad;

class MessageViewer : public KivBase {
public:
    MessageViewer();

    void addMessage(const UString& message);
    void tick(double time, double dt) override;
    void render() override;

    int32_t wrapWidth;
    uint32_t maxLines = 9;
    V3 position;
    float lineStep = 0.0f;
    UColor colour{0xFFFFFFFFu};
    uint32_t printFlags = 4;
    double fadeTime = 0.0;
    bool bAnchorBottom = false;
    bool bDimOlderLines = false;
    bool bHidden = false;
    FontQuad* pFont = nullptr;
    std::vector<UString> lines;
    double lastMessageTime = 0.0;
    float alpha = 0.0f;

    // The colour the entry at `index` is drawn in, with the current visibility.
    UColor lineColour(std::size_t index) const;
    // The y of the first entry, as render() draws it.
    float firstLineY() const;

private:
    // Appends a run of a wrapped line, broken into pieces no wider than `wrapWidth`.
    void addBrokenRun(const UString& run);
};

// The most characters networkText keeps.
constexpr std::size_t NETWORK_TEXT_LIMIT = 256;

// Text that came from the network, made safe to show: colour markup and every control character below
// U+0020 are removed, so that a server cannot drive the text layer's markup, and a text longer than
// NETWORK_TEXT_LIMIT is cut to that length, ending in "...".
UString networkText(UStringView text);
