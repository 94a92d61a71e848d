#include "MGLPixelQuads.h"

#include <algorithm>

#include "MGLPixelCoordinates.h"
#include "MGLTextureSampler.h"
#include "MGLVectorUnit.h"

#if MGL_VECTOR_UNIT(AVX2)
#include <immintrin.h>
#endif

static_assert(MGLPixelQuads::kPixels == MGLPixelCoordinates::kPixels);

namespace {

using sampler_detail::kFull;
using sampler_detail::kHalfTexel;

constexpr int32_t kLevelShift = 16;  // lod >> 16: the level
constexpr int32_t kBlendShift = 8;   // bits 15..8 of the lod: the blend
constexpr int32_t kTexelShift = 16;  // u >> (level + 16): the texel
constexpr int32_t kWeightShift = 8;  // a weight in its lane's high byte
constexpr int32_t kLaneBits = 16;

#if MGL_VECTOR_UNIT(AVX2)

constexpr int32_t kLanes = 8;

using Lanes = __m256i;

// Four weights of eight pixels, each in the high byte of its 16-bit lane,
// as one word a pixel from `out` on.
__attribute__((target("avx2"))) void StoreWeights(Lanes w0, Lanes w1, Lanes w2, Lanes w3, uint64_t* out) {
    const Lanes first = _mm256_or_si256(_mm256_slli_epi32(w0, kWeightShift), _mm256_slli_epi32(w1, kWeightShift + kLaneBits));
    const Lanes second = _mm256_or_si256(_mm256_slli_epi32(w2, kWeightShift), _mm256_slli_epi32(w3, kWeightShift + kLaneBits));
    // Per 128-bit half, pixels 0, 1 (4, 5) and 2, 3 (6, 7) of the eight.
    const Lanes low = _mm256_unpacklo_epi32(first, second);
    const Lanes high = _mm256_unpackhi_epi32(first, second);
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out), _mm256_permute2x128_si256(low, high, 0x20));
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out + kLanes / 2), _mm256_permute2x128_si256(low, high, 0x31));
}

// One quad of eight pixels on their levels, weighed by `scale`, as
// QuadWeights::Values weighs it; the texel it starts from in *tu, *tv.
__attribute__((target("avx2"))) void QuadLanes(Lanes u, Lanes v, Lanes level, Lanes scale, Lanes* tu, Lanes* tv,
                                               uint64_t* weights) {
    const Lanes shift = _mm256_add_epi32(level, _mm256_set1_epi32(kTexelShift - kWeightShift));
    const Lanes su = _mm256_srav_epi32(u, shift);
    const Lanes sv = _mm256_srav_epi32(v, shift);
    const Lanes full = _mm256_set1_epi32(kFull);
    *tu = _mm256_srai_epi32(su, kWeightShift);
    *tv = _mm256_srai_epi32(sv, kWeightShift);
    const Lanes fx = _mm256_and_si256(su, full);
    const Lanes fy = _mm256_and_si256(sv, full);
    const Lanes across0 = _mm256_mullo_epi32(scale, _mm256_xor_si256(fx, full));
    const Lanes across1 = _mm256_mullo_epi32(scale, fx);
    const Lanes down0 = _mm256_xor_si256(fy, full);
    StoreWeights(_mm256_srli_epi32(_mm256_mullo_epi32(across0, down0), 16),
                 _mm256_srli_epi32(_mm256_mullo_epi32(across1, down0), 16),
                 _mm256_srli_epi32(_mm256_mullo_epi32(across1, fy), 16),
                 _mm256_srli_epi32(_mm256_mullo_epi32(across0, fy), 16), weights);
}

// A table of the levels' values, read by each lane's level (0..15) where
// it lies, not copied.
struct LevelTable {
    const Lanes* halves;

    template <class Value>
    explicit LevelTable(const Value* values) : halves(reinterpret_cast<const Lanes*>(values)) {}

    __attribute__((target("avx2"))) Lanes At(Lanes level) const {
        const Lanes past = _mm256_cmpgt_epi32(level, _mm256_set1_epi32(kLanes - 1));
        return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(_mm256_loadu_si256(halves), level),
                                  _mm256_permutevar8x32_epi32(_mm256_loadu_si256(halves + 1), level), past);
    }
};

// Where eight texel coordinates fall on rows (or columns) of last + 1
// texels, *at, and the neighbour their quads take, *next, as
// texel_detail's Wrapped and NextTexel take them (a coordinate is negative
// where its texel is).
template <TextureWrap Wrap>
__attribute__((target("avx2"))) void WrappedPair(Lanes t, Lanes last, Lanes* at, Lanes* next) {
    const Lanes one = _mm256_set1_epi32(1);
    if constexpr (Wrap == TextureWrap::Clamp) {
        *at = _mm256_min_epi32(_mm256_max_epi32(t, _mm256_setzero_si256()), last);
        const Lanes held = _mm256_or_si256(_mm256_cmpeq_epi32(*at, last), _mm256_cmpgt_epi32(_mm256_setzero_si256(), t));
        *next = _mm256_add_epi32(*at, _mm256_andnot_si256(held, one));
    } else if constexpr (Wrap == TextureWrap::Mirror) {
        const Lanes raw = _mm256_and_si256(t, last);
        const Lanes straight = _mm256_cmpeq_epi32(_mm256_and_si256(t, _mm256_add_epi32(last, one)), _mm256_setzero_si256());
        *at = _mm256_blendv_epi8(_mm256_sub_epi32(last, raw), raw, straight);
        // One on in a straight copy, one back in a mirrored one.
        const Lanes step = _mm256_or_si256(_mm256_andnot_si256(straight, _mm256_set1_epi32(-1)), one);
        *next = _mm256_add_epi32(*at, _mm256_andnot_si256(_mm256_cmpeq_epi32(raw, last), step));
    } else {
        *at = _mm256_and_si256(t, last);
        *next = _mm256_andnot_si256(_mm256_cmpeq_epi32(*at, last), _mm256_add_epi32(*at, one));
    }
}

// The levels' tables.
struct LevelTables {
    LevelTable lastColumn, lastRow, rowBytes;
    Lanes bpp;

    __attribute__((target("avx2"))) explicit LevelTables(const MGLPixelQuads::Levels& levels)
        : lastColumn(levels.lastColumn),
          lastRow(levels.lastRow),
          rowBytes(levels.rowBytes),
          bpp(_mm256_set1_epi32(static_cast<int32_t>(levels.Bpp()))) {}
};

// The offsets of eight quads from texels (tu, tv) of their levels, modulo
// 2^32 as the products' low halves give them.
template <TextureWrap Wrap>
[[gnu::always_inline]] __attribute__((target("avx2"))) inline void OffsetLanes(Lanes tu, Lanes tv, Lanes level,
                                                                               const LevelTables& tables,
                                                                               uint32_t (*out)[MGLPixelQuads::kPixels],
                                                                               int32_t i) {
    Lanes x0, x1, y0, y1;
    WrappedPair<Wrap>(tu, tables.lastColumn.At(level), &x0, &x1);
    WrappedPair<Wrap>(tv, tables.lastRow.At(level), &y0, &y1);
    const Lanes rowBytes = tables.rowBytes.At(level);
    const Lanes across0 = _mm256_mullo_epi32(x0, tables.bpp);
    const Lanes across1 = _mm256_mullo_epi32(x1, tables.bpp);
    const Lanes down0 = _mm256_mullo_epi32(y0, rowBytes);
    const Lanes down1 = _mm256_mullo_epi32(y1, rowBytes);
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out[0] + i), _mm256_add_epi32(across0, down0));
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out[1] + i), _mm256_add_epi32(across1, down0));
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out[2] + i), _mm256_add_epi32(across1, down1));
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(out[3] + i), _mm256_add_epi32(across0, down1));
}

// Quad `quad` of eight pixels from pixel i on: its weights and offsets.
template <TextureWrap Wrap>
[[gnu::always_inline]] __attribute__((target("avx2"))) inline void QuadOfLanes(MGLPixelQuads& out, int32_t quad,
                                                                               int32_t i, Lanes u, Lanes v, Lanes level,
                                                                               Lanes scale, const LevelTables& tables) {
    Lanes tu, tv;
    QuadLanes(u, v, level, scale, &tu, &tv, out.weights[quad] + i);
    OffsetLanes<Wrap>(tu, tv, level, tables, out.offsets[quad], i);
}

template <TextureWrap Wrap>
__attribute__((target("avx2"))) void FillLanes(MGLPixelQuads& out, const MGLPixelCoordinates& at,
                                               const MGLPixelQuads::Levels& levels, int32_t count) {
    const Lanes half = _mm256_set1_epi32(kHalfTexel);
    const Lanes last = _mm256_set1_epi32(levels.last);
    const Lanes full = _mm256_set1_epi32(kFull);
    const LevelTables tables(levels);
    for (int32_t i = 0; i < count; i += kLanes) {
        const Lanes u = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.u + i)), half);
        const Lanes v = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.v + i)), half);
        const Lanes lod = _mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.lod + i));
        const Lanes level =
            _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(lod, kLevelShift), _mm256_setzero_si256()), last);
        _mm256_storeu_si256(reinterpret_cast<Lanes*>(out.level + i), level);
        const Lanes blend = _mm256_and_si256(_mm256_srli_epi32(lod, kBlendShift), full);
        const Lanes next = _mm256_sub_epi32(level, _mm256_cmpgt_epi32(last, level));  // one on, below the last
        QuadOfLanes<Wrap>(out, 0, i, u, v, level, _mm256_sub_epi32(full, blend), tables);
        QuadOfLanes<Wrap>(out, 1, i, u, v, next, blend, tables);
    }
    // The rows that read the quads are SSE2 code without the VEX encoding,
    // which pays at each vector instruction for upper halves left dirty.
    // The compiler clears them on return only where nothing it called may
    // have left them live (a helper taking 256-bit arguments not inlined
    // left them so, a third slower), so they are cleared here.
    _mm256_zeroupper();
}

// FillLanes for the levels' wrap mode.
void FillLanesWrapped(MGLPixelQuads& out, const MGLPixelCoordinates& at, const MGLPixelQuads::Levels& levels,
                      int32_t count) {
    switch (levels.Wrap()) {
        case TextureWrap::Clamp: return FillLanes<TextureWrap::Clamp>(out, at, levels, count);
        case TextureWrap::Mirror: return FillLanes<TextureWrap::Mirror>(out, at, levels, count);
        default: return FillLanes<TextureWrap::Repeat>(out, at, levels, count);
    }
}

#endif

// One quad of one pixel, as QuadOfLanes makes eight.
void SetQuad(MGLPixelQuads& out, int32_t quad, int32_t i, int32_t u, int32_t v, int32_t level, int32_t scale,
             const MGLPixelQuads::Levels& levels) {
    int32_t values[4];
    sampler_detail::BlendedWeights(u, v, level, scale, 0).Values(values);
    uint64_t packed = 0;
    for (int32_t k = 0; k < 4; ++k) packed |= static_cast<uint64_t>(values[k] << kWeightShift) << (kLaneBits * k);
    out.weights[quad][i] = packed;
    const TexelLevel::QuadOffsets q = levels.shapes[level].QuadOffsetsAt(u, v);
    const int64_t corners[MGLPixelQuads::kCorners] = {q.at0, q.at1, q.at2, q.at3};
    for (int32_t k = 0; k < MGLPixelQuads::kCorners; ++k) out.offsets[quad][k][i] = static_cast<uint32_t>(corners[k]);
}

}  // namespace

MGLPixelQuads::Levels::Levels(const TexelLevel (&levelShapes)[kTexelLevels], int32_t lastLevel)
    : last(lastLevel) {
    for (int32_t level = 0; level < kTexelLevels; ++level) {
        const TexelLevel& shape = levelShapes[level];
        shapes[level] = shape;
        lastColumn[level] = shape.w - 1;
        lastRow[level] = shape.h - 1;
        rowBytes[level] = static_cast<uint32_t>(shape.bpp) * static_cast<uint32_t>(shape.w);
    }
}

void MGLPixelQuads::Fill(const MGLPixelCoordinates& at, const Levels& levels, int32_t count) {
    if (!FillByEight(at, levels, count)) FillEach(at, levels, count);
}

void MGLPixelQuads::FillEach(const MGLPixelCoordinates& at, const Levels& levels, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t u = at.u[i] - kHalfTexel;
        const int32_t v = at.v[i] - kHalfTexel;
        const int32_t lod = at.lod[i];
        const int32_t blend = (lod >> kBlendShift) & kFull;
        level[i] = std::clamp(lod >> kLevelShift, 0, levels.last);
        SetQuad(*this, 0, i, u, v, level[i], kFull - blend, levels);
        SetQuad(*this, 1, i, u, v, level[i] < levels.last ? level[i] + 1 : level[i], blend, levels);
    }
}

bool MGLPixelQuads::FillByEight(const MGLPixelCoordinates& at, const Levels& levels, int32_t count) {
#if MGL_VECTOR_UNIT(AVX2)
    if (MGLVectorUnit::EightLanes()) {
        FillLanesWrapped(*this, at, levels, count);
        MGLVectorUnit::Filled(MGLVectorUnit::Pass::Quads, count);
        return true;
    }
#else
    (void)at;
    (void)levels;
    (void)count;
#endif
    return false;
}
