#include "tools/databuilder/SpriteSheet.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/core/UString.h"
#include "engine/files/MemoryIniFile.h"
#include "engine/render/Texture.h"

namespace {

// Shelf placement at a given width; returns the used width and height.
std::pair<int, int> place(const std::vector<Picture>& frames, int width, int gap, std::vector<SheetFrame>& out) {
    int x = 0, y = 0, shelf = 0, used = 0;
    for (const Picture& f : frames) {
        int w = f.width + 2 * gap, h = f.height + 2 * gap;
        if (x > 0 && x + w > width) {
            y += shelf;
            x = 0;
            shelf = 0;
        }
        out.push_back({x + gap, y + gap, f.width, f.height, 0, 0});
        x += w;
        used = std::max(used, x);
        shelf = std::max(shelf, h);
    }
    return {used, y + shelf};
}

} // namespace

SpriteSheet packFrames(const std::vector<Picture>& frames, int maxWidth, int gap) {
    if (frames.empty())
        throw std::runtime_error("A sprite sheet needs at least one frame");
    int widest = 0;
    double area = 0;
    for (const Picture& f : frames) {
        widest = std::max(widest, f.width + 2 * gap);
        area += double(f.width + 2 * gap) * (f.height + 2 * gap);
    }
    // Roughly square sheets, never narrower than the widest frame.
    int width = std::clamp(int(std::ceil(std::sqrt(area) * 1.05)), widest, std::max(widest, maxWidth));
    SpriteSheet sheet;
    auto [usedWidth, usedHeight] = place(frames, width, gap, sheet.frames);
    sheet.image = Picture(usedWidth, usedHeight);
    for (std::size_t i = 0; i < frames.size(); ++i)
        blit(sheet.image, frames[i], sheet.frames[i].left, sheet.frames[i].top);
    return sheet;
}

std::string skinSheetText(const std::vector<SheetFrame>& frames) {
    MemoryIniFile ini;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        UString section = toUString(("Skin " + std::to_string(i)).c_str());
        const SheetFrame& f = frames[i];
        ini.setInt(section, u"left", f.left);
        ini.setInt(section, u"top", f.top);
        ini.setInt(section, u"width", f.width);
        ini.setInt(section, u"height", f.height);
        ini.setInt(section, u"origin_adjust_x", f.originAdjustX);
        ini.setInt(section, u"origin_adjust_y", f.originAdjustY);
    }
    return wideToUtf8(ini.toText());
}

std::string sheetFile(const std::string& imageFile) {
    return wideToUtf8(Texture::sheetPathFor(toUString(imageFile.c_str())));
}
