// The world map's road: segment lengths and directions, arc-length lookup at the ends and joints, the
// ribbon laid along it, and the fatal lookup on an empty path.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "engine/core/ErrorManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/MemoryImageFile.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "game/worldmap/BezierPathSimple.h"
#include "game/worldmap/BezierSimpleSegment.h"
#include "game/worldmap/CreditsScroller.h"
#include "game/worldmap/RecipeLink.h"
#include "game/worldmap/ValleyDashedLine.h"
#include "game/worldmap/ValleyPathPoints.h"
#include "game/userdata/ProfileData.h"

namespace {

constexpr float PI = std::numbers::pi_v<float>;

class PathTest : public ::testing::Test {
protected:
    void SetUp() override { ErrorManager::setThrowForTests(true); }
};

TEST_F(PathTest, StraightSegmentMeasuresItsChordAndPointsAlongIt)
{
    // Control points on one line at thirds: the curve is the straight segment from 0 to 90.
    BezierSimpleSegment s(V3(0, 0, 0), V3(30, 0, 0), V3(90, 0, 0), V3(30, 0, 0));
    EXPECT_NEAR(s.length, 90.0f, 1e-3f);
    ASSERT_EQ(s.angles.size(), 8u);
    for (float a : s.angles) {
        EXPECT_NEAR(a, 0.0f, 1e-5f);
    }
    EXPECT_FLOAT_EQ(s.getAngle(1.0f), s.angles.back());
    EXPECT_FLOAT_EQ(s.getAngle(7.0f), s.angles.back());
}

TEST_F(PathTest, ZeroEndTangentTakesTheLastDirectionFromTheChord)
{
    BezierSimpleSegment s(V3(0, 0, 0), V3(0, 50, 0), V3(100, 0, 0), V3(0, 0, 0));
    const V3 prev = s.pointAt(6.0f / 7.0f);
    EXPECT_FLOAT_EQ(s.angles.back(), std::atan2(0.0f - prev.y, 100.0f - prev.x));
    // A non-zero end tangent gives its own direction.
    BezierSimpleSegment u(V3(0, 0, 0), V3(0, 50, 0), V3(100, 0, 0), V3(0, -20, 0));
    EXPECT_FLOAT_EQ(u.angles.back(), -PI / 2);
}

TEST_F(PathTest, AngleInterpolatesAlongTheShorterArc)
{
    BezierSimpleSegment s(V3(0, 0, 0), V3(10, 0, 0), V3(100, 0, 0), V3(10, 0, 0));
    s.angles = {0.1f, 2 * PI - 0.1f, 0, 0, 0, 0, 0, 0};
    // Halfway between 0.1 and -0.1 across zero, not through pi.
    const float half = s.getAngle(0.5f / 7.0f);
    EXPECT_LT(std::fabs(std::remainder(half, 2 * PI)), 1e-4f);
}

TEST_F(PathTest, PointsJoinIntoSegmentsSharingTheirTangents)
{
    BezierPathSimple path;
    path.addPoint(V3(0, 0, 0), V3(10, 0, 0));
    EXPECT_EQ(path.countSegments(), 0);
    EXPECT_EQ(path.findSegment(5.0f), nullptr);
    path.addPoint(V3(100, 0, 0), V3(0, 40, 0));
    path.addPoint(V3(100, 100, 0), V3(-10, 0, 0));
    ASSERT_EQ(path.countSegments(), 2);
    const BezierSimpleSegment* a = path.firstSegment();
    const BezierSimpleSegment* b = path.lastSegment();
    EXPECT_EQ(b->p0, a->p1);
    EXPECT_EQ(b->t0, a->t1);
    EXPECT_FLOAT_EQ(path.totalLength, a->length + b->length);
}

TEST_F(PathTest, FindSegmentAtTheEndsAndOnAJoint)
{
    BezierPathSimple path;
    path.addPoint(V3(0, 0, 0), V3(10, 0, 0));
    path.addPoint(V3(100, 0, 0), V3(10, 0, 0));
    path.addPoint(V3(200, 0, 0), V3(10, 0, 0));
    float t = -1.0f;
    EXPECT_EQ(path.findSegment(-50.0f, &t), path.firstSegment());
    EXPECT_FLOAT_EQ(t, 0.0f);
    EXPECT_EQ(path.findSegment(path.totalLength, &t), path.lastSegment());
    EXPECT_FLOAT_EQ(t, 1.0f);
    EXPECT_EQ(path.findSegment(path.totalLength + 500.0f, &t), path.lastSegment());
    EXPECT_FLOAT_EQ(t, 1.0f);
    // A length exactly on the joint belongs to the second segment, at its start.
    EXPECT_EQ(path.findSegment(path.firstSegment()->length, &t), path.lastSegment());
    EXPECT_FLOAT_EQ(t, 0.0f);
    EXPECT_EQ(path.evaluateL(path.totalLength), V3(200, 0, 0));
    // A looping path wraps around.
    path.bLooping = true;
    const V3 wrapped = path.evaluateL(path.totalLength + 10.0f);
    EXPECT_NEAR(wrapped.x, path.evaluateL(10.0f).x, 1e-3f);
}

TEST_F(PathTest, EvaluatingAPathWithoutSegmentsIsFatal)
{
    BezierPathSimple path;
    path.addPoint(V3(5, 5, 0), V3(1, 0, 0));
    try {
        path.evaluateL(0.0f);
        FAIL() << "no fatal error";
    } catch (const FatalError& e) {
        EXPECT_NE(e.report.find(u"!segments.isEmpty()"), UString::npos);
    }
}

TEST_F(PathTest, ValleyRoadRunsThroughItsPointsSqueezedToThePicture)
{
    BezierPathSimple path;
    ValleyPathPoints::build(path);
    ASSERT_EQ(path.countSegments(), 23);
    EXPECT_EQ(path.firstSegment()->p0, V3(-718.0f, -178.0f * 0.8f, 0.0f));
    EXPECT_EQ(path.firstSegment()->t0, V3(63.0f, 1.0f * 0.8f, 0.0f));
    EXPECT_EQ(path.lastSegment()->p1, V3(734.0f, 197.0f * 0.8f, 0.0f));
    EXPECT_GT(path.totalLength, 4000.0f);
    EXPECT_LT(path.totalLength, 8000.0f);
    // The last level's place on the road is its end.
    const V3 end = path.evaluateL(ValleyPathPoints::arcLengthOfLevel(31, path.totalLength));
    EXPECT_NEAR(end.x, 734.0f, 0.5f);
    EXPECT_NEAR(end.y, 197.0f * 0.8f, 0.5f);
    // Each season starts on its share of the road.
    EXPECT_FLOAT_EQ(ValleyPathPoints::arcLengthOfLevel(0, path.totalLength), 0.0f);
    EXPECT_FLOAT_EQ(ValleyPathPoints::arcLengthOfLevel(8, path.totalLength), 0.24f * path.totalLength);
    EXPECT_FLOAT_EQ(ValleyPathPoints::arcLengthOfLevel(12, path.totalLength),
                    (0.24f + 0.31f * 4.0f / 8.0f) * path.totalLength);
}

class DashedLineTest : public PathTest {
protected:
    void SetUp() override
    {
        PathTest::SetUp();
        resources = std::make_unique<ResourceManager>();
        texture.reset(Texture::TextureFromImage(MemoryImageFile::MemoryImageFileBlank(32, 16)));
        resources->addResource(u"valleyDashedLine", texture.get());
        path.addPoint(V3(0, 0, 0), V3(50, 0, 0));
        path.addPoint(V3(300, 0, 0), V3(50, 0, 0));
    }

    std::unique_ptr<ResourceManager> resources;
    std::unique_ptr<Texture> texture;
    BezierPathSimple path;
};

TEST_F(DashedLineTest, NothingRevealedIsTwoPairsAtTheStart)
{
    ValleyDashedLine line;
    line.rebuild(path, -5.0f);
    const VertexBuffer& vb = line.getQuad()->vertexBuffer;
    ASSERT_EQ(vb.getVertexCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(vb.getVertices()[i].x, 0.0f, 1e-4f);
        EXPECT_NEAR(std::fabs(vb.getVertices()[i].y), 8.0f, 1e-4f) << "half the frame height each side";
    }
    EXPECT_TRUE(texture->bWrap);
}

TEST_F(DashedLineTest, PairsEveryTwelveUnitsAndTheLastExactlyAtTheEnd)
{
    ValleyDashedLine line;
    line.rebuild(path, 100.0f);
    const VertexBuffer& vb = line.getQuad()->vertexBuffer;
    ASSERT_EQ(vb.getVertexCount(), 20);
    const Vertex* v = vb.getVertices();
    for (int k = 0; k < 10; ++k) {
        const float d = std::min(12.0f * static_cast<float>(k), 100.0f);
        EXPECT_FLOAT_EQ(v[2 * k].u, d / 32.0f) << k;
        EXPECT_FLOAT_EQ(v[2 * k].v, 0.0f);
        EXPECT_FLOAT_EQ(v[2 * k + 1].v, 1.0f);
        // The left vertex (even) lies on the left of the direction of travel: above a road heading right.
        EXPECT_GT(v[2 * k].y, v[2 * k + 1].y);
    }
    EXPECT_NEAR(v[18].x, path.evaluateL(100.0f).x, 1e-3f);
}

TEST(RecipeLinkTest, MaskHasABitPerLevelAtFullPoints)
{
    ProfileData profile;
    EXPECT_EQ(RecipeLink::maskOf(profile), 0u);
    profile.levelStats[0].fullMarks[LevelStats::FULL_PERFECT] = 1;
    EXPECT_EQ(RecipeLink::maskOf(profile), 1u);
    profile.levelStats[0].fullMarks[LevelStats::FULL_PERFECT] = 0;
    profile.levelStats[31].fullMarks[LevelStats::FULL_PERFECT] = 1;
    EXPECT_EQ(RecipeLink::maskOf(profile), 0x80000000u);
    for (LevelStats& s : profile.levelStats) {
        s.fullMarks[LevelStats::FULL_PERFECT] = 1;
    }
    EXPECT_EQ(RecipeLink::maskOf(profile), 0xFFFFFFFFu);
}

TEST(RecipeLinkTest, IdentifierIsTheDigestOfTheTaggedMaskThenTheMask)
{
    // Digests of "J00000000", "J00000001", "J80000000" and "Jffffffff", worked out apart from the game.
    EXPECT_EQ(RecipeLink::identifier(0u), u"71b9f875368da944deec8905ee98c51500000000");
    EXPECT_EQ(RecipeLink::identifier(1u), u"bf273eded19331833972cb6c6bc4532b00000001");
    EXPECT_EQ(RecipeLink::identifier(0x80000000u), u"8f98581ea229858d2fad2ed5fb296f8c80000000");
    EXPECT_EQ(RecipeLink::identifier(0xFFFFFFFFu), u"b08c63f1708fdd63b7bf6c28f903c364ffffffff");
    EXPECT_EQ(RecipeLink::url(u"example.test:8080", 1u),
              u"http://example.test:8080/tobble/recipe.php?id=bf273eded19331833972cb6c6bc4532b00000001");
}

TEST(CreditsScrollerTest, LinesFadeInAboveTheBottomAndOutBelowTheTop)
{
    const float top = 384.0f, bottom = -384.0f;
    EXPECT_EQ(CreditsScroller::alphaAt(top - 50.0f, top, bottom), 255);
    EXPECT_EQ(CreditsScroller::alphaAt(top - 25.0f, top, bottom), 127);
    EXPECT_EQ(CreditsScroller::alphaAt(top, top, bottom), 0);
    EXPECT_EQ(CreditsScroller::alphaAt(top + 30.0f, top, bottom), 0);
    EXPECT_EQ(CreditsScroller::alphaAt(0.0f, top, bottom), 255);
    EXPECT_EQ(CreditsScroller::alphaAt(bottom + 100.0f, top, bottom), 255);
    EXPECT_EQ(CreditsScroller::alphaAt(bottom + 70.0f, top, bottom), 127);
    EXPECT_EQ(CreditsScroller::alphaAt(bottom + 40.0f, top, bottom), 0);
    EXPECT_EQ(CreditsScroller::alphaAt(bottom - 10.0f, top, bottom), 0);
}

} // namespace
