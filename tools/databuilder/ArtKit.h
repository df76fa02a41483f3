#pragma once
// What the art's drawing files share: the palette, a repeatable random sequence, the brush a drawing gets,
// the rows of the art table, and the few shapes that pictures of one family borrow from another.
#include <cstdint>
#include <span>

#include "tools/databuilder/Canvas.h"

namespace ArtKit {

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

struct FrameSize {
    short width, height;
};

// One named sheet: its frame size and count, its drawing and the drawing's parameter.
struct ArtRow {
    const char* name;
    short width, height; // of every frame, unless `sizes` lists each frame's
    unsigned char frames;
    DrawFn draw;
    int param;
    unsigned char blur = 0; // blur radius of the finished picture
    const FrameSize* sizes = nullptr;
};

// Parameter bits of the tree drawings.
constexpr int WINTER = 0x100, XMAS = 0x200;

// The sheets of each family.
std::span<const ArtRow> characterArt();
std::span<const ArtRow> propArt();
std::span<const ArtRow> sceneryArt();
std::span<const ArtRow> backgroundArt();
std::span<const ArtRow> interfaceArt();

// Shapes used across families.
enum TreeStyle { TREE_ROUND, TREE_PINE, TREE_BIRCH, TREE_BUSHY };
// The pig's parts and pose; see the pig's drawings.
enum PigPart { PIG_BODY = 1, PIG_EYE = 2, PIG_MOUTH = 4, PIG_TAIL = 8, PIG_ALL = 15 };
struct PigPose {
    int legPhase = 0; // quarter steps of the walk
    int look = 0;     // 0 ahead, 1 forward, 2 back, 3 up
    int mouth = 0;    // 0 smile, 1 open, 2 half open
    int lid = 0;      // 0 open, 1 half closed, 2 shut
};
// The pig in its 128 x 96 box at the current origin, facing right.
void drawPig(cairo_t* cr, Rgb tint, int parts, const PigPose& pose);
// The whole pig centred on (cx, cy), its body `s` long.
void pigShape(cairo_t* cr, double cx, double cy, double s, Rgb tint, int legPhase, bool face);
void hat(const Brush& b);
void drawApple(cairo_t* cr, double cx, double cy, double r, Rgb skin, bool leaf = true);
void drawHouse(cairo_t* cr, double x, double y, double w, double h, bool doorOpen, bool lit);
void drawRoofSnow(cairo_t* cr, double x, double y, double w, double h);
void tintRoof(cairo_t* cr, double x, double y, double w, double h, Rgb colour, double alpha);
void drawRoofLights(cairo_t* cr, double x, double y, double w, double h, int frame);
void treeShape(cairo_t* cr, double w, double h, int style, Rgb crown, bool snow, bool xmas, Rng& rng);
void hills(const Brush& b);
void skyPicture(cairo_t* cr, double w, double h, int season);
void symbol(cairo_t* cr, double cx, double cy, double s, int which, Rgb ink, const Typefaces& faces);
void basket(const Brush& b);
void ring(const Brush& b);

} // namespace ArtKit
