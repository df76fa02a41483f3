// Binding keys and joystick inputs: the popup takes the first key or joystick input that goes down,
// moves a code that is bound elsewhere, and keeps the old binding on Escape or a click.
#include "OptionsFixture.h"

#include "engine/input/KivInput.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/text/TextSprite.h"
#include "game/options/ContextAlternativeControls.h"
#include "game/options/ContextKeyboardControls.h"
#include "game/options/ContextPlayerControls.h"
#include "game/options/ContextTouchControls.h"
#include "game/menus/MenuChoiceItem.h"
#include "game/options/KeyBindingItem.h"
#include "game/options/KeyBindingPopup.h"

namespace {
class KeyBinding : public OptionsFixture {
protected:
    using B = GameConfiguration;
    void SetUp() override
    {
        OptionsFixture::SetUp();
        const uint32_t keys[7][2] = {{203, 258}, {205, 259}, {45, 256}, {208, 257}, {57, 272}, {28, 273}, {50, 274}};
        for (int i = 0; i < 7; ++i) {
            global().config.keyBindings[i] = {keys[i][0], keys[i][1]};
        }
    }
    static B::KeyBinding& binding(int action) { return global().config.keyBindings[action]; }
    // Rows of the binding pages: Use, Left, Right, Jump, Statistics, Map.
    static KeyBindingPopup* ask(ContextPlayerControls* page, int row)
    {
        clickItem(page->pItems[row]);
        return topAs<KeyBindingPopup>();
    }
};
} // namespace

TEST_F(KeyBinding, AKeyBoundElsewhereMovesToTheChosenAction)
{
    auto* page = new ContextPlayerControls();
    push(page);
    screenshot("options-player-controls");
    KeyBindingPopup* popup = ask(page, 1); // Move left
    ASSERT_NE(nullptr, popup);
    EXPECT_FALSE(popup->bShowPointer);
    screenshot("options-key-binding-popup");
    tap(SPACE);
    frames(2);
    EXPECT_EQ(page, top());
    EXPECT_EQ(57u, binding(B::BIND_LEFT).keyboard);
    EXPECT_EQ(0u, binding(B::BIND_JUMP).keyboard) << "space was Jump: that slot is unbound";
    EXPECT_EQ(258u, binding(B::BIND_LEFT).joystick) << "the other column is left alone";
    EXPECT_EQ(UString(), input().keyNames[binding(B::BIND_JUMP).keyboard]);

    // The current binding pressed again: unchanged.
    ASSERT_NE(nullptr, ask(page, 1));
    tap(SPACE);
    frames(2);
    EXPECT_EQ(57u, binding(B::BIND_LEFT).keyboard);
}

TEST_F(KeyBinding, EscapeAndAClickCancelAndMouseButtonsNeverBind)
{
    auto* page = new ContextPlayerControls();
    push(page);
    ASSERT_NE(nullptr, ask(page, 2)); // Move right
    tap(ESCAPE);
    frames(2);
    EXPECT_EQ(page, top());
    EXPECT_EQ(205u, binding(B::BIND_RIGHT).keyboard);
    EXPECT_EQ(KeyBindingItem::ANSWER_CANCEL, page->pItems[2]->answer) << "kept until the next popup";

    ASSERT_NE(nullptr, ask(page, 2));
    click();
    frames(2);
    EXPECT_EQ(page, top());
    EXPECT_EQ(205u, binding(B::BIND_RIGHT).keyboard);
    for (const auto& b : global().config.keyBindings) {
        EXPECT_LT(b.keyboard, static_cast<uint32_t>(KivInput::MOUSE_UP));
        EXPECT_LT(b.joystick, static_cast<uint32_t>(KivInput::MOUSE_UP));
    }
}

TEST_F(KeyBinding, TheLowerOfTwoKeysInOneFrameIsTakenAndTheJumpKeyMoves)
{
    auto* page = new ContextPlayerControls();
    push(page);
    ASSERT_NE(nullptr, ask(page, 5)); // Show level map
    hold(30); // A
    hold(20); // T
    frames(1);
    hold(30, false);
    hold(20, false);
    frames(2);
    EXPECT_EQ(20u, binding(B::BIND_MAP).keyboard);

    // The Jump key both answers and closes the waiting box.
    ASSERT_NE(nullptr, ask(page, 0)); // Use/Carry
    tap(SPACE);
    frames(2);
    EXPECT_EQ(57u, binding(B::BIND_USE).keyboard);
    EXPECT_EQ(0u, binding(B::BIND_JUMP).keyboard);
}

TEST_F(KeyBinding, AJoystickButtonOnTheAlternativePageLeavesTheKeyboardColumn)
{
    const int stick = PlatformEventInjector::attachJoystick();
    ASSERT_GE(stick, 0);
    auto* page = new ContextAlternativeControls();
    push(page);
    ASSERT_NE(nullptr, ask(page, 4)); // Show statistics
    PlatformEventInjector::setJoystickButton(stick, 5, true);
    frames(1);
    PlatformEventInjector::setJoystickButton(stick, 5, false);
    frames(2);
    EXPECT_EQ(page, top());
    EXPECT_EQ(static_cast<uint32_t>(256 + 16 + 5), binding(B::BIND_STATISTICS).joystick);
    EXPECT_EQ(28u, binding(B::BIND_STATISTICS).keyboard);
    PlatformEventInjector::detachJoystick(stick);
    frames(2);
}

TEST_F(KeyBinding, TheMenuKeyIsFixedAndTheArrowSideIsAChoice)
{
    auto* keyboard = new ContextKeyboardControls();
    push(keyboard);
    EXPECT_EQ(u"Esc", keyboard->pKeyName->text);
    EXPECT_TRUE(keyboard->pMenuKeyItem->bDisabled);
    clickItem(keyboard->pMenuKeyItem);
    EXPECT_FALSE(keyboard->pMenuKeyItem->bClicked);
    EXPECT_EQ(keyboard, top());
    keyboard->bClosed = true;
    frames(1);

    global().config.touchArrowPlacement = 0;
    auto* touch = new ContextTouchControls();
    push(touch);
    auto* choice = childOf<MenuChoiceItem>(touch);
    ASSERT_NE(nullptr, choice);
    EXPECT_EQ(u"Left side", choice->currentText());
    movePointerTo(touch, choice->position + V3(choice->frameWidth() / 2.0f - 24.0f, 0.0f, 0.0f));
    frames(1);
    click();
    EXPECT_EQ(1, global().config.touchArrowPlacement);
    EXPECT_EQ(u"Right side", choice->currentText());
    screenshot("options-touch-right-side");
}
