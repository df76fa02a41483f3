#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/ErrorManager.h"
#include "engine/core/InterpolatedValue.h"
#include "engine/core/KivRandom.h"
#include "engine/core/MathUtil.h"
#include "engine/core/Matrix4.h"
#include "engine/core/SecureInt.h"
#include "engine/core/TimeKeeper.h"
#include "engine/core/UColor.h"
#include "engine/core/V3.h"

namespace {
void expectNear(const V3& a, const V3& b, float eps = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

void expectNear(const Matrix4& a, const Matrix4& b, float eps = 1e-5f)
{
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << "at " << i << "," << j;
        }
    }
}
} // namespace

TEST(V3, EasingCurvesMeetTheirEndpointsAndClampT)
{
    EXPECT_EQ(V3::easeFactor(0, 0.7f), 0.0f);
    for (int type = 1; type < V3::EASE_TYPES; ++type) {
        EXPECT_NEAR(V3::easeFactor(type, 0.0f), 0.0f, 1e-6f) << "type " << type;
        EXPECT_NEAR(V3::easeFactor(type, 1.0f), 1.0f, 1e-6f) << "type " << type;
        EXPECT_EQ(V3::easeFactor(type, -3.0f), V3::easeFactor(type, 0.0f)) << "type " << type;
        EXPECT_EQ(V3::easeFactor(type, 7.0f), V3::easeFactor(type, 1.0f)) << "type " << type;
        // Every curve but the held one rises through the middle.
        const float mid = V3::easeFactor(type, 0.5f);
        EXPECT_GT(mid, 0.0f);
        EXPECT_LT(mid, 1.0f);
    }
    EXPECT_FLOAT_EQ(V3::easeFactor(3, 0.5f), 0.75f);         // 1 - (1 - t)^2
    EXPECT_NEAR(V3::easeFactor(6, 0.25f), 0.1464466f, 1e-6f); // 0.5 - 0.5 cos(pi t)
    EXPECT_FLOAT_EQ(V3::easeFactor(6, 0.5f), 0.5f);

    const V3 from(1, 2, 3);
    const V3 to(3, 6, -1);
    V3 r(9, 9, 9);
    r.ease(1, from, to, 0.5f);
    expectNear(r, V3(2, 4, 1));
    r.ease(3, from, to, 2.0f);
    expectNear(r, to);
    r = V3(9, 9, 9);
    r.ease(18, from, to, 0.5f); // unknown types leave the result alone
    EXPECT_EQ(r, V3(9, 9, 9));
    r.ease(-1, from, to, 0.5f);
    EXPECT_EQ(r, V3(9, 9, 9));
}

TEST(V3, BezierDistanceAndLength)
{
    const V3 p0(0, 0, 0), t0(1, 0, 0), p1(3, 3, 0), t1(0, 1, 0);
    expectNear(V3::bezier(p0, t0, p1, t1, 0.0f), p0);
    expectNear(V3::bezier(p0, t0, p1, t1, 1.0f), p1);
    // Control points p0, (1,0,0), (3,2,0), p1: at 0.5 the point is (c0 + 3c1 + 3c2 + c3) / 8.
    expectNear(V3::bezier(p0, t0, p1, t1, 0.5f), V3((0 + 3 + 9 + 3) / 8.0f, (0 + 0 + 6 + 3) / 8.0f, 0));

    EXPECT_TRUE(V3(0, 0, 0).isWithinDistance(V3(3, 4, 0), 5.01f));
    EXPECT_FALSE(V3(0, 0, 0).isWithinDistance(V3(3, 4, 0), 5.0f)); // strictly inside only
    EXPECT_FLOAT_EQ(V3(3, 4, 0).length(), 5.0f);
    EXPECT_EQ(V3().normalized(), V3());
}

TEST(UColor, ChannelsScaleAndLerpTruncate)
{
    const UColor c(0x80402010u);
    EXPECT_EQ(c.a(), 0x80u);
    EXPECT_EQ(c.r(), 0x40u);
    EXPECT_EQ(c.g(), 0x20u);
    EXPECT_EQ(c.b(), 0x10u);
    EXPECT_EQ(UColor().argb, 0xFFFFFFFFu);
    EXPECT_EQ(UColor::scale(c, 0.5f).argb, 0x80201008u);
    EXPECT_EQ(UColor::scale(UColor(0xFF808080u), 3.0f).argb, 0xFFFFFFFFu); // kept within a byte
    EXPECT_EQ(UColor::scale(UColor(0xFF808080u), 1e30f).argb, 0xFFFFFFFFu);
    EXPECT_EQ(lerpColor(UColor(0xFFFFFFFFu), UColor(0xFFFF0000u), std::nanf("")).argb, 0u);
    // 0 + (255 - 0) * 0.5 = 127.5 truncates to 127; 255 + (0 - 255) * 0.5 = 127.5 also to 127.
    EXPECT_EQ(lerpColor(UColor(0x00FF00FFu), UColor(0xFF00FF00u), 0.5f).argb, 0x7F7F7F7Fu);
    EXPECT_EQ(lerpColor(UColor(0x10203040u), UColor(0x50607080u), 0.0f).argb, 0x10203040u);
    EXPECT_EQ(lerpColor(UColor(0x10203040u), UColor(0x50607080u), 1.0f).argb, 0x50607080u);
}

TEST(MathUtil, StepsRangesAndAngles)
{
    EXPECT_FLOAT_EQ(linearStep(2, 4, 3), 0.5f);
    EXPECT_FLOAT_EQ(linearStep(2, 4, 9), 1.0f);
    EXPECT_FLOAT_EQ(linearStep(2, 4, -9), 0.0f);
    EXPECT_FLOAT_EQ(linearStep(2, 2, 3), 0.0f);
    EXPECT_FLOAT_EQ(linearStep(4, 2, 3.5f), 0.25f); // reversed ranges work
    EXPECT_FLOAT_EQ(mapRangeClamped(10, 20, 0, 1, 0.25f), 12.5f);
    EXPECT_FLOAT_EQ(mapRangeClamped(10, 20, 0, 1, 5), 20.0f);
    EXPECT_FLOAT_EQ(mapRangeClamped(10, 20, 1, 1, 5), 10.0f);
    EXPECT_FLOAT_EQ(easeOutQuad(0, 10, 0.5f), 7.5f);

    EXPECT_NEAR(angleDifference(0.1f, 6.2f), -0.1831853f, 1e-5f);
    EXPECT_NEAR(angleDifference(6.2f, 0.1f), 0.1831853f, 1e-5f);
    EXPECT_NEAR(angleDifference(-0.1f, 0.1f), 0.2f, 1e-5f);
    EXPECT_NEAR(angleDifference(1.0f, 1.0f + 6.2831855f), 0.0f, 1e-5f);
    EXPECT_EQ(angleDifference(2.0f, 2.0f), 0.0f);

    // Shorter arc: from 6.0 to 0.2 crosses zero going up.
    EXPECT_NEAR(interpolateAngle(6.0f, 0.2f, 0.5f), (6.0f - 6.2831855f + 0.2f) / 2.0f, 1e-5f);
    EXPECT_NEAR(interpolateAngle(0.2f, 6.0f, 0.0f), 0.2f + 6.2831855f, 1e-5f); // not wrapped again
    EXPECT_NEAR(interpolateAngle(-1.0f, 1.0f, 0.5f), 0.0f, 1e-5f);
}

TEST(MathUtil, TruncationHoldsDataWithinTheIntegersRange)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(truncateClamped<int>(1.9), 1);
    EXPECT_EQ(truncateClamped<int>(-1.9), -1);
    EXPECT_EQ(truncateClamped<int>(2147483647.9), 2147483647);
    EXPECT_EQ(truncateClamped<int>(2147483648.0), 2147483647);
    EXPECT_EQ(truncateClamped<int>(-2147483648.9), -2147483647 - 1);
    EXPECT_EQ(truncateClamped<int>(-2147483649.0), -2147483647 - 1);
    EXPECT_EQ(truncateClamped<int>(std::numeric_limits<float>::max()), 2147483647);
    EXPECT_EQ(truncateClamped<int>(-inf), -2147483647 - 1);
    EXPECT_EQ(truncateClamped<int>(std::nan("")), 0);
    EXPECT_EQ(truncateClamped<unsigned>(-0.9), 0u);
    EXPECT_EQ(truncateClamped<unsigned>(-1.0), 0u);
    EXPECT_EQ(truncateClamped<unsigned>(4294967295.5), 4294967295u);
    EXPECT_EQ(truncateClamped<unsigned>(inf), 4294967295u);
    EXPECT_EQ(truncateClamped<long long>(-9223372036854775808.0), std::numeric_limits<long long>::min());
    EXPECT_EQ(truncateClamped<long long>(9223372036854775808.0), std::numeric_limits<long long>::max());
}

// The same ends with values the compiler cannot see: a literal folded at compile time hides a comparison that
// lets an end value through to the cast, which the processor then turns into the far end of the range.
TEST(MathUtil, TruncationHoldsValuesKnownOnlyAtRunTime)
{
    auto atRunTime = [](double x) {
        volatile double hidden = x;
        return hidden;
    };
    constexpr int intMax = std::numeric_limits<int>::max(), intMin = std::numeric_limits<int>::min();
    EXPECT_EQ(truncateClamped<int>(atRunTime(2147483648.0)), intMax);
    EXPECT_EQ(truncateClamped<int>(atRunTime(2147483647.5)), intMax);
    EXPECT_EQ(truncateClamped<int>(atRunTime(-2147483648.0)), intMin);
    EXPECT_EQ(truncateClamped<int>(atRunTime(-2147483648.5)), intMin);
    EXPECT_EQ(truncateClamped<unsigned>(atRunTime(4294967296.0)), 4294967295u);
    EXPECT_EQ(truncateClamped<long long>(atRunTime(9223372036854775808.0)), std::numeric_limits<long long>::max());
    EXPECT_EQ(truncateClamped<long long>(atRunTime(-9223372036854775808.0)), std::numeric_limits<long long>::min());
}

TEST(Matrix4, InverseUndoesAndSingularFails)
{
    const Matrix4 m = Matrix4::scaling(2, 3, 4) * Matrix4::rotationYawPitchRoll(0.3f, -0.7f, 1.1f) *
                      Matrix4::translation(5, -6, 7);
    Matrix4 inv;
    float det = 0;
    ASSERT_TRUE(m.inverse(inv, &det));
    EXPECT_NEAR(det, 24.0f, 1e-3f);
    expectNear(m * inv, Matrix4::identity());
    expectNear(inv * m, Matrix4::identity());
    const V3 p(1, 2, 3);
    expectNear(inv.transformCoord(m.transformCoord(p)), p, 1e-4f);

    // Hand-computed: the inverse of scale (2, 4, 8) then move (1, 2, 3).
    const Matrix4 s = Matrix4::scaling(2, 4, 8) * Matrix4::translation(1, 2, 3);
    ASSERT_TRUE(s.inverse(inv));
    Matrix4 expected = Matrix4::scaling(0.5f, 0.25f, 0.125f);
    expected.m[3][0] = -0.5f;
    expected.m[3][1] = -0.5f;
    expected.m[3][2] = -0.375f;
    expectNear(inv, expected);

    Matrix4 flat = Matrix4::scaling(1, 0, 1);
    Matrix4 untouched = Matrix4::translation(9, 9, 9);
    EXPECT_FALSE(flat.inverse(untouched));
    EXPECT_EQ(untouched, Matrix4::translation(9, 9, 9));
}

TEST(Matrix4, YawPitchRollFollowsTheRowVectorConvention)
{
    // (0, 0, -1) turned by yaw -lambda and pitch phi lands on the sphere point of latitude phi and
    // longitude lambda: (cos phi sin lambda, sin phi, -cos phi cos lambda).
    const float phi = 0.6f, lambda = 1.2f;
    const Matrix4 r = Matrix4::rotationYawPitchRoll(-lambda, phi, 0.0f);
    expectNear(r.transformCoord(V3(0, 0, -1)),
               V3(std::cos(phi) * std::sin(lambda), std::sin(phi), -std::cos(phi) * std::cos(lambda)));
    // Roll alone turns x towards y (left-handed, about z).
    expectNear(Matrix4::rotationYawPitchRoll(0, 0, 1.5707964f).transformCoord(V3(1, 0, 0)), V3(0, 1, 0));
    // Yaw alone turns z towards x.
    expectNear(Matrix4::rotationYawPitchRoll(1.5707964f, 0, 0).transformCoord(V3(0, 0, 1)), V3(1, 0, 0));
}

TEST(Matrix4, LookAtAndPerspectiveAgainstHandComputedValues)
{
    // Eye on +x looking at the origin, y up: forward is -x, right is +z.
    const Matrix4 view = Matrix4::lookAtLH(V3(10, 0, 0), V3(0, 0, 0), V3(0, 1, 0));
    Matrix4 expected;
    expected.m[0][0] = 0; expected.m[0][1] = 0; expected.m[0][2] = -1;
    expected.m[1][0] = 0; expected.m[1][1] = 1; expected.m[1][2] = 0;
    expected.m[2][0] = 1; expected.m[2][1] = 0; expected.m[2][2] = 0;
    expected.m[3][0] = 0; expected.m[3][1] = 0; expected.m[3][2] = 10;
    expectNear(view, expected);
    expectNear(view.transformCoord(V3(10, 0, 0)), V3(0, 0, 0));
    expectNear(view.transformCoord(V3(10, 0, 5)), V3(5, 0, 0));
    expectNear(view.transformCoord(V3(0, 2, 0)), V3(0, 2, 10));

    // The usual camera: eye at z = -10 looking at the origin gives a plain move by +10 in z.
    expectNear(Matrix4::lookAtLH(V3(0, 0, -10), V3(0, 0, 0), V3(0, 1, 0)), Matrix4::translation(0, 0, 10));

    const Matrix4 proj = Matrix4::perspectiveLH(2.0f, 1.0f, 1.0f, 101.0f);
    EXPECT_FLOAT_EQ(proj.m[0][0], 1.0f);
    EXPECT_FLOAT_EQ(proj.m[1][1], 2.0f);
    EXPECT_FLOAT_EQ(proj.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(proj.m[3][3], 0.0f);
    expectNear(proj.transformCoord(V3(0, 0, 1)), V3(0, 0, 0));
    expectNear(proj.transformCoord(V3(0, 0, 101)), V3(0, 0, 1));
    // The near plane's corner maps to the corner of the unit square; w divides the far points down.
    expectNear(proj.transformCoord(V3(1, 0.5f, 1)), V3(1, 1, 0));
    expectNear(proj.transformCoord(V3(10, 0, 10)), V3(1, 0, (10 * 1.01f - 1.01f) / 10), 1e-4f);
}

TEST(KivRandom, SequenceFollowsTheSharedFormula)
{
    KivRandom::setSeed(1);
    EXPECT_EQ(KivRandom::step(), 1u * 214013u + 2531011u);
    KivRandom::setSeed(0xFFFFFFFFu);
    EXPECT_EQ(KivRandom::step(), 0xFFFFFFFFu * 214013u + 2531011u); // modulo 2^32
    KivRandom::setSeed(12345);
    const uint32_t s1 = 12345u * 214013u + 2531011u;
    EXPECT_FLOAT_EQ(KivRandom::nextFloat(), static_cast<float>(s1 >> 16) / 65536.0f);
    EXPECT_EQ(KivRandom::getSeed(), s1);
    EXPECT_EQ(KivRandom::next16(), (s1 * 214013u + 2531011u) >> 16);
    for (int i = 0; i < 1000; ++i) {
        const float r = KivRandom::nextFloat();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

TEST(SecureInt, HoldsItsValueWhileTheStoredBitsChange)
{
    SecureInt s;
    EXPECT_EQ(s.get(), 0);
    s.set(-17);
    EXPECT_EQ(s.get(), -17);
    s.add(20);
    EXPECT_EQ(s.get(), 3);
    // Reading must not disturb the shared generator.
    KivRandom::setSeed(99);
    s.get();
    EXPECT_EQ(KivRandom::getSeed(), 99u);
}

TEST(InterpolatedValue, RunsToItsTargetAlongTheCurve)
{
    InterpolatedValue v(0.0f, 1.25f, 1, true, false);
    v.setTarget(10.0f);
    v.tick(0, 0.4);
    EXPECT_FLOAT_EQ(v.value, 5.0f);
    v.tick(0, 1.0);
    EXPECT_FLOAT_EQ(v.value, 10.0f);
    EXPECT_FLOAT_EQ(v.progress, 1.0f);
    v.setTarget(0.0f, 2.0f);
    EXPECT_FLOAT_EQ(v.speed, 2.0f);
    EXPECT_FLOAT_EQ(v.from, 10.0f);
    v.setValue(4.0f);
    EXPECT_FLOAT_EQ(v.from, 4.0f);
    EXPECT_FLOAT_EQ(v.to, 4.0f);
    EXPECT_FLOAT_EQ(InterpolatedValue::interpolate(6, 0, 2, 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(InterpolatedValue::interpolate(0, 3, 9, 0.5f), 3.0f);

    // Angles take the shorter way and wrap their targets.
    InterpolatedValue a(0.2f, 1.0f, 1, true, true);
    a.setTarget(6.0f);
    EXPECT_NEAR(a.to, 6.0f - 6.2831855f, 1e-5f);
    a.setValue(-1.0f);
    EXPECT_NEAR(a.value, 6.2831855f - 1.0f, 1e-5f);

    ErrorManager::setThrowForTests(true);
    EXPECT_THROW(InterpolatedValue::interpolate(18, 0, 1, 0.5f), FatalError);
}

TEST(TimeKeeper, FrozenTimeIsKeptApart)
{
    TimeKeeper keeper;
    EXPECT_GE(keeper.getPhysicalTime(), keeper.getStartTime());
    EXPECT_EQ(keeper.getFrozenTime(), 0.0);
    keeper.setFrozen(true);
    keeper.setFrozen(true);
    const double a = keeper.getFrozenTime();
    keeper.setFrozen(false);
    const double frozen = keeper.getFrozenTime();
    EXPECT_GE(frozen, a);
    keeper.setFrozen(false);
    EXPECT_EQ(keeper.getFrozenTime(), frozen);
    // Read in this order: the physical clock keeps running between the two calls.
    const double unfrozen = keeper.getUnfrozenTime();
    EXPECT_LE(unfrozen, keeper.getPhysicalTime());
}
