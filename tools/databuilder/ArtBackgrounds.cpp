// Skies, hills, the intro, the world map and the logo.
#include "tools/databuilder/ArtKit.h"

#include "game/worldmap/BezierPathSimple.h"
#include "game/worldmap/ValleyPathPoints.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace ArtKit {

// param: bit 0 winter, bit 1 the far layer, bit 2 summer, bit 3 autumn; spring without a season bit
static Rgb hillColour(int param) {
    bool winter = param & 1, far = param & 2, summer = param & 4, autumn = param & 8;
    return winter   ? (far ? 0xC8D8EC : SNOW)
           : summer ? (far ? 0xA8C866 : 0x4C962C)
           : autumn ? (far ? 0xD6B274 : 0xB8782E)
                    : (far ? 0x8CCB6A : 0x5DAA3A);
}

void hills(const Brush& b) {
    cairo_t* cr = b.cr;
    bool winter = b.param & 1, far = b.param & 2, summer = b.param & 4, autumn = b.param & 8;
    Rgb base = hillColour(b.param);
    double amp = far ? 0.22 : 0.3;
    auto ridge = [&](double x) {
        double t = x / b.w * 2 * M_PI;
        return b.h * (0.55 - amp * (0.5 * std::sin(t * 2 + b.param) + 0.3 * std::sin(t * 5 + 1) +
                                    0.2 * std::sin(t * 9 + 2)));
    };
    cairo_move_to(cr, 0, b.h);
    for (int x = 0; x <= int(b.w); x += 4)
        cairo_line_to(cr, x, ridge(x));
    cairo_line_to(cr, b.w, b.h);
    cairo_close_path(cr);
    Draw::shade(cr, base, 0);
    // Little trees standing on the ridge: firs in spring and winter, round crowns in summer and autumn.
    Rng rng(b.param + 3);
    static const Rgb autumnCrowns[] = {0xC8501E, 0xE08A1E, 0x9A3A1A, 0xD8A42A};
    Rgb treeColour = winter ? (far ? 0x8FA8B8 : 0x4A6E60) : darker(base, far ? 0.15 : 0.3);
    for (int i = 0; i < 14; ++i) {
        double x = rng.range(0, b.w), size = rng.range(10, 18) * (far ? 0.7 : 1.0);
        double y = ridge(x);
        Rgb crown = autumn ? mixRgb(autumnCrowns[i % 4], base, far ? 0.45 : 0.1) : treeColour;
        // The strip repeats side by side: a tree cut by one edge goes on at the other.
        for (double wrap : {-b.w, 0.0, b.w}) {
            double tx = x + wrap;
            if (summer || autumn) {
                Draw::line(cr, tx, y + 3, tx, y - size, size * 0.25, darker(base, 0.45));
                Draw::ellipse(cr, tx, y - size * 1.3, size * 0.8, size);
                Draw::flat(cr, crown);
                continue;
            }
            Draw::polygon(cr, {tx, y - size * 2.2, tx + size * 0.7, y + 3, tx - size * 0.7, y + 3});
            Draw::flat(cr, treeColour);
            if (winter) {
                Draw::polygon(cr, {tx, y - size * 2.2, tx + size * 0.3, y - size * 1.3, tx - size * 0.3, y - size * 1.3});
                Draw::flat(cr, SNOW);
            }
        }
    }
}

void skyPicture(cairo_t* cr, double w, double h, int season) {
    static const Rgb tops[] = {0x3C8FE0, 0x2E7BD8, 0x6E7FA8, 0x8BA4C8};
    static const Rgb bottoms[] = {0xCDEBFF, 0xFFF2C8, 0xF3C89A, 0xE8EEF6};
    Draw::verticalGradient(cr, 0, 0, w, h, tops[season], bottoms[season]);
    if (season != 3)
        Draw::glow(cr, w * 0.75, h * 0.22, w * 0.25, 0xFFF6D0, 0.9);
    Rng rng(season + 11);
    for (int i = 0; i < 6; ++i) {
        double cx = rng.range(0, w), cy = rng.range(0.1, 0.6) * h;
        for (int p = 0; p < 4; ++p) {
            Draw::ellipse(cr, cx + p * w * 0.04, cy + (p % 2) * h * 0.01, w * 0.05, h * 0.03);
            Draw::flat(cr, WHITE, 0, 0.55);
        }
    }
}

// The level backdrop's hills: a 256-pixel band with the ridge at the top of the picture and solid ground
// below it down to the bottom edge. The strips stand on their bottom edges, the near hills twice, the second
// strip a fifth of the screen lower: the ground under the ridge lifts the valleys of that lower strip above
// the bottom edge of the upper one, or the sky shows between them. The far hills are lifted further so that
// they still rise behind the near ones.
static void backdropHills(const Brush& b) {
    const double band = 256;
    hills(Brush{b.cr, b.w, band, b.frame, b.param, b.faces});
    cairo_rectangle(b.cr, 0, band - 1, b.w, b.h - band + 1);
    Draw::flat(b.cr, darker(hillColour(b.param), 0.2));
}

static void sky(const Brush& b) { skyPicture(b.cr, b.w, b.h, b.param); }

static void clouds(const Brush& b) {
    Rng rng(b.frame + 5);
    for (int p = 0; p < 6; ++p) {
        double x = b.w * (0.2 + p * 0.12), y = b.h * (0.55 - std::sin(p * 0.9) * 0.15);
        Draw::ellipse(b.cr, x, y, b.w * rng.range(0.1, 0.16), b.h * rng.range(0.2, 0.3));
        Draw::flat(b.cr, WHITE, 0, 0.95);
    }
    Draw::ellipse(b.cr, b.w / 2, b.h * 0.7, b.w * 0.4, b.h * 0.15);
    Draw::flat(b.cr, 0xE6EEF8);
}

// ---- big pictures ---------------------------------------------------------------------------------------

static void nightScene(cairo_t* cr, double w, double h, const Typefaces& faces) {
    Draw::verticalGradient(cr, 0, 0, w, h, NIGHT, 0x3A5A8E);
    Rng rng(99);
    for (int i = 0; i < 120; ++i) {
        double x = rng.range(0, w), y = rng.range(0, h * 0.55), r = rng.range(0.6, 1.8);
        Draw::ellipse(cr, x, y, r, r);
        Draw::flat(cr, WHITE, 0, rng.range(0.4, 1.0));
    }
    Draw::glow(cr, w * 0.15, h * 0.16, w * 0.08, 0xFFF6D8, 0.5);
    Draw::ellipse(cr, w * 0.15, h * 0.16, w * 0.035, w * 0.035);
    Draw::flat(cr, 0xFFF6D8);
    for (int layer = 0; layer < 2; ++layer) {
        Brush hillsBrush{cr, w, h * 0.5, 0, 1 + (layer ? 0 : 2), faces};
        cairo_save(cr);
        cairo_translate(cr, 0, h * (0.42 + layer * 0.12));
        hills(hillsBrush);
        cairo_restore(cr);
    }
    // The snow in front lies in the night's shadow towards the bottom edge, where the screens over this
    // backdrop print their small light lines (the version, the copyright). A screen smaller than the
    // picture shows its middle (800 x 600 of it down to 0.89 of its height), so the shadow is deep well
    // above the picture's bottom.
    cairo_rectangle(cr, 0, h * 0.85, w, h * 0.15);
    Draw::flat(cr, SNOW);
    Draw::verticalGradient(cr, 0, h * 0.82, w, h * 0.04, SNOW, 0x5E7399);
    cairo_rectangle(cr, 0, h * 0.86 - 1, w, h * 0.14 + 1);
    Draw::flat(cr, 0x5E7399);
    for (int i = 0; i < 7; ++i) {
        double x = w * (0.05 + i * 0.15);
        if (std::abs(x - w / 2) < w * 0.18)
            continue;
        cairo_save(cr);
        cairo_translate(cr, x - w * 0.05, h * 0.5);
        treeShape(cr, w * 0.1, h * 0.36, TREE_PINE, 0x2E5E48, true, false, rng);
        cairo_restore(cr);
    }
    // The house stands in the middle, so that the lights sheet centred on the picture fits its roof.
    drawHouse(cr, w / 2 - w * 0.15, h / 2 - h * 0.12, w * 0.3, h * 0.4, false, true);
    // The roof lies in the night's shade: the main menu greets the player in light pink (red while
    // pointed at) right in front of it.
    tintRoof(cr, w / 2 - w * 0.15, h / 2 - h * 0.12, w * 0.3, h * 0.4, NIGHT, 0.5);
    drawRoofSnow(cr, w / 2 - w * 0.15, h / 2 - h * 0.12, w * 0.3, h * 0.4);
}

static void intro(const Brush& b) { nightScene(b.cr, b.w, b.h, b.faces); }

// The lights of the intro's house, on a sheet centred on the intro picture (1024 x 768).
static void introLights(const Brush& b) {
    double iw = 1024, ih = 768;
    drawRoofLights(b.cr, b.w / 2 - iw * 0.15, b.h / 2 - ih * 0.12, iw * 0.3, ih * 0.4, b.frame);
}

// The world map: hills that turn from spring on the left to winter on the right, a river below, and the
// trail of the level road, drawn on the road's own points so the map's dashed line runs along it.
static void valley(const Brush& b) {
    cairo_t* cr = b.cr;
    // Drawn in the units of the road's points, whatever the image's size in pixels.
    const double w = ValleyPathPoints::PICTURE_WIDTH, h = ValleyPathPoints::PICTURE_HEIGHT;
    cairo_scale(cr, b.w / w, b.h / h);
    skyPicture(cr, w, h, 0);
    // The road in the picture's units (its points are centred on the picture, y up), every 6 units.
    BezierPathSimple road;
    ValleyPathPoints::build(road, 1.0f);
    std::vector<std::array<double, 2>> trail;
    for (float d = 0.0f; d < road.totalLength; d += 6.0f) {
        const V3 p = road.evaluateL(d);
        trail.push_back({w / 2 + p.x, h / 2 - p.y});
    }
    const V3 end = road.evaluateL(road.totalLength);
    trail.push_back({w / 2 + end.x, h / 2 - end.y});
    auto nearTrail = [&](double x, double y, double r) {
        for (const auto& q : trail)
            if ((q[0] - x) * (q[0] - x) + (q[1] - y) * (q[1] - y) < r * r)
                return true;
        return false;
    };
    // Seasons from left to right: spring, summer, autumn (held up to the last autumn level), winter. The
    // grass is kept dark behind the icons' light green names.
    static const Rgb greens[] = {0x4C8A2E, 0x3C7A28, 0x8E5C1C, 0x8E5C1C, 0xEEF3FA};
    static const double stops[] = {0, 1 / 3.0, 2 / 3.0, 0.83, 0.9};
    for (int layer = 0; layer < 3; ++layer) {
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
        for (int s = 0; s < 5; ++s) {
            Rgb c = mixRgb(greens[s], 0x2A5A3A, layer * 0.1);
            cairo_pattern_add_color_stop_rgb(p, stops[s], ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                             (c & 0xFF) / 255.0);
        }
        cairo_move_to(cr, 0, h);
        for (int x = 0; x <= int(w); x += 8) {
            double t = x / w * 2 * M_PI;
            cairo_line_to(cr, x, h * (0.16 + layer * 0.13 - 0.06 * std::sin(t * (2 + layer) + layer)));
        }
        cairo_line_to(cr, w, h);
        cairo_close_path(cr);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_move_to(cr, 0, h * 0.92);
    for (int x = 0; x <= int(w); x += 8)
        cairo_line_to(cr, x, h * (0.92 + 0.025 * std::sin(x / w * 6 * M_PI)));
    cairo_set_line_width(cr, h * 0.035);
    Draw::color(cr, WATER, 0.85);
    cairo_stroke(cr);
    // The trail: a darker rim, the sandy track, a lighter middle.
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double widths[] = {30, 24, 10};
    const Rgb colours[] = {0x8A6A3A, 0xD8BC84, 0xE8D4A4};
    const double alphas[] = {0.55, 0.9, 0.6};
    for (int pass = 0; pass < 3; ++pass) {
        cairo_move_to(cr, trail[0][0], trail[0][1]);
        for (const auto& q : trail)
            cairo_line_to(cr, q[0], q[1]);
        cairo_set_line_width(cr, widths[pass]);
        Draw::color(cr, colours[pass], alphas[pass]);
        cairo_stroke(cr);
    }
    // Trees keep off the trail; those further down stand in front.
    Rng rng(5);
    struct Tree {
        double x, y;
        bool pine;
    };
    std::vector<Tree> trees;
    for (int i = 0; i < 400 && trees.size() < 70; ++i) {
        double x = rng.range(0, w), y = h * rng.range(0.22, 0.88);
        bool pine = rng.next() < 0.5;
        const bool byHouse = std::fabs(x - trail[0][0]) < 70 && y > trail[0][1] - 110 && y < trail[0][1] + 80;
        if (!byHouse && !nearTrail(x, y, 34) && !nearTrail(x, y - 40, 30))
            trees.push_back({x, y, pine});
    }
    std::sort(trees.begin(), trees.end(), [](const Tree& a, const Tree& c) { return a.y < c.y; });
    for (const Tree& t : trees) {
        bool winter = t.x > w * 0.8;
        double size = 0.75 + 0.45 * (t.y / h);
        cairo_save(cr);
        cairo_translate(cr, t.x - 20 * size, t.y - 70 * size);
        cairo_scale(cr, size, size);
        treeShape(cr, 40, 70, t.pine ? TREE_PINE : TREE_ROUND,
                  winter ? 0x3E6E58 : (t.x > w * 0.55 ? 0xC8702A : 0x3F9A35), winter, false, rng);
        cairo_restore(cr);
    }
    // The pig's house where the road begins.
    drawHouse(cr, trail[0][0] - 40, trail[0][1] - 100, 80, 80, false, true);
}

static void logoText(const Brush& b) {
    // param 0: the logo; 1: subtitle lines; 2: the company
    static const char* subtitles[] = {"Christmas Edition", "Holiday Edition"};
    if (b.param == 0) {
        Draw::text(b.cr, b.faces, "Tobble", b.w * 0.62, b.h * 0.5, b.h * 0.42, true, PIG, b.h * 0.03, 0x6A1E3A,
                   b.w * 0.68);
        pigShape(b.cr, b.w * 0.13, b.h * 0.58, b.w * 0.15, PIG, 0, true);
        cairo_save(b.cr);
        cairo_translate(b.cr, b.w * 0.16, b.h * 0.24);
        cairo_rotate(b.cr, 0.3);
        hat(Brush{b.cr, b.w * 0.1, b.w * 0.1, 0, 1, b.faces});
        cairo_restore(b.cr);
        drawApple(b.cr, b.w * 0.93, b.h * 0.2, b.h * 0.08, APPLE);
    } else if (b.param == 1) {
        Draw::text(b.cr, b.faces, subtitles[b.frame % 2], b.w / 2, b.h / 2, b.h * 0.55, true, WHITE, b.h * 0.05, RED,
                   b.w * 0.95);
    } else {
        cairo_save(b.cr);
        cairo_translate(b.cr, b.w / 2, b.h * 0.35);
        Draw::polygon(b.cr, {-b.w * 0.12, 0, 0, -b.h * 0.08, b.w * 0.12, 0, b.w * 0.02, b.h * 0.02, 0, b.h * 0.12,
                             -b.w * 0.02, b.h * 0.02});
        Draw::shade(b.cr, 0xB0703A, 2);
        cairo_restore(b.cr);
        Draw::text(b.cr, b.faces, "Kestrelmoor studios", b.w / 2, b.h * 0.72, b.h * 0.16, false, WHITE, 0, 0,
                   b.w * 0.9);
    }
}

std::span<const ArtRow> backgroundArt() {
    static const ArtRow rows[] = {
        {"kmstudios", 512, 256, 1, logoText, 2},
        {"logo", 512, 256, 1, logoText, 0},
        {"logoSubtitle", 512, 64, 2, logoText, 1},
        {"intro", 1024, 768, 1, intro, 0, 0},
        {"intro-blurred", 1024, 768, 1, intro, 0, 6},
        {"intro-xmaslights", 512, 256, 2, introLights, 0},
        // Twice the size of the road's units: the world map enlarges it to cover large screens.
        {"valley", 3200, 1500, 1, valley, 0, 0},
        {"sky-spring", 512, 512, 1, sky, 0, 0},
        {"sky-summer", 512, 512, 1, sky, 1, 0},
        {"sky-autumn", 512, 512, 1, sky, 2, 0},
        {"sky-winter", 512, 512, 1, sky, 3, 0},
        // A: the far hills, pale with distance; B: the near hills in front of them.
        {"hillsA-spring", 1024, 448, 1, backdropHills, 2},
        {"hillsB-spring", 1024, 384, 1, backdropHills, 0},
        {"hillsA-summer", 1024, 448, 1, backdropHills, 4 | 2},
        {"hillsB-summer", 1024, 384, 1, backdropHills, 4},
        {"hillsA-autumn", 1024, 448, 1, backdropHills, 8 | 2},
        {"hillsB-autumn", 1024, 384, 1, backdropHills, 8},
        {"hillsA-winter", 1024, 448, 1, backdropHills, 3},
        {"hillsB-winter", 1024, 384, 1, backdropHills, 1},
        {"clouds", 256, 128, 3, clouds, 0},
    };
    return rows;
}

} // namespace ArtKit
