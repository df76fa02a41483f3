#include "engine/platform/PlatformJoysticks.h"

#include <SDL2/SDL.h>

#include "engine/core/Logger.h"

namespace {

struct Slot {
    SDL_GameController* controller = nullptr;
    SDL_Joystick* joystick = nullptr; // the controller's own joystick, or a plain joystick
    SDL_JoystickID instanceId = -1;
};

Slot gSlots[PlatformJoysticks::MAX_JOYSTICKS];

float axisValue(Sint16 raw) { return raw < 0 ? static_cast<float>(raw) / 32768.0f : static_cast<float>(raw) / 32767.0f; }

} // namespace

namespace PlatformJoysticks {

void deviceAdded(int deviceIndex)
{
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (const Slot& s : gSlots) {
        if (s.joystick != nullptr && s.instanceId == id) {
            return;
        }
    }
    for (int i = 0; i < MAX_JOYSTICKS; ++i) {
        Slot& s = gSlots[i];
        if (s.joystick != nullptr) {
            continue;
        }
        if (SDL_IsGameController(deviceIndex)) {
            s.controller = SDL_GameControllerOpen(deviceIndex);
            s.joystick = s.controller ? SDL_GameControllerGetJoystick(s.controller) : nullptr;
        } else {
            s.joystick = SDL_JoystickOpen(deviceIndex);
        }
        if (s.joystick == nullptr) {
            s = Slot{};
            return;
        }
        s.instanceId = SDL_JoystickInstanceID(s.joystick);
        const char* name = SDL_JoystickName(s.joystick);
        Logger::logFrom("PlatformJoysticks::deviceAdded", u"Joystick %d: %s", i + 1, name ? name : "unnamed");
        return;
    }
}

void deviceRemoved(int instanceId)
{
    for (Slot& s : gSlots) {
        if (s.joystick != nullptr && s.instanceId == instanceId) {
            if (s.controller != nullptr) {
                SDL_GameControllerClose(s.controller);
            } else {
                SDL_JoystickClose(s.joystick);
            }
            s = Slot{};
        }
    }
}

void closeAll()
{
    for (Slot& s : gSlots) {
        if (s.joystick != nullptr) {
            deviceRemoved(s.instanceId);
        }
    }
}

State read(int slot)
{
    State state;
    if (slot < 0 || slot >= MAX_JOYSTICKS) {
        return state;
    }
    Slot& s = gSlots[slot];
    if (s.joystick == nullptr) {
        return state;
    }
    if (!SDL_JoystickGetAttached(s.joystick)) {
        deviceRemoved(s.instanceId);
        return state;
    }
    state.present = true;
    if (s.controller != nullptr) {
        state.x = axisValue(SDL_GameControllerGetAxis(s.controller, SDL_CONTROLLER_AXIS_LEFTX));
        state.y = axisValue(SDL_GameControllerGetAxis(s.controller, SDL_CONTROLLER_AXIS_LEFTY));
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX && b < 32; ++b) {
            if (SDL_GameControllerGetButton(s.controller, static_cast<SDL_GameControllerButton>(b))) {
                state.buttons |= 1u << b;
            }
        }
    } else {
        if (SDL_JoystickNumAxes(s.joystick) >= 2) {
            state.x = axisValue(SDL_JoystickGetAxis(s.joystick, 0));
            state.y = axisValue(SDL_JoystickGetAxis(s.joystick, 1));
        }
        const int buttons = SDL_JoystickNumButtons(s.joystick);
        for (int b = 0; b < buttons && b < 32; ++b) {
            if (SDL_JoystickGetButton(s.joystick, b)) {
                state.buttons |= 1u << b;
            }
        }
    }
    return state;
}

} // namespace PlatformJoysticks
