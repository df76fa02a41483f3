#pragma once
// Stand-ins for the speech bubble and the path mesh of the in-level overlays, until those classes exist.
// Each records what it was asked to show, so levels can be played and tested without them.
#include <cstdint>

#include "engine/core/UString.h"
#include "engine/core/V3.h"

class A99Object;
class PathSkin;

namespace WorldStubs {

// Speech bubble stand-in: replaces the shown bubble, plays "pop" and logs the text.
void openSpeechBubble(A99Object& speaker, const V3& offset, int32_t style, int32_t waitMode, const UString& text);
// Path mesh stand-in: the path skin draws no bent texture yet.
void updatePathMesh(PathSkin& skin);

// What the stand-ins were last asked (for tests).
struct Record {
    int32_t bubbles = 0;
    int32_t meshUpdates = 0;
    int32_t lastStyle = 0;
    int32_t lastWaitMode = 0;
    UString lastText;
};
Record& record();

} // namespace WorldStubs
