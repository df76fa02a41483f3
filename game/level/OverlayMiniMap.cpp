#include "game/level/OverlayMiniMap.h"

#include "game/level/LevelServices.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayMiniMap::classRecord(RuntimeClass::hashName(u"OverlayMiniMap"), &Overlay::classRecord,
                                       &RuntimeClass::factoryOf<OverlayMiniMap>);
const RuntimeClass RPC_OverlayMiniMap_construct::classRecord(RuntimeClass::hashName(u"RPC_OverlayMiniMap_construct"),
                                                     &RPC::classRecord,
                                                     &RuntimeClass::factoryOf<RPC_OverlayMiniMap_construct>);

OverlayMiniMap::OverlayMiniMap()
{
    if (const GameConfiguration* config = LevelServices::configuration()) {
        closeKey1 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_MAP].keyboard);
        closeKey2 = static_cast<int32_t>(config->keyBindings[GameConfiguration::BIND_MAP].joystick);
    }
    clickToClose = true;
}

void OverlayMiniMap::construct()
{
    RPC_OverlayMiniMap_construct call(this);
    RPC::send(call);
}

// The content comes with the in-level overlays; until then the overlay pauses the level over its frozen
// picture and closes by the usual rules.
void OverlayMiniMap::local_construct() {}

void OverlayMiniMap::renderContents()
{
    renderLevelBehind();
    Overlay::renderContents();
}

RPC_OverlayMiniMap_construct::RPC_OverlayMiniMap_construct(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_OverlayMiniMap_construct::invoke() { static_cast<OverlayMiniMap*>(target)->local_construct(); }
