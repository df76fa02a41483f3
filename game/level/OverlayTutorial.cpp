#include "game/level/OverlayTutorial.h"

#include "game/level/LevelServices.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayTutorial::classRecord(RuntimeClass::hashName(u"OverlayTutorial"), &Overlay::classRecord,
                                       &RuntimeClass::factoryOf<OverlayTutorial>);
const RuntimeClass RPC_OverlayTutorial_construct::classRecord(RuntimeClass::hashName(u"RPC_OverlayTutorial_construct"),
                                                     &RPC::classRecord,
                                                     &RuntimeClass::factoryOf<RPC_OverlayTutorial_construct>);

OverlayTutorial::OverlayTutorial()
{
}

void OverlayTutorial::construct()
{
    RPC_OverlayTutorial_construct call(this);
    RPC::send(call);
}

// The content comes with the in-level overlays; until then the overlay pauses the level over its frozen
// picture and closes by the usual rules.
void OverlayTutorial::local_construct() {}

void OverlayTutorial::renderContents()
{
    renderLevelBehind();
    Overlay::renderContents();
}

RPC_OverlayTutorial_construct::RPC_OverlayTutorial_construct(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_OverlayTutorial_construct::invoke() { static_cast<OverlayTutorial*>(target)->local_construct(); }
