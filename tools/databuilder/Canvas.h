#pragma once
// Cairo drawing for the builder's art: a canvas that yields a Picture, the two DejaVu faces for lettering,
// and the few shapes and shadings every picture is made of, so that all art shares one look: a soft
// gradient from a light top to the base colour, a darker outline and a gloss highlight.
#include <cstdint>
#include <initializer_list>
#include <string>

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "tools/databuilder/Picture.h"

using Rgb = std::uint32_t; // 0xRRGGBB

Rgb mixRgb(Rgb a, Rgb b, double t);
inline Rgb lighter(Rgb c, double t = 0.35) { return mixRgb(c, 0xFFFFFF, t); }
inline Rgb darker(Rgb c, double t = 0.45) { return mixRgb(c, 0x000000, t); }

// The DejaVu Sans faces, loaded once, for FreeType glyphs and for Cairo lettering.
class Typefaces {
public:
    explicit Typefaces(const std::string& folder);
    ~Typefaces();
    Typefaces(const Typefaces&) = delete;
    Typefaces& operator=(const Typefaces&) = delete;

    FT_Library library() const { return ft; }
    FT_Face face(bool bold) const { return bold ? boldFace : regularFace; }
    cairo_font_face_t* cairoFace(bool bold) const { return bold ? cairoBold : cairoRegular; }

private:
    void release();

    FT_Library ft = nullptr;
    FT_Face regularFace = nullptr;
    FT_Face boldFace = nullptr;
    cairo_font_face_t* cairoRegular = nullptr;
    cairo_font_face_t* cairoBold = nullptr;
};

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* context() const { return cr; }
    Picture picture() const;

private:
    cairo_surface_t* surface;
    cairo_t* cr;
};

namespace Draw {
void color(cairo_t* cr, Rgb rgb, double alpha = 1.0);
void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
void roundRect(cairo_t* cr, double x, double y, double w, double h, double r);
void star(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turn = 0);
void polygon(cairo_t* cr, std::initializer_list<double> xy);
// Fills the current path with the house gradient of `base` and strokes it with a darker outline; the path
// is consumed.
void shade(cairo_t* cr, Rgb base, double outline = 2.0, double alpha = 1.0);
// A flat fill with an outline, for small details.
void flat(cairo_t* cr, Rgb base, double outline = 0.0, double alpha = 1.0);
// A white gloss ellipse over the top of a shape.
void gloss(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha = 0.45);
// A radial glow, opaque in the middle and clear at the radius.
void glow(cairo_t* cr, double cx, double cy, double radius, Rgb rgb, double alpha = 1.0);
// A vertical gradient over the rectangle, top colour to bottom colour.
void verticalGradient(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom);
// Stroked line with round caps.
void line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, Rgb rgb, double alpha = 1.0);
// Lettering centred on (cx, cy), with an outline when `outline` > 0, made smaller when it is wider than
// `maxWidth` (0: no limit).
void text(cairo_t* cr, const Typefaces& faces, const char* utf8, double cx, double cy, double size, bool bold,
          Rgb fill, double outline = 0.0, Rgb outlineColor = 0x000000, double maxWidth = 0.0);
} // namespace Draw
