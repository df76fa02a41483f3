#pragma once
// Keyboard codes: the engine numbers keys by their DirectInput key code (1 Escape, 0xC8 up arrow, ...);
// the window system reports SDL scancodes. This table joins the two.

namespace ScancodeTable {
// The DirectInput key code of an SDL scancode, 0 when the key has none.
int toKeyCode(int sdlScancode);
// The scancode of SDL's name of a key ("Escape", "Left Shift", "Keypad Enter"), -1 when unknown.
int scancodeFromName(const char* name);
} // namespace ScancodeTable
