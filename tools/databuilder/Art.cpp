#include "tools/databuilder/Art.h"

#include <array>
#include <cmath>
#include <vector>
#include <map>
#include <stdexcept>

namespace {

// Colours of the game's palette.
constexpr Rgb PIG = 0xF6A9BE, APPLE = 0xD92B2B, LEAF = 0x4DAF3C, GRASS = 0x6CBF3A, WOOD = 0xB07840,
              DARK_WOOD = 0x6E4424, SNOW = 0xF2F7FF, GOLD = 0xF5C02A, SILVER = 0xC8CDD6,
              STONE = 0x9A9A94, WATER = 0x3F8FD8, NIGHT = 0x0D1B3A, RED = 0xD6262B, WHITE = 0xFFFFFF, INK = 0x2A2320;

// A small deterministic random sequence, so that scattered details come out the same on every build.
struct Rng {
    std::uint32_t state;
    explicit Rng(std::uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    double next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
    double range(double a, double b) { return a + (b - a) * next(); }
};

// What a drawing function gets: the frame's context and size, the frame index and the row's parameter.
struct Brush {
    cairo_t* cr;
    double w, h;
    int frame;
    int param;
    const Typefaces& faces;
};

using DrawFn = void (*)(const Brush&);

// ---- creatures ---------------------------------------------------------------------------------------

void pigShape(cairo_t* cr, double cx, double cy, double s, Rgb tint, int legPhase, bool face) {
    for (int i = 0; i < 4; ++i) {
        double lx = cx + (i - 1.5) * s * 0.36;
        double swing = std::sin((legPhase + i * 2) * M_PI / 2) * s * 0.06;
        Draw::roundRect(cr, lx - s * 0.08 + swing, cy + s * 0.2, s * 0.16, s * 0.34, s * 0.06);
        Draw::shade(cr, darker(tint, 0.12), s * 0.03);
    }
    Draw::ellipse(cr, cx, cy, s * 0.62, s * 0.42);
    Draw::shade(cr, tint, s * 0.035);
    // A floppy ear folding forward over the head.
    cairo_move_to(cr, cx + s * 0.16, cy - s * 0.3);
    cairo_curve_to(cr, cx + s * 0.2, cy - s * 0.52, cx + s * 0.36, cy - s * 0.56, cx + s * 0.5, cy - s * 0.38);
    cairo_curve_to(cr, cx + s * 0.42, cy - s * 0.34, cx + s * 0.36, cy - s * 0.3, cx + s * 0.32, cy - s * 0.22);
    cairo_close_path(cr);
    Draw::shade(cr, darker(tint, 0.08), s * 0.03);
    Draw::gloss(cr, cx - s * 0.05, cy - s * 0.22, s * 0.4, s * 0.14, 0.5);
    Draw::ellipse(cr, cx + s * 0.6, cy + s * 0.02, s * 0.14, s * 0.17);
    Draw::shade(cr, lighter(tint, 0.25), s * 0.03);
    for (int n : {-1, 1}) {
        Draw::ellipse(cr, cx + s * 0.6, cy + s * 0.02 + n * s * 0.06, s * 0.035, s * 0.045);
        Draw::flat(cr, darker(tint, 0.6));
    }
    if (face) {
        Draw::ellipse(cr, cx + s * 0.34, cy - s * 0.12, s * 0.07, s * 0.08);
        Draw::flat(cr, WHITE, s * 0.02);
        Draw::ellipse(cr, cx + s * 0.36, cy - s * 0.11, s * 0.035, s * 0.045);
        Draw::flat(cr, INK);
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx - s * 0.68, cy - s * 0.05, s * 0.08, M_PI * 0.3, M_PI * 1.9);
        cairo_set_line_width(cr, s * 0.04);
        Draw::color(cr, darker(tint, 0.3));
        cairo_stroke(cr);
    }
}

void pigBody(const Brush& b) { pigShape(b.cr, b.w * 0.44, b.h * 0.5, b.w * 0.62, PIG, b.frame, false); }

void pigTail(const Brush& b) {
    cairo_t* cr = b.cr;
    cairo_move_to(cr, b.w * 0.9, b.h * 0.5);
    cairo_curve_to(cr, b.w * 0.5, b.h * 0.55, b.w * 0.2, b.h * 0.2, b.w * 0.45, b.h * 0.15);
    cairo_curve_to(cr, b.w * 0.7, b.h * 0.1, b.w * 0.65, b.h * 0.5, b.w * 0.35, b.h * 0.6);
    cairo_curve_to(cr, b.w * 0.2, b.h * 0.7, b.w * 0.15, b.h * 0.8, b.w * 0.1, b.h * 0.85);
    cairo_set_line_width(cr, b.w * 0.16);
    Draw::color(cr, darker(PIG, 0.4));
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, b.w * 0.1);
    Draw::color(cr, PIG);
    cairo_stroke(cr);
}

void pigMouth(const Brush& b) {
    cairo_t* cr = b.cr;
    double cx = b.w / 2, cy = b.h / 2;
    if (b.frame == 0) {
        cairo_arc(cr, cx, cy - b.h * 0.2, b.w * 0.3, M_PI * 0.2, M_PI * 0.8);
        cairo_set_line_width(cr, b.h * 0.12);
        Draw::color(cr, darker(PIG, 0.6));
        cairo_stroke(cr);
    } else {
        double open = b.frame == 1 ? 0.32 : 0.18;
        Draw::ellipse(cr, cx, cy, b.w * 0.3, b.h * open);
        Draw::flat(cr, 0x6A1E2A, b.h * 0.06);
        Draw::ellipse(cr, cx, cy + b.h * open * 0.5, b.w * 0.18, b.h * open * 0.45);
        Draw::flat(cr, 0xE8707E);
    }
}

void pigEyes(const Brush& b) {
    static const double look[][2] = {{0, 0}, {0.25, 0}, {-0.25, 0}, {0, -0.25}};
    for (int e = 0; e < 2; ++e) {
        double cx = b.w * (0.28 + 0.44 * e), cy = b.h * 0.5, r = b.w * 0.2;
        Draw::ellipse(b.cr, cx, cy, r, r * 1.15);
        Draw::flat(b.cr, WHITE, b.w * 0.03);
        Draw::ellipse(b.cr, cx + look[b.frame % 4][0] * r * 2, cy + look[b.frame % 4][1] * r * 2, r * 0.45, r * 0.55);
        Draw::flat(b.cr, INK);
        Draw::ellipse(b.cr, cx + look[b.frame % 4][0] * r * 2 + r * 0.15, cy - r * 0.2, r * 0.12, r * 0.12);
        Draw::flat(b.cr, WHITE);
    }
}

void pigBlink(const Brush& b) {
    for (int e = 0; e < 2; ++e) {
        double cx = b.w * (0.28 + 0.44 * e), cy = b.h * 0.5, r = b.w * 0.2;
        Draw::ellipse(b.cr, cx, cy, r, r * (b.frame == 0 ? 1.15 : 0.7));
        Draw::shade(b.cr, darker(PIG, 0.08), b.w * 0.03);
        cairo_arc(b.cr, cx, cy - r * 0.2, r * 0.8, M_PI * 0.2, M_PI * 0.8);
        cairo_set_line_width(b.cr, b.w * 0.04);
        Draw::color(b.cr, darker(PIG, 0.6));
        cairo_stroke(b.cr);
    }
}

void piglets(const Brush& b) {
    static const Rgb tints[] = {0xF9B8C8, 0xE9A98A, 0xF3C2CF, 0xD99A9A};
    pigShape(b.cr, b.w * 0.42, b.h * 0.52, b.w * 0.62, tints[b.frame % 4], b.frame, true);
    if (b.frame == 2)
        for (int i = 0; i < 3; ++i) {
            Draw::ellipse(b.cr, b.w * (0.3 + i * 0.12), b.h * (0.45 + (i % 2) * 0.1), b.w * 0.05, b.h * 0.04);
            Draw::flat(b.cr, 0x8C5A4A, 0, 0.7);
        }
}

void appleShape(cairo_t* cr, double cx, double cy, double r) {
    cairo_move_to(cr, cx, cy - r * 0.7);
    cairo_curve_to(cr, cx + r * 0.9, cy - r * 1.15, cx + r * 1.25, cy + r * 0.2, cx + r * 0.5, cy + r * 0.92);
    cairo_curve_to(cr, cx + r * 0.25, cy + r * 1.08, cx - r * 0.25, cy + r * 1.08, cx - r * 0.5, cy + r * 0.92);
    cairo_curve_to(cr, cx - r * 1.25, cy + r * 0.2, cx - r * 0.9, cy - r * 1.15, cx, cy - r * 0.7);
    cairo_close_path(cr);
}

void drawApple(cairo_t* cr, double cx, double cy, double r, Rgb skin, bool leaf = true) {
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

void apple(const Brush& b) {
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

void fish(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h, flap = b.frame ? 0.12 : 0;
    Draw::polygon(cr, {w * 0.22, h * 0.5, w * 0.04, h * (0.2 + flap), w * 0.04, h * (0.8 - flap)});
    Draw::shade(cr, 0xF08A24, 1.5);
    Draw::ellipse(cr, w * 0.55, h * 0.5, w * 0.38, h * 0.36);
    Draw::shade(cr, 0xF5A030, 2);
    Draw::ellipse(cr, w * 0.78, h * 0.42, h * 0.07, h * 0.07);
    Draw::flat(cr, INK);
    Draw::gloss(cr, w * 0.55, h * 0.32, w * 0.25, h * 0.12);
}

void rabbit(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h, hop = b.frame ? -h * 0.08 : 0;
    for (int e = 0; e < 2; ++e) {
        Draw::ellipse(cr, w * (0.62 + e * 0.1), h * 0.2 + hop, w * 0.06, h * 0.18);
        Draw::shade(cr, 0xC9B8A8, 1.5);
    }
    Draw::ellipse(cr, w * 0.42, h * 0.66 + hop, w * 0.3, h * 0.24);
    Draw::shade(cr, 0xC9B8A8, 2);
    Draw::ellipse(cr, w * 0.68, h * 0.46 + hop, w * 0.16, h * 0.15);
    Draw::shade(cr, 0xD4C4B4, 2);
    Draw::ellipse(cr, w * 0.13, h * 0.62 + hop, w * 0.07, w * 0.07);
    Draw::flat(cr, WHITE, 1);
    Draw::ellipse(cr, w * 0.72, h * 0.43 + hop, w * 0.025, w * 0.03);
    Draw::flat(cr, INK);
}

void insect(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h;
    bool bee = b.param == 0;
    double up = b.frame ? 0.25 : 0;
    for (int s : {-1, 1}) {
        Draw::ellipse(cr, w * (0.5 + s * 0.2), h * (0.3 + up), w * 0.2, h * (bee ? 0.14 : 0.22));
        if (bee)
            Draw::flat(cr, 0xE6F4FF, 1, 0.8);
        else
            Draw::shade(cr, b.param == 1 ? 0xF07FB0 : 0x7FB0F0, 1.5);
    }
    Draw::ellipse(cr, w * 0.5, h * 0.6, w * (bee ? 0.3 : 0.08), h * (bee ? 0.22 : 0.28));
    Draw::shade(cr, bee ? 0xF6C81E : 0x3A2E2A, 1.5);
    if (bee)
        for (int i = 0; i < 2; ++i)
            Draw::line(cr, w * (0.42 + i * 0.14), h * 0.42, w * (0.42 + i * 0.14), h * 0.78, w * 0.06, INK);
}

void worm(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h, a = b.frame ? 0.25 : 0;
    cairo_move_to(cr, w * 0.1, h * 0.7);
    cairo_curve_to(cr, w * 0.3, h * (0.2 + a), w * 0.5, h * (1.0 - a), w * 0.85, h * 0.45);
    cairo_set_line_width(cr, h * 0.36);
    Draw::color(cr, darker(0xE58FA0, 0.35));
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, h * 0.28);
    Draw::color(cr, 0xE58FA0);
    cairo_stroke(cr);
    Draw::ellipse(cr, w * 0.86, h * 0.4, h * 0.05, h * 0.05);
    Draw::flat(cr, INK);
}

void snail(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h, s = b.frame ? 0.04 : 0;
    Draw::roundRect(cr, w * 0.1, h * 0.7, w * (0.8 + s), h * 0.2, h * 0.1);
    Draw::shade(cr, 0xC7B27A, 1.5);
    for (int e = 0; e < 2; ++e)
        Draw::line(cr, w * (0.82 + s), h * 0.72, w * (0.8 + e * 0.1 + s), h * 0.45, 2, darker(0xC7B27A, 0.4));
    Draw::ellipse(cr, w * 0.45, h * 0.5, w * 0.3, h * 0.34);
    Draw::shade(cr, 0xB5653A, 2);
    cairo_move_to(cr, w * 0.45, h * 0.5);
    for (int i = 0; i < 40; ++i) {
        double t = i / 40.0 * 4 * M_PI, r = t / (4 * M_PI) * w * 0.22;
        cairo_line_to(cr, w * 0.45 + r * std::cos(t), h * 0.5 + r * std::sin(t));
    }
    cairo_set_line_width(cr, 2);
    Draw::color(cr, darker(0xB5653A, 0.5));
    cairo_stroke(cr);
}

void frog(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h, jump = b.frame == 1 ? -h * 0.12 : 0;
    Draw::ellipse(cr, w * 0.5, h * 0.65 + jump, w * 0.36, h * 0.26);
    Draw::shade(cr, 0x5DBB3A, 2);
    for (int e : {-1, 1}) {
        Draw::ellipse(cr, w * (0.5 + e * 0.2), h * 0.38 + jump, w * 0.11, w * 0.11);
        Draw::shade(cr, 0x5DBB3A, 2);
        Draw::ellipse(cr, w * (0.5 + e * 0.2), h * 0.38 + jump, w * 0.06, w * 0.06);
        Draw::flat(cr, WHITE);
        Draw::ellipse(cr, w * (0.5 + e * 0.2), h * 0.39 + jump, w * 0.03, w * 0.035);
        Draw::flat(cr, INK);
    }
    cairo_arc(cr, w * 0.5, h * 0.6 + jump, w * 0.18, M_PI * 0.15, M_PI * 0.85);
    cairo_set_line_width(cr, 2);
    Draw::color(cr, darker(0x5DBB3A, 0.5));
    cairo_stroke(cr);
    if (b.frame == 2)
        Draw::line(cr, w * 0.5, h * 0.72, w * 0.98, h * 0.72, h * 0.05, 0xE8506A);
}

void hat(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h;
    if (b.param == 0) { // the chef's hat
        for (int i = 0; i < 3; ++i) {
            Draw::ellipse(cr, w * (0.3 + i * 0.2), h * 0.35, w * 0.2, h * 0.22);
            Draw::shade(cr, WHITE, 1.5);
        }
        Draw::roundRect(cr, w * 0.22, h * 0.45, w * 0.56, h * 0.45, 4);
        Draw::shade(cr, WHITE, 1.5);
    } else { // the Santa hat
        cairo_move_to(cr, w * 0.12, h * 0.78);
        cairo_curve_to(cr, w * 0.3, h * 0.2, w * 0.6, h * 0.05, w * 0.88, h * 0.4);
        cairo_line_to(cr, w * 0.88, h * 0.78);
        cairo_close_path(cr);
        Draw::shade(cr, RED, 2);
        Draw::roundRect(cr, w * 0.06, h * 0.72, w * 0.88, h * 0.2, h * 0.1);
        Draw::shade(cr, SNOW, 1.5);
        Draw::ellipse(cr, w * 0.86, h * 0.4, w * 0.1, w * 0.1);
        Draw::shade(cr, SNOW, 1.5);
    }
}

void sleigh(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h;
    for (int d = 0; d < 2; ++d) { // two reindeer ahead
        double x = w * (0.62 + d * 0.18), y = h * 0.45;
        Draw::ellipse(cr, x, y, w * 0.07, h * 0.1);
        Draw::shade(cr, 0x8A5A34, 1.5);
        Draw::ellipse(cr, x + w * 0.07, y - h * 0.12, w * 0.03, h * 0.06);
        Draw::shade(cr, 0x8A5A34, 1.5);
        Draw::line(cr, x + w * 0.07, y - h * 0.17, x + w * 0.05, y - h * 0.3, 2, DARK_WOOD);
        Draw::line(cr, x + w * 0.08, y - h * 0.17, x + w * 0.11, y - h * 0.3, 2, DARK_WOOD);
        for (int l = 0; l < 2; ++l)
            Draw::line(cr, x - w * 0.04 + l * w * 0.07, y + h * 0.05, x - w * 0.06 + l * w * 0.09, y + h * 0.22, 2,
                       0x6A4424);
    }
    Draw::line(cr, w * 0.35, h * 0.6, w * 0.82, h * 0.45, 1.5, 0x6A4424);
    Draw::polygon(cr, {w * 0.05, h * 0.45, w * 0.4, h * 0.45, w * 0.42, h * 0.72, w * 0.1, h * 0.72});
    Draw::shade(cr, RED, 2);
    cairo_move_to(cr, w * 0.02, h * 0.82);
    cairo_line_to(cr, w * 0.42, h * 0.82);
    cairo_curve_to(cr, w * 0.5, h * 0.82, w * 0.5, h * 0.7, w * 0.45, h * 0.7);
    cairo_set_line_width(cr, 3);
    Draw::color(cr, GOLD);
    cairo_stroke(cr);
    Draw::ellipse(cr, w * 0.2, h * 0.33, w * 0.06, h * 0.14);
    Draw::shade(cr, RED, 1.5);
    Draw::ellipse(cr, w * 0.2, h * 0.22, w * 0.035, h * 0.07);
    Draw::shade(cr, 0xF2C9A8, 1.5);
}

// ---- plants, rocks and scenery -------------------------------------------------------------------------

enum TreeStyle { TREE_ROUND, TREE_PINE, TREE_BIRCH, TREE_BUSHY };

void treeShape(cairo_t* cr, double w, double h, int style, Rgb crown, bool snow, bool xmas, Rng& rng) {
    Rgb bark = style == TREE_BIRCH ? 0xE8E2D6 : 0x7A4E2C;
    Draw::polygon(cr, {w * 0.45, h, w * 0.55, h, w * 0.53, h * 0.4, w * 0.47, h * 0.4});
    Draw::shade(cr, bark, 1.5);
    std::vector<std::array<double, 3>> balls;
    if (style == TREE_PINE) {
        for (int i = 0; i < 4; ++i) {
            double top = h * (0.04 + i * 0.17), bottom = h * (0.34 + i * 0.17), half = w * (0.2 + i * 0.09);
            Draw::polygon(cr, {w / 2, top, w / 2 + half, bottom, w / 2 - half, bottom});
            Draw::shade(cr, crown, 2);
            if (snow) {
                Draw::polygon(cr, {w / 2, top, w / 2 + half * 0.45, top + (bottom - top) * 0.45, w / 2,
                                   top + (bottom - top) * 0.35, w / 2 - half * 0.45, top + (bottom - top) * 0.45});
                Draw::flat(cr, SNOW);
            }
            balls.push_back({w / 2 + rng.range(-0.6, 0.6) * half, bottom - h * 0.03, w * 0.03});
        }
    } else {
        int puffs = style == TREE_BUSHY ? 7 : 5;
        for (int i = 0; i < puffs; ++i) {
            double a = i * 2 * M_PI / puffs, r = w * (style == TREE_BIRCH ? 0.2 : 0.26);
            double px = w / 2 + std::cos(a) * w * 0.18, py = h * 0.32 + std::sin(a) * h * 0.12;
            Draw::ellipse(cr, px, py, r, r * 0.9);
            Draw::shade(cr, crown, 2);
            balls.push_back({px, py, w * 0.03});
        }
        Draw::ellipse(cr, w / 2, h * 0.3, w * 0.28, h * 0.16);
        Draw::shade(cr, lighter(crown, 0.1), 0);
        if (snow)
            for (int i = 0; i < 3; ++i) {
                Draw::ellipse(cr, w * (0.35 + i * 0.15), h * (0.17 + (i % 2) * 0.03), w * 0.1, h * 0.03);
                Draw::flat(cr, SNOW);
            }
    }
    if (xmas) {
        static const Rgb baubles[] = {RED, GOLD, 0x3B7BE0, 0xE040A0};
        for (std::size_t i = 0; i < balls.size(); ++i) {
            Draw::ellipse(cr, balls[i][0], balls[i][1], balls[i][2] * 1.4, balls[i][2] * 1.4);
            Draw::shade(cr, baubles[i % 4], 1);
        }
        if (style == TREE_PINE) {
            Draw::star(cr, w / 2, h * 0.05, w * 0.08, w * 0.035, 5);
            Draw::shade(cr, GOLD, 1);
        }
    }
}

void tree(const Brush& b) {
    // param: style in the low byte; 0x100 winter, 0x200 Christmas; the frame picks the style of a sheet.
    Rng rng(b.param * 31 + b.frame);
    int style = ((b.param & 0xFF) + b.frame) % 4;
    bool snow = b.param & 0x100, xmas = b.param & 0x200;
    static const Rgb crowns[] = {0x3F9A35, 0x2F7A3A, 0x7CC24A, 0x4CA844, 0x6B9E2E, 0x3B8A50};
    Rgb crown = snow ? 0x3E6E58 : crowns[(b.param + b.frame) % 6];
    treeShape(b.cr, b.w, b.h, style, crown, snow, xmas, rng);
}

void hills(const Brush& b) {
    // param: 0 spring, 1 winter; +2 for the far layer
    cairo_t* cr = b.cr;
    bool winter = b.param & 1, far = b.param & 2;
    Rgb base = winter ? (far ? 0xC8D8EC : SNOW) : (far ? 0x8CCB6A : 0x5DAA3A);
    double amp = far ? 0.22 : 0.3;
    cairo_move_to(cr, 0, b.h);
    for (int x = 0; x <= int(b.w); x += 4) {
        double t = x / b.w * 2 * M_PI;
        double y = b.h * (0.55 - amp * (0.5 * std::sin(t * 2 + b.param) + 0.3 * std::sin(t * 5 + 1) +
                                        0.2 * std::sin(t * 9 + 2)));
        cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, b.w, b.h);
    cairo_close_path(cr);
    Draw::shade(cr, base, 0);
    // Little trees standing on the ridge.
    Rng rng(b.param + 3);
    Rgb treeColour = winter ? (far ? 0x8FA8B8 : 0x4A6E60) : darker(base, far ? 0.15 : 0.3);
    for (int i = 0; i < 14; ++i) {
        double x = rng.range(0, b.w), t = x / b.w * 2 * M_PI, size = rng.range(10, 18) * (far ? 0.7 : 1.0);
        double y = b.h * (0.55 - amp * (0.5 * std::sin(t * 2 + b.param) + 0.3 * std::sin(t * 5 + 1) +
                                        0.2 * std::sin(t * 9 + 2)));
        // The strip repeats side by side: a tree cut by one edge goes on at the other.
        for (double wrap : {-b.w, 0.0, b.w}) {
            double tx = x + wrap;
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

void sky(const Brush& b) { skyPicture(b.cr, b.w, b.h, b.param); }

void clouds(const Brush& b) {
    Rng rng(b.frame + 5);
    for (int p = 0; p < 6; ++p) {
        double x = b.w * (0.2 + p * 0.12), y = b.h * (0.55 - std::sin(p * 0.9) * 0.15);
        Draw::ellipse(b.cr, x, y, b.w * rng.range(0.1, 0.16), b.h * rng.range(0.2, 0.3));
        Draw::flat(b.cr, WHITE, 0, 0.95);
    }
    Draw::ellipse(b.cr, b.w / 2, b.h * 0.7, b.w * 0.4, b.h * 0.15);
    Draw::flat(b.cr, 0xE6EEF8);
}

void rocks(const Brush& b) {
    // param: 0 stones, 1 pebbles, 2 rocks, 3 rocks with snow
    Rng rng(b.param * 7 + b.frame);
    int count = b.param == 1 ? 5 : (b.param == 0 ? 1 : 3);
    for (int i = 0; i < count; ++i) {
        double cx = count == 1 ? b.w / 2 : rng.range(0.25, 0.75) * b.w, cy = b.h * rng.range(0.55, 0.7);
        double rx = b.w * (count == 1 ? 0.42 : rng.range(0.15, 0.25)), ry = b.h * (count == 1 ? 0.38 : 0.25);
        cairo_new_sub_path(b.cr);
        for (int k = 0; k < 8; ++k) {
            double a = k * M_PI / 4, j = rng.range(0.8, 1.1);
            cairo_line_to(b.cr, cx + std::cos(a) * rx * j, cy + std::sin(a) * ry * j);
        }
        cairo_close_path(b.cr);
        Draw::shade(b.cr, mixRgb(STONE, 0x7A6A58, rng.next()), 2);
        if (b.param == 3) {
            Draw::ellipse(b.cr, cx, cy - ry * 0.75, rx * 0.8, ry * 0.3);
            Draw::flat(b.cr, SNOW);
        }
    }
}

void shrub(const Brush& b) {
    // param 1: Christmas lights on the shrub
    Rng rng(b.frame + 19);
    static const Rgb greens[] = {0x3F9A35, 0x56A83A, 0x2F8A48};
    for (int i = 0; i < 6; ++i) {
        Draw::ellipse(b.cr, b.w * (0.22 + i * 0.11), b.h * (0.6 - std::sin(i * 0.6) * 0.18), b.w * 0.18, b.h * 0.26);
        Draw::shade(b.cr, greens[b.frame % 3], 2);
    }
    if (b.param)
        for (int i = 0; i < 9; ++i) {
            static const Rgb lights[] = {RED, GOLD, 0x3B7BE0, 0x40D060};
            double x = rng.range(0.15, 0.85) * b.w, y = rng.range(0.35, 0.8) * b.h;
            Draw::glow(b.cr, x, y, b.w * 0.05, lights[i % 4]);
        }
}

void flower(const Brush& b) {
    // param: 0 daisies, 1 tulips, 2 cattail
    static const Rgb petals[] = {0xFFFFFF, 0xF5D03A, 0xE84A8A, 0xE8503A, 0x9A6AE0};
    double w = b.w, h = b.h;
    Draw::line(b.cr, w / 2, h, w / 2, h * 0.3, 2, 0x3F8A2C);
    Draw::ellipse(b.cr, w * 0.38, h * 0.72, w * 0.14, h * 0.05);
    Draw::flat(b.cr, LEAF);
    if (b.param == 2) {
        Draw::roundRect(b.cr, w * 0.38, h * 0.1, w * 0.24, h * 0.3, w * 0.12);
        Draw::shade(b.cr, 0x6E4424, 1);
        return;
    }
    Rgb c = petals[(b.frame + b.param * 2) % 5];
    if (b.param == 0) {
        for (int p = 0; p < 6; ++p) {
            double a = p * M_PI / 3;
            Draw::ellipse(b.cr, w / 2 + std::cos(a) * w * 0.2, h * 0.28 + std::sin(a) * w * 0.2, w * 0.14, w * 0.14);
            Draw::shade(b.cr, c, 1);
        }
        Draw::ellipse(b.cr, w / 2, h * 0.28, w * 0.13, w * 0.13);
        Draw::shade(b.cr, GOLD, 1);
    } else {
        cairo_move_to(b.cr, w * 0.3, h * 0.15);
        cairo_line_to(b.cr, w * 0.4, h * 0.25);
        cairo_line_to(b.cr, w * 0.5, h * 0.12);
        cairo_line_to(b.cr, w * 0.6, h * 0.25);
        cairo_line_to(b.cr, w * 0.7, h * 0.15);
        cairo_curve_to(b.cr, w * 0.75, h * 0.4, w * 0.25, h * 0.4, w * 0.3, h * 0.15);
        Draw::shade(b.cr, c, 1);
    }
}

void grassTuft(const Brush& b) {
    // param: 0 short grass, 1 tall grass, 2 details (mushrooms and blossoms)
    Rng rng(b.param * 13 + b.frame);
    if (b.param == 2) {
        if (b.frame % 2 == 0) {
            Draw::roundRect(b.cr, b.w * 0.42, b.h * 0.5, b.w * 0.16, b.h * 0.45, 3);
            Draw::shade(b.cr, 0xF1E6D0, 1);
            cairo_arc(b.cr, b.w / 2, b.h * 0.52, b.w * 0.34, M_PI, 2 * M_PI);
            Draw::shade(b.cr, b.frame == 0 ? RED : 0xB0703A, 1.5);
            Draw::ellipse(b.cr, b.w * 0.4, b.h * 0.36, b.w * 0.05, b.w * 0.05);
            Draw::flat(b.cr, WHITE);
        } else {
            flower(Brush{b.cr, b.w, b.h, b.frame, 0, b.faces});
        }
        return;
    }
    int blades = b.param ? 14 : 18;
    for (int i = 0; i < blades; ++i) {
        double x = rng.range(0.05, 0.95) * b.w, lean = rng.range(-0.2, 0.2) * b.w;
        double top = b.h * (b.param ? rng.range(0.05, 0.4) : rng.range(0.2, 0.6));
        cairo_move_to(b.cr, x - 2, b.h);
        cairo_curve_to(b.cr, x, b.h * 0.7, x + lean, top + 4, x + lean, top);
        cairo_curve_to(b.cr, x + lean + 1, top + 4, x + 2, b.h * 0.7, x + 3, b.h);
        cairo_close_path(b.cr);
        Draw::flat(b.cr, mixRgb(GRASS, 0x2F7A2A, rng.next()));
    }
}

void cactus(const Brush& b) {
    double w = b.w, h = b.h;
    Draw::roundRect(b.cr, w * 0.38, h * 0.1, w * 0.24, h * 0.9, w * 0.12);
    Draw::shade(b.cr, 0x4E9A3E, 2);
    for (int s : {-1, 1}) {
        Draw::roundRect(b.cr, w * (0.5 + s * 0.3) - w * 0.08, h * (0.3 + (s + 1) * 0.05), w * 0.16, h * 0.3, w * 0.08);
        Draw::shade(b.cr, 0x4E9A3E, 2);
        Draw::line(b.cr, w * 0.5, h * 0.55, w * (0.5 + s * 0.28), h * 0.55, w * 0.12, 0x4E9A3E);
    }
    Draw::ellipse(b.cr, w / 2, h * 0.1, w * 0.1, w * 0.08);
    Draw::shade(b.cr, 0xE8508A, 1);
}

void pumpkin(const Brush& b) {
    for (int i = 0; i < 3; ++i) {
        Draw::ellipse(b.cr, b.w * (0.32 + i * 0.18), b.h * 0.6, b.w * 0.22, b.h * 0.32);
        Draw::shade(b.cr, i == 1 ? 0xF28A1E : 0xE07A12, 2);
    }
    Draw::line(b.cr, b.w / 2, b.h * 0.3, b.w * 0.55, b.h * 0.12, b.w * 0.07, 0x5A7A2A);
}

// ---- man-made things ------------------------------------------------------------------------------------

void planks(cairo_t* cr, double x, double y, double w, double h, int count, bool vertical, Rgb c) {
    for (int i = 0; i < count; ++i) {
        if (vertical)
            cairo_rectangle(cr, x + i * w / count, y, w / count, h);
        else
            cairo_rectangle(cr, x, y + i * h / count, w, h / count);
        Draw::shade(cr, i % 2 ? c : lighter(c, 0.08), 1.5);
    }
}

void crate(const Brush& b) {
    planks(b.cr, 2, 2, b.w - 4, b.h - 4, 4, false, WOOD);
    Draw::line(b.cr, 6, 6, b.w - 6, b.h - 6, 6, DARK_WOOD);
    cairo_rectangle(b.cr, 3, 3, b.w - 6, b.h - 6);
    cairo_set_line_width(b.cr, 6);
    Draw::color(b.cr, DARK_WOOD);
    cairo_stroke(b.cr);
}

void fence(const Brush& b) {
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

void ladder(const Brush& b) {
    for (int i = 0; i < 8; ++i) {
        cairo_rectangle(b.cr, b.w * 0.15, b.h * (0.06 + i * 0.125), b.w * 0.7, b.h * 0.03);
        Draw::shade(b.cr, WOOD, 1.5);
    }
    for (int s = 0; s < 2; ++s) {
        cairo_rectangle(b.cr, b.w * (0.08 + s * 0.72), 0, b.w * 0.12, b.h);
        Draw::shade(b.cr, DARK_WOOD, 1.5);
    }
}

void rainbow(const Brush& b) {
    static const Rgb bands[] = {0xE8403A, 0xF28A2A, 0xF5D03A, 0x5DBB3A, 0x3B8BE0, 0x7A4AD0};
    for (int i = 0; i < 6; ++i) {
        cairo_arc(b.cr, b.w / 2, b.h, b.w * 0.46 - i * b.w * 0.03, M_PI, 2 * M_PI);
        cairo_set_line_width(b.cr, b.w * 0.03);
        Draw::color(b.cr, bands[i], 0.8);
        cairo_stroke(b.cr);
    }
}

void drawbridge(const Brush& b) {
    planks(b.cr, 1, 2, b.w - 2, b.h - 4, 10, true, WOOD);
    for (int s = 0; s < 2; ++s) {
        Draw::ellipse(b.cr, b.w * (0.05 + s * 0.9), b.h / 2, b.h * 0.2, b.h * 0.2);
        Draw::flat(b.cr, 0x5A5A60, 1);
    }
}

void woodsign(const Brush& b) {
    cairo_rectangle(b.cr, b.w * 0.45, b.h * 0.4, b.w * 0.1, b.h * 0.6);
    Draw::shade(b.cr, DARK_WOOD, 1.5);
    Draw::polygon(b.cr, {b.w * 0.08, b.h * 0.12, b.w * 0.78, b.h * 0.12, b.w * 0.94, b.h * 0.3, b.w * 0.78, b.h * 0.48,
                         b.w * 0.08, b.h * 0.48});
    Draw::shade(b.cr, WOOD, 2);
}

void paperNote(const Brush& b) {
    Draw::polygon(b.cr, {b.w * 0.15, b.h * 0.08, b.w * 0.88, b.h * 0.12, b.w * 0.85, b.h * 0.92, b.w * 0.12, b.h * 0.88});
    Draw::shade(b.cr, 0xF6EED0, 1.5);
    for (int i = 0; i < 5; ++i)
        Draw::line(b.cr, b.w * 0.25, b.h * (0.3 + i * 0.12), b.w * 0.75, b.h * (0.31 + i * 0.12), 1.5, 0x8A8070);
    Draw::ellipse(b.cr, b.w / 2, b.h * 0.14, b.w * 0.05, b.w * 0.05);
    Draw::flat(b.cr, RED, 1);
}

void leverSwitch(const Brush& b) {
    double a = b.frame ? 0.6 : -0.6;
    Draw::line(b.cr, b.w / 2, b.h * 0.75, b.w / 2 + std::sin(a) * b.w * 0.35, b.h * 0.75 - std::cos(a) * b.h * 0.5,
               b.w * 0.08, 0x8A8A90);
    Draw::ellipse(b.cr, b.w / 2 + std::sin(a) * b.w * 0.35, b.h * 0.75 - std::cos(a) * b.h * 0.5, b.w * 0.1, b.w * 0.1);
    Draw::shade(b.cr, b.frame ? 0x40C040 : RED, 1.5);
    Draw::roundRect(b.cr, b.w * 0.2, b.h * 0.7, b.w * 0.6, b.h * 0.25, 4);
    Draw::shade(b.cr, 0x6A6A70, 2);
}

void dynamite(const Brush& b) {
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

void compass(const Brush& b) {
    Draw::ellipse(b.cr, b.w / 2, b.h / 2, b.w * 0.44, b.h * 0.44);
    Draw::shade(b.cr, GOLD, 2);
    Draw::ellipse(b.cr, b.w / 2, b.h / 2, b.w * 0.36, b.h * 0.36);
    Draw::flat(b.cr, 0xF8F4E8, 1);
    Draw::polygon(b.cr, {b.w / 2, b.h * 0.18, b.w * 0.56, b.h / 2, b.w * 0.44, b.h / 2});
    Draw::flat(b.cr, RED);
    Draw::polygon(b.cr, {b.w / 2, b.h * 0.82, b.w * 0.56, b.h / 2, b.w * 0.44, b.h / 2});
    Draw::flat(b.cr, 0x505060);
}

void telescope(const Brush& b) {
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

void springboard(const Brush& b) {
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

void treestump(const Brush& b) {
    Draw::polygon(b.cr, {b.w * 0.2, b.h, b.w * 0.25, b.h * 0.35, b.w * 0.75, b.h * 0.35, b.w * 0.8, b.h});
    Draw::shade(b.cr, 0x7A4E2C, 2);
    Draw::ellipse(b.cr, b.w / 2, b.h * 0.35, b.w * 0.25, b.h * 0.1);
    Draw::shade(b.cr, 0xE0B880, 1.5);
    if (b.frame) {
        Draw::ellipse(b.cr, b.w * 0.7, b.h * 0.85, b.w * 0.12, b.h * 0.1);
        Draw::shade(b.cr, LEAF, 1);
    }
}

void sweets(const Brush& b) {
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

void balloon(const Brush& b) {
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

void house(const Brush& b) { drawHouse(b.cr, 0, 0, b.w, b.h, b.frame == 1, b.frame == 1); }
void houseRoofSnow(const Brush& b) { drawRoofSnow(b.cr, 0, 0, b.w, b.h); }
void houseLights(const Brush& b) { drawRoofLights(b.cr, 0, 0, b.w, b.h, b.frame); }

// ---- ground and terrain --------------------------------------------------------------------------------

// A seamless tile: base colour with scattered blobs wrapped around the edges.
void groundTile(const Brush& b) {
    static const Rgb bases[] = {0x8A5E3A, 0x4E9A30, 0x8E8A80, 0xA8702E, 0xEEF3FA, 0x3A7FC8, 0x74B8E8};
    Rgb base = bases[b.param];
    cairo_rectangle(b.cr, 0, 0, b.w, b.h);
    Draw::flat(b.cr, base, 0, b.param >= 5 ? 0.7 : 1.0);
    Rng rng(b.param + 40);
    for (int i = 0; i < 90; ++i) {
        double x = rng.range(0, b.w), y = rng.range(0, b.h), r = rng.range(2, b.param == 2 ? 7 : 5);
        Rgb c = rng.next() < 0.5 ? lighter(base, 0.2) : darker(base, 0.2);
        if (b.param == 3)
            c = mixRgb(0xD8742A, 0x9A3A1A, rng.next());
        for (int ox = -1; ox <= 1; ++ox)
            for (int oy = -1; oy <= 1; ++oy) {
                if (b.param >= 5)
                    Draw::line(b.cr, x + ox * b.w - r * 2, y + oy * b.h, x + ox * b.w + r * 2, y + oy * b.h, 1.5,
                               WHITE, 0.35);
                else {
                    Draw::ellipse(b.cr, x + ox * b.w, y + oy * b.h, r, r * 0.7);
                    Draw::flat(b.cr, c, 0, 0.8);
                }
            }
    }
}

// A terrain edge strip, tiling left to right: grass, leaves or snow on top of soil; roots and moss.
void terrainStrip(const Brush& b) {
    static const Rgb tops[] = {GRASS, 0xC8782A, SNOW, 0x6E4424, 0x5E9A3A};
    Rgb top = tops[b.param];
    Rng rng(b.param + 60);
    if (b.param <= 2) {
        cairo_rectangle(b.cr, 0, b.h * 0.45, b.w, b.h * 0.55);
        Draw::flat(b.cr, 0x7A5232);
    }
    cairo_move_to(b.cr, 0, b.h * 0.55);
    for (int x = 0; x <= int(b.w); x += 8)
        cairo_line_to(b.cr, x, b.h * (0.5 + 0.08 * std::sin(x / b.w * 8 * M_PI) + (b.param <= 2 ? 0 : 0.05)));
    cairo_line_to(b.cr, b.w, b.h * 0.2);
    for (int x = int(b.w); x >= 0; x -= 8)
        cairo_line_to(b.cr, x, b.h * (0.25 + 0.06 * std::sin(x / b.w * 12 * M_PI)));
    cairo_close_path(b.cr);
    Draw::shade(b.cr, top, b.param == 3 ? 2 : 0);
    for (int i = 0; i < 40; ++i) {
        double x = rng.range(0, b.w), y = b.h * rng.range(0.22, 0.5);
        Draw::ellipse(b.cr, x, y, rng.range(2, 6), rng.range(2, 4));
        Draw::flat(b.cr, rng.next() < 0.5 ? lighter(top, 0.2) : darker(top, 0.15), 0, 0.8);
    }
}

// ---- effects -------------------------------------------------------------------------------------------

void puff(const Brush& b) {
    // param: 0 smoke, 1 explosion, 2 splash
    Rng rng(b.param * 5 + b.frame);
    double grow = 0.55 + 0.15 * b.frame;
    if (b.param == 2) {
        for (int i = 0; i < 7; ++i) {
            double a = M_PI * (1.1 + 0.8 * i / 6.0), d = b.w * 0.12 * (1 + b.frame);
            Draw::ellipse(b.cr, b.w / 2 + std::cos(a) * d, b.h * 0.8 + std::sin(a) * d, b.w * 0.06, b.w * 0.08);
            Draw::flat(b.cr, 0xD8ECFF, 0, 0.9 - b.frame * 0.15);
        }
        return;
    }
    for (int i = 0; i < 6; ++i) {
        double x = b.w / 2 + rng.range(-0.18, 0.18) * b.w * grow, y = b.h / 2 + rng.range(-0.18, 0.18) * b.h * grow;
        Rgb c = b.param ? mixRgb(0xFFE070, 0xE04010, rng.next()) : mixRgb(0xE8E8E8, 0x9A9A9A, rng.next());
        Draw::glow(b.cr, x, y, b.w * 0.3 * grow, c, 0.9 - b.frame * 0.12);
    }
}

void ring(const Brush& b) {
    cairo_arc(b.cr, b.w / 2, b.h / 2, b.w * 0.4, 0, 2 * M_PI);
    cairo_set_line_width(b.cr, b.w * (b.param ? 0.05 : 0.08));
    Draw::color(b.cr, WHITE, 0.9);
    cairo_stroke(b.cr);
}

void glint(const Brush& b) {
    Draw::glow(b.cr, b.w / 2, b.h / 2, b.w * 0.3, WHITE);
    Draw::star(b.cr, b.w / 2, b.h / 2, b.w * 0.5, b.w * 0.06, 4);
    Draw::flat(b.cr, WHITE, 0, 0.9);
}

void flare(const Brush& b) { Draw::glow(b.cr, b.w / 2, b.h / 2, b.w / 2, WHITE); }

void spark(const Brush& b) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, b.w, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.8, 0.3, 0);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 0.8, 1);
    Draw::roundRect(b.cr, 0, b.h * 0.25, b.w, b.h * 0.5, b.h * 0.25);
    cairo_set_source(b.cr, p);
    cairo_fill(b.cr);
    cairo_pattern_destroy(p);
}

void rainDrop(const Brush& b) {
    cairo_move_to(b.cr, b.w / 2, 1);
    cairo_curve_to(b.cr, b.w, b.h * 0.7, b.w * 0.9, b.h, b.w / 2, b.h - 1);
    cairo_curve_to(b.cr, b.w * 0.1, b.h, 0, b.h * 0.7, b.w / 2, 1);
    Draw::flat(b.cr, 0xA8D0F8, 0, 0.8);
}

void snowFlake(const Brush& b) {
    double turn = b.frame * M_PI / 12;
    for (int i = 0; i < 6; ++i) {
        double a = turn + i * M_PI / 3, r = b.w * 0.42;
        double ex = b.w / 2 + std::cos(a) * r, ey = b.h / 2 + std::sin(a) * r;
        Draw::line(b.cr, b.w / 2, b.h / 2, ex, ey, 2, WHITE);
        for (int s : {-1, 1})
            Draw::line(b.cr, b.w / 2 + std::cos(a) * r * 0.55, b.h / 2 + std::sin(a) * r * 0.55,
                       b.w / 2 + std::cos(a) * r * 0.55 + std::cos(a + s * 0.8) * r * 0.3,
                       b.h / 2 + std::sin(a) * r * 0.55 + std::sin(a + s * 0.8) * r * 0.3, 1.5, WHITE);
    }
    Draw::glow(b.cr, b.w / 2, b.h / 2, b.w * 0.2, WHITE, 0.8);
}

// ---- interface -----------------------------------------------------------------------------------------

// Nine-slice panels. param: 0 menu square, 1 opaque square, 2 edit box, 3 button, 4 speech bubble,
// 5 minimal generic, 6 invisible, 7 progress bar, 8 map parchment, 9 HUD strip.
void panel(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h;
    bool highlight = b.frame == 1;
    switch (b.param) {
    case 0:
    case 1:
        Draw::roundRect(cr, 3, 3, w - 6, h - 6, 26);
        Draw::color(cr, 0x17304F, b.param ? 1.0 : 0.78);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 4);
        Draw::color(cr, 0xD8E8FF, 0.9);
        cairo_stroke(cr);
        Draw::roundRect(cr, 10, 10, w - 20, h - 20, 20);
        cairo_set_line_width(cr, 1.5);
        Draw::color(cr, 0x8FB0D8, 0.5);
        cairo_stroke(cr);
        break;
    case 2:
        Draw::roundRect(cr, 2, 2, w - 4, h - 4, 10);
        Draw::color(cr, highlight ? 0x4D7FC0 : 0x102338, highlight ? 0.55 : 0.7);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, highlight ? 3 : 2);
        Draw::color(cr, highlight ? 0xFFE08A : 0xB8CCE8);
        cairo_stroke(cr);
        break;
    case 3:
        Draw::roundRect(cr, 3, 3, w - 6, h - 6, 16);
        Draw::shade(cr, highlight ? 0xE8A020 : 0xB82A2A, 3);
        Draw::gloss(cr, w / 2, h * 0.28, w * 0.44, h * 0.2, 0.4);
        break;
    case 4: {
        // The tail stays within the bottom border, beside the corner, where the slicing does not stretch.
        double bottom = h - 20;
        Draw::roundRect(cr, 3, 3, w - 6, bottom - 3, 16);
        Draw::color(cr, WHITE, 0.96);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 2.5);
        Draw::color(cr, 0x404850);
        cairo_stroke(cr);
        if (b.frame < 2) {
            double edge = b.frame == 0 ? 0 : w, dir = b.frame == 0 ? 1 : -1;
            double rootA = edge + dir * 12, rootB = edge + dir * 30, tip = edge + dir * 5;
            // The tail covers the body's outline where it joins; only its two sides are drawn.
            Draw::polygon(cr, {rootA, bottom - 2.5, tip, h - 3, rootB, bottom - 2.5});
            Draw::color(cr, WHITE, 0.96);
            cairo_fill(cr);
            cairo_move_to(cr, rootA, bottom);
            cairo_line_to(cr, tip, h - 3);
            cairo_line_to(cr, rootB, bottom);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            Draw::color(cr, 0x404850);
            cairo_stroke(cr);
        }
        break;
    }
    case 5: {
        static const Rgb fills[] = {0x505458, 0x2A2D31, 0x3A3220};
        static const Rgb edges[] = {0x6A6E72, 0x8A9098, 0xFFA020};
        cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
        Draw::color(cr, fills[b.frame], 0.92);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 1);
        Draw::color(cr, edges[b.frame]);
        cairo_stroke(cr);
        break;
    }
    case 6:
        break; // clear frames
    case 7:
        Draw::roundRect(cr, 2, 2, w - 4, h - 4, h / 2 - 2);
        if (b.frame == 0) {
            Draw::color(cr, 0x0A1428, 0.6);
            cairo_fill_preserve(cr);
            cairo_set_line_width(cr, 2.5);
            Draw::color(cr, WHITE);
            cairo_stroke(cr);
        } else {
            cairo_save(cr);
            cairo_clip(cr);
            Draw::verticalGradient(cr, 0, 0, w, h, 0xF05050, 0xA01818);
            for (double x = -h; x < w; x += h)
                Draw::polygon(cr, {x, h, x + h * 0.5, 0, x + h, 0, x + h * 0.5, h});
            Draw::color(cr, WHITE, 0.35);
            cairo_fill(cr);
            cairo_restore(cr);
        }
        break;
    case 8:
        Draw::roundRect(cr, 4, 4, w - 8, h - 8, 14);
        Draw::shade(cr, 0xEADBB0, 3);
        Draw::roundRect(cr, 14, 14, w - 28, h - 28, 8);
        cairo_set_line_width(cr, 1.5);
        Draw::color(cr, 0x9A7A48, 0.7);
        cairo_stroke(cr);
        break;
    case 9:
        Draw::roundRect(cr, 2, 6, w - 4, h - 12, (h - 12) / 2);
        Draw::color(cr, 0x17304F, 0.7);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 3);
        Draw::color(cr, 0xD8E8FF, 0.9);
        cairo_stroke(cr);
        break;
    }
}

// Small pictures on a round badge or alone. param selects the set, the frame the picture.
void symbol(cairo_t* cr, double cx, double cy, double s, int which, Rgb ink, const Typefaces& faces) {
    switch (which) {
    case 0: // pause
        for (int i : {-1, 1}) {
            Draw::roundRect(cr, cx + i * s * 0.2 - s * 0.09, cy - s * 0.3, s * 0.18, s * 0.6, 3);
            Draw::flat(cr, ink);
        }
        break;
    case 1: // question mark
        Draw::text(cr, faces, "?", cx, cy, s * 0.8, true, ink);
        break;
    case 2: // statistics bars
        for (int i = 0; i < 3; ++i) {
            double bh = s * (0.25 + 0.15 * i);
            cairo_rectangle(cr, cx - s * 0.32 + i * s * 0.23, cy + s * 0.3 - bh, s * 0.17, bh);
            Draw::flat(cr, ink);
        }
        break;
    case 3: // folded map
        Draw::polygon(cr, {cx - s * 0.35, cy - s * 0.25, cx - s * 0.12, cy - s * 0.32, cx + s * 0.12, cy - s * 0.25,
                           cx + s * 0.35, cy - s * 0.32, cx + s * 0.35, cy + s * 0.28, cx + s * 0.12, cy + s * 0.35,
                           cx - s * 0.12, cy + s * 0.28, cx - s * 0.35, cy + s * 0.35});
        Draw::flat(cr, ink);
        break;
    case 4:   // arrow left
    case 5:   // arrow up
    case 6: { // arrow right
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, (which - 4) * M_PI / 2);
        Draw::polygon(cr, {-s * 0.36, 0, -s * 0.02, -s * 0.32, -s * 0.02, -s * 0.13, s * 0.34, -s * 0.13, s * 0.34,
                           s * 0.13, -s * 0.02, s * 0.13, -s * 0.02, s * 0.32});
        Draw::flat(cr, ink);
        cairo_restore(cr);
        break;
    }
    case 7: // check mark
        cairo_move_to(cr, cx - s * 0.3, cy);
        cairo_line_to(cr, cx - s * 0.08, cy + s * 0.24);
        cairo_line_to(cr, cx + s * 0.32, cy - s * 0.28);
        cairo_set_line_width(cr, s * 0.14);
        Draw::color(cr, ink);
        cairo_stroke(cr);
        break;
    }
}

void touchButton(const Brush& b) {
    static const int symbols[] = {-1, 0, 1, 2, 3, 4, 5, 6};
    Draw::ellipse(b.cr, b.w / 2, b.h / 2, b.w * 0.45, b.h * 0.45);
    Draw::color(b.cr, WHITE, 0.55);
    cairo_fill_preserve(b.cr);
    cairo_set_line_width(b.cr, 3);
    Draw::color(b.cr, WHITE);
    cairo_stroke(b.cr);
    if (symbols[b.frame] >= 0)
        symbol(b.cr, b.w / 2, b.h / 2, b.w * 0.8, symbols[b.frame], 0x17304F, b.faces);
}

void hudIcons(const Brush& b) {
    if (b.frame == 0)
        panel(Brush{b.cr, b.w, b.h, 0, 9, b.faces});
    else
        drawApple(b.cr, b.w / 2, b.h * 0.56, b.w * 0.36, APPLE);
}

void starShape(cairo_t* cr, double cx, double cy, double r, Rgb c) {
    Draw::star(cr, cx, cy, r, r * 0.45, 5);
    Draw::shade(cr, c, r * 0.08);
    Draw::gloss(cr, cx, cy - r * 0.3, r * 0.35, r * 0.2);
}

void trophyShape(cairo_t* cr, double w, double h, Rgb c) {
    for (int s : {-1, 1}) {
        cairo_arc(cr, w / 2 + s * w * 0.28, h * 0.3, w * 0.12, 0, 2 * M_PI);
        cairo_set_line_width(cr, w * 0.06);
        Draw::color(cr, darker(c, 0.2));
        cairo_stroke(cr);
    }
    cairo_move_to(cr, w * 0.25, h * 0.12);
    cairo_line_to(cr, w * 0.75, h * 0.12);
    cairo_curve_to(cr, w * 0.75, h * 0.5, w * 0.6, h * 0.6, w * 0.5, h * 0.6);
    cairo_curve_to(cr, w * 0.4, h * 0.6, w * 0.25, h * 0.5, w * 0.25, h * 0.12);
    Draw::shade(cr, c, 2);
    cairo_rectangle(cr, w * 0.45, h * 0.6, w * 0.1, h * 0.18);
    Draw::shade(cr, c, 1.5);
    Draw::roundRect(cr, w * 0.28, h * 0.78, w * 0.44, h * 0.14, 3);
    Draw::shade(cr, 0x6E4424, 1.5);
    Draw::gloss(cr, w * 0.42, h * 0.25, w * 0.08, h * 0.1);
}

void award(const Brush& b) {
    // param 0: stars, 1: trophies; frame 0 grey, 1 and 2 gold
    Rgb c = b.frame == 0 ? SILVER : GOLD;
    if (b.param == 0)
        starShape(b.cr, b.w / 2, b.h * 0.53, b.w * 0.46, c);
    else
        trophyShape(b.cr, b.w, b.h, c);
}

void valleyIcon(const Brush& b) {
    cairo_t* cr = b.cr;
    double cx = b.w / 2, cy = b.h / 2, r = b.w * 0.4;
    switch (b.frame) {
    case 0:
        Draw::ellipse(cr, cx, cy, r, r);
        Draw::shade(cr, WOOD, 3);
        drawApple(cr, cx, cy + r * 0.1, r * 0.5, APPLE, false);
        break;
    case 1:
        cairo_arc(cr, cx, cy, r * 1.1, 0, 2 * M_PI);
        cairo_set_line_width(cr, b.w * 0.08);
        Draw::color(cr, GOLD);
        cairo_stroke(cr);
        break;
    case 2: // drawn white, the panel tints it
        drawApple(cr, cx, cy + r * 0.1, r * 0.8, 0xF0F0F0);
        break;
    case 3:
        Draw::polygon(cr, {cx - r * 0.5, cy, cx - r * 0.7, cy + r, cx - r * 0.2, cy + r * 0.7, cx, cy});
        Draw::shade(cr, 0x3B7BE0, 1.5);
        Draw::polygon(cr, {cx + r * 0.5, cy, cx + r * 0.7, cy + r, cx + r * 0.2, cy + r * 0.7, cx, cy});
        Draw::shade(cr, 0x3B7BE0, 1.5);
        Draw::ellipse(cr, cx, cy - r * 0.2, r * 0.6, r * 0.6);
        Draw::shade(cr, GOLD, 2);
        break;
    default:
        starShape(cr, cx, cy, r, GOLD);
    }
}

void valleyDot(const Brush& b) {
    // frame i of n shows i / (n - 1) of the circle filled
    double cx = b.w / 2, cy = b.h / 2, r = b.w * 0.42, part = b.frame / 10.0;
    Draw::ellipse(b.cr, cx, cy, r, r);
    Draw::flat(b.cr, 0x505860, 2);
    if (part > 0) {
        cairo_move_to(b.cr, cx, cy);
        cairo_arc(b.cr, cx, cy, r - 2, -M_PI / 2, -M_PI / 2 + part * 2 * M_PI);
        cairo_close_path(b.cr);
        Draw::shade(b.cr, part >= 1 ? GOLD : 0x5DBB3A, 0);
    }
}

void arrow(const Brush& b) {
    Draw::polygon(b.cr, {b.w * 0.1, b.h * 0.35, b.w * 0.5, b.h * 0.35, b.w * 0.5, b.h * 0.1, b.w * 0.92, b.h * 0.5,
                         b.w * 0.5, b.h * 0.9, b.w * 0.5, b.h * 0.65, b.w * 0.1, b.h * 0.65});
    Draw::shade(b.cr, b.param ? WHITE : GOLD, 3);
}

void dash(const Brush& b) {
    Draw::roundRect(b.cr, b.w * 0.1, b.h * 0.3, b.w * 0.5, b.h * 0.4, b.h * 0.2);
    Draw::flat(b.cr, WHITE, 1.5);
}

void ruler(const Brush& b) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, b.w, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0.9);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0);
    cairo_rectangle(b.cr, 0, b.h * 0.3, b.w, b.h * 0.4);
    cairo_set_source(b.cr, p);
    cairo_fill(b.cr);
    cairo_pattern_destroy(p);
}

void minimapIcon(const Brush& b) {
    cairo_t* cr = b.cr;
    double s = b.w;
    switch (b.frame) {
    case 0: pigShape(cr, s * 0.42, s * 0.5, s * 0.62, PIG, 0, true); break;
    case 1: drawApple(cr, s / 2, s * 0.56, s * 0.36, APPLE); break;
    case 2: basket(b); break;
    case 3: // winged hat
        for (int d : {-1, 1}) {
            Draw::ellipse(cr, s * (0.5 + d * 0.32), s * 0.4, s * 0.18, s * 0.1);
            Draw::flat(cr, WHITE, 1);
        }
        hat(Brush{cr, s, s, 0, 1, b.faces});
        break;
    case 4: // umbrella
        cairo_arc(cr, s / 2, s * 0.5, s * 0.42, M_PI, 2 * M_PI);
        Draw::shade(cr, 0x3B7BE0, 1.5);
        Draw::line(cr, s / 2, s * 0.5, s / 2, s * 0.9, 2, INK);
        break;
    default: drawHouse(cr, 0, 0, s, s, false, true);
    }
}

void editorSymbol(const Brush& b) {
    // param: 0 icon, 1 symbols, 2 arrow, 3 circle, 4 areas
    cairo_t* cr = b.cr;
    switch (b.param) {
    case 0:
        Draw::roundRect(cr, 3, 3, b.w - 6, b.h - 6, 8);
        Draw::shade(cr, 0x5A6A80, 2);
        Draw::text(cr, b.faces, "?", b.w / 2, b.h / 2, b.h * 0.6, true, WHITE);
        break;
    case 1:
        symbol(cr, b.w / 2, b.h / 2, b.w, b.frame + 4, WHITE, b.faces);
        break;
    case 2:
        arrow(Brush{cr, b.w, b.h, 0, 1, b.faces});
        break;
    case 3:
        ring(Brush{cr, b.w, b.h, 0, 1, b.faces});
        break;
    default:
        cairo_rectangle(cr, 1, 1, b.w - 2, b.h - 2);
        Draw::color(cr, WHITE, 0.25);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 2);
        Draw::color(cr, WHITE, 0.8);
        cairo_stroke(cr);
        for (double x = -b.h; x < b.w; x += 12)
            Draw::line(cr, x, b.h, x + b.h, 0, 1, WHITE, 0.4);
    }
}

void mousePointer(const Brush& b) {
    Draw::polygon(b.cr, {2, 2, 2, b.h * 0.8, b.w * 0.25, b.h * 0.62, b.w * 0.42, b.h * 0.95, b.w * 0.55, b.h * 0.88,
                         b.w * 0.4, b.h * 0.57, b.w * 0.7, b.h * 0.55});
    Draw::color(b.cr, WHITE);
    cairo_fill_preserve(b.cr);
    cairo_set_line_width(b.cr, 1.5);
    Draw::color(b.cr, INK);
    cairo_stroke(b.cr);
    if (b.frame == 0) { // the development build marks the hot spot
        Draw::ellipse(b.cr, 3, 3, 2.5, 2.5);
        Draw::flat(b.cr, RED);
    }
}

void flag(const Brush& b) {
    // The fifteen flags in the order en fr de it es ru he el pl ro pt ja ko cs nl.
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h;
    auto stripes = [&](std::initializer_list<Rgb> colours, bool vertical) {
        int n = int(colours.size()), i = 0;
        for (Rgb c : colours) {
            if (vertical)
                cairo_rectangle(cr, w * i / n, 0, w / n + 0.5, h);
            else
                cairo_rectangle(cr, 0, h * i / n, w, h / n + 0.5);
            Draw::flat(cr, c);
            ++i;
        }
    };
    switch (b.frame) {
    case 0: // Union flag
        cairo_rectangle(cr, 0, 0, w, h);
        Draw::flat(cr, 0x012169);
        Draw::line(cr, 0, 0, w, h, h * 0.2, WHITE);
        Draw::line(cr, w, 0, 0, h, h * 0.2, WHITE);
        Draw::line(cr, 0, 0, w, h, h * 0.07, 0xC8102E);
        Draw::line(cr, w, 0, 0, h, h * 0.07, 0xC8102E);
        cairo_rectangle(cr, w * 0.42, 0, w * 0.16, h);
        cairo_rectangle(cr, 0, h * 0.35, w, h * 0.3);
        Draw::flat(cr, WHITE);
        cairo_rectangle(cr, w * 0.455, 0, w * 0.09, h);
        cairo_rectangle(cr, 0, h * 0.4, w, h * 0.2);
        Draw::flat(cr, 0xC8102E);
        break;
    case 1: stripes({0x0055A4, WHITE, 0xEF4135}, true); break;
    case 2: stripes({0x000000, 0xDD0000, 0xFFCE00}, false); break;
    case 3: stripes({0x009246, WHITE, 0xCE2B37}, true); break;
    case 4:
        stripes({0xAA151B, 0xF1BF00, 0xF1BF00, 0xAA151B}, false);
        break;
    case 5: stripes({WHITE, 0x0039A6, 0xD52B1E}, false); break;
    case 6:
        cairo_rectangle(cr, 0, 0, w, h);
        Draw::flat(cr, WHITE);
        cairo_rectangle(cr, 0, h * 0.1, w, h * 0.12);
        cairo_rectangle(cr, 0, h * 0.78, w, h * 0.12);
        Draw::flat(cr, 0x0038B8);
        Draw::polygon(cr, {w / 2, h * 0.3, w * 0.58, h * 0.62, w * 0.42, h * 0.62});
        Draw::polygon(cr, {w / 2, h * 0.7, w * 0.58, h * 0.38, w * 0.42, h * 0.38});
        cairo_set_line_width(cr, 2);
        Draw::color(cr, 0x0038B8);
        cairo_stroke(cr);
        break;
    case 7:
        stripes({0x0D5EAF, WHITE, 0x0D5EAF, WHITE, 0x0D5EAF, WHITE, 0x0D5EAF, WHITE, 0x0D5EAF}, false);
        cairo_rectangle(cr, 0, 0, w * 0.37, h * 5 / 9);
        Draw::flat(cr, 0x0D5EAF);
        cairo_rectangle(cr, w * 0.15, 0, w * 0.07, h * 5 / 9);
        cairo_rectangle(cr, 0, h * 2 / 9, w * 0.37, h / 9);
        Draw::flat(cr, WHITE);
        break;
    case 8: stripes({WHITE, 0xDC143C}, false); break;
    case 9: stripes({0x002B7F, 0xFCD116, 0xCE1126}, true); break;
    case 10:
        cairo_rectangle(cr, 0, 0, w * 0.4, h);
        Draw::flat(cr, 0x006600);
        cairo_rectangle(cr, w * 0.4, 0, w * 0.6, h);
        Draw::flat(cr, 0xFF0000);
        Draw::ellipse(cr, w * 0.4, h / 2, h * 0.2, h * 0.2);
        Draw::flat(cr, 0xFFCC00, 1.5);
        break;
    case 11:
        cairo_rectangle(cr, 0, 0, w, h);
        Draw::flat(cr, WHITE);
        Draw::ellipse(cr, w / 2, h / 2, h * 0.3, h * 0.3);
        Draw::flat(cr, 0xBC002D);
        break;
    case 12:
        cairo_rectangle(cr, 0, 0, w, h);
        Draw::flat(cr, WHITE);
        cairo_arc(cr, w / 2, h / 2, h * 0.25, M_PI, 2 * M_PI);
        Draw::flat(cr, 0xCD2E3A);
        cairo_arc(cr, w / 2, h / 2, h * 0.25, 0, M_PI);
        Draw::flat(cr, 0x0047A0);
        for (int s : {-1, 1})
            for (int t : {-1, 1})
                Draw::line(cr, w / 2 + s * w * 0.3, h / 2 + t * h * 0.25, w / 2 + s * w * 0.38, h / 2 + t * h * 0.33,
                           h * 0.08, INK);
        break;
    case 13:
        stripes({WHITE, 0xD7141A}, false);
        Draw::polygon(cr, {0, 0, w * 0.5, h / 2, 0, h});
        Draw::flat(cr, 0x11457E);
        break;
    default: stripes({0xAE1C28, WHITE, 0x21468B}, false);
    }
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_set_line_width(cr, 1);
    Draw::color(cr, INK, 0.6);
    cairo_stroke(cr);
}

// ---- big pictures ---------------------------------------------------------------------------------------

void nightScene(cairo_t* cr, double w, double h, const Typefaces& faces) {
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
    cairo_rectangle(cr, 0, h * 0.85, w, h * 0.15);
    Draw::flat(cr, SNOW);
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
    drawRoofSnow(cr, w / 2 - w * 0.15, h / 2 - h * 0.12, w * 0.3, h * 0.4);
}

void intro(const Brush& b) { nightScene(b.cr, b.w, b.h, b.faces); }

// The lights of the intro's house, on a sheet centred on the intro picture (1024 x 768).
void introLights(const Brush& b) {
    double iw = 1024, ih = 768;
    drawRoofLights(b.cr, b.w / 2 - iw * 0.15, b.h / 2 - ih * 0.12, iw * 0.3, ih * 0.4, b.frame);
}

void valley(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h;
    skyPicture(cr, w, h, 0);
    // Seasons from left to right: spring, summer, autumn, winter.
    static const Rgb greens[] = {0x7CC24A, 0x5DAA3A, 0xC8902E, 0xEEF3FA};
    for (int layer = 0; layer < 3; ++layer) {
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
        for (int s = 0; s < 4; ++s) {
            Rgb c = mixRgb(greens[s], 0x2A5A3A, layer * 0.12);
            cairo_pattern_add_color_stop_rgb(p, s / 3.0, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                             (c & 0xFF) / 255.0);
        }
        cairo_move_to(cr, 0, h);
        for (int x = 0; x <= int(w); x += 8) {
            double t = x / w * 2 * M_PI;
            cairo_line_to(cr, x, h * (0.35 + layer * 0.15 - 0.08 * std::sin(t * (2 + layer) + layer)));
        }
        cairo_line_to(cr, w, h);
        cairo_close_path(cr);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_move_to(cr, 0, h * 0.8);
    for (int x = 0; x <= int(w); x += 8)
        cairo_line_to(cr, x, h * (0.8 + 0.06 * std::sin(x / w * 6 * M_PI)));
    cairo_set_line_width(cr, h * 0.04);
    Draw::color(cr, WATER, 0.85);
    cairo_stroke(cr);
    Rng rng(5);
    for (int i = 0; i < 40; ++i) {
        double x = rng.range(0, w), y = h * rng.range(0.45, 0.75);
        bool winter = x > w * 0.8;
        cairo_save(cr);
        cairo_translate(cr, x - 20, y - 60);
        treeShape(cr, 40, 70, rng.next() < 0.5 ? TREE_PINE : TREE_ROUND,
                  winter ? 0x3E6E58 : (x > w * 0.55 ? 0xC8702A : 0x3F9A35), winter, false, rng);
        cairo_restore(cr);
    }
    drawHouse(cr, w * 0.02, h * 0.58, 90, 90, false, true);
}

void logoText(const Brush& b) {
    // param 0: the logo; 1: subtitle lines; 2: the company
    static const char* subtitles[] = {"Christmas Edition", "Holiday Edition"};
    if (b.param == 0) {
        Draw::text(b.cr, b.faces, "Tobble", b.w * 0.62, b.h * 0.5, b.h * 0.42, true, PIG, b.h * 0.03, 0x6A1E3A,
                   b.w * 0.68);
        pigShape(b.cr, b.w * 0.13, b.h * 0.58, b.w * 0.15, PIG, 0, true);
        cairo_save(b.cr);
        cairo_translate(b.cr, b.w * 0.15, b.h * 0.3);
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

void tutorial(const Brush& b) {
    // frame 0: the device; frames 1-5: move, jump, carry, buttons, map. param 1: the tablet
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h;
    if (b.frame == 0) {
        Draw::roundRect(cr, 2, 2, w - 4, h - 4, b.param ? 16 : 24);
        Draw::shade(cr, 0x303438, 3);
        cairo_rectangle(cr, w * 0.1, h * 0.1, w * 0.8, h * 0.8);
        Draw::flat(cr, 0x9AC8F0);
        return;
    }
    Draw::verticalGradient(cr, 0, 0, w, h, 0x9AC8F0, 0xDDF0FF);
    cairo_rectangle(cr, 0, h * 0.78, w, h * 0.22);
    Draw::flat(cr, GRASS);
    double px = w * 0.45, py = h * (b.frame == 2 ? 0.45 : 0.64);
    pigShape(cr, px, py, w * 0.2, PIG, 0, true);
    switch (b.frame) {
    case 1:
        symbol(cr, w * 0.15, h * 0.3, w * 0.2, 4, INK, b.faces);
        symbol(cr, w * 0.85, h * 0.3, w * 0.2, 6, INK, b.faces);
        break;
    case 2: symbol(cr, w * 0.8, h * 0.3, w * 0.2, 5, INK, b.faces); break;
    case 3: drawApple(cr, px, py - w * 0.16, w * 0.06, APPLE); break;
    case 4:
        symbol(cr, w * 0.15, h * 0.2, w * 0.18, 0, INK, b.faces);
        symbol(cr, w * 0.85, h * 0.2, w * 0.18, 2, INK, b.faces);
        break;
    default: symbol(cr, w * 0.85, h * 0.25, w * 0.22, 3, INK, b.faces);
    }
}

void minimapPicture(const Brush& b) {
    cairo_rectangle(b.cr, 0, 0, b.w, b.h);
    Draw::flat(b.cr, 0xEADBB0);
    Rng rng(b.param + 70);
    double phase = rng.range(0, 6);
    cairo_move_to(b.cr, 0, b.h);
    for (int x = 0; x <= int(b.w); x += 4)
        cairo_line_to(b.cr, x, b.h * (0.6 - 0.2 * std::sin(x / b.w * (3 + b.param) + phase)));
    cairo_line_to(b.cr, b.w, b.h);
    cairo_close_path(b.cr);
    Draw::flat(b.cr, 0x8A9A5A, 1.5);
    for (int i = 0; i < 4; ++i) {
        cairo_rectangle(b.cr, rng.range(0.1, 0.8) * b.w, rng.range(0.15, 0.4) * b.h, b.w * 0.12, b.h * 0.04);
        Draw::flat(b.cr, 0x9A7A48);
    }
}

// ---- the table ------------------------------------------------------------------------------------------

struct FrameSize {
    short width, height;
};

struct ArtRow {
    const char* name;
    short width, height; // of every frame, unless `sizes` lists each frame's
    unsigned char frames;
    DrawFn draw;
    int param;
    unsigned char blur = 0; // blur radius of the finished picture
    const FrameSize* sizes = nullptr;
};

// Sheets whose frames differ in size.
constexpr FrameSize HUD_SIZES[] = {{320, 48}, {28, 28}, {18, 18}};
constexpr FrameSize PHONE_SIZES[] = {{240, 144}, {192, 115}, {192, 115}, {192, 115}, {192, 115}, {192, 115}};
constexpr FrameSize TABLET_SIZES[] = {{240, 180}, {192, 144}, {192, 144}, {192, 144}, {192, 144}, {192, 144}};

constexpr int WINTER = 0x100, XMAS = 0x200;

const ArtRow ART[] = {
    // loading screen and system
    {"gui-game-progressBar", 512, 32, 2, panel, 7},
    {"mousePointer", 32, 32, 2, mousePointer, 0},
    {"kmstudios", 512, 256, 1, logoText, 2},
    {"languageFlags", 96, 64, 15, flag, 0},
    {"editor_icons", 64, 64, 1, editorSymbol, 0},
    {"editor_symbols", 32, 32, 3, editorSymbol, 1},
    {"editor_arrow", 64, 32, 1, editorSymbol, 2},
    {"editor_circle", 128, 128, 1, editorSymbol, 3},
    {"editor_areas", 64, 64, 1, editorSymbol, 4},
    // interface
    {"gui-invisible", 16, 16, 3, panel, 6},
    {"gui-minimal-generic", 16, 16, 3, panel, 5},
    {"gui-game-editbox", 64, 64, 2, panel, 2},
    {"gui-game-button", 256, 80, 2, panel, 3},
    {"gui-game-square", 128, 128, 1, panel, 0},
    {"gui-game-square-opaque", 128, 128, 1, panel, 1},
    {"gui-game-speechBubble", 128, 96, 3, panel, 4},
    {"gui-game-hud", 0, 0, 3, hudIcons, 0, 0, HUD_SIZES},
    {"logo", 512, 256, 1, logoText, 0},
    {"logoSubtitle", 512, 64, 2, logoText, 1},
    {"intro", 1024, 768, 1, intro, 0, 0},
    {"intro-blurred", 1024, 768, 1, intro, 0, 6},
    {"intro-xmaslights", 512, 256, 2, introLights, 0},
    {"valley", 1600, 600, 1, valley, 0, 0},
    {"valleyDot", 32, 32, 11, valleyDot, 0},
    {"valleyIcons", 64, 64, 5, valleyIcon, 0},
    {"valleyArrow", 64, 64, 1, arrow, 0},
    {"valleyDashedLine", 32, 16, 1, dash, 0},
    {"statsStar", 64, 64, 3, award, 0},
    {"statsTrophy", 64, 64, 3, award, 1},
    {"horizontalRuler", 256, 8, 1, ruler, 0},
    {"minimapBackground", 256, 192, 1, panel, 8},
    {"minimapIcons", 24, 24, 6, minimapIcon, 0},
    {"hud-touchscreen", 96, 96, 8, touchButton, 0},
    {"tutorial-iPhone", 0, 0, 6, tutorial, 0, 0, PHONE_SIZES},
    {"tutorial-iPad", 0, 0, 6, tutorial, 1, 0, TABLET_SIZES},
    // effects
    {"smoke", 64, 64, 4, puff, 0},
    {"explosion", 128, 128, 4, puff, 1},
    {"splash", 64, 64, 4, puff, 2},
    {"splashCircular", 64, 64, 1, ring, 0},
    {"glint", 32, 32, 1, glint, 0},
    {"flareBig", 128, 128, 1, flare, 0},
    {"spark", 32, 8, 1, spark, 0},
    {"rainDrop", 8, 24, 1, rainDrop, 0},
    {"snowFlake", 32, 32, 4, snowFlake, 0},
    // characters
    {"pig-body", 128, 96, 4, pigBody, 0},
    {"pig-tail", 32, 32, 1, pigTail, 0},
    {"pig-mouth", 32, 24, 3, pigMouth, 0},
    {"pig-eyes", 48, 24, 4, pigEyes, 0},
    {"pig-blink", 48, 24, 2, pigBlink, 0},
    {"piglets", 80, 64, 4, piglets, 0},
    {"chefHat", 64, 64, 1, hat, 0},
    {"santaHat", 64, 64, 1, hat, 1},
    {"fishA", 96, 48, 2, fish, 0},
    {"rabbit", 96, 96, 2, rabbit, 0},
    {"bee", 48, 48, 2, insect, 0},
    {"butterfly", 48, 48, 2, insect, 1},
    {"worm", 64, 32, 2, worm, 0},
    {"snail", 96, 64, 2, snail, 0},
    {"frog", 96, 80, 3, frog, 0},
    {"santaSleigh", 256, 128, 1, sleigh, 0},
    // things
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
    {"springboard", 128, 64, 2, springboard, 0},
    // landscape
    {"sky-spring", 512, 512, 1, sky, 0, 0},
    {"sky-winter", 512, 512, 1, sky, 3, 0},
    // A: the far hills, pale with distance; B: the near hills in front of them.
    {"hillsA-spring", 1024, 256, 1, hills, 2},
    {"hillsB-spring", 1024, 256, 1, hills, 0},
    {"hillsA-winter", 1024, 256, 1, hills, 3},
    {"hillsB-winter", 1024, 256, 1, hills, 1},
    {"clouds", 256, 128, 3, clouds, 0},
    {"trees-rigid", 128, 192, 3, tree, 0},
    {"trees-rigid-winter", 128, 192, 3, tree, WINTER | 1},
    {"trees-bendable-01", 128, 256, 1, tree, 0},
    {"trees-bendable-02", 128, 256, 1, tree, 1},
    {"trees-bendable-03", 128, 256, 1, tree, 2},
    {"trees-bendable-04", 128, 256, 1, tree, 3},
    {"trees-bendable-05", 128, 256, 1, tree, 4},
    {"trees-bendable-07", 128, 256, 1, tree, 5},
    {"trees-bendable-09", 128, 256, 1, tree, 6},
    {"trees-bendable-10", 128, 256, 1, tree, 7},
    {"trees-bendable-01-xmas", 128, 256, 1, tree, XMAS | WINTER | 1},
    {"trees-bendable-04-xmas", 128, 256, 1, tree, XMAS | 3},
    {"trees-bendable-05-xmas", 128, 256, 1, tree, XMAS | WINTER | 5},
    {"flowers1", 32, 64, 3, flower, 0},
    {"flowers2", 32, 64, 3, flower, 1},
    {"flowers-cattail", 32, 128, 1, flower, 2},
    {"stones", 64, 48, 3, rocks, 0},
    {"rockPebbles", 32, 24, 3, rocks, 1},
    {"rocksA", 128, 96, 3, rocks, 2},
    {"rocksA-xmas", 128, 96, 3, rocks, 3},
    {"pumpkin", 64, 64, 1, pumpkin, 0},
    {"shrubs", 128, 96, 3, shrub, 0},
    {"shrubs-cec", 128, 96, 3, shrub, 1},
    {"cactus", 96, 192, 1, cactus, 0},
    {"deco-grass", 64, 32, 1, grassTuft, 0},
    {"deco-grass-tall", 64, 64, 1, grassTuft, 1},
    {"details1", 32, 32, 4, grassTuft, 2},
    {"terrain-grassy", 512, 64, 1, terrainStrip, 0},
    {"terrain-leafy", 512, 64, 1, terrainStrip, 1},
    {"terrain-snowy", 512, 64, 1, terrainStrip, 2},
    {"terrain-deco-roots", 256, 64, 1, terrainStrip, 3},
    {"terrain-deco-moss", 256, 64, 1, terrainStrip, 4},
    {"ground-dirt", 128, 128, 1, groundTile, 0, 0},
    {"ground-grass", 128, 128, 1, groundTile, 1, 0},
    {"ground-gravel", 128, 128, 1, groundTile, 2, 0},
    {"ground-leaves", 128, 128, 1, groundTile, 3, 0},
    {"ground-snow", 128, 128, 1, groundTile, 4, 0},
    {"water", 128, 128, 1, groundTile, 5, 0},
    {"water-shallow", 128, 128, 1, groundTile, 6, 0},
    // minimap images of the level archive
    {"minimap00", 256, 128, 1, minimapPicture, 0, 0},
    {"minimap01", 256, 128, 1, minimapPicture, 1, 0},
    {"minimap02", 256, 128, 1, minimapPicture, 2, 0},
    {"minimap04", 256, 128, 1, minimapPicture, 4, 0},
    {"minimap05", 256, 128, 1, minimapPicture, 5, 0},
    {"minimap06", 256, 128, 1, minimapPicture, 6, 0},
};

const ArtRow* findRow(const std::string& name) {
    for (const ArtRow& row : ART)
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

std::vector<Picture> drawSymbolGlyphs(bool editor, int height, const Typefaces& faces) {
    double s = height;
    std::vector<Picture> glyphs;
    int count = editor ? 3 : 15;
    for (int code = 0; code < count; ++code) {
        int kind = editor ? 100 + code : code;
        bool key = kind >= 3 && kind <= 6;
        bool blank = kind == 0 || kind == 11 || kind == 12;
        double w = blank ? std::max(2.0, s / 3) : (key ? s + 2 : s);
        Canvas canvas(int(w), height);
        cairo_t* cr = canvas.context();
        double cx = w / 2, cy = s / 2, line = std::max(1.0, s / 9);
        cairo_set_line_width(cr, line);
        Draw::color(cr, WHITE);
        switch (kind) {
        case 1: symbol(cr, cx, cy, s, 7, WHITE, faces); break;
        case 2: Draw::polygon(cr, {cx - s * 0.2, cy - s * 0.3, cx + s * 0.3, cy, cx - s * 0.2, cy + s * 0.3}); cairo_fill(cr); break;
        case 3: case 4: case 5: case 6: {
            static const int arrows[] = {4, 6, 5, 7};
            Draw::roundRect(cr, line / 2 + 0.5, line / 2 + 0.5, w - line - 1, s - line - 1, s * 0.2);
            cairo_stroke(cr);
            if (kind == 6) { // down: the up arrow turned over
                cairo_save(cr);
                cairo_translate(cr, cx, cy);
                cairo_rotate(cr, M_PI);
                symbol(cr, 0, 0, s * 0.8, 5, WHITE, faces);
                cairo_restore(cr);
            } else {
                symbol(cr, cx, cy, s * 0.8, arrows[kind - 3], WHITE, faces);
            }
            break;
        }
        case 7: symbol(cr, cx, cy, s, 4, WHITE, faces); break;
        case 8: symbol(cr, cx, cy, s, 6, WHITE, faces); break;
        case 9: // back: a hooked arrow
            cairo_arc_negative(cr, cx, cy + s * 0.05, s * 0.28, 0, -M_PI * 0.9);
            cairo_stroke(cr);
            Draw::polygon(cr, {cx - s * 0.45, cy - s * 0.05, cx - s * 0.1, cy - s * 0.05, cx - s * 0.28, cy + s * 0.25});
            cairo_fill(cr);
            break;
        case 10: // next: a double chevron
            for (double dx : {-0.18, 0.12}) {
                cairo_move_to(cr, cx + (dx - 0.12) * s, cy - s * 0.28);
                cairo_line_to(cr, cx + (dx + 0.12) * s, cy);
                cairo_line_to(cr, cx + (dx - 0.12) * s, cy + s * 0.28);
            }
            cairo_stroke(cr);
            break;
        case 13: case 14:
            cairo_rectangle(cr, s * 0.15, s * 0.15, s * 0.7, s * 0.7);
            cairo_stroke(cr);
            if (kind == 14)
                symbol(cr, cx, cy, s * 0.8, 7, WHITE, faces);
            break;
        case 100: Draw::polygon(cr, {cx - s * 0.3, cy - s * 0.15, cx + s * 0.3, cy - s * 0.15, cx, cy + s * 0.25}); cairo_fill(cr); break;
        case 101: Draw::polygon(cr, {cx, cy - s * 0.35, cx + s * 0.3, cy, cx, cy + s * 0.35, cx - s * 0.3, cy}); cairo_fill(cr); break;
        case 102: Draw::polygon(cr, {cx + s * 0.1, cy - s * 0.45, cx - s * 0.25, cy + s * 0.05, cx, cy + s * 0.05, cx - s * 0.1, cy + s * 0.45, cx + s * 0.25, cy - s * 0.05, cx, cy - s * 0.05}); cairo_fill(cr); break;
        default: break; // blank
        }
        glyphs.push_back(canvas.picture());
    }
    return glyphs;
}
