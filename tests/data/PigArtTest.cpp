// The pig's sheets: one frame box shared by body and face, so the parts sit on the body when drawn at the
// same place; a side view with one eye; legs that move through the walk.
#include <gtest/gtest.h>

#include <algorithm>

#include "tools/databuilder/Art.h"

namespace {

struct Frames {
    SpriteSheet sheet;
    const std::uint8_t* at(int frame, int x, int y) const {
        const SheetFrame& f = sheet.frames.at(frame);
        return sheet.image.pixel(f.left + x, f.top + y);
    }
    int width(int frame) const { return sheet.frames.at(frame).width; }
    int height(int frame) const { return sheet.frames.at(frame).height; }
};

Frames load(const char* name) {
    static Typefaces faces(DATABUILDER_FONT_DIR);
    return {drawArt(name, faces)};
}

// Counts the separate blobs of pixels that `inside` accepts (4-connected).
template <class Inside> int blobs(int w, int h, Inside inside) {
    std::vector<char> seen(std::size_t(w) * h, 0);
    int count = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (seen[y * w + x] || !inside(x, y))
                continue;
            ++count;
            std::vector<std::pair<int, int>> stack{{x, y}};
            seen[y * w + x] = 1;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    int nx = cx + dx, ny = cy + dy;
                    if (nx >= 0 && ny >= 0 && nx < w && ny < h && !seen[ny * w + nx] && inside(nx, ny)) {
                        seen[ny * w + nx] = 1;
                        stack.push_back({nx, ny});
                    }
                }
            }
        }
    return count;
}

} // namespace

TEST(PigArt, FacePartsLieOnTheBody) {
    Frames body = load("pig-body");
    for (const char* part : {"pig-eyes", "pig-blink", "pig-mouth"}) {
        Frames face = load(part);
        for (std::size_t f = 0; f < face.sheet.frames.size(); ++f) {
            SCOPED_TRACE(std::string(part) + " frame " + std::to_string(f));
            ASSERT_EQ(face.width(int(f)), body.width(0));
            ASSERT_EQ(face.height(int(f)), body.height(0));
            int drawn = 0, off = 0;
            for (int y = 0; y < body.height(0); ++y)
                for (int x = 0; x < body.width(0); ++x)
                    if (face.at(int(f), x, y)[3] > 128) {
                        ++drawn;
                        off += body.at(0, x, y)[3] < 128;
                    }
            EXPECT_GT(drawn, 5);
            EXPECT_EQ(off, 0);
        }
    }
    // The tail joins the rump: some of it lies over the body, some sticks out.
    Frames tail = load("pig-tail");
    int over = 0, out = 0;
    for (int y = 0; y < body.height(0); ++y)
        for (int x = 0; x < body.width(0); ++x)
            if (tail.at(0, x, y)[3] > 128)
                (body.at(0, x, y)[3] > 128 ? over : out) += 1;
    EXPECT_GT(over, 0);
    EXPECT_GT(out, over);
}

TEST(PigArt, OneEyeSeenFromTheSide) {
    Frames eyes = load("pig-eyes");
    ASSERT_GE(eyes.sheet.frames.size(), 4u);
    for (int f = 0; f < 4; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(blobs(eyes.width(f), eyes.height(f), [&](int x, int y) { return eyes.at(f, x, y)[3] > 128; }), 1);
        int left = eyes.width(f), right = 0;
        for (int y = 0; y < eyes.height(f); ++y)
            for (int x = 0; x < eyes.width(f); ++x)
                if (eyes.at(f, x, y)[3] > 128)
                    left = std::min(left, x), right = std::max(right, x);
        EXPECT_LT(right - left, eyes.width(f) / 6); // one small eye, not a pair
    }
}

TEST(PigArt, LegsMoveThroughTheWalkAndTheBodyStaysPut) {
    Frames body = load("pig-body");
    ASSERT_EQ(body.sheet.frames.size(), 4u);
    int w = body.width(0), h = body.height(0);
    for (int f = 1; f < 4; ++f) {
        int legs = 0, top = 0, ignored = 0; // the hips, between the two, move a little
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool differs = (body.at(0, x, y)[3] > 128) != (body.at(f, x, y)[3] > 128);
                (y > h * 3 / 4 ? legs : y < h * 2 / 3 ? top : ignored) += differs;
            }
        EXPECT_GT(legs, 40) << "frame " << f; // the legs visibly move
        EXPECT_EQ(top, 0) << "frame " << f;   // the face parts stay where the body is
    }
}
