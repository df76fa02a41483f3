// The effects around play: weather particle counts, wrap window and drift; the hill strips' coverage and
// parallax; the path mesh's strip along a path.
#include <cmath>
#include <vector>

#include "LevelFixture.h"
#include "engine/core/KivRandom.h"
#include "engine/render/Camera.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "game/effects/LeafEmitter.h"
#include "game/effects/ParallaxHills.h"
#include "game/effects/PathMesh.h"
#include "game/effects/RainEmitter.h"
#include "game/world/BezierPath.h"

namespace {
constexpr float PI = 3.14159265358979f;

float screenW() { return static_cast<float>(KivGraphics::instance()->width); }
float screenH() { return static_cast<float>(KivGraphics::instance()->height); }
} // namespace

class EffectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LevelEnvironment::get();
        KivRandom::setSeed(777);
    }
    Camera camera;
};

// ---------------------------------------------------------------------------------------------------------
// Weather

TEST_F(EffectsTest, ParticleCountFollowsTheIntensity)
{
    EXPECT_EQ(WeatherEmitter::countFor(0.0f), 0);
    EXPECT_EQ(WeatherEmitter::countFor(1.0f / 256.0f), 0);
    EXPECT_EQ(WeatherEmitter::countFor(1.0f / 128.0f), 1);
    EXPECT_EQ(WeatherEmitter::countFor(0.5f), 64);
    EXPECT_EQ(WeatherEmitter::countFor(1.0f), 128);
    // Whatever a level file says: never more than at full intensity, never below none.
    EXPECT_EQ(WeatherEmitter::countFor(1000.0f), 128);
    EXPECT_EQ(WeatherEmitter::countFor(-1.0f), 0);
    EXPECT_EQ(WeatherEmitter::countFor(std::nanf("")), 0);
    RainEmitter rain(&camera, 1.0f, 0.5f);
    EXPECT_EQ(rain.count, 64);
    RainEmitter none(&camera, 1.0f, 0.0f);
    none.tick(0.0, 0.01);
    none.render();
    EXPECT_EQ(none.count, 0);
}

TEST_F(EffectsTest, ParticlesLeavingTheWindowReenterOnTheOtherSideInOneFrame)
{
    RainEmitter rain(&camera, 1.0f, 1.0f);
    const float hw = screenW() * 0.5f, hh = screenH() * 0.5f;
    // Every particle starts inside the window around the camera at the origin.
    for (WeatherParticle& p : rain.all()) {
        EXPECT_GE(p.base.x, -hw);
        EXPECT_LE(p.base.x, hw);
        EXPECT_GE(p.base.y, -hh);
        EXPECT_LE(p.base.y, hh);
        EXPECT_TRUE(p.bSkipVisibility);
        EXPECT_EQ(p.scale.x, 0.5f);
    }
    WeatherParticle& left = rain.all()[0];
    left.base = V3(-hw - 1.0f, 10.0f, -5.0f);
    WeatherParticle& bottom = rain.all()[1];
    bottom.base = V3(20.0f, -hh - 1.0f, -5.0f);
    rain.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(left.base.x, hw - 1.0f);
    EXPECT_FLOAT_EQ(left.base.y, 10.0f);
    EXPECT_FLOAT_EQ(bottom.base.y, hh - 1.0f);
    EXPECT_FLOAT_EQ(bottom.base.x, 20.0f);
    // Rain falls 256 units a second and drifts 64 to the left.
    rain.tick(0.0, 0.5);
    EXPECT_FLOAT_EQ(left.position.x, hw - 1.0f - 32.0f);
    EXPECT_FLOAT_EQ(left.position.y, 10.0f - 128.0f);
}

TEST_F(EffectsTest, AFarCameraIsReachedOverSeveralFrames)
{
    LeafEmitter leaves(&camera, 1.0f, 1.0f);
    camera.eye.x = 10.0f * screenW();
    const float hw = screenW() * 0.5f;
    auto inside = [&] {
        int n = 0;
        for (WeatherParticle& p : leaves.all()) {
            n += p.base.x >= camera.eye.x - hw && p.base.x <= camera.eye.x + hw ? 1 : 0;
        }
        return n;
    };
    leaves.tick(0.0, 0.0);
    EXPECT_EQ(inside(), 0);
    for (int i = 0; i < 12; ++i) {
        leaves.tick(0.0, 0.0);
    }
    EXPECT_EQ(inside(), leaves.count);
}

TEST_F(EffectsTest, LeavesSwayAndTurnThroughAllButTheLastFrame)
{
    EXPECT_EQ(LeafEmitter::frameAt(0.0f, 5), 0);
    EXPECT_EQ(LeafEmitter::frameAt(2.0f * PI - 0.001f, 5), 3);
    EXPECT_EQ(LeafEmitter::frameAt(PI, 5), 2);
    LeafEmitter leaves(&camera, 1.0f, 1.0f);
    WeatherParticle& leaf = leaves.all()[0];
    leaf.base = V3(0.0f, 0.0f, 0.0f);
    leaf.phase = 0.0f;
    leaves.tick(0.0, PI / 4.0); // a quarter of the sway: phase pi/2
    EXPECT_NEAR(leaf.phase, PI / 2.0f, 1e-5f);
    EXPECT_NEAR(leaf.position.x, -8.0f * PI, 1e-3f);
    EXPECT_NEAR(leaf.position.y, -16.0f * PI, 1e-3f);
    leaves.tick(0.0, PI / 4.0); // phase pi: the far side
    EXPECT_NEAR(leaf.position.x, leaf.base.x - 16.0f, 1e-3f);
    leaves.tick(0.0, PI / 2.0); // a whole turn: back into [0, 2 pi)
    EXPECT_GE(leaf.phase, 0.0f);
    EXPECT_LT(leaf.phase, 2.0f * PI);
}

// ---------------------------------------------------------------------------------------------------------
// Hills

TEST_F(EffectsTest, EachLeafDrawsPhaseDepthPlaceAndRollInTurn)
{
    // The shared generator's sequence, one leaf after the other: phase, z, y, x, then the roll.
    KivRandom::setSeed(4321);
    std::vector<float> draws(2 * 5);
    for (float& r : draws) {
        r = KivRandom::nextFloat();
    }
    KivRandom::setSeed(4321);
    LeafEmitter leaves(&camera, 1.0f, 2.0f / 128.0f);
    ASSERT_EQ(leaves.count, 2);
    for (int i = 0; i < 2; ++i) {
        const WeatherParticle& p = leaves.all()[static_cast<std::size_t>(i)];
        const float* r = &draws[static_cast<std::size_t>(5 * i)];
        EXPECT_FLOAT_EQ(p.phase, r[0] * 2.0f * PI) << i;
        EXPECT_FLOAT_EQ(p.base.x, -screenW() / 2.0f + r[3] * screenW()) << i;
        EXPECT_FLOAT_EQ(p.rotation.z, r[4] * PI / 2.0f - PI / 4.0f) << i;
    }
}

TEST_F(EffectsTest, HillStripsCoverTheViewForAnyCameraX)
{
    const float tile = 1024.0f;
    for (float x : {-1.0e6f, -12345.6f, -1.0f, 0.0f, 511.0f, 98765.4f, 1.0e6f}) {
        for (float p : {4.0f, 2.0f, 1.5f}) {
            SCOPED_TRACE(testing::Message() << "camera x " << x << " depth " << p);
            camera.eye.x = x;
            Camera::Rect view;
            camera.getVisibleRect(view, 0.0f);
            const ParallaxHills::Strip strip = ParallaxHills::layout(camera, tile, p, 8.0f, 0.0f);
            EXPECT_LE(strip.firstLeft, view.left + 0.5f);
            EXPECT_GE(strip.firstLeft + tile * static_cast<float>(strip.tiles), view.right - 0.5f);
            EXPECT_LE(strip.tiles, 3);
        }
    }
}

TEST_F(EffectsTest, HillStripsScrollSlowerThanTheLevel)
{
    const float tile = 1024.0f;
    const float w = screenW();
    auto phase = [&](float p) {
        Camera::Rect view;
        camera.getVisibleRect(view, 0.0f);
        const float offset = ParallaxHills::layout(camera, tile, p, 8.0f, 0.0f).firstLeft - view.left;
        return std::fmod(std::fmod(offset, tile) + tile, tile);
    };
    camera.eye.x = 3000.0f;
    const float before[] = {phase(4.0f), phase(2.0f), phase(1.5f)};
    camera.eye.x += w;
    const float after[] = {phase(4.0f), phase(2.0f), phase(1.5f)};
    const float expected[] = {w / 4.0f, w / 2.0f, w / 1.5f};
    for (int i = 0; i < 3; ++i) {
        const float moved = std::fmod(before[i] - after[i] + 2.0f * tile, tile);
        EXPECT_NEAR(moved, expected[i], 0.5f) << "strip " << i + 1;
    }
    // Vertically the far strip keeps 1/16 of the camera's movement on screen.
    camera.eye.y = 1600.0f;
    EXPECT_FLOAT_EQ(ParallaxHills::layout(camera, tile, 4.0f, 16.0f, 0.0f).y, 1500.0f);
}

// ---------------------------------------------------------------------------------------------------------
// Path mesh

class PathMeshTest : public EffectsTest {
protected:
    void SetUp() override
    {
        EffectsTest::SetUp();
        // A straight path of 300 units to the right, at even speed.
        path.vertices = {{V3(0.0f, 0.0f, 0.0f), V3(100.0f, 0.0f, 0.0f)}, {V3(300.0f, 0.0f, 0.0f), V3(100.0f, 0.0f, 0.0f)}};
        path.computeLength();
        source.width = 100.0f;
        source.height = 20.0f;
        source.texLeft = 0.25f;
        source.texRight = 0.75f;
        source.texTop = 0.0f;
        source.texBottom = 1.0f;
    }
    const Vertex& vertex(const PathMesh& mesh, int i) { return mesh.vertexBuffer.getVertices()[i]; }

    BezierPath path;
    Quad source;
};

TEST_F(PathMeshTest, OneSegmentIsOnePairAtThePathsStart)
{
    PathMesh mesh(&path);
    mesh.setSegments(1);
    mesh.setSkin(&source);
    ASSERT_EQ(mesh.vertexBuffer.getVertexCount(), 2);
    EXPECT_NEAR(vertex(mesh, 0).x, 0.0f, 1e-3f);
    EXPECT_NEAR(vertex(mesh, 0).y, 10.0f, 1e-3f);
    EXPECT_NEAR(vertex(mesh, 1).y, -10.0f, 1e-3f);
}

TEST_F(PathMeshTest, BulgePinchesTheEndsAndOffCentreMovesTheStrip)
{
    PathMesh mesh(&path);
    mesh.setSegments(3);
    mesh.setSkin(&source);
    // Bulge 0, off-centre 0.5: even and centred.
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(vertex(mesh, 2 * i).y, 10.0f, 1e-3f);
        EXPECT_NEAR(vertex(mesh, 2 * i + 1).y, -10.0f, 1e-3f);
    }
    EXPECT_NEAR(vertex(mesh, 4).x, 300.0f, 0.5f);
    mesh.bulge = 1.0f;
    mesh.update();
    EXPECT_NEAR(vertex(mesh, 0).y - vertex(mesh, 1).y, 0.0f, 1e-3f);
    EXPECT_NEAR(vertex(mesh, 2).y - vertex(mesh, 3).y, 20.0f, 1e-3f);
    EXPECT_NEAR(vertex(mesh, 4).y - vertex(mesh, 5).y, 0.0f, 1e-3f);
    // Off-centre 1: the whole strip on the left of the direction of travel (up, for a path to the right).
    mesh.bulge = 0.0f;
    mesh.offCentre = 1.0f;
    mesh.update();
    EXPECT_NEAR(vertex(mesh, 2).y, 20.0f, 1e-3f);
    EXPECT_NEAR(vertex(mesh, 3).y, 0.0f, 1e-3f);
    // Bounds: the farthest sample plus half the thickness each way.
    EXPECT_NEAR(mesh.width, 2.0f * (300.0f + 10.0f), 1.0f);
}

TEST_F(PathMeshTest, TextureSpansOnceOrRepeatsPerQuadWidth)
{
    PathMesh mesh(&path);
    mesh.setSegments(4);
    mesh.setSkin(&source);
    EXPECT_FLOAT_EQ(vertex(mesh, 0).u, 0.75f);
    EXPECT_FLOAT_EQ(vertex(mesh, 6).u, 0.25f);
    EXPECT_FLOAT_EQ(vertex(mesh, 0).v, 0.0f);
    EXPECT_FLOAT_EQ(vertex(mesh, 1).v, 1.0f);
    mesh.bMap1to1 = true;
    mesh.setSkin(&source);
    // 300 units of path, 100 per picture: three repeats.
    EXPECT_NEAR(vertex(mesh, 0).u, 3.0f, 1e-3f);
    EXPECT_NEAR(vertex(mesh, 6).u, 0.0f, 1e-3f);
}

TEST_F(PathMeshTest, WithoutASourceQuadUpdateKeepsTheVertices)
{
    PathMesh mesh(&path);
    mesh.setSegments(2);
    const float x = vertex(mesh, 2).x;
    path.vertices[1].point.x = 900.0f;
    path.computeLength();
    mesh.update();
    EXPECT_EQ(vertex(mesh, 2).x, x);
    mesh.setSkin(nullptr);
    EXPECT_EQ(mesh.source, nullptr);
}

TEST_F(PathMeshTest, HitTestFollowsTheStrip)
{
    PathMesh mesh(&path);
    mesh.setSegments(16);
    mesh.setSkin(&source);
    EXPECT_TRUE(mesh.isPointInside(100.0f, 5.0f, 0.0f));
    EXPECT_FALSE(mesh.isPointInside(100.0f, 40.0f, 0.0f));
    EXPECT_FALSE(mesh.isPointInside(-5000.0f, 0.0f, 0.0f));
}
