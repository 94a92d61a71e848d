#include "CTriangle2d.h"

#include "CFixedWide.h"
#include "CLineSegment2d.h"
#include "CMathFixed.h"

namespace {

bool SegmentCrossesTriangle(const CTriangle2d& t, const CVector2d& p, const CVector2d& q) {
    return SegmentsCross2d(p, q, t.a, t.b) || SegmentsCross2d(p, q, t.b, t.c) || SegmentsCross2d(p, q, t.c, t.a);
}

int32_t SquaredLength(const CVector2d& v) { return CVector2d::Dot(v, v); }

}  // namespace

int32_t CTriangle2d::Orient(const CVector2d& a, const CVector2d& b, const CVector2d& p) {
    return CVector2d::Side(p, a, b);
}

int32_t CTriangle2d::ClassifyPoint(const CVector2d& p) const {
    // Inside (or on the boundary) unless one edge sees p on its left and
    // another on its right; a zero is compatible with either side.
    const int32_t s1 = Orient(a, b, p);
    const int32_t s2 = Orient(b, c, p);
    const int32_t s3 = Orient(c, a, p);
    const bool anyLeft = s1 > 0 || s2 > 0 || s3 > 0;
    const bool anyRight = s1 < 0 || s2 < 0 || s3 < 0;
    return anyLeft && anyRight ? kOutside : kInside;
}

int32_t CTriangle2d::ClassifySegment(const CVector2d& p, const CVector2d& q) const {
    if (SegmentCrossesTriangle(*this, p, q)) return kCrossing;
    return ClassifyPoint(p) == kInside ? kInside : kOutside;
}

bool CTriangle2d::IntersectsTriangle(const CTriangle2d& other) const {
    if (SegmentCrossesTriangle(other, a, b) || SegmentCrossesTriangle(other, b, c) ||
        SegmentCrossesTriangle(other, c, a)) {
        return true;
    }
    return ClassifyPoint(other.a) == kInside || other.ClassifyPoint(a) == kInside;
}

bool CTriangle2d::Barycentric(const CVector2d& p, int32_t& u, int32_t& v, int32_t& w) const {
    const CVector2d e0 = b - a;
    const CVector2d e1 = c - a;
    const CVector2d e2 = p - a;
    const int64_t d00 = CVector2d::DotWide(e0, e0);
    const int64_t d01 = CVector2d::DotWide(e0, e1);
    const int64_t d11 = CVector2d::DotWide(e1, e1);
    const int64_t d20 = CVector2d::DotWide(e2, e0);
    const int64_t d21 = CVector2d::DotWide(e2, e1);
    const int64_t den = FixedMulWide(d00, d11) - FixedMulWide(d01, d01);
    if (den == 0) {
        u = CMathFixed::ONE;
        v = w = 0;
        return false;
    }
    v = FixedRatioWide(FixedMulWide(d11, d20) - FixedMulWide(d01, d21), den);
    w = FixedRatioWide(FixedMulWide(d00, d21) - FixedMulWide(d01, d20), den);
    u = CMathFixed::ONE - v - w;
    return true;
}

bool CTriangle2d::IsIsosceles() const {
    const int32_t ab = SquaredLength(b - a);
    const int32_t ac = SquaredLength(c - a);
    const int32_t bc = SquaredLength(c - b);
    return ab == ac || ab == bc || ac == bc;
}

bool CTriangle2d::IsEquilateral() const {
    const int32_t ab = SquaredLength(b - a);
    return ab == SquaredLength(c - a) && ab == SquaredLength(c - b);
}
