#include "game/level/OverlayPause.h"

#include "game/level/LevelServices.h"

const RuntimeClass OverlayPause::classRecord(RuntimeClass::hashName(u"OverlayPause"), &Overlay::classRecord,
                                             &RuntimeClass::factoryOf<OverlayPause>);

OverlayPause::OverlayPause() = default;

void OverlayPause::tickContents(double time, double dt) { Overlay::tickContents(time, dt); }

void OverlayPause::renderContents()
{
    renderLevelBehind();
    Overlay::renderContents();
    LevelServices::renderPointerLayer();
}
