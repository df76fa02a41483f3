// The pig, the piglets, the creatures, the hats and the sleigh.
#include "tools/databuilder/ArtKit.h"

#include <array>
#include <cmath>
#include <algorithm>
#include <vector>

namespace ArtKit {

// ---- the pig ----------------------------------------------------------------------------------------------
//
// The pig is seen from the side, facing right, in a box of 128 x 96 units. Its body, eye, blink, mouth and
// tail sheets all use that box as their frame, so the parts are drawn one over another at the same place:
// body, tail, eye (or blink), mouth.

namespace {

constexpr double BOX_W = 128, BOX_H = 96;
constexpr double EYE_X = 99, EYE_Y = 35, EYE_RX = 6.5, EYE_RY = 7.5;

// One leg hanging from its hip, swung by `angle` radians (positive: forward) and drawn `length` long.
void pigLeg(cairo_t* cr, double hipX, double hipY, double angle, double length, Rgb tint) {
    cairo_save(cr);
    cairo_translate(cr, hipX, hipY);
    cairo_rotate(cr, -angle);
    Draw::roundRect(cr, -5.5, -6, 11, length + 6, 5);
    Draw::shade(cr, tint, 1.6);
    Draw::roundRect(cr, -5.5, length - 5, 11, 6, 2.5);
    Draw::flat(cr, darker(tint, 0.45), 0);
    cairo_restore(cr);
}

// The legs, far pair first. Diagonal pairs swing together, like a trot; the leg that swings forward is
// lifted, so the walk reads at a glance. `phase` counts quarter steps.
void pigLegs(cairo_t* cr, Rgb tint, int phase) {
    struct Leg {
        double hipX, offset;
        bool far;
    };
    static const Leg legs[] = {{84, M_PI, true}, {38, 0, true}, {76, 0, false}, {30, M_PI, false}};
    for (const Leg& leg : legs) {
        double a = phase * M_PI / 2 + leg.offset;
        double angle = 0.42 * std::sin(a), lift = std::max(0.0, std::cos(a)) * 5;
        pigLeg(cr, leg.hipX, 68, angle, 19 - lift, leg.far ? darker(tint, 0.2) : tint);
    }
}

void pigTorso(cairo_t* cr, Rgb tint) {
    // The far ear, behind the head.
    Draw::polygon(cr, {84, 26, 90, 6, 100, 22});
    Draw::shade(cr, darker(tint, 0.18), 1.6);
    // Body and head in one outline: a round rump, a deep chest and the head raised at the front.
    cairo_move_to(cr, 20, 46);
    cairo_curve_to(cr, 20, 24, 40, 20, 60, 21);
    cairo_curve_to(cr, 74, 21, 80, 16, 92, 16);
    cairo_curve_to(cr, 108, 16, 117, 28, 117, 42);
    cairo_curve_to(cr, 117, 56, 107, 63, 95, 64);
    cairo_curve_to(cr, 82, 75, 50, 77, 36, 73);
    cairo_curve_to(cr, 24, 69, 20, 58, 20, 46);
    cairo_close_path(cr);
    Draw::shade(cr, tint, 2);
    Draw::gloss(cr, 54, 30, 26, 6, 0.35);
    // Belly shading and the cheek.
    Draw::ellipse(cr, 56, 66, 26, 5);
    Draw::flat(cr, darker(tint, 0.12), 0, 0.5);
    Draw::ellipse(cr, 104, 48, 6, 4);
    Draw::flat(cr, 0xF0708A, 0, 0.45);
    // The snout: a flat disc at the tip of the head with one nostril in view.
    Draw::ellipse(cr, 117, 42, 7, 10);
    Draw::shade(cr, lighter(tint, 0.15), 1.6);
    Draw::ellipse(cr, 119, 40, 2, 3.2);
    Draw::flat(cr, darker(tint, 0.6));
    // The near ear, folding forward over the brow.
    cairo_move_to(cr, 86, 22);
    cairo_curve_to(cr, 88, 8, 96, 4, 104, 10);
    cairo_curve_to(cr, 104, 18, 100, 24, 94, 28);
    cairo_close_path(cr);
    Draw::shade(cr, darker(tint, 0.06), 1.6);
    cairo_move_to(cr, 91, 19);
    cairo_curve_to(cr, 93, 12, 97, 10, 100, 12);
    cairo_set_line_width(cr, 1.5);
    Draw::color(cr, 0xF0708A, 0.6);
    cairo_stroke(cr);
}

void pigEye(cairo_t* cr, int look) {
    static const double offsets[][2] = {{0, 0}, {2.2, 0}, {-2.2, 0}, {0, -2.6}};
    const double* o = offsets[look % 4];
    Draw::ellipse(cr, EYE_X, EYE_Y, EYE_RX, EYE_RY);
    Draw::flat(cr, WHITE, 1.4);
    Draw::ellipse(cr, EYE_X + 1 + o[0], EYE_Y + 0.5 + o[1], 3.4, 4.4);
    Draw::flat(cr, INK);
    Draw::ellipse(cr, EYE_X + 2.2 + o[0], EYE_Y - 1.2 + o[1], 1.2, 1.2);
    Draw::flat(cr, WHITE);
}

// The lid over the eye: 1 half closed, 2 shut. Its colour is the body's shading at the eye's height.
void pigLid(cairo_t* cr, Rgb body, int lid) {
    Rgb tint = lighter(body, 0.17);
    if (lid >= 2) {
        Draw::ellipse(cr, EYE_X, EYE_Y, EYE_RX + 1, EYE_RY + 1);
        Draw::flat(cr, tint);
        cairo_arc(cr, EYE_X, EYE_Y - 2, EYE_RX, M_PI * 0.15, M_PI * 0.85);
    } else {
        cairo_save(cr);
        cairo_rectangle(cr, EYE_X - 10, EYE_Y - 10, 20, 10);
        cairo_clip(cr);
        Draw::ellipse(cr, EYE_X, EYE_Y, EYE_RX + 1, EYE_RY + 1);
        Draw::flat(cr, tint);
        cairo_restore(cr);
        cairo_move_to(cr, EYE_X - EYE_RX, EYE_Y);
        cairo_line_to(cr, EYE_X + EYE_RX, EYE_Y);
    }
    cairo_set_line_width(cr, 1.6);
    Draw::color(cr, darker(body, 0.6));
    cairo_stroke(cr);
}

// 0 a closed smile, 1 wide open (eating), 2 half open.
void pigMouthShape(cairo_t* cr, Rgb tint, int mouth) {
    if (mouth == 0) {
        cairo_move_to(cr, 102, 53);
        cairo_curve_to(cr, 106, 58, 111, 58, 114, 53);
        cairo_set_line_width(cr, 2);
        Draw::color(cr, darker(tint, 0.6));
        cairo_stroke(cr);
        return;
    }
    double open = mouth == 1 ? 5 : 3;
    cairo_move_to(cr, 101, 52);
    cairo_curve_to(cr, 104, 52 + open * 1.6, 113, 52 + open * 1.6, 115, 52);
    cairo_close_path(cr);
    Draw::flat(cr, 0x6A1E2A, 1.4);
    Draw::ellipse(cr, 108, 52 + open * 0.8, 4, open * 0.35);
    Draw::flat(cr, 0xE8707E);
}

void pigTailShape(cairo_t* cr, Rgb tint) {
    cairo_move_to(cr, 26, 36);
    cairo_curve_to(cr, 16, 38, 9, 31, 13, 26);
    cairo_curve_to(cr, 17, 21, 23, 27, 17, 31);
    cairo_curve_to(cr, 13, 34, 7, 35, 5, 41);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 5);
    Draw::color(cr, darker(tint, 0.4));
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 3);
    Draw::color(cr, tint);
    cairo_stroke(cr);
}

// A brush's frame scaled to the pig's box.
void intoBox(const Brush& b) { cairo_scale(b.cr, b.w / BOX_W, b.h / BOX_H); }

} // namespace

void drawPig(cairo_t* cr, Rgb tint, int parts, const PigPose& pose) {
    if (parts & PIG_TAIL)
        pigTailShape(cr, tint);
    if (parts & PIG_BODY) {
        pigLegs(cr, tint, pose.legPhase);
        pigTorso(cr, tint);
    }
    if (parts & PIG_EYE)
        pigEye(cr, pose.look);
    if (pose.lid > 0)
        pigLid(cr, tint, pose.lid);
    if (parts & PIG_MOUTH)
        pigMouthShape(cr, tint, pose.mouth);
}

void pigShape(cairo_t* cr, double cx, double cy, double s, Rgb tint, int legPhase, bool face) {
    double k = s / (0.62 * BOX_W);
    cairo_save(cr);
    cairo_translate(cr, cx - BOX_W / 2 * k, cy - BOX_H / 2 * k);
    cairo_scale(cr, k, k);
    drawPig(cr, tint, face ? PIG_ALL : PIG_BODY | PIG_TAIL, PigPose{legPhase, 0, 0, 0});
    cairo_restore(cr);
}

static void pigBody(const Brush& b) {
    intoBox(b);
    drawPig(b.cr, PIG, PIG_BODY, PigPose{b.frame, 0, 0, 0});
}

static void pigTail(const Brush& b) {
    intoBox(b);
    drawPig(b.cr, PIG, PIG_TAIL, PigPose{});
}

static void pigMouth(const Brush& b) {
    intoBox(b);
    drawPig(b.cr, PIG, PIG_MOUTH, PigPose{0, 0, b.frame, 0});
}

static void pigEyes(const Brush& b) {
    intoBox(b);
    drawPig(b.cr, PIG, PIG_EYE, PigPose{0, b.frame, 0, 0});
}

static void pigBlink(const Brush& b) {
    intoBox(b);
    drawPig(b.cr, PIG, 0, PigPose{0, 0, 0, b.frame + 1});
}

// The three piglets in their own colours (frame 3: a spare, spotted one), standing, in the pig's box; then
// the four walk frames of each of the four, in the same order.
static void piglets(const Brush& b) {
    static const Rgb tints[] = {0xF9B8C8, 0xE9A98A, 0xF3C2CF, 0xD99A9A};
    intoBox(b);
    const int which = b.frame < 4 ? b.frame : (b.frame - 4) / 4;
    const int legPhase = b.frame < 4 ? 0 : (b.frame - 4) % 4;
    Rgb tint = tints[which];
    drawPig(b.cr, tint, PIG_ALL, PigPose{legPhase, 0, 0, 0});
    if (which == 3)
        for (int i = 0; i < 4; ++i) {
            Draw::ellipse(b.cr, 40 + i * 14, 36 + (i % 2) * 12, 6, 4.5);
            Draw::flat(b.cr, 0x8C5A4A, 0, 0.6);
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
        {"pig-tail", 128, 96, 1, pigTail, 0},
        {"pig-mouth", 128, 96, 3, pigMouth, 0},
        {"pig-eyes", 128, 96, 4, pigEyes, 0},
        {"pig-blink", 128, 96, 2, pigBlink, 0},
        {"piglets", 80, 60, 20, piglets, 0},
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
