#include "CVector3d.h"

#include <gtest/gtest.h>

#include <random>

#include "AssertCounter.h"
#include "CMathFixed.h"
#include "CMatrix3d.h"
#include "CMatrix4dh.h"
#include "CVector4d.h"
#include "CVector4dh.h"
#include "FixedTestUtil.h"

namespace {

constexpr int32_t kOne = 0x10000;
constexpr int32_t kDeg = 0x10000;

void ExpectVector(const CVector3d& v, int32_t x, int32_t y, int32_t z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

TEST(CVector3d, ComponentArithmeticAndScalars) {
    CVector3d v;
    ExpectVector(v, 0, 0, 0);
    const CVector3d a(kOne, -2 * kOne, 3 * kOne);
    const CVector3d b(kOne / 2, kOne, -kOne);
    ExpectVector(a + b, 3 * kOne / 2, -kOne, 2 * kOne);
    ExpectVector(a - b, kOne / 2, -3 * kOne, 4 * kOne);
    ExpectVector(2 * kOne * a, 2 * kOne, -4 * kOne, 6 * kOne);
    ExpectVector(a * (kOne / 2), kOne / 2, -kOne, 3 * kOne / 2);
    v = a;
    v += kOne;
    ExpectVector(v, 2 * kOne, -kOne, 4 * kOne);
    v -= 2 * kOne;
    ExpectVector(v, 0, -3 * kOne, 2 * kOne);
    v += b;
    v -= CVector3d(kOne, 0, 0);
    ExpectVector(v, -kOne / 2, -2 * kOne, kOne);
    v *= 2 * kOne;
    v /= 4 * kOne;
    ExpectVector(v, -kOne / 4, -kOne, kOne / 2);
    EXPECT_EQ(CVector3d::Dot(a, b), kOne / 2 - 2 * kOne - 3 * kOne);
    EXPECT_EQ(CVector3d(-5, -1, -3).MaxComponent(), -1);
    EXPECT_EQ(CVector3d(-5 * kOne, 2, 2 * kOne).MaxComponent(), 2 * kOne);
}

TEST(CVector3d, CrossInPlaceReadsEveryOldComponentFirst) {
    std::mt19937 random(3);
    for (int i = 0; i < 200; ++i) {
        const CVector3d a(static_cast<int32_t>(random() % 0x200000) - 0x100000,
                          static_cast<int32_t>(random() % 0x200000) - 0x100000,
                          static_cast<int32_t>(random() % 0x200000) - 0x100000);
        const CVector3d b(static_cast<int32_t>(random() % 0x200000) - 0x100000,
                          static_cast<int32_t>(random() % 0x200000) - 0x100000,
                          static_cast<int32_t>(random() % 0x200000) - 0x100000);
        const CVector3d fresh = CVector3d::Cross(a, b);
        CVector3d inPlace = a;
        inPlace.Cross(b);
        ExpectVector(inPlace, fresh.x, fresh.y, fresh.z);
        const double ax = a.x / 65536.0, ay = a.y / 65536.0, az = a.z / 65536.0;
        const double bx = b.x / 65536.0, by = b.y / 65536.0, bz = b.z / 65536.0;
        EXPECT_NEAR(fresh.x, (ay * bz - az * by) * 65536.0, 2.0);
        EXPECT_NEAR(fresh.y, (az * bx - ax * bz) * 65536.0, 2.0);
        EXPECT_NEAR(fresh.z, (ax * by - ay * bx) * 65536.0, 2.0);
    }
    CVector3d x(kOne, 0, 0);
    ExpectVector(x.Cross(CVector3d(0, kOne, 0)), 0, 0, kOne);
}

TEST(CVector3d, LengthNormalizeAndLerp) {
    CVector3d zero(0, 0, 0);
    ExpectVector(zero.Normalize(), 0, 0, 0);
    CVector3d v(3 * kOne, 4 * kOne, 12 * kOne);
    EXPECT_EQ(v.Length(), 13 * kOne);
    v.Normalize();
    ExpectVector(v, (3 * kOne * 65536LL) / (13 * kOne), (4 * kOne * 65536LL) / (13 * kOne),
                 (12 * kOne * 65536LL) / (13 * kOne));
    CVector3d p(0, 0, 0);
    p.Lerp(CVector3d(2 * kOne, -4 * kOne, kOne), kOne / 2);
    ExpectVector(p, kOne, -2 * kOne, kOne / 2);
}

TEST(CVector3d, RotationsTurnTheStatedWay) {
    CVector3d v(kOne, 0, 0);
    ExpectVector(v.RotateZ(90 * kDeg), 0, -kOne, 0);
    v.Set(0, kOne, 0);
    ExpectVector(v.RotateX(90 * kDeg), 0, 0, -kOne);
    v.Set(kOne, 0, 0);
    ExpectVector(v.RotateY(90 * kDeg), 0, 0, kOne);
    // No shortcut at 0: the identity rotation still multiplies by 1.0.
    v.Set(123, -456, 789);
    ExpectVector(v.RotateX(0), 123, -456, 789);
}

TEST(CVector3d, AngleBetweenAndDistanceToSegment) {
    EXPECT_EQ(CVector3d::AngleBetween(CVector3d(0, 0, 0), CVector3d(kOne, 0, 0)), 0);
    EXPECT_EQ(CVector3d::AngleBetween(CVector3d(0, 0, kOne), CVector3d(kOne, 0, 0)), 90 * kDeg);
    const CVector3d a(0, 0, 0);
    const CVector3d b(0, 0, 10 * kOne);
    CVector3d closest;
    EXPECT_EQ(CVector3d::DistanceToSegment(CVector3d(3 * kOne, 4 * kOne, 5 * kOne), a, b, closest), 5 * kOne);
    ExpectVector(closest, 0, 0, 5 * kOne);
    const CVector3d segment[2] = {a, b};
    EXPECT_EQ(CVector3d::DistanceToSegment(CVector3d(0, 3 * kOne, 14 * kOne), segment, closest), 5 * kOne);
    ExpectVector(closest, 0, 0, 10 * kOne);
    EXPECT_EQ(CVector3d::DistanceToSegment(CVector3d(0, 0, -2 * kOne), a, a, closest), 2 * kOne);
    ExpectVector(closest, 0, 0, 0);
}

TEST(CVector3d, MatrixProductsTreatTheVectorAsARowAndAPoint) {
    const CMatrix3d m(kOne, 2 * kOne, 3 * kOne, 4 * kOne, 5 * kOne, 6 * kOne, 7 * kOne, 8 * kOne, 9 * kOne, 0);
    const CVector3d v(kOne, 0, -kOne);
    // (1, 0, -1) x M = row 0 - row 2.
    ExpectVector(m * v, -6 * kOne, -6 * kOne, -6 * kOne);
    CVector3d w = v;
    w *= m;
    ExpectVector(w, -6 * kOne, -6 * kOne, -6 * kOne);

    CMatrix4dh h;
    h.SetIdentity();
    h.RotateZ(90 * kDeg);
    h.Translate(10 * kOne, 20 * kOne, 30 * kOne);
    CVector3d p(kOne, 0, 0);
    p *= h;
    // The rotation block maps the x axis onto its row 0, (0, 1, 0).
    ExpectVector(p, 10 * kOne, 21 * kOne, 30 * kOne);
    ExpectVector(h * CVector3d(0, 0, 0), 10 * kOne, 20 * kOne, 30 * kOne);
}

TEST(CVector3d, PointerCopiesAndIndicesAreChecked) {
    const CVector3d source(1, 2, 3);
    CVector3d copy(&source);
    ExpectVector(copy, 1, 2, 3);
    CVector3d target(7, 8, 9);
    target = &source;
    ExpectVector(target, 1, 2, 3);
    EXPECT_EQ(target[0], 1);
    EXPECT_EQ(target[2], 3);
    target[1] = 42;
    ExpectVector(target, 1, 42, 3);

    AssertCounter counter;
    const CVector3d* none = nullptr;
    CVector3d fromNull(none);
    ExpectVector(fromNull, 0, 0, 0);
    target = none;
    ExpectVector(target, 1, 42, 3);
    target[3] = 99;
    ExpectVector(target, 1, 42, 3);
    EXPECT_EQ(counter.Count(), 3);
}

TEST(CVector4d, ArithmeticOnAllFourComponents) {
    CVector4d v(kOne, 2 * kOne, 3 * kOne, 4 * kOne);
    v += CVector4d(kOne, kOne, kOne, kOne);
    v -= kOne / 2;
    v *= 2 * kOne;
    v /= kOne / 2;
    EXPECT_EQ(v.x, 6 * kOne);
    EXPECT_EQ(v.y, 10 * kOne);
    EXPECT_EQ(v.z, 14 * kOne);
    EXPECT_EQ(v.w, 18 * kOne);
    v -= CVector4d(kOne, kOne, kOne, kOne);
    v += kOne;
    EXPECT_EQ(v.w, 18 * kOne);
    v = CVector3d(1, 2, 3);
    EXPECT_EQ(v.x, 1);
    EXPECT_EQ(v.z, 3);
    EXPECT_EQ(v.w, 18 * kOne);
    CVector4d copy(&v);
    EXPECT_EQ(copy.w, 18 * kOne);
    AssertCounter counter;
    const CVector4d* none = nullptr;
    copy = none;
    EXPECT_EQ(copy.w, 18 * kOne);
    EXPECT_EQ(counter.Count(), 1);
}

TEST(CVector4dh, WIsSetByTheLowByteOfTheDirectionFlag) {
    EXPECT_EQ(CVector4dh(1, 2, 3, 1).w, 0);
    EXPECT_EQ(CVector4dh(1, 2, 3, 0).w, kOne);
    EXPECT_EQ(CVector4dh(1, 2, 3, 0x100).w, kOne);
    const CVector3d v(4, 5, 6);
    const CVector4dh direction(v, 0x101);
    EXPECT_EQ(direction.x, 4);
    EXPECT_EQ(direction.z, 6);
    EXPECT_EQ(direction.w, 0);
    EXPECT_EQ(CVector4dh(&v, 0).w, kOne);
    CVector4dh point(0, 0, 0, 0);
    point = CVector3d(7, 8, 9);
    EXPECT_EQ(point.y, 8);
    EXPECT_EQ(point.w, kOne);
    AssertCounter counter;
    const CVector4dh fromNull(static_cast<const CVector3d*>(nullptr), 1);
    EXPECT_EQ(fromNull.x, 0);
    EXPECT_EQ(fromNull.w, 0);
    EXPECT_EQ(counter.Count(), 1);
}

}  // namespace
