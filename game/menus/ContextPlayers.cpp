#include "game/menus/ContextPlayers.h"

#include <algorithm>
#include <cmath>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/text/FontQuad.h"
#include "game/front/ContextIntro.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/ContextEnterName.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuPanel.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/ProfileListItem.h"

ContextPlayers::ContextPlayers()
{
    bDeleteWhenClosed = true;
    if (const Global* global = Global::instance()) {
        pPreObject = global->contextIntro; // the panel stands on the picture, not on black
    }
    MenuSupport::playSound(u"pop");
    // The panel and its three buttons are wide enough for the German captions ("Spieler hinzufügen") to be
    // drawn at a readable size.
    appendChild(new MenuPanel(0.0f, 0.0f, 0.0f, PANEL_WIDTH, 384.0f, true, MenuSupport::text(STR_PLAYERS)));

    // Items mirror their x themselves when the language reads right to left.
    pAddButton = new MenuButton(-BUTTON_SPACING, -128.0f, 0.0f, MenuSupport::text(STR_ADDPLAYER), UString());
    pAddButton->setWidth(BUTTON_WIDTH);
    addItem(pAddButton);

    pDeleteButton = new MenuButton(0.0f, -128.0f, 0.0f, MenuSupport::text(STR_DELETEPLAYER), UString());
    pDeleteButton->setWidth(BUTTON_WIDTH);
    pDeleteButton->confirmText = MenuSupport::text(STR_CONFIRM);
    addItem(pDeleteButton);

    pDoneButton = new MenuBackButton(BUTTON_SPACING, -128.0f, 0.0f, MenuSupport::text(STR_DONE), UString());
    pDoneButton->setWidth(BUTTON_WIDTH);
    addItem(pDoneButton);

    pList = new ProfileListItem();
    addItem(pList);
}

float ContextPlayers::rowHeight(int rows)
{
    if (rows <= 0) {
        return ROW_HEIGHT;
    }
    return std::min(ROW_HEIGHT, std::floor((LIST_TOP - LIST_BOTTOM) / static_cast<float>(rows)));
}

float ContextPlayers::rowMiddle(int i, int rows)
{
    const float height = rowHeight(rows);
    return LIST_TOP - height * (static_cast<float>(i) + 0.5f);
}

int ContextPlayers::rowAt(const V3& point, int rows)
{
    if (point.x < -150.0f || point.x >= 150.0f) {
        return -1;
    }
    const float height = rowHeight(rows);
    for (int i = 0; i < rows; ++i) {
        const float bottom = LIST_TOP - height * static_cast<float>(i + 1);
        if (point.y > bottom && point.y <= bottom + height) {
            return i;
        }
    }
    return -1;
}

void ContextPlayers::tickContents(double tickTime, double dt)
{
    Global* global = Global::instance();
    if (global == nullptr) {
        ContextMenu::tickContents(tickTime, dt);
        return;
    }
    ProfileManager& profiles = global->profiles;
    int rows = profiles.countProfiles();
    pAddButton->bDisabled = rows >= MAXADDABLE;
    pDeleteButton->bDisabled = rows <= 1;

    ContextMenu::tickContents(tickTime, dt);

    if (pAddButton->takeClick()) {
        MenuSupport::pushScreen(new ContextEnterName(true));
    } else if (pDeleteButton->takeClick()) {
        profiles.deleteProfile(profiles.currentProfile);
        rows = profiles.countProfiles();
    }

    // A press picks a row once; a press that a button took is the button's alone.
    const KivInput* input = Kiv::instance() != nullptr ? Kiv::instance()->input : nullptr;
    if (input != nullptr && input->isAnyTouchDown() && input->getTouchHandled() == nullptr) {
        const int row = rowAt(pointer, rows);
        if (row >= 0) {
            profiles.currentProfile = row;
            profiles.onCurrentProfileChanged();
        }
    }
}

void ContextPlayers::renderContents()
{
    ContextMenu::renderContents();
    const Global* global = Global::instance();
    FontQuad* font = MenuSupport::font(MenuSupport::FONT_SMALL_OUTLINE);
    if (global == nullptr || font == nullptr) {
        return;
    }
    const bool rightToLeft = MenuSupport::isRightToLeft();
    const int rows = global->profiles.countProfiles();
    for (int i = 0; i < rows; ++i) {
        const float middle = rowMiddle(i, rows);
        const bool current = i == global->profiles.currentProfile;
        const UColor color(current ? 0xFFFF0000u : 0x80000000u);
        const UString name = global->profiles.getProfileName(i);
        const int width = font->measureLine(name);
        const float squeeze = width > 300 ? 300.0f / static_cast<float>(width) : 1.0f;
        Matrix4 m = Matrix4::scaling(squeeze, 1.0f, 1.0f);
        m.m[3][0] = rightToLeft ? 150.0f : -150.0f;
        m.m[3][1] = middle;
        font->drawLine(m, color.argb, rightToLeft ? 0x218u : 0x212u, name);
        if (current) {
            font->print(V3(rightToLeft ? 165.0f : -160.0f, middle, 0.0f), color, 0x14, u"\u0001");
        }
    }
}
