// Apples, baskets and the man-made things of a level: crates, signs, switches, the house.
#include "tools/databuilder/ArtKit.h"

#include <array>
#include <cmath>
#include <vector>

namespace ArtKit {

static void appleShape(cairo_t* cr, double cx, double cy, double r) {
    cairo_move_to(cr, cx, cy - r * 0.7);
    cairo_curve_to(cr, cx + r * 0.9, cy - r * 1.15, cx + r * 1.25, cy + r * 0.2, cx + r * 0.5, cy + r * 0.92);
    cairo_curve_to(cr, cx + r * 0.25, cy + r * 1.08, cx - r * 0.25, cy + r * 1.08, cx - r * 0.5, cy + r * 0.92);
    cairo_curve_to(cr, cx - r * 1.25, cy + r * 0.2, cx - r * 0.9, cy - r * 1.15, cx, cy - r * 0.7);
    cairo_close_path(cr);
}

void drawApple(cairo_t* cr, double cx, double cy, double r, Rgb skin, bool leaf) {
    Draw::line(cr, cx, cy - r * 0.6, cx + r * 0.12, cy - r * 1.05, r * 0.12, DARK_WOOD);
    if (leaf) {
        cairo_save(cr);
        cairo_translate(cr, cx + r * 0.32, cy - r * 0.92);
        cairo_rotate(cr, -0.5);
        Draw::ellipse(cr, 0, 0, r * 0.3, r * 0.13);
        Draw::shade(cr, LEAF, r * 0.05);
        cairo_restore(cr);
    }
    appleShape(cr, cx, cy, r);
    Draw::shade(cr, skin, r * 0.07);
    Draw::gloss(cr, cx - r * 0.35, cy - r * 0.3, r * 0.22, r * 0.3, 0.6);
}

static void apple(const Brush& b) {
    static const Rgb skins[] = {APPLE, GOLD, 0x8A5A2E, 0x9BD72A, APPLE, APPLE};
    double r = b.w * 0.36, cx = b.w / 2, cy = b.h * 0.56;
    drawApple(b.cr, cx, cy, r, skins[b.frame % 6]);
    Rng rng(b.frame + 7);
    if (b.frame == 1)
        for (int i = 0; i < 3; ++i)
            Draw::glow(b.cr, rng.range(0.2, 0.8) * b.w, rng.range(0.3, 0.8) * b.h, b.w * 0.1, WHITE);
    if (b.frame == 2 || b.frame == 3)
        for (int i = 0; i < 6; ++i) {
            Draw::ellipse(b.cr, cx + rng.range(-0.6, 0.6) * r, cy + rng.range(-0.3, 0.7) * r, r * 0.14, r * 0.1);
            Draw::flat(b.cr, b.frame == 2 ? 0x4E3218 : 0xE6FF6A, 0, 0.85);
        }
    if (b.frame == 4) {
        cairo_move_to(b.cr, cx + r * 0.3, cy + r * 0.1);
        cairo_curve_to(b.cr, cx + r * 0.7, cy - r * 0.2, cx + r * 0.9, cy + r * 0.3, cx + r * 1.1, cy - r * 0.1);
        cairo_set_line_width(b.cr, r * 0.2);
        Draw::color(b.cr, 0xE58FA0);
        cairo_stroke(b.cr);
        Draw::ellipse(b.cr, cx + r * 0.3, cy + r * 0.1, r * 0.1, r * 0.1);
        Draw::flat(b.cr, INK);
    }
    if (b.frame == 5) {
        Draw::ellipse(b.cr, cx + r * 0.95, cy, r * 0.35, r * 0.45);
        cairo_set_operator(b.cr, CAIRO_OPERATOR_CLEAR);
        cairo_fill(b.cr);
        cairo_set_operator(b.cr, CAIRO_OPERATOR_OVER);
    }
}

void basket(const Brush& b) {
    cairo_t* cr = b.cr;
    Rgb c = b.param ? 0xD9A35B : 0xA8692F;
    double w = b.w, h = b.h;
    cairo_arc(cr, w / 2, h * 0.45, w * 0.3, M_PI, 2 * M_PI);
    cairo_set_line_width(cr, w * 0.06);
    Draw::color(cr, darker(c, 0.3));
    cairo_stroke(cr);
    Draw::polygon(cr, {w * 0.08, h * 0.45, w * 0.92, h * 0.45, w * 0.8, h * 0.95, w * 0.2, h * 0.95});
    Draw::shade(cr, c, 2);
    for (int i = 1; i < 4; ++i)
        Draw::line(cr, w * (0.1 + i * 0.005), h * (0.45 + i * 0.125), w * (0.9 - i * 0.005), h * (0.45 + i * 0.125),
                   1.5, darker(c, 0.35));
    for (int i = 1; i < 8; ++i)
        Draw::line(cr, w * (0.08 + i * 0.105), h * 0.47, w * (0.2 + i * 0.075), h * 0.93, 1.5, darker(c, 0.25));
    Draw::roundRect(cr, w * 0.05, h * 0.4, w * 0.9, h * 0.09, h * 0.04);
    Draw::shade(cr, lighter(c, 0.15), 2);
}

// ---- man-made things ------------------------------------------------------------------------------------

static void planks(cairo_t* cr, double x, double y, double w, double h, int count, bool vertical, Rgb c) {
    for (int i = 0; i < count; ++i) {
        if (vertical)
            cairo_rectangle(cr, x + i * w / count, y, w / count, h);
        else
            cairo_rectangle(cr, x, y + i * h / count, w, h / count);
        Draw::shade(cr, i % 2 ? c : lighter(c, 0.08), 1.5);
    }
}

static void crate(const Brush& b) {
    planks(b.cr, 2, 2, b.w - 4, b.h - 4, 4, false, WOOD);
    Draw::line(b.cr, 6, 6, b.w - 6, b.h - 6, 6, DARK_WOOD);
    cairo_rectangle(b.cr, 3, 3, b.w - 6, b.h - 6);
    cairo_set_line_width(b.cr, 6);
    Draw::color(b.cr, DARK_WOOD);
    cairo_stroke(b.cr);
}

static void fence(const Brush& b) {
    for (int i = 0; i < 2; ++i) {
        cairo_rectangle(b.cr, 0, b.h * (0.3 + i * 0.35), b.w, b.h * 0.12);
        Draw::shade(b.cr, WOOD, 1.5);
    }
    for (int i = 0; i < 4; ++i) {
        double x = b.w * (0.06 + i * 0.28);
        Draw::polygon(b.cr, {x, b.h, x, b.h * 0.12, x + b.w * 0.05, 2, x + b.w * 0.1, b.h * 0.12, x + b.w * 0.1, b.h});
        Draw::shade(b.cr, lighter(WOOD, 0.1), 1.5);
    }
}

static void ladder(const Brush& b) {
    for (int i = 0; i < 8; ++i) {
        cairo_rectangle(b.cr, b.w * 0.15, b.h * (0.06 + i * 0.125), b.w * 0.7, b.h * 0.03);
        Draw::shade(b.cr, WOOD, 1.5);
    }
    for (int s = 0; s < 2; ++s) {
        cairo_rectangle(b.cr, b.w * (0.08 + s * 0.72), 0, b.w * 0.12, b.h);
        Draw::shade(b.cr, DARK_WOOD, 1.5);
    }
}

static void rainbow(const Brush& b) {
    static const Rgb bands[] = {0xE8403A, 0xF28A2A, 0xF5D03A, 0x5DBB3A, 0x3B8BE0, 0x7A4AD0};
    for (int i = 0; i < 6; ++i) {
        cairo_arc(b.cr, b.w / 2, b.h, b.w * 0.46 - i * b.w * 0.03, M_PI, 2 * M_PI);
        cairo_set_line_width(b.cr, b.w * 0.03);
        Draw::color(b.cr, bands[i], 0.8);
        cairo_stroke(b.cr);
    }
}

static void drawbridge(const Brush& b) {
    planks(b.cr, 1, 2, b.w - 2, b.h - 4, 10, true, WOOD);
    for (int s = 0; s < 2; ++s) {
        Draw::ellipse(b.cr, b.w * (0.05 + s * 0.9), b.h / 2, b.h * 0.2, b.h * 0.2);
        Draw::flat(b.cr, 0x5A5A60, 1);
    }
}

static void woodsign(const Brush& b) {
    cairo_rectangle(b.cr, b.w * 0.45, b.h * 0.4, b.w * 0.1, b.h * 0.6);
    Draw::shade(b.cr, DARK_WOOD, 1.5);
    Draw::polygon(b.cr, {b.w * 0.08, b.h * 0.12, b.w * 0.78, b.h * 0.12, b.w * 0.94, b.h * 0.3, b.w * 0.78, b.h * 0.48,
                         b.w * 0.08, b.h * 0.48});
    Draw::shade(b.cr, WOOD, 2);
}

static void paperNote(const Brush& b) {
    Draw::polygon(b.cr, {b.w * 0.15, b.h * 0.08, b.w * 0.88, b.h * 0.12, b.w * 0.85, b.h * 0.92, b.w * 0.12, b.h * 0.88});
    Draw::shade(b.cr, 0xF6EED0, 1.5);
    for (int i = 0; i < 5; ++i)
        Draw::line(b.cr, b.w * 0.25, b.h * (0.3 + i * 0.12), b.w * 0.75, b.h * (0.31 + i * 0.12), 1.5, 0x8A8070);
    Draw::ellipse(b.cr, b.w / 2, b.h * 0.14, b.w * 0.05, b.w * 0.05);
    Draw::flat(b.cr, RED, 1);
}

static void leverSwitch(const Brush& b) {
    double a = b.frame ? 0.6 : -0.6;
    Draw::line(b.cr, b.w / 2, b.h * 0.75, b.w / 2 + std::sin(a) * b.w * 0.35, b.h * 0.75 - std::cos(a) * b.h * 0.5,
               b.w * 0.08, 0x8A8A90);
    Draw::ellipse(b.cr, b.w / 2 + std::sin(a) * b.w * 0.35, b.h * 0.75 - std::cos(a) * b.h * 0.5, b.w * 0.1, b.w * 0.1);
    Draw::shade(b.cr, b.frame ? 0x40C040 : RED, 1.5);
    Draw::roundRect(b.cr, b.w * 0.2, b.h * 0.7, b.w * 0.6, b.h * 0.25, 4);
    Draw::shade(b.cr, 0x6A6A70, 2);
}

static void dynamite(const Brush& b) {
    for (int i = 0; i < 3; ++i) {
        Draw::roundRect(b.cr, b.w * (0.12 + i * 0.26), b.h * 0.3, b.w * 0.24, b.h * 0.65, 4);
        Draw::shade(b.cr, 0xD0302A, 1.5);
    }
    cairo_rectangle(b.cr, b.w * 0.1, b.h * 0.55, b.w * 0.8, b.h * 0.08);
    Draw::flat(b.cr, INK);
    cairo_move_to(b.cr, b.w / 2, b.h * 0.3);
    cairo_curve_to(b.cr, b.w * 0.5, b.h * 0.1, b.w * 0.8, b.h * 0.2, b.w * 0.75, b.h * 0.05);
    cairo_set_line_width(b.cr, 2);
    Draw::color(b.cr, 0x5A5048);
    cairo_stroke(b.cr);
    Draw::glow(b.cr, b.w * 0.75, b.h * 0.05, b.w * 0.12, GOLD);
}

static void compass(const Brush& b) {
    Draw::ellipse(b.cr, b.w / 2, b.h / 2, b.w * 0.44, b.h * 0.44);
    Draw::shade(b.cr, GOLD, 2);
    Draw::ellipse(b.cr, b.w / 2, b.h / 2, b.w * 0.36, b.h * 0.36);
    Draw::flat(b.cr, 0xF8F4E8, 1);
    Draw::polygon(b.cr, {b.w / 2, b.h * 0.18, b.w * 0.56, b.h / 2, b.w * 0.44, b.h / 2});
    Draw::flat(b.cr, RED);
    Draw::polygon(b.cr, {b.w / 2, b.h * 0.82, b.w * 0.56, b.h / 2, b.w * 0.44, b.h / 2});
    Draw::flat(b.cr, 0x505060);
}

// The umbrella: frame 0 furled and lying down, frame 1 open, held up by its handle from the frame's foot.
static void umbrella(const Brush& b) {
    cairo_t* cr = b.cr;
    const double w = b.w, h = b.h;
    const Rgb cloth = 0x3B7BE0;
    if (b.frame == 0) {
        Draw::line(cr, w * 0.04, h * 0.55, w * 0.86, h * 0.55, 2.5, INK);
        cairo_move_to(cr, w * 0.1, h * 0.55);
        cairo_curve_to(cr, w * 0.35, h * 0.42, w * 0.5, h * 0.2, w * 0.62, h * 0.3);
        cairo_line_to(cr, w * 0.72, h * 0.5);
        cairo_line_to(cr, w * 0.72, h * 0.6);
        cairo_line_to(cr, w * 0.62, h * 0.8);
        cairo_curve_to(cr, w * 0.5, h * 0.9, w * 0.35, h * 0.68, w * 0.1, h * 0.55);
        cairo_close_path(cr);
        Draw::shade(cr, cloth, 1.5);
        Draw::roundRect(cr, w * 0.44, h * 0.3, w * 0.05, h * 0.5, 2);
        Draw::flat(cr, GOLD);
        cairo_new_path(cr);
        cairo_arc(cr, w * 0.86, h * 0.72, h * 0.17, -M_PI / 2, M_PI / 2);
        cairo_set_line_width(cr, 4);
        Draw::color(cr, DARK_WOOD);
        cairo_stroke(cr);
        return;
    }
    const double cx = w / 2, top = h * 0.1, base = h * 0.5, r = w * 0.46;
    const int panels = 6;
    // The canopy: a dome whose hem hangs in scallops between the ribs.
    cairo_move_to(cr, cx - r, base);
    cairo_curve_to(cr, cx - r, top + (base - top) * 0.1, cx - r * 0.5, top, cx, top);
    cairo_curve_to(cr, cx + r * 0.5, top, cx + r, top + (base - top) * 0.1, cx + r, base);
    for (int i = panels; i > 0; --i) {
        const double x0 = cx - r + 2 * r * i / panels, x1 = cx - r + 2 * r * (i - 1) / panels;
        cairo_curve_to(cr, x0 - (x0 - x1) * 0.25, base - h * 0.08, x1 + (x0 - x1) * 0.25, base - h * 0.08, x1, base);
    }
    cairo_close_path(cr);
    Draw::shade(cr, cloth, 2);
    for (int i = 1; i < panels; ++i) {
        const double x = cx - r + 2 * r * i / panels;
        cairo_move_to(cr, cx, top);
        cairo_curve_to(cr, cx + (x - cx) * 0.6, top + (base - top) * 0.2, x, top + (base - top) * 0.5, x, base);
        cairo_set_line_width(cr, 1.2);
        Draw::color(cr, darker(cloth, 0.3));
        cairo_stroke(cr);
    }
    Draw::gloss(cr, cx - r * 0.3, top + (base - top) * 0.35, r * 0.35, (base - top) * 0.25, 0.35);
    Draw::line(cr, cx, top, cx, top - h * 0.08, 3, INK);
    // The shaft and the crook of the handle.
    Draw::line(cr, cx, base - h * 0.05, cx, h * 0.86, 3, INK);
    cairo_new_path(cr);
    cairo_arc(cr, cx + h * 0.07, h * 0.86, h * 0.07, M_PI, 2 * M_PI);
    cairo_set_line_width(cr, 4);
    Draw::color(cr, DARK_WOOD);
    cairo_stroke(cr);
}

static void telescope(const Brush& b) {
    cairo_save(b.cr);
    cairo_translate(b.cr, b.w / 2, b.h * 0.45);
    cairo_rotate(b.cr, -0.5);
    for (int i = 0; i < 3; ++i) {
        double len = b.w * (0.5 - i * 0.1), r = b.h * (0.1 - i * 0.02);
        Draw::roundRect(b.cr, -b.w * 0.4 + i * b.w * 0.2, -r, len, r * 2, 3);
        Draw::shade(b.cr, i == 1 ? GOLD : 0x8A5A34, 1.5);
    }
    cairo_restore(b.cr);
    for (int s : {-1, 0, 1})
        Draw::line(b.cr, b.w / 2, b.h * 0.5, b.w * (0.5 + s * 0.25), b.h * 0.98, 3, DARK_WOOD);
}

static void springboard(const Brush& b) {
    double lift = b.frame ? 0.25 : 0.0;
    Draw::roundRect(b.cr, b.w * 0.05, b.h * 0.8, b.w * 0.9, b.h * 0.15, 3);
    Draw::shade(b.cr, 0x606068, 1.5);
    cairo_move_to(b.cr, b.w * 0.3, b.h * 0.8);
    for (int i = 0; i < 6; ++i)
        cairo_line_to(b.cr, b.w * (i % 2 ? 0.2 : 0.4), b.h * (0.75 - (i + 1) * (0.08 + lift * 0.05)));
    cairo_set_line_width(b.cr, 2.5);
    Draw::color(b.cr, 0x9090A0);
    cairo_stroke(b.cr);
    Draw::roundRect(b.cr, b.w * 0.05, b.h * (0.2 - lift * 0.6), b.w * 0.9, b.h * 0.14, 3);
    Draw::shade(b.cr, RED, 1.5);
}

static void treestump(const Brush& b) {
    Draw::polygon(b.cr, {b.w * 0.2, b.h, b.w * 0.25, b.h * 0.35, b.w * 0.75, b.h * 0.35, b.w * 0.8, b.h});
    Draw::shade(b.cr, 0x7A4E2C, 2);
    Draw::ellipse(b.cr, b.w / 2, b.h * 0.35, b.w * 0.25, b.h * 0.1);
    Draw::shade(b.cr, 0xE0B880, 1.5);
    if (b.frame) {
        Draw::ellipse(b.cr, b.w * 0.7, b.h * 0.85, b.w * 0.12, b.h * 0.1);
        Draw::shade(b.cr, LEAF, 1);
    }
}

static void sweets(const Brush& b) {
    static const Rgb colours[] = {0xE84A8A, 0x3BB0E0, GOLD, 0x8A4AD0, 0x5DBB3A, RED};
    Rgb c = colours[b.frame % 6];
    double w = b.w, h = b.h;
    switch (b.frame % 3) {
    case 0: // wrapped candy
        Draw::polygon(b.cr, {w * 0.05, h * 0.3, w * 0.3, h * 0.5, w * 0.05, h * 0.7});
        Draw::shade(b.cr, c, 1);
        Draw::polygon(b.cr, {w * 0.95, h * 0.3, w * 0.7, h * 0.5, w * 0.95, h * 0.7});
        Draw::shade(b.cr, c, 1);
        Draw::ellipse(b.cr, w / 2, h / 2, w * 0.25, h * 0.2);
        Draw::shade(b.cr, c, 1.5);
        break;
    case 1: // lollipop
        Draw::line(b.cr, w / 2, h * 0.5, w / 2, h * 0.95, 3, 0xF0EEE8);
        Draw::ellipse(b.cr, w / 2, h * 0.35, w * 0.3, w * 0.3);
        Draw::shade(b.cr, c, 1.5);
        cairo_arc(b.cr, w / 2, h * 0.35, w * 0.15, 0, 1.5 * M_PI);
        cairo_set_line_width(b.cr, 3);
        Draw::color(b.cr, WHITE);
        cairo_stroke(b.cr);
        break;
    default: // cupcake
        Draw::polygon(b.cr, {w * 0.2, h * 0.5, w * 0.8, h * 0.5, w * 0.7, h * 0.92, w * 0.3, h * 0.92});
        Draw::shade(b.cr, 0xE0A060, 1.5);
        Draw::ellipse(b.cr, w / 2, h * 0.45, w * 0.34, h * 0.2);
        Draw::shade(b.cr, c, 1.5);
        Draw::ellipse(b.cr, w / 2, h * 0.25, w * 0.08, w * 0.08);
        Draw::shade(b.cr, RED, 1);
    }
    Draw::gloss(b.cr, w * 0.45, h * 0.38, w * 0.12, h * 0.06);
}

static void balloon(const Brush& b) {
    double w = b.w, h = b.h;
    for (int s : {-1, 1})
        Draw::line(b.cr, w * (0.5 + s * 0.25), h * 0.6, w * (0.5 + s * 0.14), h * 0.8, 1.5, DARK_WOOD);
    Draw::ellipse(b.cr, w / 2, h * 0.34, w * 0.42, h * 0.32);
    Draw::shade(b.cr, RED, 2);
    for (int i = -1; i <= 1; ++i) {
        Draw::ellipse(b.cr, w / 2, h * 0.34, w * (0.12 + std::abs(i) * 0.16), h * 0.32);
        if (i)
            continue;
        Draw::shade(b.cr, GOLD, 1.5);
    }
    Draw::gloss(b.cr, w * 0.38, h * 0.2, w * 0.12, h * 0.08);
    Draw::roundRect(b.cr, w * 0.34, h * 0.8, w * 0.32, h * 0.16, 4);
    Draw::shade(b.cr, WOOD, 1.5);
}

// The wooden house: walls of planks, a red roof, a chimney, a lit window and the door (frame 1: open).
struct HouseShape {
    double apexX, apexY, leftX, rightX, eaveY, wallTop, wallBottom, wallLeft, wallRight;
};
HouseShape houseShape(double x, double y, double w, double h) {
    return {x + w / 2, y + h * 0.1, x + w * 0.04, x + w * 0.96, y + h * 0.46,
            y + h * 0.42, y + h * 0.98, x + w * 0.13, x + w * 0.87};
}

void drawHouse(cairo_t* cr, double x, double y, double w, double h, bool doorOpen, bool lit) {
    HouseShape s = houseShape(x, y, w, h);
    cairo_rectangle(cr, x + w * 0.68, y + h * 0.12, w * 0.1, h * 0.25);
    Draw::shade(cr, 0x9A4A3A, 1.5);
    planks(cr, s.wallLeft, s.wallTop, s.wallRight - s.wallLeft, s.wallBottom - s.wallTop, 8, false, WOOD);
    Draw::polygon(cr, {s.apexX, s.apexY, s.rightX, s.eaveY, s.leftX, s.eaveY});
    Draw::shade(cr, 0xB8332E, 2.5);
    double dx = x + w * 0.58, dy = y + h * 0.62, dw = w * 0.2, dh = h * 0.36;
    Draw::roundRect(cr, dx, dy, dw, dh, 4);
    Draw::shade(cr, doorOpen ? 0x2A1A10 : DARK_WOOD, 2);
    if (!doorOpen) {
        Draw::ellipse(cr, dx + dw * 0.8, dy + dh * 0.55, 2.5, 2.5);
        Draw::flat(cr, GOLD);
    }
    double wx = x + w * 0.22, wy = y + h * 0.56, ww = w * 0.22, wh = h * 0.18;
    cairo_rectangle(cr, wx, wy, ww, wh);
    Draw::shade(cr, lit ? 0xFFD86A : 0x9FC8E8, 2);
    Draw::line(cr, wx + ww / 2, wy, wx + ww / 2, wy + wh, 2, DARK_WOOD);
    Draw::line(cr, wx, wy + wh / 2, wx + ww, wy + wh / 2, 2, DARK_WOOD);
}

// A translucent wash over the roof of the house drawn with the same box.
void tintRoof(cairo_t* cr, double x, double y, double w, double h, Rgb colour, double alpha) {
    HouseShape s = houseShape(x, y, w, h);
    Draw::polygon(cr, {s.apexX, s.apexY, s.rightX, s.eaveY, s.leftX, s.eaveY});
    Draw::color(cr, colour, alpha);
    cairo_fill(cr);
}

// Snow on the roof and the chimney of the house drawn with the same box.
void drawRoofSnow(cairo_t* cr, double x, double y, double w, double h) {
    HouseShape s = houseShape(x, y, w, h);
    double t = h * 0.035;
    cairo_move_to(cr, s.leftX - 2, s.eaveY + 2);
    cairo_line_to(cr, s.apexX, s.apexY - t);
    cairo_line_to(cr, s.rightX + 2, s.eaveY + 2);
    for (int i = 0; i <= 10; ++i) {
        double u = 1 - i / 10.0;
        double px = s.apexX + (s.rightX - s.apexX) * u, py = s.apexY + (s.eaveY - s.apexY) * u;
        cairo_line_to(cr, px, py + t * (1.2 + 0.5 * std::sin(i * 2.1)));
    }
    for (int i = 1; i <= 10; ++i) {
        double u = i / 10.0;
        double px = s.apexX + (s.leftX - s.apexX) * u, py = s.apexY + (s.eaveY - s.apexY) * u;
        cairo_line_to(cr, px, py + t * (1.2 + 0.5 * std::sin(i * 1.7)));
    }
    cairo_close_path(cr);
    Draw::shade(cr, SNOW, 1.5);
    Draw::roundRect(cr, x + w * 0.67, y + h * 0.1, w * 0.12, h * 0.04, h * 0.02);
    Draw::shade(cr, SNOW, 1.5);
}

// A string of bulbs along the roof edges; frame 0 and 1 light alternate bulbs.
void drawRoofLights(cairo_t* cr, double x, double y, double w, double h, int frame) {
    HouseShape s = houseShape(x, y, w, h);
    static const Rgb colours[] = {RED, GOLD, 0x3B7BE0, 0x40D060};
    const int n = 9;
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i <= n; ++i) {
            double u = i / double(n);
            double px = s.apexX + ((side ? s.rightX : s.leftX) - s.apexX) * u;
            double py = s.apexY + (s.eaveY - s.apexY) * u + h * 0.03;
            bool on = (i + side + frame) % 2 == 0;
            Draw::glow(cr, px, py, w * (on ? 0.05 : 0.02), colours[(i + side * 2) % 4], on ? 1.0 : 0.7);
        }
}

static void house(const Brush& b) { drawHouse(b.cr, 0, 0, b.w, b.h, b.frame == 1, b.frame == 1); }
static void houseRoofSnow(const Brush& b) { drawRoofSnow(b.cr, 0, 0, b.w, b.h); }
static void houseLights(const Brush& b) { drawRoofLights(b.cr, 0, 0, b.w, b.h, b.frame); }

constexpr FrameSize UMBRELLA_SIZES[] = {{72, 40}, {112, 72}};

std::span<const ArtRow> propArt() {
    static const ArtRow rows[] = {
        {"house", 256, 256, 2, house, 0},
        {"house-roofsnow", 256, 256, 1, houseRoofSnow, 0},
        {"house-xmaslights", 256, 256, 2, houseLights, 0},
        {"sweets", 48, 48, 6, sweets, 0},
        {"apple", 48, 48, 6, apple, 0},
        {"basketA", 96, 80, 1, basket, 0},
        {"basketB", 96, 80, 1, basket, 1},
        {"crate", 64, 64, 1, crate, 0},
        {"fence", 128, 64, 1, fence, 0},
        {"ladder", 64, 256, 1, ladder, 0},
        {"rainbow", 512, 256, 1, rainbow, 0},
        {"drawbridge", 256, 32, 1, drawbridge, 0},
        {"hotairballoon", 128, 192, 1, balloon, 0},
        {"treestumps", 96, 64, 2, treestump, 0},
        {"woodsign", 96, 96, 1, woodsign, 0},
        {"paperNote", 64, 64, 1, paperNote, 0},
        {"switch", 64, 64, 2, leverSwitch, 0},
        {"dynamite", 48, 96, 1, dynamite, 0},
        {"compass", 64, 64, 1, compass, 0},
        {"telescope", 96, 96, 1, telescope, 0},
        {"details1", 0, 0, 2, umbrella, 0, 0, UMBRELLA_SIZES},
        {"springboard", 128, 64, 2, springboard, 0},
    };
    return rows;
}

} // namespace ArtKit
