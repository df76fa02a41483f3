// Trees, plants, rocks, ground tiles, terrain strips and the small effects.
#include "tools/databuilder/ArtKit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace ArtKit {


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

static void tree(const Brush& b) {
    // param: style in the low byte; 0x100 winter, 0x200 Christmas; the frame picks the style of a sheet.
    Rng rng(b.param * 31 + b.frame);
    int style = ((b.param & 0xFF) + b.frame) % 4;
    bool snow = b.param & 0x100, xmas = b.param & 0x200;
    static const Rgb crowns[] = {0x3F9A35, 0x2F7A3A, 0x7CC24A, 0x4CA844, 0x6B9E2E, 0x3B8A50};
    Rgb crown = snow ? 0x3E6E58 : crowns[(b.param + b.frame) % 6];
    treeShape(b.cr, b.w, b.h, style, crown, snow, xmas, rng);
}

static void rocks(const Brush& b) {
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

// A crust of snow on a slab whose top edge is at `top`: soft bumps above it, hanging a little over the
// edges, its lower rim `rim` and its hollows `sag` of the frame's height below the edge.
static void snowCrust(cairo_t* cr, Rng& rng, double w, double h, double top, double rim, double sag) {
    cairo_move_to(cr, 0, top + h * rim);
    const int bumps = 7;
    for (int i = 0; i < bumps; ++i) {
        double x0 = w * i / bumps, x1 = w * (i + 1) / bumps, lift = h * rng.range(0.1, 0.2);
        cairo_curve_to(cr, x0 + (x1 - x0) * 0.2, top - lift, x1 - (x1 - x0) * 0.2, top - lift, x1, top);
    }
    cairo_line_to(cr, w, top + h * rim);
    for (int i = bumps; i > 0; --i) {
        double x0 = w * i / bumps, x1 = w * (i - 1) / bumps;
        cairo_curve_to(cr, x0 - (x0 - x1) * 0.3, top + h * sag, x1 + (x0 - x1) * 0.3, top + h * sag, x1,
                       top + h * rim);
    }
    cairo_close_path(cr);
    Draw::flat(cr, SNOW, 1, 1);
}

// A slab of ice with a crust of snow on top, filling its frame so that it can be stretched over a ledge:
// pale blue and see-through, with glassy streaks and a few cracks.
static void iceSlab(const Brush& b) {
    cairo_t* cr = b.cr;
    const double w = b.w, h = b.h, top = h * 0.2;
    Draw::roundRect(cr, 1, top, w - 2, h - top - 1, h * 0.18);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, top, 0, h);
    cairo_pattern_add_color_stop_rgba(body, 0, 0.88, 0.97, 1.0, 0.95);
    cairo_pattern_add_color_stop_rgba(body, 0.6, 0.66, 0.86, 0.96, 0.88);
    cairo_pattern_add_color_stop_rgba(body, 1, 0.50, 0.76, 0.92, 0.92);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    cairo_set_line_width(cr, 1.5);
    Draw::color(cr, 0x5E9FCB);
    cairo_stroke(cr);
    // Glassy streaks and cracks, kept inside the slab.
    Draw::roundRect(cr, 1, top, w - 2, h - top - 1, h * 0.18);
    cairo_save(cr);
    cairo_clip(cr);
    Rng rng(b.frame + 41);
    for (int i = 0; i < 3; ++i) {
        double x = w * (0.18 + 0.3 * i) + rng.range(-4, 4);
        Draw::line(cr, x, h, x + h * 0.6, top, 3.5, WHITE, 0.55);
        Draw::line(cr, x + 7, h, x + 7 + h * 0.6, top, 1.2, WHITE, 0.4);
    }
    for (int i = 0; i < 2; ++i) {
        double x = w * rng.range(0.25, 0.75), y = h * rng.range(0.5, 0.8);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + rng.range(5, 9), y - rng.range(3, 6));
        cairo_line_to(cr, x + rng.range(12, 18), y + rng.range(-1, 2));
        cairo_set_line_width(cr, 1);
        Draw::color(cr, 0x5E9FCB, 0.6);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    Draw::gloss(cr, w / 2, top + h * 0.16, w * 0.45, h * 0.1, 0.6);
    snowCrust(cr, rng, w, h, top, 0.18, 0.3);
}

// A flat slab of stone filling its frame, so that it can be stretched over a ledge as a bridge: grey with a
// lighter top face, a few joints and pits; frame 1 wears a cap of snow.
static void stoneSlab(const Brush& b) {
    cairo_t* cr = b.cr;
    const double w = b.w, h = b.h, top = b.frame == 1 ? h * 0.2 : 1.0;
    Draw::roundRect(cr, 1, top, w - 2, h - top - 1, h * 0.2);
    Draw::shade(cr, STONE, 1.5);
    // The top face, catching the light.
    Draw::roundRect(cr, 3, top + 1, w - 6, (h - top) * 0.3, h * 0.12);
    Draw::flat(cr, mixRgb(STONE, WHITE, 0.35));
    Draw::roundRect(cr, 1, top, w - 2, h - top - 1, h * 0.2);
    cairo_save(cr);
    cairo_clip(cr);
    Rng rng(b.frame + 53);
    // Joints between the stones, and pits in their faces.
    for (int i = 1; i < 4; ++i) {
        double x = w * i / 4 + rng.range(-5, 5);
        Draw::line(cr, x, top + (h - top) * 0.3, x + rng.range(-3, 3), h, 1.5, 0x6A6A64, 0.8);
    }
    for (int i = 0; i < 6; ++i)
        Draw::ellipse(cr, w * rng.range(0.05, 0.95), top + (h - top) * rng.range(0.45, 0.85), rng.range(1.5, 3), 1.2),
            Draw::flat(cr, 0x74746E, 0, 0.7);
    cairo_restore(cr);
    if (b.frame == 1)
        snowCrust(cr, rng, w, h, top, 0.15, 0.28);
}

static void shrub(const Brush& b) {
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

static void flower(const Brush& b) {
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

static void grassTuft(const Brush& b) {
    // param: 0 short grass, 1 tall grass
    Rng rng(b.param * 13 + b.frame);
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

static void cactus(const Brush& b) {
    double w = b.w, h = b.h;
    Draw::roundRect(b.cr, w * 0.38, h * 0.1, w * 0.24, h * 0.9, w * 0.12);
    Draw::shade(b.cr, 0x4E9A3E, 2);
    for (int s : {-1, 1}) {
        Draw::roundRect(b.cr, w * (0.5 + s * 0.3) - w * 0.08, h * (0.3 + (s + 1) * 0.05), w * 0.16, h * 0.3, w * 0.08);
        Draw::shade(b.cr, 0x4E9A3E, 2);
        Draw::line(b.cr, w * 0.5, h * 0.55, w * (0.5 + s * 0.28), h * 0.55, w * 0.12, 0x4E9A3E);
    }
    if (b.frame == 1) {
        // In winter: caps of snow on the stem and the arms.
        Draw::ellipse(b.cr, w / 2, h * 0.12, w * 0.14, w * 0.07);
        Draw::flat(b.cr, SNOW, 1);
        for (int s : {-1, 1}) {
            Draw::ellipse(b.cr, w * (0.5 + s * 0.3), h * (0.31 + (s + 1) * 0.05), w * 0.1, w * 0.05);
            Draw::flat(b.cr, SNOW, 1);
        }
        return;
    }
    Draw::ellipse(b.cr, w / 2, h * 0.1, w * 0.1, w * 0.08);
    Draw::shade(b.cr, 0xE8508A, 1);
}

static void pumpkin(const Brush& b) {
    for (int i = 0; i < 3; ++i) {
        Draw::ellipse(b.cr, b.w * (0.32 + i * 0.18), b.h * 0.6, b.w * 0.22, b.h * 0.32);
        Draw::shade(b.cr, i == 1 ? 0xF28A1E : 0xE07A12, 2);
    }
    Draw::line(b.cr, b.w / 2, b.h * 0.3, b.w * 0.55, b.h * 0.12, b.w * 0.07, 0x5A7A2A);
}

// ---- ground and terrain --------------------------------------------------------------------------------

// A seamless tile: base colour with scattered blobs wrapped around the edges.
static void groundTile(const Brush& b) {
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
static void terrainStrip(const Brush& b) {
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

static void puff(const Brush& b) {
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

static void glint(const Brush& b) {
    Draw::glow(b.cr, b.w / 2, b.h / 2, b.w * 0.3, WHITE);
    Draw::star(b.cr, b.w / 2, b.h / 2, b.w * 0.5, b.w * 0.06, 4);
    Draw::flat(b.cr, WHITE, 0, 0.9);
}

static void flare(const Brush& b) { Draw::glow(b.cr, b.w / 2, b.h / 2, b.w / 2, WHITE); }

static void spark(const Brush& b) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, b.w, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.8, 0.3, 0);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 0.8, 1);
    Draw::roundRect(b.cr, 0, b.h * 0.25, b.w, b.h * 0.5, b.h * 0.25);
    cairo_set_source(b.cr, p);
    cairo_fill(b.cr);
    cairo_pattern_destroy(p);
}

static void rainDrop(const Brush& b) {
    cairo_move_to(b.cr, b.w / 2, 1);
    cairo_curve_to(b.cr, b.w, b.h * 0.7, b.w * 0.9, b.h, b.w / 2, b.h - 1);
    cairo_curve_to(b.cr, b.w * 0.1, b.h, 0, b.h * 0.7, b.w / 2, 1);
    Draw::flat(b.cr, 0xA8D0F8, 0, 0.8);
}

static void snowFlake(const Brush& b) {
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

// A falling leaf turning over: each frame a step of the turn, seen ever thinner and then from its back.
static void autumnLeaf(const Brush& b) {
    static const Rgb colours[] = {0xE0701E, 0xC8441A, 0xE8A424, 0xB85A1A};
    cairo_t* cr = b.cr;
    double turn = b.frame * M_PI / 4, across = std::max(0.18, std::abs(std::cos(turn)));
    Rgb c = colours[b.frame % 4];
    if (std::cos(turn) < 0)
        c = darker(c, 0.15); // the underside
    cairo_save(cr);
    cairo_translate(cr, b.w / 2, b.h / 2);
    cairo_rotate(cr, 0.6 + b.frame * 0.3);
    cairo_scale(cr, across, 1.0);
    double r = b.h * 0.4;
    cairo_move_to(cr, 0, -r);
    cairo_curve_to(cr, r * 0.75, -r * 0.5, r * 0.6, r * 0.45, 0, r * 0.8);
    cairo_curve_to(cr, -r * 0.6, r * 0.45, -r * 0.75, -r * 0.5, 0, -r);
    cairo_close_path(cr);
    Draw::shade(cr, c, 1.2);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, b.w / 2, b.h / 2);
    cairo_rotate(cr, 0.6 + b.frame * 0.3);
    Draw::line(cr, 0, -r * 0.8 * 1.0, 0, r * 1.05, 1.2, darker(c, 0.4));
    cairo_restore(cr);
}

std::span<const ArtRow> sceneryArt() {
    static const ArtRow rows[] = {
        {"smoke", 64, 64, 4, puff, 0},
        {"explosion", 128, 128, 4, puff, 1},
        {"splash", 64, 64, 4, puff, 2},
        {"splashCircular", 64, 64, 1, ring, 0},
        {"glint", 32, 32, 1, glint, 0},
        {"flareBig", 128, 128, 1, flare, 0},
        {"spark", 32, 8, 1, spark, 0},
        {"rainDrop", 8, 24, 1, rainDrop, 0},
        {"snowFlake", 32, 32, 4, snowFlake, 0},
        {"autumnLeaf", 32, 32, 8, autumnLeaf, 0},
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
        {"iceSlab", 128, 32, 1, iceSlab, 0},
        {"stoneSlab", 128, 32, 2, stoneSlab, 0},
        {"pumpkin", 64, 64, 1, pumpkin, 0},
        {"shrubs", 128, 96, 3, shrub, 0},
        {"shrubs-cec", 128, 96, 3, shrub, 1},
        {"cactus", 96, 192, 2, cactus, 0},
        {"deco-grass", 64, 32, 1, grassTuft, 0},
        {"deco-grass-tall", 64, 64, 1, grassTuft, 1},
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
    };
    return rows;
}

} // namespace ArtKit
