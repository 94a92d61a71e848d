#ifndef MGLPIXELCOORDINATES_H
#define MGLPIXELCOORDINATES_H

#include <bit>
#include <cstdint>

#include "CFixedWide.h"
#include "MGLContextCore.h"
#include "MGLFixed.h"
#include "MGLLookupTables.h"

// The values a textured span steps along its row, kept out of the record
// while it runs: depth, u and v, and the perspective terms of u and v.
struct TexturedValues {
    int32_t depth, u, v;
    int32_t depthStep, uStep, vStep;
    int32_t k2Largest;  // the larger magnitude of K2x of u and v: constant along the row
    int32_t k3u, k3v;   // K3ys: stepped by K1
    int32_t k1u, k1v;

    // The values `pixels` columns on.
    void Advance(int32_t pixels) {
        depth = WrapAdd(depth, WrapMul(pixels, depthStep));
        u = WrapAdd(u, WrapMul(pixels, uStep));
        v = WrapAdd(v, WrapMul(pixels, vStep));
        k3u = WrapSub(k3u, WrapMul(pixels, k1u));
        k3v = WrapSub(k3v, WrapMul(pixels, k1v));
    }
};

// What the perspective divide reads, taken from the record and the
// context once per span.
struct PerspectiveDivide {
    const int32_t* recipTable;
    uint64_t limit;  // the reciprocal table's last index
    int32_t cfz0;    // the depth offset the interpolants were scaled by
};

// The reciprocal of one pixel's depth offset, r / 2^shift, from the
// reciprocal table: the interpolants were scaled by the depth offset at the
// vertices, and are divided back by it through this.
struct PixelReciprocal {
    int32_t r;
    int32_t shift;
};

// The largest shift a product of the divide is taken down by.
constexpr int32_t kMaxDivideShift = 30;
// The reciprocal table holds 2^30 / i: ten bits more than the 2^20 the
// interpolants are scaled by.
constexpr int32_t kReciprocalShift = 10;
// K2x / z^2 is the texel step scaled by 2^36 (the scaled interpolants
// carry 2^-20, the K terms 2^-16) and r2 / 2^shift is 2^40 / z^2: four
// more bits give the step in 16.16 texels, as the affine mode measures it.
constexpr int32_t kLodShift = 4;

namespace perspective_detail {

// The depth offset a pixel's reciprocal is taken of.
inline uint32_t DepthOffset(const PerspectiveDivide& divide, int32_t depth) {
    return depth <= 0 ? 1u : static_cast<uint32_t>(WrapSub(depth, divide.cfz0));
}

// The table's entry at an index, the last one past the table.
inline int32_t EntryAt(const PerspectiveDivide& divide, uint32_t index) {
    return divide.recipTable[index > MGLLookupTables::kTableSizeM1 ? MGLLookupTables::kTableSizeM1 : index];
}

// The shift of an entry `doublings` halvings down, and how far the entry
// is taken down to hold the shift at kMaxDivideShift.
struct ReciprocalScale {
    int32_t excess;
    int32_t shift;
};

inline ReciprocalScale ScaleOf(int32_t doublings) {
    const int32_t shift = doublings + kReciprocalShift;
    return shift > kMaxDivideShift ? ReciprocalScale{shift - kMaxDivideShift, kMaxDivideShift}
                                   : ReciprocalScale{0, shift};
}

// |v| in 32 bits, 2^31 for the most negative value: its sign bits, all
// ones or none, flip a negative value's bits and add one to them.
inline uint32_t UnsignedMagnitude(int32_t v) {
    const uint32_t sign = static_cast<uint32_t>(v >> 31);
    return (static_cast<uint32_t>(v) ^ sign) - sign;
}

// The larger Magnitude of a and b: the larger of their magnitudes, held at
// the largest value once.
inline int32_t LargerMagnitude(int32_t a, int32_t b) {
    const uint32_t magnitudeA = UnsignedMagnitude(a);
    const uint32_t magnitudeB = UnsignedMagnitude(b);
    const uint32_t larger = magnitudeA > magnitudeB ? magnitudeA : magnitudeB;
    return larger > INT32_MAX ? INT32_MAX : static_cast<int32_t>(larger);
}

}  // namespace perspective_detail

// The shift comes out within kReciprocalShift..kMaxDivideShift.
inline PixelReciprocal ReciprocalOf(const PerspectiveDivide& divide, int32_t depth) {
    using namespace perspective_detail;
    const MGLTableIndex at = TableIndexOf(divide.limit, DepthOffset(divide, depth));
    const ReciprocalScale scale = ScaleOf(at.doublings);
    return PixelReciprocal{EntryAt(divide, at.index) >> scale.excess, scale.shift};
}

// ReciprocalOf for the pixels of a row, in turn: their depth offsets
// mostly need as many doublings of the table limit as the last one's, and
// an offset within the last one's band, (limit << (k - 1), limit << k]
// ([0, limit] for none), is not measured again.
class PixelReciprocals {
public:
    explicit PixelReciprocals(const PerspectiveDivide& divide)
        : m_divide(divide), m_limitBits(static_cast<int32_t>(std::bit_width(divide.limit))) {
        Measure(0);
    }

    PixelReciprocal Of(int32_t depth) {
        using namespace perspective_detail;
        const uint32_t z = DepthOffset(m_divide, depth);
        if (uint64_t{z} - m_first > m_span) Measure(z);
        const uint32_t index = ((z >> m_halvings) + m_rounding) >> m_rounding;
        return PixelReciprocal{EntryAt(m_divide, index) >> m_scale.excess, m_scale.shift};
    }

private:
    void Measure(uint32_t z) {
        const uint64_t limit = m_divide.limit;
        const int32_t doublings = DoublingsToReach(limit, m_limitBits, z);
        m_first = doublings > 0 ? (limit << (doublings - 1)) + 1 : 0;
        m_span = (limit << doublings) - m_first;
        m_rounding = doublings > 0 ? 1 : 0;
        m_halvings = doublings - m_rounding;
        m_scale = perspective_detail::ScaleOf(doublings);
    }

    PerspectiveDivide m_divide;
    int32_t m_limitBits;
    // HalvedIndex for the band's doublings, k: halved k - 1 times, then
    // once more rounding to nearest; for none, the offset itself.
    int32_t m_halvings = 0;
    int32_t m_rounding = 0;
    uint64_t m_first = 0;  // the band's first offset
    uint64_t m_span = 0;   // its last offset less its first
    perspective_detail::ReciprocalScale m_scale{0, 0};
};

// u and v of one pixel from the perspective terms.
inline void PerspectiveCoordinates(const PixelReciprocal& q, const TexturedValues& w, int32_t* u, int32_t* v) {
    *u = FixedMulShiftIn(q.r, w.u, q.shift);
    *v = FixedMulShiftIn(q.r, w.v, q.shift);
}

// The texel step of one pixel from the perspective terms, in 16.16.
inline int32_t PerspectiveStep(const PixelReciprocal& q, const TexturedValues& w) {
    int32_t shift = q.shift;
    int32_t r2 = FixedMulShiftIn(q.r, q.r, shift);
    const int32_t k3 = perspective_detail::LargerMagnitude(w.k3v, w.k3u);
    const int32_t m = k3 > w.k2Largest ? k3 : w.k2Largest;
    shift += kLodShift;
    if (shift > kMaxDivideShift) {
        r2 >>= shift - kMaxDivideShift;
        shift = kMaxDivideShift;
    }
    return FixedMulShiftIn(m, r2, shift);
}

// The level of detail of one pixel from the perspective terms.
inline int32_t PerspectiveLod(const PixelReciprocal& q, const TexturedValues& w) {
    return MGLContextCore::ComputeLod(PerspectiveStep(q, w));
}

namespace perspective_detail {

constexpr int32_t kOne = 0x10000;
constexpr int32_t kFractionBits = 16;

// ComputeLod's whole part of a step of one texel or more, as a level.
inline int32_t StepLevel(int32_t d) {
    return d < kOne ? 0 : static_cast<int32_t>(std::bit_width(static_cast<uint32_t>(d))) - kFractionBits;
}

}  // namespace perspective_detail

// PerspectiveLod less its fraction, for a rule that reads the nearest
// texel of one level: ComputeLod's whole part, without working the
// fraction out.
inline int32_t PerspectiveLevelLod(const PixelReciprocal& q, const TexturedValues& w) {
    using namespace perspective_detail;
    const int32_t d = PerspectiveStep(q, w);
    return d < kOne / 2 ? -kOne : StepLevel(d) * kOne;
}

// The level such a rule reads where its levels go from 0 to `highest`:
// PerspectiveLevelLod's level held within them.
inline int32_t PerspectiveLevel(const PixelReciprocal& q, const TexturedValues& w, int32_t highest) {
    const int32_t level = perspective_detail::StepLevel(PerspectiveStep(q, w));
    return level < highest ? level : highest;
}

// u, v and level of detail of a run of pixels of a perspective row,
// worked out ahead of the pixels' depth tests and texels: pure arithmetic
// from the values, so that pixels which fail the test later cost nothing more
// than their share of a pass the vector unit makes eight pixels at a time.
class MGLPixelCoordinates {
public:
    static constexpr int32_t kPixels = 64;

    // What a row asks of the pixels: the level of detail each reads (when
    // not, the row's fixed one), and the largest it may be.
    struct Lod {
        bool perPixel;
        int32_t fixed;
        int32_t max;
    };

    int32_t u[kPixels];
    int32_t v[kPixels];
    int32_t lod[kPixels];

    // The first `count` (1..kPixels) pixels from the values' start, through
    // the vector unit where the eight-at-a-time passes run
    // (MGLVectorUnit::EightLanes).
    void Fill(const TexturedValues& w, const PerspectiveDivide& divide, const Lod& lodChoice, int32_t count);
    // The same one pixel at a time, on any processor.
    void FillEach(const TexturedValues& w, const PerspectiveDivide& divide, const Lod& lodChoice, int32_t count);
    // The same eight pixels at a time; false, with nothing filled, where
    // those passes do not run.
    bool FillByEight(const TexturedValues& w, const PerspectiveDivide& divide, const Lod& lodChoice, int32_t count);
};

#endif
