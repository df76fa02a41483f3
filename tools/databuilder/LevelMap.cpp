#include "tools/databuilder/LevelMap.h"

#include "tools/databuilder/Canvas.h"

namespace {

// World to map pixels: the playing area fills the picture; y points up in the world and down here.
struct MapFrame {
    const LevelSource& level;
    double x(double wx) const { return (wx - level.left) / (level.right - level.left) * LEVEL_MAP_WIDTH; }
    double y(double wy) const { return (level.top - wy) / (level.top - level.bottom) * LEVEL_MAP_HEIGHT; }
    double sx(double w) const { return w / (level.right - level.left) * LEVEL_MAP_WIDTH; }
    double sy(double h) const { return h / (level.top - level.bottom) * LEVEL_MAP_HEIGHT; }
};

void area(cairo_t* cr, const MapFrame& m, const LevelThing& t, Rgb colour) {
    cairo_rectangle(cr, m.x(t.x - t.w / 2), m.y(t.y + t.h / 2), m.sx(t.w), m.sy(t.h));
    Draw::flat(cr, colour);
}

} // namespace

Picture drawLevelMap(const LevelSource& level) {
    Canvas canvas(LEVEL_MAP_WIDTH, LEVEL_MAP_HEIGHT);
    cairo_t* cr = canvas.context();
    MapFrame m{level};
    cairo_rectangle(cr, 0, 0, LEVEL_MAP_WIDTH, LEVEL_MAP_HEIGHT);
    Draw::flat(cr, LevelMapColour::AIR);

    // The ground, down to the bottom of the picture.
    cairo_move_to(cr, m.x(level.terrainX), LEVEL_MAP_HEIGHT + 1);
    for (std::size_t i = 0; i < level.heights.size(); ++i)
        cairo_line_to(cr, m.x(level.terrainX + double(i) * level.segmentWidth), m.y(level.terrainY + level.heights[i]));
    cairo_line_to(cr, m.x(level.terrainX + double(level.heights.size() - 1) * level.segmentWidth),
                  LEVEL_MAP_HEIGHT + 1);
    cairo_close_path(cr);
    Draw::flat(cr, level.ice ? LevelMapColour::ICE : LevelMapColour::GROUND, 1.5);

    for (const LevelThing& t : level.things) {
        if (t.kind == "ledge") {
            cairo_new_path(cr);
            for (const LevelPoint& p : t.points)
                cairo_line_to(cr, m.x(p.x), m.y(p.y));
            if (t.has("oneway")) {
                cairo_set_line_width(cr, 2.5);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                Draw::color(cr, LevelMapColour::BRANCH);
                cairo_stroke(cr);
            } else {
                cairo_close_path(cr);
                Draw::flat(cr, t.icy() ? LevelMapColour::ICE : LevelMapColour::ROCK, 1);
            }
        } else if (t.kind == "gate") {
            area(cr, m, t, LevelMapColour::GATE);
        } else if (t.kind == "danger") {
            area(cr, m, t,
                 t.variant == "water" ? LevelMapColour::WATER
                 : t.variant == "acid" ? LevelMapColour::ACID
                                       : LevelMapColour::THORNS);
        }
    }
    // Ladders last, over the ground they stand on.
    for (const LevelThing& t : level.things)
        if (t.kind == "ladder") {
            double x = m.x(t.x), top = m.y(t.y + t.h), bottom = m.y(t.y);
            for (double side : {-2.0, 2.0})
                Draw::line(cr, x + side, top, x + side, bottom, 1.2, LevelMapColour::LADDER);
            for (double y = bottom - 2; y > top; y -= 3)
                Draw::line(cr, x - 2, y, x + 2, y, 1, LevelMapColour::LADDER);
        }
    return canvas.picture();
}
