#include "game/overlays/OverlayPause.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/net/NetRole.h"
#include "game/language/StringIds.h"
#include "game/level/LevelServices.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuPanel.h"
#include "game/menus/MenuSupport.h"
#include "game/options/ContextOptions.h"
#include "game/userdata/GameConfiguration.h"

const RuntimeClass OverlayPause::classRecord(RuntimeClass::hashName(u"OverlayPause"), &Overlay::classRecord,
                                             &RuntimeClass::factoryOf<OverlayPause>);

namespace {
void setResultCode(int32_t code)
{
    if (NetRole* role = THEROLE) {
        role->levelResultCode = code;
    }
}
} // namespace

OverlayPause::OverlayPause()
{
    using LevelServices::text;
    appendChild(new MenuPanel(0.0f, 0.0f, 0.0f, 384.0f, 384.0f, false, text(STR_PAUSED)));
    buttonResume = new MenuButton(0.0f, 100.0f, 0.0f, text(STR_RESUME), text(STR_RESUMEHINT));
    buttonRestart = new MenuButton(0.0f, 25.0f, 0.0f, text(STR_RESTART), text(STR_RESTARTHINT));
    buttonRestart->confirmText = text(STR_CONFIRM);
    buttonEnd = new MenuButton(0.0f, -25.0f, 0.0f, text(STR_QUITGAME), text(STR_QUITGAMEHINT));
    buttonEnd->confirmText = text(STR_CONFIRM);
    buttonOptions = new MenuButton(0.0f, -100.0f, 0.0f, text(STR_OPTIONSDOTS), UString());
    for (MenuButton* button : {buttonResume, buttonRestart, buttonEnd, buttonOptions}) {
        addItem(button);
    }
}

void OverlayPause::tickContents(double time, double dt)
{
    Overlay::tickContents(time, dt);
    if (buttonResume->takeClick()) {
        closeRequested = true;
    }
    if (buttonRestart->takeClick()) {
        setResultCode(6);
    }
    // The Jump binding on a highlighted End level asks no question.
    bool jumpPressed = false;
    const Kiv* kiv = Kiv::instance();
    if (kiv != nullptr && kiv->input != nullptr) {
        const GameConfiguration* config = LevelServices::configuration();
        const auto jump = config != nullptr ? config->keyBindings[GameConfiguration::BIND_JUMP]
                                            : GameConfiguration::KeyBinding{57, 272};
        jumpPressed = (jump.keyboard != 0 && kiv->input->wasKeyPressed(static_cast<int>(jump.keyboard))) ||
                      (jump.joystick != 0 && kiv->input->wasKeyPressed(static_cast<int>(jump.joystick)));
    }
    const bool endClicked = buttonEnd->takeClick();
    const bool endJumped = (buttonEnd->bHovered || buttonEnd->bForceHover) && jumpPressed;
    if (endClicked || (endJumped && !bUnsavedEdits)) {
        setResultCode(1);
    } else if (endJumped) {
        // The question first, over the menu: the Jump binding closes the menu otherwise.
        closeRequested = false;
        closed = false;
        buttonEnd->activate();
    }
    if (buttonOptions->takeClick()) {
        MenuSupport::pushScreen(new ContextOptions());
    }
}

void OverlayPause::warnOfUnsavedEdits()
{
    bUnsavedEdits = true;
    // In English, as every line of the editor.
    const UString question = u"Unsaved edits will be lost (Ctrl+S saves them). Are you sure?";
    buttonRestart->confirmText = question;
    buttonEnd->confirmText = question;
}

void OverlayPause::renderContents()
{
    renderLevelBehind();
    ContextMenu::renderContents();
    LevelServices::renderPointerLayer();
}
