#ifndef MGLPIXELCOORDINATES_H
#define MGLPIXELCOORDINATES_H

#include <bit>
#include <cstdint>

#include "CFixedWide.h"
#include "MGLContext.h"
#include "MGLFixed.h"
#include "MGLLookupTables.h"

// The values a textured span walks along its row, kept out of the record
// while it runs: depth, u and v, and the perspective terms of u and v.
struct TexturedWalk {
    int32_t depth, u, v;
    int32_t depthStep, uStep, vStep;
    int32_t k2Largest;  // the larger magnitude of K2x of u and v: constant along the row
    int32_t k3u, k3v;   // K3ys: stepped by K1
    int32_t k1u, k1v;

    // The walk `pixels` columns on.
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

inline PixelReciprocal ReciprocalOf(const PerspectiveDivide& divide, int32_t depth) {
    const uint32_t z = depth <= 0 ? 1u : static_cast<uint32_t>(WrapSub(depth, divide.cfz0));
    const MGLTableIndex at = TableIndexOf(divide.limit, z);
    int32_t r = divide.recipTable[at.index > MGLLookupTables::kTableSizeM1 ? MGLLookupTables::kTableSizeM1 : at.index];
    int32_t shift = at.doublings + kReciprocalShift;
    if (shift > kMaxDivideShift) {
        r >>= shift - kMaxDivideShift;
        shift = kMaxDivideShift;
    }
    return PixelReciprocal{r, shift};
}

// u and v of one pixel from the perspective terms.
inline void PerspectiveCoordinates(const PixelReciprocal& q, const TexturedWalk& w, int32_t* u, int32_t* v) {
    *u = FixedMulShift(q.r, w.u, q.shift);
    *v = FixedMulShift(q.r, w.v, q.shift);
}

// The texel step of one pixel from the perspective terms, in 16.16.
inline int32_t PerspectiveStep(const PixelReciprocal& q, const TexturedWalk& w) {
    int32_t shift = q.shift;
    int32_t r2 = FixedMulShift(q.r, q.r, shift);
    int32_t m = w.k2Largest;
    for (const int32_t term : {w.k3v, w.k3u}) m = Magnitude(term) > m ? Magnitude(term) : m;
    shift += kLodShift;
    if (shift > kMaxDivideShift) {
        r2 >>= shift - kMaxDivideShift;
        shift = kMaxDivideShift;
    }
    return FixedMulShift(m, r2, shift);
}

// The level of detail of one pixel from the perspective terms.
inline int32_t PerspectiveLod(const PixelReciprocal& q, const TexturedWalk& w) {
    return MGLContext::ComputeLod(PerspectiveStep(q, w));
}

// PerspectiveLod less its fraction, for a rule that reads the nearest
// texel of one level: ComputeLod's whole part, without working the
// fraction out.
inline int32_t PerspectiveLevelLod(const PixelReciprocal& q, const TexturedWalk& w) {
    constexpr int32_t kOne = 0x10000;
    constexpr int32_t kFractionBits = 16;
    const int32_t d = PerspectiveStep(q, w);
    if (d < kOne / 2) return -kOne;
    if (d < kOne) return 0;
    return (static_cast<int32_t>(std::bit_width(static_cast<uint32_t>(d))) - kFractionBits) * kOne;
}

// u, v and level of detail of a run of pixels of a perspective row,
// worked out ahead of the pixels' depth tests and texels: pure arithmetic
// from the walk, so that pixels which fail the test later cost nothing more
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

    // The first `count` (1..kPixels) pixels from the walk's start, through
    // the vector unit where the eight-at-a-time passes run
    // (MGLVectorUnit::EightLanes).
    void Fill(const TexturedWalk& w, const PerspectiveDivide& divide, const Lod& lodRule, int32_t count);
    // The same one pixel at a time, on any processor.
    void FillEach(const TexturedWalk& w, const PerspectiveDivide& divide, const Lod& lodRule, int32_t count);
    // The same eight pixels at a time; false, with nothing filled, where
    // those passes do not run.
    bool FillByEight(const TexturedWalk& w, const PerspectiveDivide& divide, const Lod& lodRule, int32_t count);
};

#endif
