#pragma once
// The one application window over SDL2: created with the OpenGL 3.3 core attributes already set, so the
// graphics device can make its context on it; pumps the window system's messages and hands keyboard,
// text, mouse and touch messages to the input service as PlatformEvents; keeps the window's focus, the
// quit request and the game controllers.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/UString.h"
#include "engine/platform/DisplayArea.h"
#include "engine/platform/PlatformEvent.h"

struct SDL_Window;

class PlatformWindow {
public:
    // Initialises SDL (video, events, joysticks, game controllers) and opens the window `title`. A
    // display-less driver (the tests') keeps its surface at the size it was made with: it is made at
    // headlessWidth x headlessHeight, the largest window it will be given, and at least 800x600.
    explicit PlatformWindow(const UString& title, int headlessWidth = 800, int headlessHeight = 600);
    ~PlatformWindow();
    PlatformWindow(const PlatformWindow&) = delete;
    PlatformWindow& operator=(const PlatformWindow&) = delete;

    // The open window, null when there is none.
    static PlatformWindow* instance();
    // For the graphics device only (it makes its GL context on this window).
    SDL_Window* sdlWindow() const { return window; }

    // Reads every waiting message. Input messages go to the event sink when one is set.
    void pumpEvents();
    using EventSink = std::function<void(const PlatformEvent&)>;
    void setEventSink(EventSink sink) { eventSink = std::move(sink); }

    // The window has the keyboard focus (always true with a display-less video driver).
    bool hasFocus() const;
    bool isMinimized() const;
    bool quitRequested() const { return quit; }
    void requestQuit() { quit = true; }

    // Client area in pixels.
    int width() const;
    int height() const;
    // The display the window is on: its rectangle, the part the window manager leaves free and the window's
    // frame (while it is full screen or not yet framed again, the frame it last had as a window; bounds 0 x 0
    // when the display is not known).
    DisplayArea displayArea() const;
    // Lays the window out on the given display instead of the driver's own (a display-less driver has no
    // real one); none: the driver's own again.
    void standInDisplay(std::optional<DisplayArea> area) { standIn = area; }
    // Offers these sizes as the display's full-screen modes in place of the driver's (a display-less driver
    // offers none), from the next start of the graphics service on; none: the driver's own again.
    void standInModes(std::optional<std::vector<std::pair<int, int>>> sizes) { modesStandIn = std::move(sizes); }
    const std::optional<std::vector<std::pair<int, int>>>& standInModes() const { return modesStandIn; }
    // The window's top-left corner on the desktop.
    std::pair<int, int> position() const;
    // Moves a window that runs past the free part of its display (its frame included) back into it, up to
    // that part's top-left corner.
    void keepOnDisplay();
    // Before full screen: lays the window over its display's whole rectangle (where no window manager carries
    // full screen out, it would otherwise stay as it was), keeping where it stood.
    void layOverDisplay();
    // Back in a window: puts it where it stood before layOverDisplay (nothing while it is full screen).
    void returnToPlace();
    void setSize(int width, int height);
    void setPosition(int x, int y);
    void setFullscreen(bool fullscreen);
    void showCursor(bool show);
    void warpCursor(int x, int y);
    // Back to a windowed display with the cursor shown: the fatal path's display step.
    void restoreWindowed();

    // True when a real display is behind the window (not the offscreen or dummy driver).
    static bool hasDisplay();
    // "Error" boxes of the fatal path; does nothing without a display.
    static void showMessageBox(const UString& title, const UString& text);

private:
    void emit(const PlatformEvent& event);

    SDL_Window* window = nullptr;
    EventSink eventSink;
    bool quit = false;
    // As the window messages last left them (what counts without a display).
    bool focused = true;
    bool minimized = false;
    std::optional<DisplayArea> standIn;
    std::optional<std::vector<std::pair<int, int>>> modesStandIn;
    // The frame the window manager last drew around the window (left, top, right, bottom; 0 while unknown).
    mutable std::array<int, 4> lastFrame{};
    std::optional<std::pair<int, int>> placeBeforeFullScreen;
};
