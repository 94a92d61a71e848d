#include "CQuaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "AssertCounter.h"
#include "CMatrix3d.h"
#include "FixedTestUtil.h"
#include "MatrixTestUtil.h"

namespace {

using FixedTest::ToFixed;
using FixedTest::ToReal;

constexpr int32_t kOne = 0x10000;
constexpr int32_t kDeg = 0x10000;
constexpr double kPi = 3.14159265358979323846;

// The unit quaternion of a rotation by degrees about a unit axis.
CQuaternion Rotation(double degrees, double ax, double ay, double az) {
    const double half = degrees * kPi / 360.0;
    return CQuaternion(ToFixed(ax * std::sin(half)), ToFixed(ay * std::sin(half)), ToFixed(az * std::sin(half)),
                       ToFixed(std::cos(half)));
}

void ExpectNear(const CQuaternion& q, double x, double y, double z, double w, double tolerance) {
    EXPECT_NEAR(ToReal(q.x), x, tolerance);
    EXPECT_NEAR(ToReal(q.y), y, tolerance);
    EXPECT_NEAR(ToReal(q.z), z, tolerance);
    EXPECT_NEAR(ToReal(q.w), w, tolerance);
}

void ExpectSame(const CQuaternion& a, const CQuaternion& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
    EXPECT_EQ(a.w, b.w);
}

TEST(CQuaternion, AlgebraOnComponents) {
    const CQuaternion p(kOne, -2 * kOne, kOne / 2, 3 * kOne);
    const CQuaternion q(kOne / 4, kOne, kOne, -kOne);
    EXPECT_EQ(CQuaternion::Dot(p, q), kOne / 4 - 2 * kOne + kOne / 2 - 3 * kOne);
    ExpectSame(p + q, CQuaternion(5 * kOne / 4, -kOne, 3 * kOne / 2, 2 * kOne));
    ExpectSame(-p, CQuaternion(-kOne, 2 * kOne, -kOne / 2, -3 * kOne));
    ExpectSame(p * (2 * kOne), CQuaternion(2 * kOne, -4 * kOne, kOne, 6 * kOne));
    ExpectSame(p / (2 * kOne), CQuaternion(kOne / 2, -kOne, kOne / 4, 3 * kOne / 2));
    CQuaternion r = p;
    r /= kOne / 2;
    ExpectSame(r, CQuaternion(2 * kOne, -4 * kOne, kOne, 6 * kOne));
    const CQuaternion v(3 * kOne, CVector3d(kOne, 2 * kOne, 0));
    ExpectSame(v, CQuaternion(kOne, 2 * kOne, 0, 3 * kOne));

    CQuaternion n(kOne, kOne, kOne, kOne);
    EXPECT_EQ(n.Length(), 2 * kOne);
    CQuaternion out;
    n.Normalized(out);
    ExpectSame(out, CQuaternion(kOne / 2, kOne / 2, kOne / 2, kOne / 2));
    n.Normalize();
    ExpectSame(n, out);
    // A zero quaternion has no length to divide by; it stays zero.
    CQuaternion zero(0, 0, 0, 0);
    ExpectSame(zero.Normalize(), CQuaternion(0, 0, 0, 0));

    const CQuaternion copy(&p);
    ExpectSame(copy, p);
    AssertCounter counter;
    const CQuaternion fromNull(static_cast<const CQuaternion*>(nullptr));
    ExpectSame(fromNull, CQuaternion(0, 0, 0, 0));
    EXPECT_EQ(counter.Count(), 1);
}

TEST(CQuaternion, HamiltonProduct) {
    const CQuaternion identity(0, 0, 0, kOne);
    const CQuaternion q(12345, -23456, 34567, 45678);
    CQuaternion a = identity;
    a *= q;
    ExpectSame(a, q);
    a = q;
    a *= identity;
    ExpectSame(a, q);
    CQuaternion i(kOne, 0, 0, 0);
    i *= CQuaternion(kOne, 0, 0, 0);
    ExpectSame(i, CQuaternion(0, 0, 0, -kOne));
    std::mt19937 random(13);
    for (int n = 0; n < 50; ++n) {
        double p[4], r[4];
        for (double& v : p) v = (static_cast<int>(random() % 2001) - 1000) / 500.0;
        for (double& v : r) v = (static_cast<int>(random() % 2001) - 1000) / 500.0;
        CQuaternion fp(ToFixed(p[0]), ToFixed(p[1]), ToFixed(p[2]), ToFixed(p[3]));
        fp *= CQuaternion(ToFixed(r[0]), ToFixed(r[1]), ToFixed(r[2]), ToFixed(r[3]));
        const double w = p[3] * r[3] - p[0] * r[0] - p[1] * r[1] - p[2] * r[2];
        const double x = p[3] * r[0] + p[0] * r[3] + p[1] * r[2] - p[2] * r[1];
        const double y = p[3] * r[1] + p[1] * r[3] + p[2] * r[0] - p[0] * r[2];
        const double z = p[3] * r[2] + p[2] * r[3] + p[0] * r[1] - p[1] * r[0];
        ExpectNear(fp, x, y, z, w, 0.001);
    }
}

TEST(CQuaternion, IdentityGivesIdentityEverywhere) {
    const CQuaternion identity(0, 0, 0, kOne);
    CMatrix3d m;
    identity.ToMatrix(m);
    for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(m.GetElement(i), i % 4 == 0 ? kOne : 0);
    EXPECT_FALSE(m.IsAutoOrthonormalize());
    CVector3d euler(1, 1, 1);
    identity.ToEuler(euler);
    EXPECT_EQ(euler.x, 0);
    EXPECT_EQ(euler.y, 0);
    EXPECT_EQ(euler.z, 0);
    CQuaternion log(1, 1, 1, 1);
    identity.Log(log);
    ExpectSame(log, CQuaternion(0, 0, 0, 0));
    CQuaternion exp;
    CQuaternion(0, 0, 0, 0).Exp(exp);
    ExpectSame(exp, identity);
    // No rotation has no axis; the answer is defined all the same.
    CVector3d axis;
    int32_t angle = -1;
    identity.ToAxisAngle(axis, angle);
    EXPECT_EQ(angle, 0);
    EXPECT_EQ(axis.x, kOne);
    CQuaternion(0, 0, 0, -kOne).ToAxisAngle(axis, angle);
    EXPECT_EQ(angle, 360 * kDeg);
}

TEST(CQuaternion, QuarterTurnAboutZ) {
    const CQuaternion q = Rotation(90, 0, 0, 1);
    CVector3d axis;
    int32_t angle = 0;
    q.ToAxisAngle(axis, angle);
    EXPECT_NEAR(ToReal(angle), 90.0, 0.2);
    EXPECT_NEAR(ToReal(axis.x), 0.0, 0.001);
    EXPECT_NEAR(ToReal(axis.z), 1.0, 0.005);
    CMatrix3d m;
    q.ToMatrix(m);
    MatrixTest::ExpectNear(MatrixTest::Block(m, 3, 3), {0, -1, 0, 1, 0, 0, 0, 0, 1}, 0.001);
    CVector3d v(kOne, 0, 0);
    v *= m;
    EXPECT_NEAR(ToReal(v.x), 0.0, 0.001);
    EXPECT_NEAR(ToReal(v.y), -1.0, 0.001);
    CVector3d euler;
    Rotation(30, 0, 0, 1).ToEuler(euler);
    EXPECT_NEAR(ToReal(euler.x), 30.0, 0.3);
    EXPECT_NEAR(ToReal(euler.y), 0.0, 0.01);
    EXPECT_NEAR(ToReal(euler.z), 0.0, 0.01);
}

TEST(CQuaternion, EulerAnglesWithAZeroDenominatorStayDefined) {
    CVector3d euler;
    Rotation(90, 1, 0, 0).ToEuler(euler);
    EXPECT_NEAR(ToReal(euler.z), 90.0, 0.1);
    EXPECT_NEAR(ToReal(euler.y), 0.0, 0.01);
    Rotation(90, 0, 0, 1).ToEuler(euler);
    EXPECT_NEAR(ToReal(euler.x), 90.0, 0.1);
    Rotation(-40, 0, 1, 0).ToEuler(euler);
    EXPECT_NEAR(ToReal(euler.y), -40.0, 0.3);
}

TEST(CQuaternion, ExpUndoesLog) {
    const CQuaternion rotations[] = {Rotation(60, 0, 0.6, 0.8), Rotation(150, 1, 0, 0), Rotation(-20, 0, 0, 1)};
    for (const CQuaternion& q : rotations) {
        CQuaternion log;
        q.Log(log);
        EXPECT_EQ(log.w, 0);
        // The vector part of the logarithm is as long as the half angle in degrees.
        const double half = std::acos(ToReal(q.w)) * 180 / kPi;
        EXPECT_NEAR(ToReal(CMathFixed::Sqrt(FixedMul(log.x, log.x) + FixedMul(log.y, log.y) +
                                            FixedMul(log.z, log.z))),
                    half, 0.5);
        CQuaternion back;
        log.Exp(back);
        ExpectNear(back, ToReal(q.x), ToReal(q.y), ToReal(q.z), ToReal(q.w), 0.01);
    }
}

TEST(CQuaternion, SlerpReachesBothEndsAndTakesTheShorterArc) {
    const CQuaternion p = Rotation(10, 0, 0, 1);
    const CQuaternion q = Rotation(130, 0, 0, 1);
    CQuaternion out;
    CQuaternion::Slerp(out, p, q, 0);
    ExpectNear(out, ToReal(p.x), ToReal(p.y), ToReal(p.z), ToReal(p.w), 0.004);
    CQuaternion::Slerp(out, p, q, kOne);
    ExpectNear(out, ToReal(q.x), ToReal(q.y), ToReal(q.z), ToReal(q.w), 0.004);
    CQuaternion::Slerp(out, p, q, kOne / 2);
    const double half = 70.0 * kPi / 360.0;
    ExpectNear(out, 0, 0, std::sin(half), std::cos(half), 0.01);

    // -q is the same rotation; the shorter arc ends at q again.
    CQuaternion::Slerp(out, p, -q, kOne);
    ExpectNear(out, ToReal(q.x), ToReal(q.y), ToReal(q.z), ToReal(q.w), 0.004);
    CQuaternion noInvert;
    CQuaternion::SlerpNoInvert(noInvert, p, q, kOne / 3);
    CQuaternion::Slerp(out, p, q, kOne / 3);
    ExpectSame(noInvert, out);
    CQuaternion::SlerpNoInvert(noInvert, p, -q, kOne / 2);
    CQuaternion::Slerp(out, p, -q, kOne / 2);
    // -q lies 120 degrees from p on the sphere; half way along that arc is the
    // rotation by -110 degrees, the other way round from the 70 of Slerp.
    const double longHalf = -110.0 * kPi / 360.0;
    ExpectNear(noInvert, 0, 0, std::sin(longHalf), std::cos(longHalf), 0.01);
    ExpectNear(out, 0, 0, std::sin(half), std::cos(half), 0.01);
}

TEST(CQuaternion, CloseRotationsBlendLinearly) {
    const CQuaternion p = Rotation(10, 0, 1, 0);
    const CQuaternion q = Rotation(25, 0, 1, 0);
    CQuaternion slerp;
    CQuaternion nlerp;
    CQuaternion::Slerp(slerp, p, q, kOne / 4);
    CQuaternion::Nlerp(nlerp, p, q, kOne / 4);
    ExpectSame(slerp, nlerp);
    const double half = (10 + 15.0 / 4) * kPi / 360.0;
    ExpectNear(nlerp, 0, std::sin(half), 0, std::cos(half), 0.01);
    CQuaternion::Nlerp(nlerp, p, -q, kOne / 4);
    ExpectNear(nlerp, 0, std::sin(half), 0, std::cos(half), 0.01);
    CQuaternion::SlerpNoInvert(slerp, p, q, kOne / 4);
    ExpectSame(slerp, nlerp);
}

}  // namespace
