#pragma once
// Up to four game controllers or joysticks, opened as they are plugged in and dropped quietly when they
// disappear. The window's message pump keeps the list; the input service reads the sticks and buttons.
#include <cstdint>

namespace PlatformJoysticks {

inline constexpr int MAX_JOYSTICKS = 4;

struct State {
    bool present = false;
    float x = 0.0f; // stick, -1 left .. 1 right
    float y = 0.0f; // stick, -1 up .. 1 down
    std::uint32_t buttons = 0; // bit n: button n down
};

// The state of joystick slot 0 to 3.
State read(int slot);

// Called by the window's message pump.
void deviceAdded(int deviceIndex);
void deviceRemoved(int instanceId);
void closeAll();

} // namespace PlatformJoysticks
