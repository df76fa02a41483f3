// The pig, the piglets, the creatures, the hats and the sleigh.
#include "tools/databuilder/ArtKit.h"

#include <array>
#include <cmath>
#include <vector>

namespace ArtKit {

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

static void pigBody(const Brush& b) { pigShape(b.cr, b.w * 0.44, b.h * 0.5, b.w * 0.62, PIG, b.frame, false); }

static void pigTail(const Brush& b) {
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

static void pigMouth(const Brush& b) {
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

static void pigEyes(const Brush& b) {
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

static void pigBlink(const Brush& b) {
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

static void piglets(const Brush& b) {
    static const Rgb tints[] = {0xF9B8C8, 0xE9A98A, 0xF3C2CF, 0xD99A9A};
    pigShape(b.cr, b.w * 0.42, b.h * 0.52, b.w * 0.62, tints[b.frame % 4], b.frame, true);
    if (b.frame == 2)
        for (int i = 0; i < 3; ++i) {
            Draw::ellipse(b.cr, b.w * (0.3 + i * 0.12), b.h * (0.45 + (i % 2) * 0.1), b.w * 0.05, b.h * 0.04);
            Draw::flat(b.cr, 0x8C5A4A, 0, 0.7);
        }
}

static void fish(const Brush& b) {
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

static void rabbit(const Brush& b) {
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

static void insect(const Brush& b) {
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

static void worm(const Brush& b) {
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

static void snail(const Brush& b) {
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

static void frog(const Brush& b) {
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

static void sleigh(const Brush& b) {
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

std::span<const ArtRow> characterArt() {
    static const ArtRow rows[] = {
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
    };
    return rows;
}

} // namespace ArtKit
