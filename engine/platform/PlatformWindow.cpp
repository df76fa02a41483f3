#include "engine/platform/PlatformWindow.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/platform/PlatformJoysticks.h"
#include "engine/platform/ScancodeTable.h"

namespace {
PlatformWindow* gWindow = nullptr;
constexpr Uint32 SUBSYSTEMS = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

bool displayLessDriver()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

int mouseButtonIndex(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    default: return -1;
    }
}
} // namespace

PlatformWindow::PlatformWindow(const UString& title, int headlessWidth, int headlessHeight)
{
    KIV_ASSERT(gWindow == nullptr);
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    // The video system and the GL driver stay loaded for the life of the process: unloading them with each
    // window throws away the driver's own bookkeeping, which leak checkers then report as ours.
    static const bool driverHeld = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && SDL_GL_LoadLibrary(nullptr) == 0;
    (void)driverHeld;
    if (SDL_InitSubSystem(SUBSYSTEMS) != 0) {
        KIV_FATAL(formatString(u"SDL could not start: %s", SDL_GetError()));
    }
    if (displayLessDriver()) {
        // Without a display the window counts as focused, so controllers must not be muted as background input.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    }
    // The graphics device makes an OpenGL 3.3 core context on this window.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);

    const std::string utf8Title = wideToUtf8(title);
    // Made at the default mode's size. The offscreen driver's surface keeps the size it was made with: without
    // a display it is made at the size asked for and the window then set to the default size, so that every
    // window up to that size draws into the surface's lower-left part.
    const bool headless = displayLessDriver() && (headlessWidth > 800 || headlessHeight > 600);
    const int width = headless ? std::max(headlessWidth, 800) : 800;
    const int height = headless ? std::max(headlessHeight, 600) : 600;
    window = SDL_CreateWindow(utf8Title.c_str(), 50, 50, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (window == nullptr) {
        const std::string error = SDL_GetError();
        SDL_QuitSubSystem(SUBSYSTEMS);
        KIV_FATAL(formatString(u"Could not create the window: %s", error));
    }
    if (headless) {
        SDL_SetWindowSize(window, 800, 600);
    }
    SDL_RaiseWindow(window);
    SDL_StartTextInput();
    gWindow = this;
}

PlatformWindow::~PlatformWindow()
{
    PlatformJoysticks::closeAll();
    SDL_StopTextInput();
    if (window != nullptr) {
        SDL_DestroyWindow(window);
    }
    if (gWindow == this) {
        gWindow = nullptr;
    }
    // Only what this window started: the graphics device keeps its own hold on the video system.
    SDL_QuitSubSystem(SUBSYSTEMS);
}

PlatformWindow* PlatformWindow::instance() { return gWindow; }

void PlatformWindow::emit(const PlatformEvent& event)
{
    if (eventSink) {
        eventSink(event);
    }
}

void PlatformWindow::pumpEvents()
{
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        PlatformEvent out;
        switch (e.type) {
        case SDL_QUIT:
            quit = true;
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE: quit = true; break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: focused = true; break;
            case SDL_WINDOWEVENT_FOCUS_LOST: focused = false; break;
            case SDL_WINDOWEVENT_MINIMIZED: minimized = true; break;
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_MAXIMIZED: minimized = false; break;
            default: break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out.type = e.type == SDL_KEYDOWN ? PlatformEvent::Type::KeyDown : PlatformEvent::Type::KeyUp;
            out.key = ScancodeTable::toKeyCode(e.key.keysym.scancode);
            out.repeat = e.key.repeat != 0;
            emit(out);
            break;
        case SDL_TEXTINPUT:
            out.type = PlatformEvent::Type::Text;
            out.text = e.text.text;
            emit(out);
            break;
        case SDL_MOUSEMOTION:
            if (e.motion.which == SDL_TOUCH_MOUSEID) {
                break;
            }
            out.type = PlatformEvent::Type::MouseMove;
            out.x = static_cast<float>(e.motion.x);
            out.y = static_cast<float>(e.motion.y);
            emit(out);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.which == SDL_TOUCH_MOUSEID || mouseButtonIndex(e.button.button) < 0) {
                break;
            }
            out.type = e.type == SDL_MOUSEBUTTONDOWN ? PlatformEvent::Type::MouseDown : PlatformEvent::Type::MouseUp;
            out.button = mouseButtonIndex(e.button.button);
            out.x = static_cast<float>(e.button.x);
            out.y = static_cast<float>(e.button.y);
            emit(out);
            break;
        case SDL_MOUSEWHEEL:
            if (e.wheel.which == SDL_TOUCH_MOUSEID) {
                break;
            }
            out.type = PlatformEvent::Type::MouseWheel;
            out.wheel = static_cast<float>(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y);
            emit(out);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            out.type = e.type == SDL_FINGERDOWN     ? PlatformEvent::Type::FingerDown
                       : e.type == SDL_FINGERMOTION ? PlatformEvent::Type::FingerMove
                                                    : PlatformEvent::Type::FingerUp;
            out.finger = static_cast<std::int64_t>(e.tfinger.fingerId);
            out.x = e.tfinger.x * static_cast<float>(width());
            out.y = e.tfinger.y * static_cast<float>(height());
            emit(out);
            break;
        case SDL_JOYDEVICEADDED:
            PlatformJoysticks::deviceAdded(e.jdevice.which);
            break;
        case SDL_JOYDEVICEREMOVED:
            PlatformJoysticks::deviceRemoved(e.jdevice.which);
            break;
        default:
            break;
        }
    }
}

bool PlatformWindow::hasFocus() const
{
    // Without a display the window counts as focused until told otherwise.
    if (displayLessDriver()) {
        return focused;
    }
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool PlatformWindow::isMinimized() const
{
    if (displayLessDriver()) {
        return minimized;
    }
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

int PlatformWindow::width() const
{
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(window, &w, &h);
    return w;
}

int PlatformWindow::height() const
{
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(window, &w, &h);
    return h;
}

DisplayArea PlatformWindow::displayArea() const
{
    if (standIn) {
        return *standIn;
    }
    DisplayArea area;
    const int display = SDL_GetWindowDisplayIndex(window);
    SDL_Rect bounds{};
    if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) {
        return area;
    }
    area.bounds = {bounds.x, bounds.y, bounds.w, bounds.h};
    SDL_Rect usable{};
    const bool known = SDL_GetDisplayUsableBounds(display, &usable) == 0 && usable.w > 0 && usable.h > 0;
    area.usable = known ? DisplayArea::Rect{usable.x, usable.y, usable.w, usable.h} : area.bounds;
    // The window manager tells the frame in a message once it has framed the window; the messages waiting
    // are read first (they stay queued for pumpEvents). A full-screen window has no frame, and one just back
    // from full screen may not have its frame yet: both get the frame the window last had, which is the one
    // it is given as a window again.
    SDL_PumpEvents();
    int top = 0, left = 0, bottom = 0, right = 0;
    const bool fullScreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (!fullScreen && SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0 &&
        std::max({top, left, bottom, right}) > 0) {
        lastFrame = {std::max(left, 0), std::max(top, 0), std::max(right, 0), std::max(bottom, 0)};
    }
    area.frameLeft = lastFrame[0];
    area.frameTop = lastFrame[1];
    area.frameRight = lastFrame[2];
    area.frameBottom = lastFrame[3];
    return area;
}

std::pair<int, int> PlatformWindow::position() const
{
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(window, &x, &y);
    return {x, y};
}

void PlatformWindow::keepOnDisplay()
{
    const auto [x, y] = position();
    const auto [left, top] = displayArea().keepInside(x, y, width(), height());
    if (left != x || top != y) {
        SDL_SetWindowPosition(window, left, top);
    }
}

void PlatformWindow::layOverDisplay()
{
    const DisplayArea::Rect bounds = displayArea().bounds;
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0 || bounds.width <= 0 || bounds.height <= 0) {
        return;
    }
    placeBeforeFullScreen = position();
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.width, bounds.height);
}

void PlatformWindow::returnToPlace()
{
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0 || !placeBeforeFullScreen) {
        return;
    }
    SDL_SetWindowPosition(window, placeBeforeFullScreen->first, placeBeforeFullScreen->second);
    placeBeforeFullScreen.reset();
}

void PlatformWindow::setSize(int w, int h) { SDL_SetWindowSize(window, w, h); }
void PlatformWindow::setPosition(int x, int y) { SDL_SetWindowPosition(window, x, y); }

void PlatformWindow::setFullscreen(bool fullscreen)
{
    SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN : 0);
}

void PlatformWindow::showCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void PlatformWindow::warpCursor(int x, int y) { SDL_WarpMouseInWindow(window, x, y); }

void PlatformWindow::restoreWindowed()
{
    if (window != nullptr) {
        SDL_SetWindowFullscreen(window, 0);
    }
    SDL_ShowCursor(SDL_ENABLE);
}

bool PlatformWindow::hasDisplay() { return SDL_WasInit(SDL_INIT_VIDEO) != 0 && !displayLessDriver(); }

void PlatformWindow::showMessageBox(const UString& title, const UString& text)
{
    if (!hasDisplay()) {
        return;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, wideToUtf8(title).c_str(), wideToUtf8(text).c_str(),
                             gWindow != nullptr ? gWindow->window : nullptr);
}
