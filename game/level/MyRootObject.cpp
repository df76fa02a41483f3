#include "game/level/MyRootObject.h"

#include <cmath>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertyBool.h"
#include "engine/core/PropertyPointer.h"
#include "engine/core/PropertyUString.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "engine/net/Packet.h"
#include "game/editor/ContextEditor.h"
#include "game/editor/EditorSession.h"
#include "game/level/ContextHUD.h"
#include "game/level/GameController.h"
#include "game/level/GameControllerCalls.h"
#include "game/level/GameServer.h"
#include "game/level/LevelServices.h"
#include "game/overlays/Overlay.h"
#include "game/overlays/OverlayPause.h"

const RuntimeClass MyRootObject::classRecord(0xa0bbd901u, &RootObject::classRecord,
                                             &RuntimeClass::factoryOf<MyRootObject>);
const RuntimeClass RPC_MyRootObject_openOverlay::classRecord(0xc730e76fu, &RPC::classRecord,
                                                             &RuntimeClass::factoryOf<RPC_MyRootObject_openOverlay>);
const RuntimeClass RPC_MyRootObject_closeOverlay::classRecord(0x71539314u, &RPC::classRecord,
                                                              &RuntimeClass::factoryOf<RPC_MyRootObject_closeOverlay>);
const RuntimeClass RPC_MyRootObject_addSystemMessage::classRecord(
    0x58a6fe57u, &RPC::classRecord, &RuntimeClass::factoryOf<RPC_MyRootObject_addSystemMessage>);

namespace {
constexpr float PAUSE_BUTTON_REACH = 35.0f;

// Keeps the role's broadcast flag clear for a stretch, so that objects made there are announced to peers.
class BroadcastFlagCleared {
public:
    BroadcastFlagCleared() : role(THEROLE)
    {
        if (role != nullptr) {
            saved = role->bInsideBroadcastCall;
            role->bInsideBroadcastCall = false;
        }
    }
    ~BroadcastFlagCleared()
    {
        if (role != nullptr) {
            role->bInsideBroadcastCall = saved;
        }
    }
    BroadcastFlagCleared(const BroadcastFlagCleared&) = delete;
    BroadcastFlagCleared& operator=(const BroadcastFlagCleared&) = delete;

private:
    NetRole* role;
    bool saved = false;
};
} // namespace

MyRootObject::~MyRootObject()
{
    if (contextOverlay != nullptr) {
        Overlay* overlay = contextOverlay;
        contextOverlay = nullptr;
        overlay->destroy();
    }
}

void MyRootObject::addPropertiesTo(Property& list)
{
    RootObject::addPropertiesTo(list);
    list.appendChild(new PropertyPointer(u"gameController", 0, &gameController, &GameController::classRecord));
    list.appendChild(new PropertyPointer(u"playerInfoList", 0, &playerInfoList, &KivBase::classRecord));
    list.appendChild(new PropertyPointer(u"contextOverlay", 0, &contextOverlay, &Overlay::classRecord));
}

void MyRootObject::removeOverlay()
{
    Overlay* overlay = contextOverlay;
    contextOverlay = nullptr;
    LevelServices::setFadeTarget(0.0f);
    overlay->onDeactivate(true);
    overlay->destroy();
}

bool MyRootObject::isPauseRequested() const
{
    Kiv* kiv = Kiv::instance();
    KivInput* in = kiv != nullptr ? kiv->input : nullptr;
    if (in == nullptr) {
        return false;
    }
    // The pause button is tested with a touch that began in this frame, not with one held down.
    const ContextHUD* hud = gameController != nullptr ? gameController->contextHUD : nullptr;
    if (hud != nullptr && hud->camera != nullptr && !hud->buttonPause->bHidden) {
        for (int i = 0; i < in->getTouchCount(); ++i) {
            const KivTouchPoint* touch = in->getTouchPoint(i);
            if (touch == nullptr || !touch->hasFlag(KivTouchPoint::FLAG_BEGAN)) {
                continue;
            }
            const V3 p = HudTouch::toLayer(*hud, touch->position);
            const V3& b = hud->buttonPause->position;
            const float dx = p.x - b.x;
            const float dy = p.y - b.y;
            const float dz = p.z - b.z;
            if (std::sqrt(dx * dx + dy * dy + dz * dz) < PAUSE_BUTTON_REACH) {
                return true;
            }
        }
    }
    if (in->wasKeyPressed(0xC5)) {
        return true;
    }
    // Esc while a field of the editor's panel is typed into cancels the typing only.
    return in->wasKeyPressed(0x01) && !(gameController != nullptr && gameController->editor != nullptr &&
                                        gameController->isEditing() && gameController->editor->isTextEntryOpen());
}

void MyRootObject::tick(double time, double dt)
{
    if (contextOverlay == nullptr) {
        KivBase::tick(time, dt);
    } else {
        if (playerInfoList != nullptr) {
            playerInfoList->tick(time, dt);
        }
        if (contextOverlay->closed) {
            removeOverlay();
        } else {
            contextOverlay->tickEntry(time, dt);
        }
    }

    NetRole* role = THEROLE;
    if (role != nullptr && !role->bIsServer) {
        return;
    }
    BroadcastFlagCleared announce;
    // From state 6 on the run is booked: the pause menu (whose End level would book it twice) stays shut.
    // Before the level has started it opens only in the editor, whose way back to the map it is.
    const int levelState = gameController != nullptr ? gameController->state : 0;
    const bool editing = gameController != nullptr && gameController->isEditing();
    if ((levelState < GameController::STATE_INTRO && !editing) || levelState > GameController::STATE_CONFIRMING) {
        return;
    }
    if (contextOverlay != nullptr || !isPauseRequested()) {
        return;
    }
    KIV_ASSERT(THEROLE != NULL);
    KIV_ASSERT(THEROLE->bAllowNewObjectRegistations);
    // Whether the editor's level has unsaved edits is asked before the menu is part of the level.
    auto* server = dynamic_cast<GameServer*>(THEROLE);
    const bool unsaved =
        server != nullptr && server->editSession != nullptr && server->editSession->hasUnsavedEdits(*server);
    auto* pause = new OverlayPause();
    if (unsaved) {
        pause->warnOfUnsavedEdits();
    }
    THEROLE->registerObject(pause, 0);
    openOverlay(pause);
}

void MyRootObject::render()
{
    if (contextOverlay != nullptr) {
        contextOverlay->renderEntry();
    } else {
        KivBase::render();
    }
}

void MyRootObject::start()
{
    playerInfoList = new KivBase();
    KIV_ASSERT(THEROLE != NULL);
    KIV_ASSERT(THEROLE->bAllowNewObjectRegistations);
    THEROLE->registerObject(playerInfoList, 0);
    netAddChild(playerInfoList);

    gameController = new GameController();
    KIV_ASSERT(THEROLE != NULL);
    KIV_ASSERT(THEROLE->bAllowNewObjectRegistations);
    THEROLE->registerObject(gameController, 0);
    gameController->construct();
    gameController->netCallPostReplicate();
    gameController->netCallPostReplicateGlobal();
    netAddChild(gameController);
}

void MyRootObject::openOverlay(Overlay* overlay)
{
    RPC_MyRootObject_openOverlay call(this, overlay);
    RPC::send(call);
}

void MyRootObject::local_openOverlay(Overlay* overlay)
{
    if (overlay == nullptr || overlay == contextOverlay) {
        return;
    }
    // One overlay at a time: a second one is dropped rather than leaving the open one behind.
    if (contextOverlay != nullptr) {
        Logger::logFrom("MyRootObject::local_openOverlay", u"An overlay is already open; dropping the new one.");
        overlay->destroy();
        return;
    }
    LevelServices::setFadeTarget(0.0f);
    overlay->onActivate(true);
    contextOverlay = overlay;
}

void MyRootObject::local_closeOverlay()
{
    if (contextOverlay != nullptr) {
        removeOverlay();
    }
}

void MyRootObject::local_addSystemMessage(const UString& /*text*/, bool /*flag*/)
{
    Logger::logFrom("MyRootObject::local_addSystemMessage", u"Unimplemented; the message is ignored.");
}

RPC_MyRootObject_openOverlay::RPC_MyRootObject_openOverlay(KivBase* target, Overlay* overlay)
    : RPC(target), overlay(overlay)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_MyRootObject_openOverlay::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    KivBase* object = overlay;
    packet.doPointer2(object);
    if (!packet.bWriting) {
        overlay = object != nullptr && object->isDerivedFrom(&Overlay::classRecord) ? static_cast<Overlay*>(object)
                                                                                    : nullptr;
    }
}

void RPC_MyRootObject_openOverlay::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyPointer(u"", 0, &overlay, &Overlay::classRecord));
}

void RPC_MyRootObject_openOverlay::invoke() { static_cast<MyRootObject*>(target)->local_openOverlay(overlay); }

RPC_MyRootObject_closeOverlay::RPC_MyRootObject_closeOverlay(KivBase* target) : RPC(target)
{
    bRunsOnServer = 1;
    bRunsOnClients = 1;
}

void RPC_MyRootObject_closeOverlay::invoke() { static_cast<MyRootObject*>(target)->local_closeOverlay(); }

RPC_MyRootObject_addSystemMessage::RPC_MyRootObject_addSystemMessage(KivBase* target, const UString& text, bool flag)
    : RPC(target), text(LevelCalls::clipText(text)), flag(flag)
{
    bRunsOnClients = 1;
}

void RPC_MyRootObject_addSystemMessage::netSerialize(Packet& packet)
{
    RPC::netSerialize(packet);
    if (packet.bWriting) {
        text = LevelCalls::clipText(text);
    }
    packet.doUString(text, -1);
    text = LevelCalls::clipText(text);
    uint8_t bits = flag ? 1 : 0;
    packet.doBit(bits, 0);
    flag = (bits & 1) != 0;
}

void RPC_MyRootObject_addSystemMessage::addPropertiesTo(Property& list)
{
    list.appendChild(new PropertyUString(u"", 0, &text, GameController::MAXMESSAGELENGTH));
    list.appendChild(new PropertyBool(u"", 0, &flag));
}

void RPC_MyRootObject_addSystemMessage::invoke()
{
    static_cast<MyRootObject*>(target)->local_addSystemMessage(text, flag);
}
