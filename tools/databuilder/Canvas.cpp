#include "tools/databuilder/Canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <cairo-ft.h>

Rgb mixRgb(Rgb a, Rgb b, double t) {
    auto channel = [&](int shift) {
        double v = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
        return Rgb(std::lround(std::clamp(v, 0.0, 255.0))) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

Typefaces::Typefaces(const std::string& folder) {
    if (FT_Init_FreeType(&ft) != 0)
        throw std::runtime_error("FreeType could not start");
    for (bool bold : {false, true}) {
        std::string path = folder + (bold ? "/DejaVuSans-Bold.ttf" : "/DejaVuSans.ttf");
        FT_Face& face = bold ? boldFace : regularFace;
        if (FT_New_Face(ft, path.c_str(), 0, &face) != 0) {
            release();
            throw std::runtime_error("Cannot open the font " + path);
        }
        (bold ? cairoBold : cairoRegular) = cairo_ft_font_face_create_for_ft_face(face, 0);
    }
}

void Typefaces::release() {
    if (cairoRegular)
        cairo_font_face_destroy(cairoRegular);
    if (cairoBold)
        cairo_font_face_destroy(cairoBold);
    if (regularFace)
        FT_Done_Face(regularFace);
    if (boldFace)
        FT_Done_Face(boldFace);
    FT_Done_FreeType(ft);
}

Typefaces::~Typefaces() { release(); }

Canvas::Canvas(int width, int height)
    : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr(cairo_create(surface)) {
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("Cairo could not make a canvas");
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

Picture Canvas::picture() const {
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    Picture out(w, h);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = row[x];
            unsigned a = p >> 24;
            std::uint8_t* o = out.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                unsigned v = (p >> (8 * c)) & 0xFF;
                o[c] = a ? std::uint8_t(std::min(255u, (v * 255 + a / 2) / a)) : 0;
            }
            o[3] = std::uint8_t(a);
        }
    }
    return out;
}

namespace Draw {

void color(cairo_t* cr, Rgb rgb, double alpha) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                          alpha);
}

static void addStop(cairo_pattern_t* p, double at, Rgb rgb, double alpha) {
    cairo_pattern_add_color_stop_rgba(p, at, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                      (rgb & 0xFF) / 255.0, alpha);
}

// Fills the current path with the source set and strokes it with a darker outline of `base` when
// `outline` > 0; the path is consumed.
static void fillAndOutline(cairo_t* cr, Rgb base, double outline, double alpha) {
    if (outline > 0) {
        cairo_fill_preserve(cr);
        color(cr, darker(base, 0.55), alpha);
        cairo_set_line_width(cr, outline);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
}

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void roundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void star(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turn) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < points * 2; ++i) {
        double a = turn - M_PI / 2 + i * M_PI / points;
        double r = (i % 2) ? inner : outer;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void polygon(cairo_t* cr, std::initializer_list<double> xy) {
    cairo_new_sub_path(cr);
    for (auto it = xy.begin(); it != xy.end() && it + 1 != xy.end(); it += 2)
        cairo_line_to(cr, it[0], it[1]);
    cairo_close_path(cr);
}

void shade(cairo_t* cr, Rgb base, double outline, double alpha) {
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    addStop(p, 0, lighter(base, 0.4), alpha);
    addStop(p, 0.55, base, alpha);
    addStop(p, 1, darker(base, 0.2), alpha);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    fillAndOutline(cr, base, outline, alpha);
}

void flat(cairo_t* cr, Rgb base, double outline, double alpha) {
    color(cr, base, alpha);
    fillAndOutline(cr, base, outline, alpha);
}

void gloss(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, cy - ry, 0, cy + ry);
    addStop(p, 0, 0xFFFFFF, alpha);
    addStop(p, 1, 0xFFFFFF, 0);
    ellipse(cr, cx, cy, rx, ry);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void glow(cairo_t* cr, double cx, double cy, double radius, Rgb rgb, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    addStop(p, 0, rgb, alpha);
    addStop(p, 0.35, rgb, alpha * 0.45);
    addStop(p, 1, rgb, 0);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void verticalGradient(cairo_t* cr, double x, double y, double w, double h, Rgb top, Rgb bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    addStop(p, 0, top, 1);
    addStop(p, 1, bottom, 1);
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, Rgb rgb, double alpha) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_set_line_width(cr, width);
    color(cr, rgb, alpha);
    cairo_stroke(cr);
}

void text(cairo_t* cr, const Typefaces& faces, const char* utf8, double cx, double cy, double size, bool bold,
          Rgb fill, double outline, Rgb outlineColor, double maxWidth) {
    cairo_save(cr);
    cairo_set_font_face(cr, faces.cairoFace(bold));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_text_extents_t e;
    cairo_text_extents(cr, utf8, &e);
    if (maxWidth > 0 && e.width + 2 * outline > maxWidth) {
        double scale = maxWidth / (e.width + 2 * outline);
        size *= scale;
        outline *= scale;
        cairo_set_font_size(cr, size);
        cairo_text_extents(cr, utf8, &e);
    }
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_text_path(cr, utf8);
    if (outline > 0) {
        color(cr, outlineColor);
        cairo_set_line_width(cr, outline * 2);
        cairo_stroke_preserve(cr);
    }
    color(cr, fill);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace Draw
