#include "engine/platform/DisplayArea.h"

#include <algorithm>

DisplayArea::Rect DisplayArea::clientRoom() const
{
    return {usable.x + frameLeft, usable.y + frameTop, std::max(0, usable.width - frameLeft - frameRight),
            std::max(0, usable.height - frameTop - frameBottom)};
}

std::pair<int, int> DisplayArea::keepInside(int x, int y, int width, int height) const
{
    if (bounds.width <= 0 || bounds.height <= 0) {
        return {x, y};
    }
    const Rect room = clientRoom();
    return {std::clamp(x, room.x, std::max(room.x, room.x + room.width - width)),
            std::clamp(y, room.y, std::max(room.y, room.y + room.height - height))};
}
