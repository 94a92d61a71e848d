#include "MGLPixelQuads.h"

#include <algorithm>

#include "MGLPixelCoordinates.h"
#include "MGLTextureSampler.h"
#include "MGLVectorUnit.h"

#if defined(__x86_64__)
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

#if defined(__x86_64__)

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
// QuadWeights::Values weighs it.
__attribute__((target("avx2"))) void QuadLanes(Lanes u, Lanes v, Lanes level, Lanes scale, int32_t* tu, int32_t* tv,
                                               uint64_t* weights) {
    const Lanes shift = _mm256_add_epi32(level, _mm256_set1_epi32(kTexelShift - kWeightShift));
    const Lanes su = _mm256_srav_epi32(u, shift);
    const Lanes sv = _mm256_srav_epi32(v, shift);
    const Lanes full = _mm256_set1_epi32(kFull);
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(tu), _mm256_srai_epi32(su, kWeightShift));
    _mm256_storeu_si256(reinterpret_cast<Lanes*>(tv), _mm256_srai_epi32(sv, kWeightShift));
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

__attribute__((target("avx2"))) void FillLanes(MGLPixelQuads& out, const MGLPixelCoordinates& at, int32_t lastLevel,
                                               int32_t count) {
    const Lanes half = _mm256_set1_epi32(kHalfTexel);
    const Lanes last = _mm256_set1_epi32(lastLevel);
    const Lanes full = _mm256_set1_epi32(kFull);
    for (int32_t i = 0; i < count; i += kLanes) {
        const Lanes u = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.u + i)), half);
        const Lanes v = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.v + i)), half);
        const Lanes lod = _mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.lod + i));
        const Lanes level =
            _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(lod, kLevelShift), _mm256_setzero_si256()), last);
        _mm256_storeu_si256(reinterpret_cast<Lanes*>(out.level + i), level);
        const Lanes blend = _mm256_and_si256(_mm256_srli_epi32(lod, kBlendShift), full);
        const Lanes next = _mm256_sub_epi32(level, _mm256_cmpgt_epi32(last, level));  // one on, below the last
        QuadLanes(u, v, level, _mm256_sub_epi32(full, blend), out.tu[0] + i, out.tv[0] + i, out.weights[0] + i);
        QuadLanes(u, v, next, blend, out.tu[1] + i, out.tv[1] + i, out.weights[1] + i);
    }
}

#endif

// One quad of one pixel, as QuadLanes makes eight.
void SetQuad(MGLPixelQuads& out, int32_t quad, int32_t i, int32_t u, int32_t v, int32_t level, int32_t scale) {
    out.tu[quad][i] = u >> (level + kTexelShift);
    out.tv[quad][i] = v >> (level + kTexelShift);
    int32_t values[4];
    sampler_detail::BlendedWeights(u, v, level, scale, 0).Values(values);
    uint64_t packed = 0;
    for (int32_t k = 0; k < 4; ++k) packed |= static_cast<uint64_t>(values[k] << kWeightShift) << (kLaneBits * k);
    out.weights[quad][i] = packed;
}

}  // namespace

void MGLPixelQuads::Fill(const MGLPixelCoordinates& at, int32_t lastLevel, int32_t count) {
    if (!FillByEight(at, lastLevel, count)) FillEach(at, lastLevel, count);
}

void MGLPixelQuads::FillEach(const MGLPixelCoordinates& at, int32_t lastLevel, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t u = at.u[i] - kHalfTexel;
        const int32_t v = at.v[i] - kHalfTexel;
        const int32_t lod = at.lod[i];
        const int32_t blend = (lod >> kBlendShift) & kFull;
        level[i] = std::clamp(lod >> kLevelShift, 0, lastLevel);
        SetQuad(*this, 0, i, u, v, level[i], kFull - blend);
        SetQuad(*this, 1, i, u, v, level[i] < lastLevel ? level[i] + 1 : level[i], blend);
    }
}

bool MGLPixelQuads::FillByEight(const MGLPixelCoordinates& at, int32_t lastLevel, int32_t count) {
#if defined(__x86_64__)
    if (MGLVectorUnit::EightLanes()) {
        FillLanes(*this, at, lastLevel, count);
        MGLVectorUnit::Filled(MGLVectorUnit::Pass::Quads, count);
        return true;
    }
#endif
    return false;
}
