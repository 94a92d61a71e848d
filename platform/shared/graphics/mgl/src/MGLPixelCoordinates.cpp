#include "MGLPixelCoordinates.h"

#include <bit>

#include "MGLVectorUnit.h"

#if MGL_VECTOR_UNIT(AVX2)
#include <immintrin.h>
#endif

namespace {

int32_t Clamped(int32_t lod, int32_t max) { return lod > max ? max : lod; }

#if MGL_VECTOR_UNIT(AVX2)

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

// MGLContextCore::ComputeLod of each lane. The bit width of d (2^16 or more,
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

// What the reciprocals of a row's groups of eight share.
struct DivideLanes {
    const int32_t* table;
    Lanes limit;
    int32_t limitBits;
    Lanes cfz0;
};

__attribute__((target("avx2"))) DivideLanes DivideLanesOf(const PerspectiveDivide& divide) {
    return DivideLanes{divide.recipTable, _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(divide.limit))),
                       static_cast<int32_t>(std::bit_width(divide.limit)), _mm256_set1_epi32(divide.cfz0)};
}

// The reciprocals of eight pixels' depth offsets, each r with its shift.
struct Reciprocals {
    Lanes r;
    Lanes shift;
};

[[gnu::always_inline]] __attribute__((target("avx2"))) inline Reciprocals ReciprocalsAt(const DivideLanes& divide,
                                                                                      Lanes depth) {
    const Lanes one = _mm256_set1_epi32(1);
    const Lanes zero = _mm256_setzero_si256();
    const Lanes z = _mm256_blendv_epi8(one, _mm256_sub_epi32(depth, divide.cfz0), _mm256_cmpgt_epi32(depth, zero));
    const Lanes k = Doublings(divide.limit, divide.limitBits, z);
    const Lanes halved = _mm256_srli_epi32(_mm256_add_epi32(_mm256_srlv_epi32(z, _mm256_sub_epi32(k, one)), one), 1);
    const Lanes index = _mm256_min_epu32(_mm256_blendv_epi8(halved, z, _mm256_cmpeq_epi32(k, zero)),
                                         _mm256_set1_epi32(MGLLookupTables::kTableSizeM1));
    const ShiftLanes q = Bounded(_mm256_add_epi32(k, _mm256_set1_epi32(kReciprocalShift)));
    return Reciprocals{_mm256_srav_epi32(_mm256_i32gather_epi32(divide.table, index, 4), q.excess), q.shift};
}

// u, v and the perspective terms of the level of detail at eight columns,
// or their steps from one group of eight to the next.
struct TermLanes {
    Lanes u, v, k3u, k3v;
};

__attribute__((target("avx2"))) TermLanes TermsAt(const TexturedValues& w) {
    return TermLanes{Ramp(w.u, w.uStep), Ramp(w.v, w.vStep), Ramp(w.k3u, WrapNeg(w.k1u)), Ramp(w.k3v, WrapNeg(w.k1v))};
}

__attribute__((target("avx2"))) TermLanes TermSteps(const TexturedValues& w) {
    return TermLanes{_mm256_set1_epi32(WrapMul(kLanes, w.uStep)), _mm256_set1_epi32(WrapMul(kLanes, w.vStep)),
                     _mm256_set1_epi32(WrapMul(kLanes, w.k1u)), _mm256_set1_epi32(WrapMul(kLanes, w.k1v))};
}

// The terms eight columns on (the K3 terms step down by K1).
__attribute__((target("avx2"))) TermLanes Advanced(const TermLanes& at, const TermLanes& steps) {
    return TermLanes{_mm256_add_epi32(at.u, steps.u), _mm256_add_epi32(at.v, steps.v),
                     _mm256_sub_epi32(at.k3u, steps.k3u), _mm256_sub_epi32(at.k3v, steps.k3v)};
}

// What the levels of detail of a row's groups read.
struct LodLanes {
    bool perPixel;
    Lanes k2Largest;
    Lanes max;
    Lanes fixed;
};

__attribute__((target("avx2"))) LodLanes LodLanesOf(const MGLPixelCoordinates::Lod& choice, const TexturedValues& w) {
    return LodLanes{choice.perPixel, _mm256_set1_epi32(w.k2Largest), _mm256_set1_epi32(choice.max),
                    _mm256_set1_epi32(Clamped(choice.fixed, choice.max))};
}

// u, v and the level of detail of the eight pixels from `first`.
[[gnu::always_inline]] __attribute__((target("avx2"))) inline void StoreGroup(MGLPixelCoordinates& out,
                                                                              int32_t first, const Reciprocals& q,
                                                                              const TermLanes& terms,
                                                                              const LodLanes& choice) {
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out.u + first), MulShift(q.r, terms.u, q.shift));
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out.v + first), MulShift(q.r, terms.v, q.shift));
    Lanes lod = choice.fixed;
    if (choice.perPixel) {
        const ShiftLanes q2 = Bounded(_mm256_add_epi32(q.shift, _mm256_set1_epi32(kLodShift)));
        const Lanes r2 = _mm256_srav_epi32(MulShift(q.r, q.r, q.shift), q2.excess);
        const Lanes k3 = _mm256_max_epi32(Magnitudes(terms.k3v), Magnitudes(terms.k3u));
        const Lanes m = _mm256_max_epi32(choice.k2Largest, k3);
        lod = _mm256_min_epi32(LevelsOfDetail(MulShift(m, r2, q2.shift)), choice.max);
    }
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out.lod + first), lod);
}

// u, v and the level of detail of `count` pixels from the values' start.
// Over more than one group the reciprocals are worked out first, apart
// from the rest: each pass's lanes hold few values and the processor
// overlaps one group of eight with the next instead of waiting out the
// table load. A row of one group, the commonest, keeps them in registers.
__attribute__((target("avx2"))) void FillLanes(MGLPixelCoordinates& out, const TexturedValues& w,
                                               const PerspectiveDivide& divide, const MGLPixelCoordinates::Lod& choice,
                                               int32_t count) {
    const DivideLanes divideLanes = DivideLanesOf(divide);
    const LodLanes lod = LodLanesOf(choice, w);
    Lanes depth = Ramp(w.depth, w.depthStep);
    TermLanes terms = TermsAt(w);
    if (count <= kLanes) {
        StoreGroup(out, 0, ReciprocalsAt(divideLanes, depth), terms, lod);
        return;
    }
    alignas(32) int32_t rs[MGLPixelCoordinates::kPixels];
    alignas(32) int32_t shifts[MGLPixelCoordinates::kPixels];
    const Lanes depthStep = _mm256_set1_epi32(WrapMul(kLanes, w.depthStep));
    for (int32_t i = 0; i < count; i += kLanes) {
        const Reciprocals q = ReciprocalsAt(divideLanes, depth);
        _mm256_store_si256(reinterpret_cast<Lanes*>(rs + i), q.r);
        _mm256_store_si256(reinterpret_cast<Lanes*>(shifts + i), q.shift);
        depth = _mm256_add_epi32(depth, depthStep);
    }
    const TermLanes steps = TermSteps(w);
    for (int32_t i = 0; i < count; i += kLanes) {
        const Reciprocals q{_mm256_load_si256(reinterpret_cast<const Lanes*>(rs + i)),
                            _mm256_load_si256(reinterpret_cast<const Lanes*>(shifts + i))};
        StoreGroup(out, i, q, terms, lod);
        terms = Advanced(terms, steps);
    }
}

#endif

}  // namespace

void MGLPixelCoordinates::Fill(const TexturedValues& w, const PerspectiveDivide& divide, const Lod& lodChoice,
                               int32_t count) {
    if (!FillByEight(w, divide, lodChoice, count)) FillEach(w, divide, lodChoice, count);
}

void MGLPixelCoordinates::FillEach(const TexturedValues& w, const PerspectiveDivide& divide, const Lod& lodChoice,
                                   int32_t count) {
    TexturedValues at = w;
    for (int32_t i = 0; i < count; ++i) {
        const PixelReciprocal q = ReciprocalOf(divide, at.depth);
        PerspectiveCoordinates(q, at, &u[i], &v[i]);
        lod[i] = Clamped(lodChoice.perPixel ? PerspectiveLod(q, at) : lodChoice.fixed, lodChoice.max);
        at.Advance(1);
    }
}

bool MGLPixelCoordinates::FillByEight(const TexturedValues& w, const PerspectiveDivide& divide, const Lod& lodChoice,
                                      int32_t count) {
#if MGL_VECTOR_UNIT(AVX2)
    // The lanes compare the limit in 32 bits.
    if (MGLVectorUnit::EightLanes() && divide.limit >= 1 && divide.limit <= UINT32_MAX) {
        FillLanes(*this, w, divide, lodChoice, count);
        MGLVectorUnit::Filled(MGLVectorUnit::Pass::Coordinates, count);
        return true;
    }
#else
    (void)w;
    (void)divide;
    (void)lodChoice;
    (void)count;
#endif
    return false;
}
