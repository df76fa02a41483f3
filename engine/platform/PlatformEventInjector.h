#pragma once
// Puts synthetic window messages into the window system's queue, as a user would make them. The headless
// test harness drives the input service through it; the next PlatformWindow::pumpEvents delivers them.
#include <cstdint>
#include <string>

namespace PlatformEventInjector {
// `keyName` is the window system's name of the key ("Escape", "Left Shift", "Keypad Enter", "F9").
// Returns false when the name is unknown.
bool key(const std::string& keyName, bool down, bool repeat = false);
void text(const std::string& utf8);
// Window pixels from the top-left corner.
void mouseMove(int x, int y);
// button 0 left, 1 right, 2 middle, 3 fourth.
void mouseButton(int button, bool down, int x, int y);
void mouseWheel(int steps);
// Normalised window position (0..1). phase: 0 down, 1 move, 2 up.
void finger(std::int64_t fingerId, int phase, float x, float y);
// The close button of the window.
void closeWindow();
// The window gains or loses the focus; is minimised or restored.
void focus(bool gained);
void minimize(bool minimized);

// A virtual joystick (2 axes, 32 buttons) that is plugged in like a real one; -1 when none could be made.
int attachJoystick();
// axis 0 x, 1 y; value -1..1.
void setJoystickAxis(int joystick, int axis, float value);
void setJoystickButton(int joystick, int button, bool down);
void detachJoystick(int joystick);
} // namespace PlatformEventInjector
