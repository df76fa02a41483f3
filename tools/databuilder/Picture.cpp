#include "tools/databuilder/Picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <cairo.h>
#include <jpeglib.h>

std::vector<std::uint8_t> encodeTga(const Picture& picture) {
    std::vector<std::uint8_t> out(18, 0);
    out[2] = 10; // run-length packed true colour
    out[12] = std::uint8_t(picture.width);
    out[13] = std::uint8_t(picture.width >> 8);
    out[14] = std::uint8_t(picture.height);
    out[15] = std::uint8_t(picture.height >> 8);
    out[16] = 32;
    out[17] = 8; // alpha bits, origin at the bottom left
    // Packets never cross a row: runs of equal pixels, and raw stretches of up to 128 pixels.
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::uint8_t* row = picture.pixel(0, y);
        auto same = [&](int a, int b) { return std::memcmp(row + a * 4, row + b * 4, 4) == 0; };
        int x = 0;
        while (x < picture.width) {
            int run = 1;
            while (x + run < picture.width && run < 128 && same(x, x + run))
                ++run;
            if (run > 1) {
                out.push_back(std::uint8_t(0x80 | (run - 1)));
                out.insert(out.end(), row + x * 4, row + x * 4 + 4);
                x += run;
                continue;
            }
            int raw = 1;
            while (x + raw < picture.width && raw < 128 && !(x + raw + 1 < picture.width && same(x + raw, x + raw + 1)))
                ++raw;
            out.push_back(std::uint8_t(raw - 1));
            out.insert(out.end(), row + x * 4, row + (x + raw) * 4);
            x += raw;
        }
    }
    return out;
}

void savePng(const Picture& picture, const std::string& path) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.pixel(x, y);
            std::uint32_t a = p[3];
            std::uint32_t v = a << 24;
            for (int c = 0; c < 3; ++c)
                v |= ((p[c] * a + 127) / 255) << (8 * c);
            reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride)[x] = v;
        }
    cairo_surface_mark_dirty(surface);
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
}

namespace {

struct JpegError : jpeg_error_mgr {
    static void fail(j_common_ptr info) {
        char text[JMSG_LENGTH_MAX];
        info->err->format_message(info, text);
        throw std::runtime_error(std::string("JPEG encoding failed: ") + text);
    }
};

} // namespace

std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality) {
    jpeg_compress_struct info{};
    JpegError error;
    info.err = jpeg_std_error(&error);
    error.error_exit = JpegError::fail;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> out;
    try {
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = JDIMENSION(picture.width);
        info.image_height = JDIMENSION(picture.height);
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
        jpeg_start_compress(&info, TRUE);
        std::vector<std::uint8_t> row(std::size_t(picture.width) * 3);
        while (info.next_scanline < info.image_height) {
            const std::uint8_t* p = picture.pixel(0, int(info.next_scanline));
            for (int x = 0; x < picture.width; ++x) {
                row[x * 3 + 0] = p[x * 4 + 2];
                row[x * 3 + 1] = p[x * 4 + 1];
                row[x * 3 + 2] = p[x * 4 + 0];
            }
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&info, rows, 1);
        }
        jpeg_finish_compress(&info);
        out.assign(buffer, buffer + size);
    } catch (...) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw;
    }
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

namespace {

// One box pass along rows (horizontal) or columns, on premultiplied values.
void boxPass(std::vector<float>& v, int w, int h, int radius, bool horizontal) {
    int lines = horizontal ? h : w;
    int length = horizontal ? w : h;
    std::vector<float> line(std::size_t(length) * 4);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> float* {
            i = i < 0 ? 0 : (i >= length ? length - 1 : i);
            std::size_t index = horizontal ? std::size_t(l) * w + i : std::size_t(i) * w + l;
            return &v[index * 4];
        };
        float sum[4] = {0, 0, 0, 0};
        for (int i = -radius; i <= radius; ++i)
            for (int c = 0; c < 4; ++c)
                sum[c] += at(i)[c];
        float scale = 1.0f / float(2 * radius + 1);
        for (int i = 0; i < length; ++i) {
            for (int c = 0; c < 4; ++c)
                line[std::size_t(i) * 4 + c] = sum[c] * scale;
            for (int c = 0; c < 4; ++c)
                sum[c] += at(i + radius + 1)[c] - at(i - radius)[c];
        }
        for (int i = 0; i < length; ++i)
            std::memcpy(at(i), &line[std::size_t(i) * 4], sizeof(float) * 4);
    }
}

} // namespace

Picture blurred(const Picture& picture, int radius) {
    int w = picture.width, h = picture.height;
    std::vector<float> v(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < std::size_t(w) * h; ++i) {
        float a = picture.bgra[i * 4 + 3] / 255.0f;
        for (int c = 0; c < 3; ++c)
            v[i * 4 + c] = picture.bgra[i * 4 + c] * a;
        v[i * 4 + 3] = a;
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(v, w, h, radius, true);
        boxPass(v, w, h, radius, false);
    }
    Picture out(w, h);
    for (std::size_t i = 0; i < std::size_t(w) * h; ++i) {
        float a = v[i * 4 + 3];
        for (int c = 0; c < 3; ++c)
            out.bgra[i * 4 + c] = a > 0 ? std::uint8_t(std::min(255.0f, v[i * 4 + c] / a + 0.5f)) : 0;
        out.bgra[i * 4 + 3] = std::uint8_t(std::min(255.0f, a * 255.0f + 0.5f));
    }
    return out;
}

void blit(Picture& target, const Picture& source, int x, int y) {
    for (int row = 0; row < source.height; ++row)
        std::memcpy(target.pixel(x, y + row), source.pixel(0, row), std::size_t(source.width) * 4);
}

void bleedEdges(Picture& picture, int reach) {
    int w = picture.width, h = picture.height;
    // Weight of each pixel as a colour source: its alpha when drawn, half strength once bled, 0 while clear.
    std::vector<std::uint16_t> weight(std::size_t(w) * h);
    for (std::size_t i = 0; i < weight.size(); ++i)
        weight[i] = picture.bgra[i * 4 + 3];
    std::vector<std::size_t> filled;
    for (int pass = 0; pass < reach; ++pass) {
        filled.clear();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::size_t i = std::size_t(y) * w + x;
                if (weight[i] != 0)
                    continue;
                std::uint32_t sum[3] = {0, 0, 0}, total = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= w || ny >= h)
                            continue;
                        std::size_t n = std::size_t(ny) * w + nx;
                        std::uint32_t k = weight[n];
                        for (int c = 0; c < 3; ++c)
                            sum[c] += picture.bgra[n * 4 + c] * k;
                        total += k;
                    }
                if (total == 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    picture.bgra[i * 4 + c] = std::uint8_t((sum[c] + total / 2) / total);
                filled.push_back(i);
            }
        if (filled.empty())
            break;
        // Pixels bled in this pass feed the next one only, so that the result does not depend on the scan order.
        for (std::size_t i : filled)
            weight[i] = 128;
    }
}
