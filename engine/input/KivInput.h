#pragma once
// Keyboard, joysticks, mouse and touch as one space of 456 input codes:
//   0..255   keyboard keys by DirectInput key code (1 Escape, 0xC8 up arrow, ...)
//   256 + 48 j (joystick j = 0..3): +0 up, +1 down, +2 left, +3 right, +16..+47 buttons 0..31
//   448..451 mouse up, down, left, right (motion of the frame); 452..455 mouse buttons 0..3
// A code is down when its state byte is 128 or more. The window's messages arrive between frames through
// handleEvent; poll() turns them into this frame's states, touch points and pointer motion.
#include <array>
#include <deque>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/core/UString.h"
#include "engine/core/V3.h"
#include "engine/input/KivTouchPoint.h"
#include "engine/platform/PlatformEvent.h"

class KivInput {
public:
    static constexpr int NUMINPUTCODES = 456;
    static constexpr int JOYSTICK_BASE = 256;
    static constexpr int JOYSTICK_BLOCK = 48;
    static constexpr int JOYSTICK_BUTTONS = 16; // offset of button 0 within a joystick block
    static constexpr int MOUSE_UP = 448;
    static constexpr int MOUSE_DOWN = 449;
    static constexpr int MOUSE_LEFT = 450;
    static constexpr int MOUSE_RIGHT = 451;
    static constexpr int MOUSE_BUTTON0 = 452;

    enum InputMode { INPUT_POINTER = 1, INPUT_TOUCH = 2 };

    KivInput();
    ~KivInput();
    KivInput(const KivInput&) = delete;
    KivInput& operator=(const KivInput&) = delete;

    // One window message (key, text, mouse, finger).
    void handleEvent(const PlatformEvent& event);
    // Start of a ticking frame: previous states := current, then the keyboard, joysticks, mouse and touch
    // points are read. `time` stamps new touch points.
    void poll(double time);
    // End of every frame: the typed character has been seen by exactly one frame's ticks; the next one typed
    // meanwhile, if any, is the next frame's.
    void endFrame();

    bool isDown(int code) const { return code >= 0 && code < NUMINPUTCODES && keyState[code] >= 128; }
    bool wasDown(int code) const { return code >= 0 && code < NUMINPUTCODES && keyStatePrev[code] >= 128; }
    // Down in this frame and up in the previous one.
    bool wasKeyPressed(int code) const { return isDown(code) && !wasDown(code); }
    // 0 none, 1 Shift, 2 Ctrl, 3 Alt, 4 Ctrl+Alt, 5 Ctrl+Shift, 6 Alt+Shift, 7 Ctrl+Alt+Shift.
    int getModifierState() const { return modifierState; }
    static constexpr int MODIFIER_CTRL = 2; // Ctrl alone

    // The key code that went down in this frame, repeated while held; 0 for none.
    int getButtonPress() const { return buttonPress; }

    // Touch and pointer contacts, oldest first.
    int getTouchCount() const { return static_cast<int>(touches.size()); }
    KivTouchPoint* getTouchPoint(int index);
    // True in the one frame in which any contact began.
    bool isAnyTouchDown() const;
    // True in the frame in which the index-th contact began.
    bool isTouchDown(int index) const;
    // True while the index-th contact is down (began or held).
    bool getTouchFlag(int index) const;
    // The taker of the first contact, null when there is no contact or no taker.
    const void* getTouchHandled() const;
    void setTouchHandled(int index, const void* value);
    void setTouchHandled(const void* owner) { setTouchHandled(0, owner); }
    // A press at the current pointer position, released in the next frame.
    void addPointerTouch();

    int getInputMode() const { return inputMode; }
    // Logs "Setting input mode to %d", shows or hides the cursor and tells every object; nothing when the
    // mode is unchanged.
    void setInputMode(int mode);
    // Told of every input-mode change (the engine passes it on to its objects).
    std::function<void()> onInputModeChange;

    // Sets the pointer, clears its motion and, in pointer mode, moves the system cursor there.
    void warpCursor(const V3& point);

    // Pointer in pixels from the left and the bottom edge (y up); z is the wheel's running value.
    V3 pointer;
    // Change since the previous frame; z is the wheel change.
    V3 pointerMotion;
    // Non-zero while held: 0 left, 1 right, 2 middle, 3 fourth.
    std::array<std::uint8_t, 4> mouseButtons{};
    // UTF-16 unit typed during the frame (8 Backspace, 13 Enter), 0 when none. The frames take one each:
    // units typed faster than that wait for the following frames.
    char16_t typedChar = 0;
    // Display names of the codes in the current language; the language fills them.
    std::array<UString, NUMINPUTCODES> keyNames;

    std::array<std::uint8_t, NUMINPUTCODES> keyState{};
    std::array<std::uint8_t, NUMINPUTCODES> keyStatePrev{};

private:
    // Hands a typed unit to this frame, or to a later one when this frame has one already.
    void type(char16_t unit);
    static bool isModifierKey(int key);
    // Shift, Ctrl and Alt held now, as bits 1, 2 and 4.
    unsigned liveModifiers() const;
    // Units typed after this frame's, oldest first; at most MAX_TYPED_AHEAD (a paste beyond it is cut).
    static constexpr std::size_t MAX_TYPED_AHEAD = 256;
    std::deque<char16_t> typedAhead;

    struct TouchAction {
        enum Kind { Down, Move, Up } kind;
        std::int64_t source;
        V3 position;
    };

    V3 toPointer(float windowX, float windowY) const;
    void toWindow(const V3& point, int& windowX, int& windowY) const;
    void queueTouch(TouchAction::Kind kind, std::int64_t source, const V3& position);
    KivTouchPoint* findLive(std::int64_t source);
    void readJoysticks();

    std::array<std::uint8_t, 256> liveKeys{};     // keys held now, as the messages left them
    std::array<std::uint8_t, 256> pressedKeys{};  // went down since the last poll (a tap within one frame counts)
    unsigned chordModifiers = 0; // modifiers held as a key went down since the last poll (1 shift, 2 ctrl, 4 alt)
    std::array<std::uint8_t, 4> liveButtons{};
    std::array<std::uint8_t, 4> pressedButtons{};
    V3 livePointer;
    bool pointerMoved = false; // a mouse or finger moved the pointer since the last poll
    V3 motionSincePoll;
    float wheelSincePoll = 0.0f;
    std::int64_t pointerFinger = 0; // the finger that leads the pointer in touch mode
    bool pointerFingerDown = false;
    int pendingButtonPress = 0;
    int buttonPress = 0;
    int modifierState = 0;
    int inputMode = INPUT_POINTER;
    int nextTouchId = 1;
    std::int64_t nextSyntheticSource = -100;
    double lastPollTime = 0.0;
    std::vector<KivTouchPoint> touches;
    std::vector<TouchAction> pendingTouches;
};
