#pragma once
// A picture in memory, 8-bit BGRA with straight alpha, and the image files the game reads.
#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra; // rows top to bottom

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), bgra(std::size_t(w) * h * 4, 0) {}
    std::uint8_t* pixel(int x, int y) { return &bgra[(std::size_t(y) * width + x) * 4]; }
    const std::uint8_t* pixel(int x, int y) const { return &bgra[(std::size_t(y) * width + x) * 4]; }
};

// Run-length packed 32-bit TGA with 8 alpha bits, rows stored bottom to top.
std::vector<std::uint8_t> encodeTga(const Picture& picture);
// A PNG file, for looking at the art while working on it.
void savePng(const Picture& picture, const std::string& path);
// Baseline JPEG (alpha dropped) at the given quality.
std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality);
// A soft blur: three box passes of the radius in each direction, edges clamped.
Picture blurred(const Picture& picture, int radius);
// Gives the clear pixels around drawn ones the colour of their drawn neighbours, up to `reach` pixels out,
// so that filtering between a drawn pixel and a clear one blends towards the drawn colour instead of
// black. Alpha stays as it was; a picture without a drawn pixel is left alone.
void bleedEdges(Picture& picture, int reach = 4);
// `source` copied into `target` with its top-left corner at (x, y).
void blit(Picture& target, const Picture& source, int x, int y);
