#include "tools/databuilder/Art.h"

#include <stdexcept>

#include "tools/databuilder/ArtKit.h"

using namespace ArtKit;

namespace {

const ArtRow* findRow(const std::string& name) {
    for (auto family : {interfaceArt, characterArt, propArt, backgroundArt, sceneryArt})
        for (const ArtRow& row : family())
            if (name == row.name)
                return &row;
    return nullptr;
}

} // namespace

bool hasArt(const std::string& resourceName) { return findRow(resourceName) != nullptr; }

SpriteSheet drawArt(const std::string& resourceName, const Typefaces& faces) {
    const ArtRow* row = findRow(resourceName);
    if (!row)
        throw std::runtime_error("No drawing for the resource '" + resourceName + "'");
    std::vector<Picture> frames;
    for (int f = 0; f < row->frames; ++f) {
        int w = row->sizes ? row->sizes[f].width : row->width, h = row->sizes ? row->sizes[f].height : row->height;
        Canvas canvas(w, h);
        row->draw(Brush{canvas.context(), double(w), double(h), f, row->param, faces});
        frames.push_back(row->blur ? blurred(canvas.picture(), row->blur) : canvas.picture());
    }
    // A single picture fills its image; frames of a sheet are packed apart from each other.
    if (frames.size() == 1) {
        SpriteSheet sheet;
        sheet.frames.push_back({0, 0, frames.front().width, frames.front().height, 0, 0});
        sheet.image = std::move(frames.front());
        return sheet;
    }
    return packFrames(frames);
}
