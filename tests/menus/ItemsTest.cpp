// The menu items under the pointer: hover, press, release, drags, confirmation, values, toggles, links.
#include "MenuFixture.h"

#include "engine/core/ErrorManager.h"
#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/SlicedSkin.h"
#include "engine/text/FontQuad.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/language/Language.h"
#include "game/menus/ContextDialog.h"
#include "game/menus/ContextMenu.h"
#include "game/menus/MenuBackButton.h"
#include "game/menus/MenuButton.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/menus/MenuLinkButton.h"
#include "game/menus/MenuSoundToggleItem.h"
#include "game/menus/MenuSupport.h"
#include "game/menus/MenuToggleItem.h"
#include "game/menus/MenuValueItem.h"
#include "game/menus/MenuVolumeItem.h"

namespace {
class Items : public MenuFixture {
protected:
    ContextMenu* pushMenu()
    {
        menu = new ContextMenu();
        menu->bDeleteWhenClosed = true;
        return menu;
    }
    template <class T>
    T* add(T* item)
    {
        menu->addItem(item);
        return item;
    }
    void show() { push(menu); }
    // The pointer onto a plane point of the menu.
    void pointTo(const V3& plane)
    {
        movePointerTo(menu, plane);
        frames(1);
    }

    ContextMenu* menu = nullptr;
};
} // namespace

TEST_F(Items, ButtonHoversHighlightsAndClicksOnRelease)
{
    pushMenu();
    auto* button = add(new MenuButton(0, 0, 0, u"Go", u"Hint"));
    show();
    pointTo(V3(0, 0, 0));
    EXPECT_TRUE(button->bHovered);
    frames(30);
    EXPECT_DOUBLE_EQ(1.0, button->highlight);
    pressMouse(true);
    frames(1);
    EXPECT_FALSE(button->bClicked) << "a press alone is no click";
    EXPECT_EQ(1.0f, button->pulse);
    pressMouse(false);
    frames(1);
    EXPECT_TRUE(button->takeClick());
    EXPECT_FALSE(button->takeClick()) << "read and cleared";
    pointTo(V3(0, 200, 0));
    EXPECT_FALSE(button->bHovered);
    frames(30);
    EXPECT_DOUBLE_EQ(0.0, button->highlight);
    EXPECT_FLOAT_EQ(1.0f, button->scale.x) << "the wobble settles";
}

TEST_F(Items, APressBelongsToTheButtonItStartedOn)
{
    pushMenu();
    auto* upper = add(new MenuButton(0, 0, 0, u"A", UString()));
    auto* lower = add(new MenuButton(0, -60, 0, u"B", UString()));
    show();
    const float halfHeight = upper->frameHeight() / 2.0f;

    // Dragged from A to B: neither.
    pointTo(V3(0, 0, 0));
    pressMouse(true);
    frames(1);
    pointTo(V3(0, -60, 0));
    pressMouse(false);
    frames(1);
    EXPECT_FALSE(upper->takeClick());
    EXPECT_FALSE(lower->takeClick());

    // Moved off A by less than the drag distance: still A's click.
    pointTo(V3(0, halfHeight - 4.0f, 0));
    pressMouse(true);
    frames(1);
    pointTo(V3(0, halfHeight + 10.0f, 0));
    EXPECT_FALSE(upper->bHovered);
    pressMouse(false);
    frames(1);
    EXPECT_TRUE(upper->takeClick());

    // Dragged away and back over it: A's click.
    pointTo(V3(0, 0, 0));
    pressMouse(true);
    frames(1);
    pointTo(V3(0, 100, 0));
    pointTo(V3(10, 0, 0));
    pressMouse(false);
    frames(1);
    EXPECT_TRUE(upper->takeClick());
    EXPECT_FALSE(lower->takeClick());
}

TEST_F(Items, DisabledAndHiddenButtonsIgnorePresses)
{
    pushMenu();
    auto* disabled = add(new MenuButton(0, 0, 0, u"A", UString()));
    disabled->bDisabled = true;
    auto* hidden = add(new MenuButton(0, -100, 0, u"B", UString()));
    hidden->bHidden = true;
    show();
    clickItem(disabled);
    clickItem(hidden);
    EXPECT_FALSE(disabled->takeClick());
    EXPECT_FALSE(hidden->takeClick());
    EXPECT_EQ(disabled->disabledColor, disabled->currentColor);
}

TEST_F(Items, ConfirmationReportsTheClickOnlyAfterYes)
{
    pushMenu();
    auto* button = add(new MenuButton(0, 0, 0, u"Delete", UString()));
    button->confirmText = u"Are you sure?";
    show();

    clickItem(button);
    frames(1);
    auto* dialog = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(MenuSupport::text(STR_YES), dialog->pFirstButton->caption);
    EXPECT_EQ(MenuSupport::text(STR_NO), dialog->pSecondButton->caption);
    EXPECT_FALSE(button->bClicked);
    clickItem(dialog->pSecondButton); // NO
    frames(2);
    EXPECT_EQ(menu, top());
    EXPECT_FALSE(button->takeClick());
    EXPECT_EQ(1, button->answer);

    clickItem(button);
    frames(1);
    dialog = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, dialog);
    tap(1); // Escape
    frames(1);
    EXPECT_EQ(menu, top());
    EXPECT_FALSE(button->takeClick());

    clickItem(button);
    frames(1);
    dialog = dynamic_cast<ContextDialog*>(top());
    ASSERT_NE(nullptr, dialog);
    clickItem(dialog->pFirstButton); // YES
    frames(2);
    EXPECT_EQ(menu, top());
    EXPECT_TRUE(button->takeClick());
    EXPECT_EQ(-1, button->answer);
}

TEST_F(Items, ValueItemsStepClampAndCountEveryPressAsAClick)
{
    int32_t value = 10;
    pushMenu();
    auto* item = add(new MenuValueItem(0, 0, 0, &value, 0, 12, 5, u"Value", UString()));
    show();
    const float reach = item->frameWidth() / 2.0f - 24.0f;
    auto pressAt = [&](float x) {
        pointTo(V3(x, 0, 0));
        click();
        return item->takeClick();
    };
    EXPECT_TRUE(pressAt(reach));
    EXPECT_EQ(12, value) << "10 + 5 is kept at the maximum";
    EXPECT_TRUE(pressAt(0.0f));
    EXPECT_EQ(12, value) << "the middle changes nothing";
    EXPECT_TRUE(pressAt(-reach));
    EXPECT_EQ(7, value);
    value = 0;
    EXPECT_TRUE(pressAt(-reach));
    EXPECT_EQ(0, value);
    // The hot spots are the two arrow zones.
    const V3 left = item->getNavigationPoint(0), right = item->getNavigationPoint(1);
    EXPECT_FLOAT_EQ(2.0f * reach, right.x - left.x);
    EXPECT_EQ(Navigable::NONE, item->getNavigationPoint(2));
}

TEST_F(Items, RightToLeftTheLeftArrowIncreases)
{
    Kiv::instance()->language->bRightToLeft = 1;
    int32_t value = 1;
    pushMenu();
    auto* item = add(new MenuValueItem(0, 0, 0, &value, 0, 3, 1, u"Value", UString()));
    Kiv::instance()->language->bRightToLeft = 0;
    show();
    Kiv::instance()->language->bRightToLeft = 1;
    const float reach = item->frameWidth() / 2.0f - 24.0f;
    pointTo(V3(-reach, 0, 0));
    click();
    EXPECT_EQ(2, value);
    pointTo(V3(reach, 0, 0));
    click();
    click();
    EXPECT_EQ(0, value);
    Kiv::instance()->language->bRightToLeft = 0;
}

TEST_F(Items, ChoiceItemsShowTheirTextAndShrinkLongOnes)
{
    int32_t value = 1;
    const std::vector<UString> names = {u"One", u"A choice far too long to stand in the box at its size"};
    pushMenu();
    auto* byId = add(new MenuChoiceItem(0, 0, 0, &value, 0, 1, STR_YES, u"Id", UString()));
    auto* byList = add(new MenuChoiceItem(0, -60, 0, &value, 0, 1, &names, u"List", UString()));
    show();
    EXPECT_EQ(MenuSupport::text(STR_NO), byId->currentText());
    EXPECT_EQ(names[1], byList->currentText());
    // Shrunk to stand between the arrows, which are drawn from 15 units inside the frame's ends.
    const float fit = byList->getFitScale(names[1]);
    ASSERT_LT(fit, 1.0f);
    const float arrows = 2.0f * (15.0f + static_cast<float>(byList->pFont->measureLine(u"\u0007")));
    const float width = fit * static_cast<float>(byList->pFont->measureLine(names[1]));
    EXPECT_LE(width, byList->frameWidth() - arrows);
    EXPECT_GT(width, byList->frameWidth() - arrows - 10.0f);
    EXPECT_EQ(1.0f, byList->getFitScale(names[0]));
    // A frame hardly wider than high never shrinks its text.
    byList->setWidth(static_cast<int>(byList->frameHeight()) + 10);
    EXPECT_EQ(1.0f, byList->getFitScale(names[1]));
    frames(2);
    screenshot("items-choice");
}

TEST_F(Items, TogglesFlipOncePerPressHoweverLongItIsHeld)
{
    bool flag = false, sound = true;
    pushMenu();
    auto* toggle = add(new MenuToggleItem(0, 0, 0, &flag, u"Toggle", UString()));
    auto* soundToggle = add(new MenuSoundToggleItem(0, -60, 0, &sound, u"Sound", UString()));
    show();
    EXPECT_EQ(50.0f, toggle->frameWidth());
    pointTo(V3(0, 0, 0));
    pressMouse(true);
    frames(10);
    pressMouse(false);
    frames(1);
    EXPECT_TRUE(flag);
    EXPECT_TRUE(toggle->takeClick());
    clickItem(toggle);
    EXPECT_FALSE(flag);
    clickItem(soundToggle);
    EXPECT_FALSE(sound);
    EXPECT_FALSE(soundToggle->takeClick()) << "the sound toggle reports no click";
}

TEST_F(Items, VolumeItemsApplyTheSettingsAtOnce)
{
    int32_t volume = 20;
    pushMenu();
    auto* item = add(new MenuVolumeItem(0, 0, 0, &volume, 0, 24, u"Volume", UString()));
    show();
    pointTo(V3(item->frameWidth() / 2.0f - 24.0f, 0, 0));
    click();
    EXPECT_EQ(21, volume);
    EXPECT_TRUE(item->takeClick());
}

TEST_F(Items, ALinkButtonStoresTheExitUrlAndEndsTheGame)
{
    pushMenu();
    auto* link = add(new MenuLinkButton(0, 0, 0, u"Web", UString()));
    link->url = u"http://localhost/?src=test";
    show();
    clickItem(link);
    EXPECT_EQ(u"http://localhost/?src=test", global().exitUrl);
    EXPECT_TRUE(screens().bQuit);
}

TEST_F(Items, ABackButtonInAnOverlayClosesTheOverlayOnly)
{
    // A level-like screen with an overlay menu inside it.
    auto* level = new Context();
    level->bDeleteWhenClosed = true;
    auto* overlay = new ContextMenu();
    level->appendChild(overlay);
    auto* back = new MenuBackButton(0, 0, 0, u"Back", UString());
    overlay->addItem(back);
    push(level);
    clickItem(back);
    EXPECT_TRUE(overlay->bClosed);
    EXPECT_FALSE(level->bClosed);
    EXPECT_EQ(level, top());
}

TEST_F(Items, AnUnknownCaptionLocationIsFatalWhenDrawn)
{
    pushMenu();
    auto* item = add(new MenuItem(0, 0, 0, u"Caption", UString()));
    show();
    item->captionLocation = 7;
    try {
        item->render();
        FAIL() << "no error";
    } catch (const FatalError& error) {
        EXPECT_EQ(u"Invalid caption location.", error.message);
    }
    item->captionLocation = 4;
}

TEST_F(Items, LongTextsAreNarrowedToStayOnTheScreen)
{
    UString longText;
    for (int i = 0; i < 30; ++i) {
        longText += u"Sehr lange Worte ";
    }
    pushMenu();
    auto* item = add(new MenuButton(0, 0, 0, u"Go", longText));
    auto* left = add(new MenuItem(0, -100, 0, longText, UString()));
    show();
    // A caption left of an item keeps its far end on the screen.
    const float scale = MenuSupport::fitToScreen(left->pFont, longText, -left->frameWidth() / 2 - 5.0f, 0x18, 1.0f);
    EXPECT_LT(scale, 1.0f);
    EXPECT_LE(static_cast<float>(left->pFont->measureLine(longText)) * scale,
              static_cast<float>(ContextMenu::screenWidth()) / 2.0f - left->frameWidth() / 2.0f);
    // The hovered button's hint at the bottom leaves the screen's side columns free.
    pointTo(V3(0, 0, 0));
    ASSERT_TRUE(item->bHovered);
    frames(1);
    const Screen screen = readScreen();
    int inkAtTheSides = 0, inkInTheMiddle = 0;
    for (int y = screen.height - 16; y < screen.height; ++y) {
        for (int x : {0, 1, 2, screen.width - 3, screen.width - 2, screen.width - 1}) {
            inkAtTheSides += (screen.pixel(x, y) & 0xFFFFFF) > 0x404040;
        }
        for (int x = screen.width / 2 - 50; x < screen.width / 2 + 50; ++x) {
            inkInTheMiddle += (screen.pixel(x, y) & 0xFFFFFF) > 0x404040;
        }
    }
    EXPECT_EQ(0, inkAtTheSides);
    EXPECT_GT(inkInTheMiddle, 20) << "the hint is shown";
}
