#include "game/world/WorldStubs.h"

#include "engine/core/Logger.h"
#include "game/world/LevelAccess.h"

namespace WorldStubs {

Record& record()
{
    static Record r;
    return r;
}

void openSpeechBubble(A99Object& /*speaker*/, const V3& /*offset*/, int32_t style, int32_t waitMode,
                      const UString& text)
{
    Record& r = record();
    ++r.bubbles;
    r.lastStyle = style;
    r.lastWaitMode = waitMode;
    r.lastText = text;
    LevelAccess::playSound(u"pop");
    Logger::logFrom("A99Object::say", u"%s", text);
}

void updatePathMesh(PathSkin& /*skin*/) { ++record().meshUpdates; }

} // namespace WorldStubs
