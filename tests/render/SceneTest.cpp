#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/render/BlenderCamera.h"
#include "engine/render/Camera.h"
#include "engine/render/Context.h"
#include "engine/render/ContextBlender.h"
#include "engine/render/Quad.h"
#include "engine/render/Rect.h"
#include "engine/render/Renderable.h"
#include "engine/render/SlicedSkin.h"
#include "engine/render/Texture.h"
#include "GraphicsFixture.h"

namespace {
// A texture of one colour.
std::unique_ptr<Texture> solidTexture(int w, int h, std::uint32_t argb)
{
    MemoryImageFile image = MemoryImageFile::MemoryImageFileBlank(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, argb);
        }
    }
    return std::unique_ptr<Texture>(Texture::TextureFromImage(image));
}

// The box (screen pixels) of every pixel that is not the background.
struct Box {
    int left = 99999, top = 99999, right = -1, bottom = -1;
};
} // namespace

class Scene : public GraphicsFixture {
protected:
    void draw(Context& context)
    {
        graphics->beginScene();
        graphics->clear(GLDevice::ClearTarget, 0xFF000000u);
        context.renderEntry();
        graphics->endScene();
    }
    Box boxOf(std::uint32_t background = 0xFF000000u)
    {
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = graphics->readScreen(w, h);
        Box b;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if ((pixels[static_cast<std::size_t>(y) * w + x] | 0xFF000000u) != background) {
                    b.left = std::min(b.left, x);
                    b.top = std::min(b.top, y);
                    b.right = std::max(b.right, x + 1);
                    b.bottom = std::max(b.bottom, y + 1);
                }
            }
        }
        return b;
    }
};

TEST_F(Scene, ASpriteLandsWherePlacedInItsColour)
{
    auto texture = solidTexture(16, 8, 0xFFFFFFFFu);
    Context context;
    auto* sprite = new Renderable();
    sprite->setSkin(texture->skins[0]);
    sprite->color = UColor(0xFFFF0000u);
    sprite->setPosition(V3(100.0f, 50.0f, 0.0f));
    context.appendChild(sprite);
    draw(context);
    // World (0, 0) is the screen centre (320, 240); y points up.
    const Box b = boxOf();
    EXPECT_EQ(b.left, 412);
    EXPECT_EQ(b.right, 428);
    EXPECT_EQ(b.top, 186);
    EXPECT_EQ(b.bottom, 194);
    EXPECT_EQ(pixelAt(420, 190), 0xFFFF0000u);

    // Hidden draws nothing; far outside the view it is culled.
    sprite->bHidden = true;
    draw(context);
    EXPECT_EQ(boxOf().right, -1);
    sprite->bHidden = false;
    sprite->setPosition(V3(5000.0f, 0.0f, 0.0f));
    draw(context);
    EXPECT_FALSE(sprite->bVisible);
}

TEST_F(Scene, AlignmentCodesPutTheAnchorOnNinePointsOfTheRectangle)
{
    auto texture = solidTexture(20, 10, 0xFFFFFFFFu);
    Context context;
    auto* sprite = new Renderable();
    sprite->setSkin(texture->skins[0]);
    context.appendChild(sprite);
    // Expected left and top of the drawn box on screen for an anchor at the screen centre (320, 240).
    const int expected[9][2] = {{310, 235}, {320, 230}, {310, 230}, {300, 230}, {320, 235},
                                {310, 235}, {300, 235}, {320, 240}, {310, 240}};
    for (int code = 0; code <= 8; ++code) {
        texture->skins[0]->setOriginByAlignment(code);
        sprite->updateVisuals();
        draw(context);
        const Box b = boxOf();
        EXPECT_EQ(b.left, expected[code][0]) << "code " << code;
        EXPECT_EQ(b.top, expected[code][1]) << "code " << code;
        EXPECT_EQ(b.right - b.left, 20);
        EXPECT_EQ(b.bottom - b.top, 10);
        // The hit test follows the drawn rectangle.
        const float cx = static_cast<float>(b.left + 10 - 320), cy = static_cast<float>(240 - (b.top + 5));
        EXPECT_TRUE(sprite->isPointInside(V3(cx, cy, 0.0f))) << "code " << code;
        EXPECT_FALSE(sprite->isPointInside(V3(cx + 11.0f, cy, 0.0f))) << "code " << code;
    }
    texture->skins[0]->setOriginByAlignment(0);
}

TEST_F(Scene, SlicedSkinKeepsCornersAndStretchesEdgesAtEverySize)
{
    // 12 x 12 source: 4-pixel border, corners red, edges green, middle blue.
    MemoryImageFile image = MemoryImageFile::MemoryImageFileBlank(12, 12);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool bx = x < 4 || x >= 8, by = y < 4 || y >= 8;
            image.setPixel(x, y, bx && by ? 0xFFFF0000u : (bx || by) ? 0xFF00FF00u : 0xFF0000FFu);
        }
    }
    std::unique_ptr<Texture> texture(Texture::TextureFromImage(image));
    Context context;
    auto* frame = new Renderable();
    auto* sliced = new SlicedSkin(texture->skins[0]);
    sliced->setBorders(4, 4, 4, 4);
    frame->setSkin(sliced, true);
    context.appendChild(frame);

    for (const auto& [w, h] : {std::pair{40, 30}, std::pair{100, 16}, std::pair{12, 12}}) {
        sliced->setSize(static_cast<float>(w), static_cast<float>(h));
        frame->updateVisuals();
        draw(context);
        const Box b = boxOf();
        EXPECT_EQ(b.right - b.left, w);
        EXPECT_EQ(b.bottom - b.top, h);
        EXPECT_EQ(pixelAt(b.left + 1, b.top + 1), 0xFFFF0000u) << w;
        EXPECT_EQ(pixelAt(b.right - 2, b.bottom - 2), 0xFFFF0000u) << w;
        EXPECT_EQ(pixelAt((b.left + b.right) / 2, b.top + 1), 0xFF00FF00u) << w;
        EXPECT_EQ(pixelAt(b.left + 1, (b.top + b.bottom) / 2), 0xFF00FF00u) << w;
        EXPECT_EQ(pixelAt((b.left + b.right) / 2, (b.top + b.bottom) / 2), 0xFF0000FFu) << w;
    }
    // Zero or less keeps the source's size; a frame smaller than its borders shrinks them, no overlap.
    sliced->setSize(0.0f, -1.0f);
    EXPECT_EQ(sliced->width, 12.0f);
    EXPECT_EQ(sliced->height, 12.0f);
    sliced->setSize(4.0f, 4.0f);
    frame->updateVisuals();
    draw(context);
    const Box b = boxOf();
    EXPECT_EQ(b.right - b.left, 4);
    EXPECT_EQ(pixelAt(b.left, b.top), 0xFFFF0000u);
}

TEST_F(Scene, ScaleModesAndTheTwoAxisSetter)
{
    // Full screen without letterbox: 640 x 480 stretched over a 1280 x 720 window.
    start(1280, 720, 640, 480, true, false);
    ASSERT_EQ(graphics->width, 640);
    EXPECT_FLOAT_EQ(graphics->pixelFactor[0], 0.5f);
    EXPECT_FLOAT_EQ(graphics->pixelFactor[1], 480.0f / 720.0f);
    EXPECT_FLOAT_EQ(graphics->aspectCorrection, (480.0f / 720.0f) / 0.5f);
    Renderable r;
    r.setScale(V3(2.0f, 3.0f, 4.0f));
    EXPECT_FLOAT_EQ(r.world.m[1][1], 3.0f);
    r.scaleMode = Renderable::SCALE_ASPECT;
    r.updateVisuals();
    EXPECT_FLOAT_EQ(r.world.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(r.world.m[1][1], 3.0f * graphics->aspectCorrection);
    r.scaleMode = Renderable::SCALE_PIXELS;
    r.updateVisuals();
    EXPECT_FLOAT_EQ(r.world.m[0][0], 1.0f);
    EXPECT_FLOAT_EQ(r.world.m[1][1], 2.0f);
    EXPECT_FLOAT_EQ(r.world.m[2][2], 2.0f);
    r.scaleMode = Renderable::SCALE_PLAIN;
    r.setScaleXY(5.0f);
    EXPECT_EQ(r.scale, V3(5.0f, 5.0f, 4.0f));

    // World = A x local x B: the outer matrix moves the result, local2world follows it.
    r.setScale(V3(1.0f, 1.0f, 1.0f));
    r.setPosition(V3(10.0f, 0.0f, 0.0f));
    r.setParentMatrix(Matrix4::translation(0.0f, 100.0f, 0.0f));
    V3 out;
    r.local2world(out, V3(1.0f, 2.0f, 0.0f));
    EXPECT_EQ(out, V3(11.0f, 102.0f, 0.0f));
}

TEST(CameraMaths, VisibleRectAndProjection)
{
    Camera camera;
    camera.eye = V3(0.0f, 0.0f, -400.0f);
    camera.aspectFactor = 0.75f;
    Camera::Rect r;
    camera.getVisibleRect(r, 0.0f);
    EXPECT_FLOAT_EQ(r.left, -400.0f);
    EXPECT_FLOAT_EQ(r.top, 300.0f);
    EXPECT_FLOAT_EQ(r.right, 400.0f);
    EXPECT_FLOAT_EQ(r.bottom, -300.0f);
    camera.getVisibleRect(r, 400.0f);
    EXPECT_FLOAT_EQ(r.right, 800.0f);

    // The corner of the visible rectangle lands on the corner of clip space.
    const Matrix4 viewProjection = camera.getView() * camera.getProjection();
    const V3 corner = viewProjection.transformCoord(V3(400.0f, 300.0f, 0.0f));
    EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
    EXPECT_NEAR(corner.y, 1.0f, 1e-5f);
    EXPECT_GT(corner.z, 0.0f);
    EXPECT_LT(corner.z, 1.0f);

    // A quarter turn of roll turns the picture: world up becomes screen left.
    camera.roll = static_cast<float>(M_PI / 2);
    const V3 up = (camera.getView() * camera.getProjection()).transformCoord(V3(0.0f, 100.0f, 0.0f));
    EXPECT_LT(up.x, -0.1f);
    EXPECT_NEAR(up.y, 0.0f, 1e-5f);

    // Screen pixels and world points map into each other.
    camera.roll = 0.0f;
    const V3 w = camera.screenToWorld(600.0f, 150.0f, 800.0f, 600.0f);
    EXPECT_EQ(w, V3(200.0f, 150.0f, 0.0f));
    float sx = 0, sy = 0;
    camera.worldToScreen(w, 800.0f, 600.0f, sx, sy);
    EXPECT_FLOAT_EQ(sx, 600.0f);
    EXPECT_FLOAT_EQ(sy, 150.0f);
}

namespace {
// A modifier with the level's transition step.
class TestModifier : public Camera {
public:
    TestModifier(const V3& at, double duration, double delay = 0.0)
    {
        eye = at;
        transitionDuration = duration;
        startDelay = delay;
    }
    void tick(double, double dt) override { stepTransition(dt); }
};
} // namespace

TEST(BlenderCameraTest, ModifiersEaseInOrderAndRemoveTheirPredecessor)
{
    BlenderCamera camera;
    camera.snapTo(0.0f, 0.0f, -400.0f);
    auto* first = new TestModifier(V3(100.0f, 0.0f, -400.0f), 1.0);
    camera.appendChild(first);
    camera.updateTick(0.0, 0.5);
    // Type 6 at t = 0.5: 0.5 - 0.5 cos(pi / 2) = 0.5.
    EXPECT_NEAR(camera.eye.x, 50.0f, 1e-3f);
    EXPECT_NEAR(camera.lookAt.x, 50.0f, 1e-3f);
    EXPECT_EQ(camera.lookAt.z, 0.0f);

    auto* second = new TestModifier(V3(100.0f, 200.0f, -400.0f), 0.0, 0.25);
    camera.appendChild(second);
    camera.updateTick(0.0, 0.2); // second waits: 0.05 of its delay left
    EXPECT_EQ(camera.countChildren(), 2);
    EXPECT_NEAR(second->startDelay, 0.05, 1e-9);
    camera.updateTick(0.0, 0.2); // delay counted down below 0
    camera.updateTick(0.0, 0.2); // now ticked: duration 0 jumps to the end and removes the first
    EXPECT_EQ(camera.countChildren(), 1);
    EXPECT_EQ(camera.getFirstChild(), second);
    EXPECT_EQ(camera.eye, V3(100.0f, 200.0f, -400.0f));

    camera.snapTo(5.0f, 6.0f, -300.0f);
    EXPECT_EQ(camera.countChildren(), 0);
    EXPECT_EQ(camera.eye, V3(5.0f, 6.0f, -300.0f));
    EXPECT_EQ(camera.lookAt.x, 5.0f);
}

TEST(BlenderCameraTest, ShakeRollsAndSettlesToZero)
{
    BlenderCamera camera;
    camera.shake(0.1, 1.0);
    camera.updateTick(0.0, 0.25);
    EXPECT_NEAR(camera.roll, std::cos(0.25 * 32.0) * 0.75 * 0.1, 1e-6);
    camera.updateTick(0.0, 2.0); // clamped to the duration
    EXPECT_EQ(camera.shakeElapsed, 1.0);
    EXPECT_EQ(camera.roll, 0.0f);
    camera.updateTick(0.0, 0.1);
    EXPECT_EQ(camera.roll, 0.0f);
}

namespace {
class RecordingContext : public Context {
public:
    std::vector<std::string>* log = nullptr;
    void tickContents(double time, double dt) override
    {
        log->push_back(getCurrent() == this ? "contents(current)" : "contents");
        Context::tickContents(time, dt);
    }
};
class Recorder : public KivBase {
public:
    std::vector<std::string>* log = nullptr;
    std::string name;
    void tick(double, double) override { log->push_back(name); }
};
} // namespace

TEST(ContextTest, TickOrderClockEndTimeAndPointer)
{
    std::vector<std::string> log;
    RecordingContext context;
    context.log = &log;
    Recorder pre, post;
    pre.log = post.log = &log;
    pre.name = "pre";
    post.name = "post";
    context.pPreObject = &pre;
    context.pPostObject = &post;
    context.timeScale = 0.5;
    context.endTime = 0.06;
    Context::setInputPointer(600.0f, 150.0f);
    context.tickEntry(0.0, 5.0); // clamped to the largest step, then scaled
    EXPECT_EQ(log, (std::vector<std::string>{"pre", "contents(current)", "post"}));
    EXPECT_DOUBLE_EQ(context.timeStep, Context::maxTimeStep * 0.5);
    EXPECT_FALSE(context.bClosed);
    EXPECT_EQ(Context::getCurrent(), nullptr);
    context.tickEntry(0.0, 0.1);
    EXPECT_TRUE(context.bClosed);
    // Without graphics the screen is 800 x 600 and the camera stands at -400.
    EXPECT_EQ(context.pointer, V3(200.0f, 150.0f, 0.0f));
    Context::setInputPointer(610.0f, 150.0f);
    context.tickEntry(0.0, 0.1);
    EXPECT_EQ(context.pointerMotion, V3(10.0f, 0.0f, 0.0f));

    // A point of one context seen from another whose camera stands elsewhere.
    Context other;
    other.camera->eye = V3(100.0f, 0.0f, -400.0f);
    const V3 mapped = context.transformFromContext(V3(100.0f, 0.0f, 0.0f), other);
    EXPECT_EQ(mapped, V3(0.0f, 0.0f, 0.0f));
    ContextBlender blender;
    EXPECT_NE(blender.getBlenderCamera(), nullptr);
}

TEST_F(Scene, LinesAndOutlinesDrawInTheCurrentView)
{
    Context context;
    graphics->beginScene();
    graphics->clear(GLDevice::ClearTarget, 0xFF000000u);
    context.camera->render();
    Rect{-50.5f, 40.5f, 50.5f, -40.5f}.drawOutline(UColor(0xFFFFFFFFu));
    Rect::drawLine(V3(-100.5f, -100.5f, 0.0f), V3(99.5f, -100.5f, 0.0f), UColor(0xFFFF0000u), UColor(0xFF0000FFu));
    graphics->endScene();
    // The outline's edges are lit, its inside is not.
    EXPECT_EQ(pixelAt(320, 199), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(320, 280), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(269, 240), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(370, 240), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(320, 240), 0xFF000000u);
    // The line runs from red to blue.
    const std::uint32_t start = pixelAt(221, 340), end = pixelAt(418, 340);
    EXPECT_GT((start >> 16) & 0xFF, 0xF0u);
    EXPECT_GT(end & 0xFF, 0xF0u);
}
