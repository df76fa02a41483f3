#include "engine/platform/PlatformEventInjector.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <map>

#include "engine/platform/PlatformWindow.h"

namespace {
Uint32 windowId()
{
    PlatformWindow* w = PlatformWindow::instance();
    return w != nullptr && w->sdlWindow() != nullptr ? SDL_GetWindowID(w->sdlWindow()) : 0;
}
} // namespace

namespace PlatformEventInjector {

bool key(const std::string& keyName, bool down, bool repeat)
{
    const SDL_Scancode code = SDL_GetScancodeFromName(keyName.c_str());
    if (code == SDL_SCANCODE_UNKNOWN) {
        return false;
    }
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = windowId();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = code;
    e.key.keysym.sym = SDL_GetKeyFromScancode(code);
    SDL_PushEvent(&e);
    return true;
}

void text(const std::string& utf8)
{
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = windowId();
    const std::size_t n = std::min(utf8.size(), sizeof(e.text.text) - 1);
    std::copy_n(utf8.data(), n, e.text.text);
    SDL_PushEvent(&e);
}

void mouseMove(int x, int y)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = windowId();
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

void mouseButton(int button, bool down, int x, int y)
{
    static const Uint8 buttons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1};
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = windowId();
    e.button.button = buttons[std::clamp(button, 0, 3)];
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

void mouseWheel(int steps)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = windowId();
    e.wheel.y = steps;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&e);
}

void finger(std::int64_t fingerId, int phase, float x, float y)
{
    SDL_Event e{};
    e.type = phase == 0 ? SDL_FINGERDOWN : phase == 1 ? SDL_FINGERMOTION : SDL_FINGERUP;
    e.tfinger.touchId = 1;
    e.tfinger.fingerId = fingerId;
    e.tfinger.x = x;
    e.tfinger.y = y;
    e.tfinger.pressure = 1.0f;
    e.tfinger.windowID = windowId();
    SDL_PushEvent(&e);
}

void closeWindow()
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = windowId();
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
}

namespace {
void windowEvent(Uint8 kind)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = windowId();
    e.window.event = kind;
    SDL_PushEvent(&e);
}
} // namespace

void focus(bool gained) { windowEvent(gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST); }
void minimize(bool minimized) { windowEvent(minimized ? SDL_WINDOWEVENT_MINIMIZED : SDL_WINDOWEVENT_RESTORED); }

} // namespace PlatformEventInjector

namespace {
std::map<int, SDL_Joystick*> gVirtual; // device index -> our own handle for setting its values
}

namespace PlatformEventInjector {

int attachJoystick()
{
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 32, 0);
    if (index < 0) {
        return -1;
    }
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    if (handle == nullptr) {
        SDL_JoystickDetachVirtual(index);
        return -1;
    }
    gVirtual[index] = handle;
    return index;
}

void setJoystickAxis(int joystick, int axis, float value)
{
    if (auto it = gVirtual.find(joystick); it != gVirtual.end()) {
        const float v = std::clamp(value, -1.0f, 1.0f);
        SDL_JoystickSetVirtualAxis(it->second, axis, static_cast<Sint16>(v < 0.0f ? v * 32768.0f : v * 32767.0f));
    }
}

void setJoystickButton(int joystick, int button, bool down)
{
    if (auto it = gVirtual.find(joystick); it != gVirtual.end()) {
        SDL_JoystickSetVirtualButton(it->second, button, down ? SDL_PRESSED : SDL_RELEASED);
    }
}

void detachJoystick(int joystick)
{
    if (auto it = gVirtual.find(joystick); it != gVirtual.end()) {
        SDL_JoystickClose(it->second);
        gVirtual.erase(it);
        SDL_JoystickDetachVirtual(joystick);
    }
}

} // namespace PlatformEventInjector
