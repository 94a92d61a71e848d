#include "MGLPixelCoordinates.h"

#include <bit>

#include "MGLVectorUnit.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

int32_t Clamped(int32_t lod, int32_t max) { return lod > max ? max : lod; }

#if defined(__x86_64__)

constexpr int32_t kLanes = 8;
constexpr int32_t kFractionBits = 16;
constexpr int32_t kFraction = 0xFFFF;
constexpr int32_t kFloatMantissaBits = 23;
constexpr int32_t kFloatExponentBias = 127;
constexpr int32_t kLowByte = 0xFF;
constexpr int32_t kHalfBits = 16;
constexpr int32_t kLowHalf = 0xFFFF;

using Lanes = __m256i;

// Each lane's value at columns 0..7 from the start, in wrapping arithmetic.
__attribute__((target("avx2"))) Lanes Ramp(int32_t start, int32_t step) {
    const Lanes columns = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    return _mm256_add_epi32(_mm256_set1_epi32(start), _mm256_mullo_epi32(columns, _mm256_set1_epi32(step)));
}

// a <= b, unsigned, as an all-ones lane.
__attribute__((target("avx2"))) Lanes NotAbove(Lanes a, Lanes b) {
    return _mm256_cmpeq_epi32(_mm256_max_epu32(a, b), b);
}

// FixedMulShift of each lane (0 <= shift <= 63): the 64-bit product of
// the even lanes and of the odd lanes, shifted and put back together.
__attribute__((target("avx2"))) Lanes MulShift(Lanes a, Lanes b, Lanes shift) {
    const Lanes low = _mm256_set1_epi64x(0xFFFFFFFF);
    const Lanes even = _mm256_srlv_epi64(_mm256_mul_epi32(a, b), _mm256_and_si256(shift, low));
    const Lanes odd = _mm256_srlv_epi64(_mm256_mul_epi32(_mm256_srli_epi64(a, 32), _mm256_srli_epi64(b, 32)),
                                        _mm256_srli_epi64(shift, 32));
    return _mm256_blend_epi32(even, _mm256_slli_epi64(odd, 32), 0xAA);
}

// Floor of log2 of each lane of 1..2^24 - 1, which a float holds exactly.
__attribute__((target("avx2"))) Lanes ExactLog2(Lanes x) {
    return _mm256_sub_epi32(_mm256_srli_epi32(_mm256_castps_si256(_mm256_cvtepi32_ps(x)), kFloatMantissaBits),
                            _mm256_set1_epi32(kFloatExponentBias));
}

// The bit width of each lane, taken as unsigned, from its halves: each is
// exact as a float. A zero lane gives a negative width.
__attribute__((target("avx2"))) Lanes BitWidths(Lanes z) {
    const Lanes high = _mm256_srli_epi32(z, kHalfBits);
    const Lanes low = _mm256_and_si256(z, _mm256_set1_epi32(kLowHalf));
    const Lanes fromHigh = _mm256_add_epi32(ExactLog2(high), _mm256_set1_epi32(kHalfBits + 1));
    const Lanes fromLow = _mm256_add_epi32(ExactLog2(low), _mm256_set1_epi32(1));
    return _mm256_blendv_epi8(fromHigh, fromLow, _mm256_cmpeq_epi32(high, _mm256_setzero_si256()));
}

// DoublingsToReach(limit, z) of each lane, for a limit of 1..2^32 - 1 of
// `limitBits` bits: as there, the bit widths give the count to within one,
// and limit << k < z, that is limit <= (z - 1) >> k, says it is one more.
__attribute__((target("avx2"))) Lanes Doublings(Lanes limit, int32_t limitBits, Lanes z) {
    const Lanes one = _mm256_set1_epi32(1);
    const Lanes below = _mm256_sub_epi32(_mm256_max_epu32(z, one), one);
    const Lanes k = _mm256_max_epi32(_mm256_sub_epi32(BitWidths(z), _mm256_set1_epi32(limitBits)), _mm256_setzero_si256());
    return _mm256_sub_epi32(k, NotAbove(limit, _mm256_srlv_epi32(below, k)));
}

// The larger of two shifts and the part of it past the divide's largest.
struct ShiftLanes {
    Lanes shift;
    Lanes excess;
};

__attribute__((target("avx2"))) ShiftLanes Bounded(Lanes shift) {
    const Lanes most = _mm256_set1_epi32(kMaxDivideShift);
    return ShiftLanes{_mm256_min_epi32(shift, most), _mm256_max_epi32(_mm256_sub_epi32(shift, most), _mm256_setzero_si256())};
}

// Magnitude of each lane.
__attribute__((target("avx2"))) Lanes Magnitudes(Lanes v) {
    return _mm256_min_epu32(_mm256_abs_epi32(v), _mm256_set1_epi32(INT32_MAX));
}

// MGLContext::ComputeLod of each lane. The bit width of d (2^16 or more,
// below 2^31) is its float's exponent plus one; without its low byte, d
// has no more significant bits than a float holds, so the float is exact
// and cannot round up to the next power of two.
__attribute__((target("avx2"))) Lanes LevelsOfDetail(Lanes d) {
    const Lanes exact = _mm256_andnot_si256(_mm256_set1_epi32(kLowByte), d);
    const Lanes top = _mm256_sub_epi32(_mm256_srli_epi32(_mm256_castps_si256(_mm256_cvtepi32_ps(exact)), kFloatMantissaBits),
                                       _mm256_set1_epi32(kFloatExponentBias));
    const Lanes halvings = _mm256_sub_epi32(top, _mm256_set1_epi32(kFractionBits));
    const Lanes fraction = _mm256_set1_epi32(kFraction);
    const Lanes large = _mm256_add_epi32(_mm256_slli_epi32(_mm256_add_epi32(halvings, _mm256_set1_epi32(1)), kFractionBits),
                                         _mm256_and_si256(_mm256_srlv_epi32(d, halvings), fraction));
    const Lanes small = _mm256_and_si256(_mm256_add_epi32(d, d), fraction);
    const Lanes belowOne = _mm256_cmpgt_epi32(_mm256_set1_epi32(kFraction + 1), d);
    const Lanes belowHalf = _mm256_cmpgt_epi32(_mm256_set1_epi32((kFraction + 1) / 2), d);
    const Lanes lod = _mm256_blendv_epi8(large, small, belowOne);
    return _mm256_blendv_epi8(lod, _mm256_set1_epi32(-(kFraction + 1)), belowHalf);
}

// The reciprocals of the pixels' depth offsets, each r with its shift,
// for `count` pixels from the walk's start.
__attribute__((target("avx2"))) void ReciprocalLanes(const TexturedWalk& w, const PerspectiveDivide& divide,
                                                     int32_t count, int32_t* rs, int32_t* shifts) {
    Lanes depth = Ramp(w.depth, w.depthStep);
    const Lanes depthStep = _mm256_set1_epi32(WrapMul(kLanes, w.depthStep));
    const Lanes limit = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(divide.limit)));
    const int32_t limitBits = static_cast<int32_t>(std::bit_width(divide.limit));
    const Lanes cfz0 = _mm256_set1_epi32(divide.cfz0);
    const Lanes one = _mm256_set1_epi32(1);
    const Lanes zero = _mm256_setzero_si256();
    const Lanes lastIndex = _mm256_set1_epi32(MGLLookupTables::kTableSizeM1);
    for (int32_t i = 0; i < count; i += kLanes) {
        const Lanes z = _mm256_blendv_epi8(one, _mm256_sub_epi32(depth, cfz0), _mm256_cmpgt_epi32(depth, zero));
        const Lanes k = Doublings(limit, limitBits, z);
        const Lanes halved = _mm256_srli_epi32(_mm256_add_epi32(_mm256_srlv_epi32(z, _mm256_sub_epi32(k, one)), one), 1);
        const Lanes index = _mm256_min_epu32(_mm256_blendv_epi8(halved, z, _mm256_cmpeq_epi32(k, zero)), lastIndex);
        const ShiftLanes q = Bounded(_mm256_add_epi32(k, _mm256_set1_epi32(kReciprocalShift)));
        const Lanes r = _mm256_srav_epi32(_mm256_i32gather_epi32(divide.recipTable, index, 4), q.excess);
        _mm256_storeu_si256(reinterpret_cast<Lanes*>(rs + i), r);
        _mm256_storeu_si256(reinterpret_cast<Lanes*>(shifts + i), q.shift);
        depth = _mm256_add_epi32(depth, depthStep);
    }
}

// u, v and the level of detail from the reciprocals. Worked out apart from
// them, each pass's lanes hold few values and the processor overlaps one
// group of eight with the next instead of waiting out the table load.
__attribute__((target("avx2"))) void FillLanes(MGLPixelCoordinates& out, const TexturedWalk& w,
                                               const PerspectiveDivide& divide, const MGLPixelCoordinates::Lod& rule,
                                               int32_t count) {
    alignas(32) int32_t rs[MGLPixelCoordinates::kPixels];
    alignas(32) int32_t shifts[MGLPixelCoordinates::kPixels];
    ReciprocalLanes(w, divide, count, rs, shifts);
    Lanes u = Ramp(w.u, w.uStep);
    Lanes v = Ramp(w.v, w.vStep);
    Lanes k3u = Ramp(w.k3u, WrapNeg(w.k1u));
    Lanes k3v = Ramp(w.k3v, WrapNeg(w.k1v));
    const Lanes uStep = _mm256_set1_epi32(WrapMul(kLanes, w.uStep));
    const Lanes vStep = _mm256_set1_epi32(WrapMul(kLanes, w.vStep));
    const Lanes k1u = _mm256_set1_epi32(WrapMul(kLanes, w.k1u));
    const Lanes k1v = _mm256_set1_epi32(WrapMul(kLanes, w.k1v));
    const Lanes k2Largest = _mm256_set1_epi32(w.k2Largest);
    const Lanes maxLod = _mm256_set1_epi32(rule.max);
    const Lanes fixedLod = _mm256_set1_epi32(Clamped(rule.fixed, rule.max));
    for (int32_t i = 0; i < count; i += kLanes) {
        const Lanes r = _mm256_load_si256(reinterpret_cast<const Lanes*>(rs + i));
        const Lanes shift = _mm256_load_si256(reinterpret_cast<const Lanes*>(shifts + i));
        _mm256_storeu_si256(reinterpret_cast<Lanes*>(out.u + i), MulShift(r, u, shift));
        _mm256_storeu_si256(reinterpret_cast<Lanes*>(out.v + i), MulShift(r, v, shift));
        Lanes lod = fixedLod;
        if (rule.perPixel) {
            const ShiftLanes q2 = Bounded(_mm256_add_epi32(shift, _mm256_set1_epi32(kLodShift)));
            const Lanes r2 = _mm256_srav_epi32(MulShift(r, r, shift), q2.excess);
            const Lanes m = _mm256_max_epi32(k2Largest, _mm256_max_epi32(Magnitudes(k3v), Magnitudes(k3u)));
            lod = _mm256_min_epi32(LevelsOfDetail(MulShift(m, r2, q2.shift)), maxLod);
        }
        _mm256_storeu_si256(reinterpret_cast<Lanes*>(out.lod + i), lod);
        u = _mm256_add_epi32(u, uStep);
        v = _mm256_add_epi32(v, vStep);
        k3u = _mm256_sub_epi32(k3u, k1u);
        k3v = _mm256_sub_epi32(k3v, k1v);
    }
}

#endif

}  // namespace

void MGLPixelCoordinates::Fill(const TexturedWalk& w, const PerspectiveDivide& divide, const Lod& lodRule,
                               int32_t count) {
    if (!FillByEight(w, divide, lodRule, count)) FillEach(w, divide, lodRule, count);
}

void MGLPixelCoordinates::FillEach(const TexturedWalk& w, const PerspectiveDivide& divide, const Lod& lodRule,
                                   int32_t count) {
    TexturedWalk at = w;
    for (int32_t i = 0; i < count; ++i) {
        const PixelReciprocal q = ReciprocalOf(divide, at.depth);
        PerspectiveCoordinates(q, at, &u[i], &v[i]);
        lod[i] = Clamped(lodRule.perPixel ? PerspectiveLod(q, at) : lodRule.fixed, lodRule.max);
        at.Advance(1);
    }
}

bool MGLPixelCoordinates::FillByEight(const TexturedWalk& w, const PerspectiveDivide& divide, const Lod& lodRule,
                                      int32_t count) {
#if defined(__x86_64__)
    // The lanes compare the limit in 32 bits.
    if (MGLVectorUnit::EightLanes() && divide.limit >= 1 && divide.limit <= UINT32_MAX) {
        FillLanes(*this, w, divide, lodRule, count);
        MGLVectorUnit::Filled(MGLVectorUnit::Pass::Coordinates, count);
        return true;
    }
#endif
    return false;
}
