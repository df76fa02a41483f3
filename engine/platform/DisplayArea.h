#pragma once
// Where on the desktop a window may lie: the display's whole rectangle (what full screen covers), the part of
// it that the window manager leaves free (without its panels and taskbars), and the frame it draws around the
// window's client area (title bar and borders; 0 where it is not known). Plain numbers, so the layout can be
// worked out without a display.
#include <utility>

struct DisplayArea {
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    Rect bounds; // 0 x 0: not known
    Rect usable;
    int frameLeft = 0;
    int frameTop = 0;
    int frameRight = 0;
    int frameBottom = 0;

    // Where the client area can lie with its frame in the usable area.
    Rect clientRoom() const;
    // The client-area position nearest to x, y at which a client area of width x height lies in that room; one
    // larger than the room gets the room's top-left corner, so its title bar and left edge stay on the display.
    // The position itself when the display is not known.
    std::pair<int, int> keepInside(int x, int y, int width, int height) const;
};
