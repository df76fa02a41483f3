#pragma once
// What the window layer reports to the engine, free of any SDL type. Positions are window pixels from the
// top-left corner, as the window system gives them; the input service turns them into pointer coordinates.
#include <cstdint>
#include <string>

struct PlatformEvent {
    enum class Type {
        KeyDown,      // key: DirectInput key code (0 when the key has none); repeat set for auto-repeat
        KeyUp,        // key
        Text,         // text: UTF-8 of the typed characters
        MouseMove,    // x, y
        MouseDown,    // button (0 left, 1 right, 2 middle, 3 fourth), x, y
        MouseUp,      // button, x, y
        MouseWheel,   // wheel: positive away from the user
        FingerDown,   // finger, x, y (window pixels)
        FingerMove,   // finger, x, y
        FingerUp,     // finger, x, y
    };
    Type type = Type::KeyDown;
    int key = 0;
    bool repeat = false;
    int button = 0;
    float x = 0.0f;
    float y = 0.0f;
    float wheel = 0.0f;
    std::int64_t finger = 0;
    std::string text;
};
