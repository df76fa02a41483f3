#include "game/overlays/Overlay.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "game/level/GameController.h"
#include "game/level/LevelServices.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass Overlay::classRecord(0x7ecaa5e7u, &ContextMenu::classRecord,
                                        &RuntimeClass::factoryOf<Overlay>);

Overlay::Overlay() = default;

Overlay::~Overlay()
{
    Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->input != nullptr) {
        kiv->input->setTouchHandled(0, this);
    }
}

void Overlay::tickContents(double time, double dt)
{
    ContextMenu::tickContents(time, dt);
    Kiv* kiv = Kiv::instance();
    KivInput* in = kiv != nullptr ? kiv->input : nullptr;
    if (in != nullptr && !closeRequested) {
        const GameConfiguration* config = LevelServices::configuration();
        const auto jump = config != nullptr ? config->keyBindings[GameConfiguration::BIND_JUMP]
                                            : GameConfiguration::KeyBinding{57, 272};
        const bool jumpPressed = (jump.keyboard != 0 && in->wasKeyPressed(static_cast<int>(jump.keyboard))) ||
                                 (jump.joystick != 0 && in->wasKeyPressed(static_cast<int>(jump.joystick)));
        if (in->wasKeyPressed(0x01) || (closeKey1 != 0 && in->wasKeyPressed(closeKey1)) ||
            (closeKey2 != 0 && in->wasKeyPressed(closeKey2)) || (clickToClose && in->isAnyTouchDown()) ||
            (timeInState > minOpenTime && jumpPressed)) {
            closeRequested = true;
        }
    }
    NetRole* role = THEROLE;
    if (role != nullptr && role->bReplicationStep) {
        if (timeInState > minOpenTime) {
            if (bClosed || closeRequested) {
                closed = true;
            }
        } else {
            closeRequested = false;
            bClosed = false;
        }
    }
}

void Overlay::renderLevelBehind()
{
    if (GameController* gc = GameController::getCurrent()) {
        gc->renderEntry();
    }
}
