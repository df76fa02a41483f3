#include "game/menus/MenuButton.h"

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "game/language/Language.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/MenuSupport.h"

MenuButton::MenuButton(float x, float y, float z, const UString& itemCaption, const UString& itemHint)
    : MenuItem(x, y, z, itemCaption, itemHint)
{
    setBackground(u"gui-game-button", 36, 0, 0, 36);
    setWidth(256);
    captionLocation = CAPTION_CENTER;
}

void MenuButton::tick(double time, double dt)
{
    MenuItem::tick(time, dt);
    KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    if (input != nullptr && !bDisabled && !bHidden) {
        if (bHovered && input->isTouchDown(0) && input->getTouchHandled() == nullptr) {
            input->setTouchHandled(0, this);
        }
        const KivTouchPoint* contact = input->getTouchPoint(0);
        if (contact != nullptr && contact->isReleased() && contact->handled == this &&
            (!contact->isDragged() || bHovered)) {
            activate();
        }
    }
    if (answer == 0) {
        answer = -1;
        onClick();
    }
}

void MenuButton::activate()
{
    if (confirmTitle.empty() && confirmText.empty()) {
        onClick();
        return;
    }
    auto* dialog = new ContextDialog();
    dialog->title = confirmTitle;
    dialog->text = confirmText;
    dialog->firstCaption = MenuSupport::text(STR_YES);
    dialog->secondCaption = MenuSupport::text(STR_NO);
    dialog->setAnswer(&answer, this);
    dialog->buildContents();
    MenuSupport::pushScreen(dialog);
}
