// Panels, symbols, HUD icons, awards, world-map icons, flags, editor marks and tutorials.
#include "tools/databuilder/ArtKit.h"
#include "tools/databuilder/Art.h"

#include <array>
#include <cmath>
#include <vector>

namespace ArtKit {

// Nine-slice panels. param: 0 menu square, 1 opaque square, 2 edit box, 3 button, 4 speech bubble,
// 5 minimal generic, 6 invisible, 7 progress bar, 8 map parchment, 9 HUD strip.
static void panel(const Brush& b) {
    cairo_t* cr = b.cr;
    double w = b.w, h = b.h;
    bool highlight = b.frame == 1;
    switch (b.param) {
    case 0:
    case 1:
        // Frosted panels: the menus print their texts in dark colours on them.
        Draw::roundRect(cr, 3, 3, w - 6, h - 6, 26);
        Draw::color(cr, 0xEAF2FB, b.param ? 1.0 : 0.86);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 4);
        Draw::color(cr, 0x4A6E98, 0.95);
        cairo_stroke(cr);
        Draw::roundRect(cr, 10, 10, w - 20, h - 20, 20);
        cairo_set_line_width(cr, 1.5);
        Draw::color(cr, 0x8FB0D8, 0.8);
        cairo_stroke(cr);
        break;
    case 2:
        // Light fields with dark captions; the highlight frame is a warm glow laid over them. The field
        // leaves a clear strip above and below: the pages stack their items closer than the frame is high,
        // and a narrow item (a toggle) shows a square box.
        Draw::roundRect(cr, 2, 9, w - 4, h - 18, 8);
        Draw::color(cr, highlight ? 0xFFD27A : 0xF6FAFE, highlight ? 0.5 : 0.9);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, highlight ? 3 : 2);
        Draw::color(cr, highlight ? 0xE8A020 : 0x5A7FA8);
        cairo_stroke(cr);
        break;
    case 3:
        // Light enough for the captions, half black and, on the highlighted button, red.
        Draw::roundRect(cr, 3, 3, w - 6, h - 6, 16);
        Draw::shade(cr, highlight ? 0xFFE38A : 0xE8705F, 3);
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
            // Frame 1 (a bubble up and to the right of its speaker) points down to the left; frame 0 the
            // other way.
            double edge = b.frame == 1 ? 0 : w, dir = b.frame == 1 ? 1 : -1;
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
        // A frosted tab hanging from the top edge of the screen, which cuts the picture in half: only the
        // lower half shows, so the tab reaches from above the picture down to its bottom, with rounded
        // lower corners. The HUD prints its score in half-black on it and lays the apple icons over it.
        Draw::roundRect(cr, 3, -h / 2, w - 6, h - 3 + h / 2, 16);
        Draw::color(cr, 0xEAF2FB, 0.9);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 3);
        Draw::color(cr, 0x4A6E98, 0.95);
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

// Frames 1 to 4 are the pause, help, statistics and map buttons, which the HUD sets in a row 70 pixels
// apart and 35 from the screen's top edge: their discs stay within that, apart and whole on the screen.
// The movement arrows and the jump button (frames 5 to 7) are as large as their reach.
static void touchButton(const Brush& b) {
    static const int symbols[] = {-1, 0, 1, 2, 3, 4, 5, 6};
    const double r = b.frame >= 1 && b.frame <= 4 ? 0.33 : 0.45;
    Draw::ellipse(b.cr, b.w / 2, b.h / 2, b.w * r, b.h * r);
    Draw::color(b.cr, WHITE, 0.55);
    cairo_fill_preserve(b.cr);
    cairo_set_line_width(b.cr, 3);
    Draw::color(b.cr, WHITE);
    cairo_stroke(b.cr);
    if (symbols[b.frame] >= 0)
        symbol(b.cr, b.w / 2, b.h / 2, b.w * 0.8 * r / 0.45, symbols[b.frame], 0x17304F, b.faces);
}

static void hudIcons(const Brush& b) {
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

static void trophyShape(cairo_t* cr, double w, double h, Rgb c) {
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

static void award(const Brush& b) {
    // param 0: stars, 1: trophies; frame 0 grey, 1 and 2 gold
    Rgb c = b.frame == 0 ? SILVER : GOLD;
    if (b.param == 0)
        starShape(b.cr, b.w / 2, b.h * 0.53, b.w * 0.46, c);
    else
        trophyShape(b.cr, b.w, b.h, c);
}

// Frames 0 and 1 are the level icon and the ring of the selected one, frame 4 the badge of a level at full
// points; frames 2 and 3 are the badges of the world map's level panel, drawn to fill their small frames.
static void valleyIcon(const Brush& b) {
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
        drawApple(cr, cx, b.h * 0.53, b.h * 0.43, 0xF0F0F0);
        break;
    case 3:
        r = b.h * 0.5;
        cy = b.h * 0.45;
        Draw::polygon(cr, {cx - r * 0.5, cy, cx - r * 0.7, cy + r, cx - r * 0.2, cy + r * 0.7, cx, cy});
        Draw::shade(cr, 0x3B7BE0, 0.75);
        Draw::polygon(cr, {cx + r * 0.5, cy, cx + r * 0.7, cy + r, cx + r * 0.2, cy + r * 0.7, cx, cy});
        Draw::shade(cr, 0x3B7BE0, 0.75);
        Draw::ellipse(cr, cx, cy - r * 0.2, r * 0.6, r * 0.6);
        Draw::shade(cr, GOLD, 1);
        break;
    default:
        starShape(cr, cx, cy, r, GOLD);
    }
}

static void valleyDot(const Brush& b) {
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

static void arrow(const Brush& b) {
    Draw::polygon(b.cr, {b.w * 0.1, b.h * 0.35, b.w * 0.5, b.h * 0.35, b.w * 0.5, b.h * 0.1, b.w * 0.92, b.h * 0.5,
                         b.w * 0.5, b.h * 0.9, b.w * 0.5, b.h * 0.65, b.w * 0.1, b.h * 0.65});
    Draw::shade(b.cr, b.param ? WHITE : GOLD, 3);
}

static void dash(const Brush& b) {
    Draw::roundRect(b.cr, b.w * 0.1, b.h * 0.3, b.w * 0.5, b.h * 0.4, b.h * 0.2);
    Draw::flat(b.cr, WHITE, 1.5);
}

static void ruler(const Brush& b) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, b.w, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 1, 1, 0.9);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0);
    cairo_rectangle(b.cr, 0, b.h * 0.3, b.w, b.h * 0.4);
    cairo_set_source(b.cr, p);
    cairo_fill(b.cr);
    cairo_pattern_destroy(p);
}

static void minimapIcon(const Brush& b) {
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

static void editorSymbol(const Brush& b) {
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

static void mousePointer(const Brush& b) {
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

static void flag(const Brush& b) {
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

static void tutorial(const Brush& b) {
    // frame 0: the device; frames 1-5: walk, jump up, jump while walking, tap to use, apples home.
    // param 1: the tablet
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
    const bool airborne = b.frame == 2 || b.frame == 3;
    double px = w * (b.frame == 5 ? 0.3 : 0.45), py = h * (airborne ? 0.45 : 0.64);
    if (b.frame == 5)
        drawHouse(cr, w * 0.58, h * 0.3, w * 0.34, h * 0.5, true, false);
    pigShape(cr, px, py, w * 0.2, PIG, 0, true);
    switch (b.frame) {
    case 1:
        symbol(cr, w * 0.15, h * 0.3, w * 0.2, 4, INK, b.faces);
        symbol(cr, w * 0.85, h * 0.3, w * 0.2, 6, INK, b.faces);
        break;
    case 2: symbol(cr, w * 0.8, h * 0.3, w * 0.2, 5, INK, b.faces); break;
    case 3:
        symbol(cr, w * 0.8, h * 0.25, w * 0.18, 5, INK, b.faces);
        symbol(cr, w * 0.8, h * 0.55, w * 0.18, 6, INK, b.faces);
        break;
    case 4: {
        const double ax = w * 0.72, ay = h * 0.72;
        drawApple(cr, ax, ay, w * 0.05, APPLE);
        for (double r : {0.09, 0.13}) { // the ripples of a tap
            cairo_new_path(cr);
            cairo_arc(cr, ax, ay, w * r, 0, 2 * M_PI);
            cairo_set_line_width(cr, 2);
            Draw::color(cr, INK, r < 0.1 ? 0.8 : 0.4);
            cairo_stroke(cr);
        }
        break;
    }
    default:
        for (int i = 0; i < 3; ++i)
            drawApple(cr, px + w * (0.12 + 0.07 * i), h * 0.74, w * 0.035, APPLE);
    }
}

// Sheets whose frames differ in size.
// The HUD's bar stands centred 70 pixels left of the screen edge plus one apple step per apple; it is wide
// enough to reach past the last apple and off the left edge for every apple count up to 15.
constexpr FrameSize HUD_SIZES[] = {{400, 80}, {28, 28}, {18, 18}};
// The results table shrinks a badge from its big frame (a quarter of its size, a third on the total line)
// and then shows the small frame unscaled, so the small frames are drawn at those sizes.
constexpr FrameSize AWARD_SIZES[] = {{128, 128}, {45, 45}, {32, 32}};
// The level panel lists its rows 17 pixels apart (the small font's line height); its badges stand beside
// the rows, one each, and must not reach into the next.
constexpr FrameSize VALLEY_ICON_SIZES[] = {{64, 64}, {64, 64}, {16, 16}, {16, 16}, {64, 64}};
constexpr FrameSize PHONE_SIZES[] = {{240, 144}, {192, 115}, {192, 115}, {192, 115}, {192, 115}, {192, 115}};
constexpr FrameSize TABLET_SIZES[] = {{240, 180}, {192, 144}, {192, 144}, {192, 144}, {192, 144}, {192, 144}};

std::span<const ArtRow> interfaceArt() {
    static const ArtRow rows[] = {
        {"gui-game-progressBar", 512, 32, 2, panel, 7},
        {"mousePointer", 32, 32, 2, mousePointer, 0},
        {"languageFlags", 96, 64, 15, flag, 0},
        {"editor_icons", 64, 64, 1, editorSymbol, 0},
        {"editor_symbols", 32, 32, 3, editorSymbol, 1},
        {"editor_arrow", 64, 32, 1, editorSymbol, 2},
        {"editor_circle", 128, 128, 1, editorSymbol, 3},
        {"editor_areas", 64, 64, 1, editorSymbol, 4},
        {"gui-invisible", 16, 16, 3, panel, 6},
        {"gui-minimal-generic", 16, 16, 3, panel, 5},
        {"gui-game-editbox", 64, 64, 2, panel, 2},
        {"gui-game-button", 256, 48, 2, panel, 3},
        {"gui-game-square", 128, 128, 1, panel, 0},
        {"gui-game-square-opaque", 128, 128, 1, panel, 1},
        {"gui-game-speechBubble", 128, 96, 3, panel, 4},
        {"gui-game-hud", 0, 0, 3, hudIcons, 0, 0, HUD_SIZES},
        {"valleyDot", 32, 32, 11, valleyDot, 0},
        {"valleyIcons", 0, 0, 5, valleyIcon, 0, 0, VALLEY_ICON_SIZES},
        {"valleyArrow", 64, 64, 1, arrow, 0},
        {"valleyDashedLine", 32, 16, 1, dash, 0},
        {"statsStar", 0, 0, 3, award, 0, 0, AWARD_SIZES},
        {"statsTrophy", 0, 0, 3, award, 1, 0, AWARD_SIZES},
        {"horizontalRuler", 256, 8, 1, ruler, 0},
        {"minimapBackground", 256, 192, 1, panel, 8},
        {"minimapIcons", 24, 24, 6, minimapIcon, 0},
        {"hud-touchscreen", 96, 96, 8, touchButton, 0},
        {"tutorial-iPhone", 0, 0, 6, tutorial, 0, 0, PHONE_SIZES},
        {"tutorial-iPad", 0, 0, 6, tutorial, 1, 0, TABLET_SIZES},
    };
    return rows;
}

} // namespace ArtKit

using namespace ArtKit;

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
