#include "game/level/OverlayStatistics.h"

#include "game/level/LevelServices.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayStatistics::classRecord(RuntimeClass::hashName(u"OverlayStatistics"), &Overlay::classRecord,
                                       &RuntimeClass::factoryOf<OverlayStatistics>);
const RuntimeClass RPC_OverlayStatistics_construct::classRecord(RuntimeClass::hashName(u"RPC_OverlayStatistics_construct"),
                                                     &RPC::classRecord,
                                                     &RuntimeClass::factoryOf<RPC_OverlayStatistics_construct>);

OverlayStatistics::OverlayStatistics()
{
    if (const GameConfiguration* config = LevelServices::configuration()) {
        closeKey1 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_STATISTICS].keyboard);
        closeKey2 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_STATISTICS].joystick);
    }
    clickToClose = true;
}

void OverlayStatistics::construct()
{
    RPC_OverlayStatistics_construct call(this);
    RPC::send(call);
}

// The content comes with the in-level overlays; until then the overlay pauses the level over its frozen
// picture and closes by the usual rules.
void OverlayStatistics::local_construct() {}

void OverlayStatistics::renderContents()
{
    renderLevelBehind();
    Overlay::renderContents();
}

RPC_OverlayStatistics_construct::RPC_OverlayStatistics_construct(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_OverlayStatistics_construct::invoke() { static_cast<OverlayStatistics*>(target)->local_construct(); }
