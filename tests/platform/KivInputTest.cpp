// Keyboard codes, press and touch flags frame by frame, typed characters and the pointer, driven through
// synthetic window messages.
#include <gtest/gtest.h>

#include <set>

#include "engine/input/KivInput.h"
#include "engine/kiv/Kiv.h"
#include "engine/platform/PlatformEvent.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/platform/PlatformWindow.h"
#include "engine/platform/ScancodeTable.h"
#include "engine/render/KivGraphics.h"
#include "support/KivHarness.h"

namespace PI = PlatformEventInjector;

TEST(ScancodeTable, KeysTheGameReadsHaveTheirDirectInputCodes)
{
    const std::pair<const char*, int> keys[] = {
        {"Escape", 0x01}, {"Pause", 0xC5},     {"F9", 0x43},    {"Right Shift", 0x36}, {"Left Shift", 0x2A},
        {"F1", 0x3B},     {"F2", 0x3C},        {"F3", 0x3D},    {"X", 0x2D},           {"F", 0x21},
        {"B", 0x30},      {"G", 0x22},         {"`", 0x29},     {"L", 0x26},           {"S", 0x1F},
        {"Left", 203},    {"Right", 205},      {"Down", 208},   {"Up", 200},           {"Space", 57},
        {"Return", 28},   {"M", 50},           {"Tab", 15},     {"Keypad Enter", 156}, {"Delete", 211},
        {"Left Ctrl", 0x1D}, {"Right Ctrl", 0x9D}, {"Left Alt", 0x38}, {"Right Alt", 0xB8}, {"Backspace", 0x0E},
    };
    for (const auto& [name, code] : keys) {
        const int scancode = ScancodeTable::scancodeFromName(name);
        ASSERT_GE(scancode, 0) << name;
        EXPECT_EQ(ScancodeTable::toKeyCode(scancode), code) << name;
    }
    EXPECT_EQ(ScancodeTable::toKeyCode(-1), 0);
    EXPECT_EQ(ScancodeTable::toKeyCode(100000), 0);
}

TEST(ScancodeTable, EveryCodeProducedIsANamedKeyboardKey)
{
    // The DirectInput keyboard codes that carry a key name.
    std::set<int> named;
    auto range = [&](int a, int b) {
        for (int c = a; c <= b; ++c) {
            named.insert(c);
        }
    };
    range(1, 83); range(86, 88); range(100, 102); range(112, 112); range(115, 115); range(121, 121);
    range(123, 123); range(125, 126); range(141, 141); range(144, 151); range(153, 153); range(156, 157);
    range(160, 162); range(164, 164); range(174, 174); range(176, 176); range(178, 179); range(181, 181);
    range(183, 184); range(197, 197); range(199, 201); range(203, 203); range(205, 205); range(207, 211);
    range(219, 223); range(227, 227); range(229, 237);
    std::set<int> produced;
    for (int scancode = 0; scancode < 512; ++scancode) {
        if (const int code = ScancodeTable::toKeyCode(scancode); code != 0) {
            EXPECT_TRUE(named.count(code)) << "scancode " << scancode << " gives " << code;
            produced.insert(code);
        }
    }
    // All main-block, keypad and navigation keys are reachable.
    for (int code = 1; code <= 83; ++code) {
        EXPECT_TRUE(produced.count(code)) << code;
    }
}

class KivInputTest : public ::testing::Test {
protected:
    KivHarness h;
    KivInput& input() { return *h.kiv().input; }
};

TEST_F(KivInputTest, KeyPressIsSeenOnceAndATapWithinOneFrameCounts)
{
    PI::key("Escape", true);
    h.frame();
    EXPECT_TRUE(input().wasKeyPressed(0x01));
    EXPECT_EQ(input().getButtonPress(), 0x01);
    h.frame();
    EXPECT_TRUE(input().isDown(0x01));
    EXPECT_FALSE(input().wasKeyPressed(0x01));
    EXPECT_EQ(input().getButtonPress(), 0);
    PI::key("Escape", false);
    h.frame();
    EXPECT_FALSE(input().isDown(0x01));

    // Down and up between two frames: pressed once, then up.
    PI::key("Pause", true);
    PI::key("Pause", false);
    h.frame();
    EXPECT_TRUE(input().wasKeyPressed(0xC5));
    h.frame();
    EXPECT_FALSE(input().isDown(0xC5));
    EXPECT_FALSE(input().wasKeyPressed(0xC5));

    // A held key repeats as a button press.
    PI::key("Left", true);
    h.frame();
    EXPECT_EQ(input().getButtonPress(), 203);
    h.frame();
    EXPECT_EQ(input().getButtonPress(), 0);
    PI::key("Left", true, true);
    h.frame();
    EXPECT_EQ(input().getButtonPress(), 203);
    EXPECT_FALSE(input().wasKeyPressed(203));
}

TEST_F(KivInputTest, ModifierStateCombinesShiftCtrlAndAlt)
{
    struct Case {
        std::vector<const char*> keys;
        int state;
    };
    const Case cases[] = {
        {{}, 0},
        {{"Right Shift"}, 1},
        {{"Left Ctrl"}, 2},
        {{"Right Alt"}, 3},
        {{"Left Ctrl", "Left Alt"}, 4},
        {{"Right Ctrl", "Left Shift"}, 5},
        {{"Left Alt", "Left Shift"}, 6},
        {{"Left Ctrl", "Left Alt", "Right Shift"}, 7},
    };
    for (const Case& c : cases) {
        for (const char* k : c.keys) {
            PI::key(k, true);
        }
        h.frame();
        EXPECT_EQ(input().getModifierState(), c.state);
        for (const char* k : c.keys) {
            PI::key(k, false);
        }
        h.frame();
        EXPECT_EQ(input().getModifierState(), 0);
    }

    // A chord whose key went down and up between two frames keeps its modifier in the frame the key counts,
    // also when the modifier went down a frame before; a modifier let go before the key went down does not.
    // Each step is a key ("S" down and up, "+Ctrl" down, "-Ctrl" up) or "|", a frame.
    const std::vector<std::vector<const char*>> chords = {
        {"+Left Ctrl", "S", "-Left Ctrl"}, {"+Left Ctrl", "|", "S", "-Left Ctrl"}, {"+Left Ctrl", "-Left Ctrl", "S"}};
    const int expected[] = {2, 2, 0};
    for (std::size_t i = 0; i < chords.size(); ++i) {
        for (const std::string step : chords[i]) {
            if (step == "|") {
                h.frame();
            } else if (step[0] == '+' || step[0] == '-') {
                PI::key(step.substr(1), step[0] == '+');
            } else {
                PI::key(step, true);
                PI::key(step, false);
            }
        }
        h.frame();
        EXPECT_EQ(input().getModifierState(), expected[i]) << i;
        EXPECT_TRUE(input().wasKeyPressed(0x1F)) << i;
        h.frame();
        EXPECT_EQ(input().getModifierState(), 0) << i;
    }
}

TEST_F(KivInputTest, TypedCharactersIncludeBackspaceAndEnterAndWaitForTheirFrame)
{
    PI::text("\xC3\xA4"); // a-umlaut
    h.window().pumpEvents();
    EXPECT_EQ(input().typedChar, u'\u00E4');
    h.kiv().frame(nullptr);
    EXPECT_EQ(input().typedChar, 0);

    PI::key("Backspace", true);
    h.window().pumpEvents();
    EXPECT_EQ(input().typedChar, 8);
    h.kiv().frame(nullptr);
    PI::key("Backspace", false);
    PI::key("Keypad Enter", true);
    h.window().pumpEvents();
    EXPECT_EQ(input().typedChar, 13);
    h.kiv().frame(nullptr);
    EXPECT_EQ(input().typedChar, 0);

    // Typed faster than the frames: each frame takes one, in order, and none is lost.
    PI::text("ab");
    PI::text("c");
    h.window().pumpEvents();
    std::u16string seen;
    for (int i = 0; i < 4; ++i) {
        seen += input().typedChar;
        h.kiv().frame(nullptr);
    }
    EXPECT_EQ(seen, std::u16string(u"abc") + char16_t(0));
}

// A paste of 300 characters in one message: one for this frame, 256 waiting for the next ones, the rest cut.
TEST_F(KivInputTest, ALongPasteIsCutAfterTheCharactersThatWait)
{
    PlatformEvent paste;
    paste.type = PlatformEvent::Type::Text;
    paste.text = std::string(300, 'x');
    input().handleEvent(paste);
    int delivered = 0;
    for (; delivered < 400 && input().typedChar != 0; ++delivered) {
        input().endFrame();
    }
    EXPECT_EQ(delivered, 257);
}

TEST_F(KivInputTest, MousePressIsOneBeganFrameThenHeldThenReleasedAsATap)
{
    PI::mouseMove(10, 10);
    PI::mouseButton(0, true, 10, 10);
    h.frame();
    EXPECT_TRUE(input().isAnyTouchDown());
    EXPECT_TRUE(input().isTouchDown(0));
    EXPECT_TRUE(input().getTouchFlag(0));
    EXPECT_TRUE(input().isDown(KivInput::MOUSE_BUTTON0));
    ASSERT_NE(input().getTouchPoint(0), nullptr);
    EXPECT_EQ(input().getTouchPoint(0)->state, KivTouchPoint::STATE_BEGAN);

    for (int i = 0; i < 3; ++i) {
        h.frame();
        EXPECT_FALSE(input().isAnyTouchDown()) << "frame " << i;
        EXPECT_TRUE(input().getTouchFlag(0));
        EXPECT_EQ(input().getTouchPoint(0)->state, KivTouchPoint::STATE_HELD);
    }

    PI::mouseButton(0, false, 12, 11);
    h.frame();
    KivTouchPoint* t = input().getTouchPoint(0);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->isReleased());
    EXPECT_TRUE(t->hasFlag(KivTouchPoint::FLAG_TAP));
    EXPECT_FALSE(t->isDragged());
    EXPECT_FALSE(input().getTouchFlag(0));
    EXPECT_FALSE(input().isAnyTouchDown());

    h.frame();
    EXPECT_EQ(input().getTouchCount(), 0);
    EXPECT_EQ(input().getTouchPoint(0), nullptr);
    EXPECT_FALSE(input().getTouchFlag(0));
}

TEST_F(KivInputTest, ClickWithinOneFrameStillBeginsForExactlyOneFrame)
{
    PI::mouseButton(0, true, 30, 30);
    PI::mouseButton(0, false, 30, 30);
    h.frame();
    EXPECT_TRUE(input().isAnyTouchDown());
    h.frame();
    EXPECT_FALSE(input().isAnyTouchDown());
    ASSERT_NE(input().getTouchPoint(0), nullptr);
    EXPECT_TRUE(input().getTouchPoint(0)->isReleased());
    EXPECT_TRUE(input().getTouchPoint(0)->hasFlag(KivTouchPoint::FLAG_TAP));
    h.frame();
    EXPECT_EQ(input().getTouchCount(), 0);
}

TEST(KivTouchPointTest, DragStartsBeyondTwentyUnitsAndIsKeptUntilTheEnd)
{
    KivTouchPoint t;
    t.start = V3(100.0f, 100.0f, 0.0f);
    t.setState(KivTouchPoint::STATE_BEGAN);
    t.moveTo(V3(112.0f, 116.0f, 0.0f)); // exactly 20 away
    EXPECT_FALSE(t.isDragged());
    t.moveTo(V3(120.01f, 100.0f, 0.0f));
    EXPECT_TRUE(t.isDragged());
    t.moveTo(V3(100.0f, 100.0f, 0.0f)); // back home: still a drag
    t.setState(KivTouchPoint::STATE_HELD);
    EXPECT_TRUE(t.isDragged());
    t.setState(KivTouchPoint::STATE_ENDED);
    EXPECT_TRUE(t.isReleased());
    EXPECT_TRUE(t.isDragged());
    EXPECT_FALSE(t.hasFlag(KivTouchPoint::FLAG_TAP));
    EXPECT_FALSE(t.hasFlag(KivTouchPoint::FLAG_DOWN));
}

TEST_F(KivInputTest, FingerContactsSwitchToTouchModeAndLeadThePointer)
{
    PI::finger(7, 0, 0.1f, 0.5f);
    h.frame();
    EXPECT_EQ(input().getInputMode(), KivInput::INPUT_TOUCH);
    EXPECT_TRUE(h.logContains("KivInput::setInputMode(): Setting input mode to 2"));
    EXPECT_TRUE(input().isAnyTouchDown());
    ASSERT_NE(input().getTouchPoint(0), nullptr);
    EXPECT_NEAR(input().pointer.x, input().getTouchPoint(0)->position.x, 0.01f);

    // A second finger is a second contact; the first one leads the pointer.
    PI::finger(8, 0, 0.9f, 0.5f);
    PI::finger(7, 1, 0.6f, 0.5f);
    h.frame();
    ASSERT_EQ(input().getTouchCount(), 2);
    EXPECT_TRUE(input().isTouchDown(1));
    EXPECT_FALSE(input().isTouchDown(0));
    EXPECT_TRUE(input().getTouchPoint(0)->isDragged());
    EXPECT_NEAR(input().pointer.x, input().getTouchPoint(0)->position.x, 0.01f);

    PI::finger(7, 2, 0.6f, 0.5f);
    PI::finger(8, 2, 0.9f, 0.5f);
    h.frame();
    EXPECT_TRUE(input().getTouchPoint(0)->isReleased());
    EXPECT_FALSE(input().getTouchPoint(0)->hasFlag(KivTouchPoint::FLAG_TAP));
    EXPECT_TRUE(input().getTouchPoint(1)->hasFlag(KivTouchPoint::FLAG_TAP));
    h.frame();
    EXPECT_EQ(input().getTouchCount(), 0);

    // The mode changes (and is logged) only when it differs.
    const auto lines = h.logLines().size();
    input().setInputMode(KivInput::INPUT_TOUCH);
    EXPECT_EQ(h.logLines().size(), lines);
    input().setInputMode(KivInput::INPUT_POINTER);
    EXPECT_TRUE(h.logContains("Setting input mode to 1"));
}

TEST_F(KivInputTest, HandledOwnerAndSyntheticPress)
{
    EXPECT_EQ(input().getTouchHandled(), nullptr);
    input().setTouchHandled(this); // no contact: nothing happens
    EXPECT_EQ(input().getTouchHandled(), nullptr);

    input().addPointerTouch();
    EXPECT_TRUE(input().isAnyTouchDown());
    input().setTouchHandled(this);
    EXPECT_EQ(input().getTouchHandled(), this);
    h.frame();
    EXPECT_FALSE(input().isAnyTouchDown());
    EXPECT_TRUE(input().getTouchPoint(0)->isReleased());
    EXPECT_EQ(input().getTouchHandled(), this);
    h.frame();
    EXPECT_EQ(input().getTouchCount(), 0);
    EXPECT_EQ(input().getTouchHandled(), nullptr);
}

TEST_F(KivInputTest, PointerCountsFromTheBottomEdgeAndWheelIsZ)
{
    const int screenH = h.kiv().graphics != nullptr ? h.kiv().graphics->height : h.window().height();
    PI::mouseMove(0, 0);
    h.frame();
    EXPECT_NEAR(input().pointer.y, static_cast<float>(screenH), 1.0f);
    PI::mouseMove(0, h.window().height());
    h.frame();
    EXPECT_NEAR(input().pointer.y, 0.0f, 1.0f);
    EXPECT_LT(input().pointerMotion.y, 0.0f);
    EXPECT_TRUE(input().isDown(KivInput::MOUSE_DOWN));
    h.frame();
    EXPECT_EQ(input().pointerMotion.y, 0.0f);
    EXPECT_FALSE(input().isDown(KivInput::MOUSE_DOWN));

    PI::mouseWheel(2);
    h.frame();
    EXPECT_EQ(input().pointerMotion.z, 2.0f);
    EXPECT_EQ(input().pointer.z, 2.0f);
    PI::mouseWheel(-3);
    h.frame();
    EXPECT_EQ(input().pointerMotion.z, -3.0f);
    EXPECT_EQ(input().pointer.z, -1.0f);

    input().warpCursor(V3(5.0f, 6.0f, 0.0f));
    EXPECT_EQ(input().pointer.x, 5.0f);
    EXPECT_EQ(input().pointer.y, 6.0f);
    EXPECT_EQ(input().pointerMotion, V3());
}

TEST_F(KivInputTest, JoystickStickAndButtonsGiveTheirCodesAndAnUnpluggedOneIsDropped)
{
    const int stick = PI::attachJoystick();
    ASSERT_GE(stick, 0);
    h.frame(); // plugged in
    PI::setJoystickAxis(stick, 0, -0.6f);
    PI::setJoystickAxis(stick, 1, 0.4f);
    PI::setJoystickButton(stick, 0, true);
    h.frame();
    EXPECT_TRUE(input().isDown(256 + 2));  // left
    EXPECT_FALSE(input().isDown(256 + 3)); // right
    EXPECT_FALSE(input().isDown(256 + 1)); // down: 0.4 is within the dead half
    EXPECT_FALSE(input().isDown(256 + 0));
    EXPECT_TRUE(input().wasKeyPressed(256 + 16)); // button 0
    PI::setJoystickAxis(stick, 1, 0.9f);
    h.frame();
    EXPECT_TRUE(input().isDown(256 + 1));
    EXPECT_FALSE(input().wasKeyPressed(256 + 16));

    PI::detachJoystick(stick);
    h.frames(2);
    for (int code = 256; code < 304; ++code) {
        EXPECT_FALSE(input().isDown(code)) << code;
    }
}
