#include "MGLPixelTexels.h"

#include <type_traits>

#include "MGLTextureSampler.h"
#include "MGLVectorUnit.h"

#if MGL_VECTOR_UNIT(AVX2)
#include <immintrin.h>
#endif

namespace {

#if MGL_VECTOR_UNIT(AVX2)

constexpr int32_t kLevelShift = 16;  // lod >> 16: the level

using sampler_detail::kFull;
using sampler_detail::kHalfTexel;

constexpr int32_t kFractionShift = 8;  // (u >> (level + 8)) & 255: the fraction; 8 more, the texel
constexpr int32_t kTexelShift = 16;    // u >> (level + 16): the texel
constexpr int32_t kBlendShift = 8;     // bits 15..8 of the lod: the blend
constexpr int32_t kWeightShift = 8;    // a weight in its lane's high byte
constexpr int32_t kHighByte = 0xFF00;
constexpr int32_t kLaneBits = 16;
constexpr int32_t kByteBits = 8;
constexpr int32_t kSignShift = 31;
constexpr int32_t kLaneTopBit = 15;
// The routines step through a level by its format's size, one of these.
constexpr int32_t kHalfTexelBytes = 2;
constexpr int32_t kWordTexelBytes = 4;

using Lanes = __m256i;

using texel_format::kEightAtATime;
using texel_format::kHalfTexels;
using texel_format::LaneWidens;

// Each 16-bit lane's texel, its field widened to 8 bits as its layout
// widens it (the top bits repeated below it), and held times 257, as the
// sampler holds a channel.
template <PixelLayout::Field F>
__attribute__((target("avx2"))) Lanes Channel(Lanes texels) {
    static_assert(LaneWidens(F));
    if constexpr (!F.Stored()) {
        return _mm256_set1_epi16(-1);
    } else if constexpr (F.bits == 1) {
        // The field moved to the lane's top bit, then spread down it.
        return _mm256_srai_epi16(F.shift == kLaneTopBit ? texels : _mm256_slli_epi16(texels, kLaneTopBit - F.shift),
                                 kLaneTopBit);
    } else {
        constexpr int32_t kRepeated = kByteBits - F.bits;
        const Lanes field = _mm256_and_si256(_mm256_srli_epi16(texels, F.shift), _mm256_set1_epi16(F.Ones()));
        const Lanes widened =
            _mm256_or_si256(_mm256_slli_epi16(field, kRepeated), _mm256_srli_epi16(field, F.bits - kRepeated));
        return _mm256_mullo_epi16(widened, _mm256_set1_epi16(texel_format::kChannelScale));
    }
}

// A 16-bit format's channels, each times 257 in the 16-bit lane of its
// texel; or their weighted sums.
struct Channels {
    Lanes a, r, g, b;
};

template <class Format>
__attribute__((target("avx2"))) Channels ChannelsOf(Lanes texels) {
    constexpr PixelLayout kLayout = Format::kLayout;
    return {Channel<kLayout.a>(texels), Channel<kLayout.r>(texels), Channel<kLayout.g>(texels),
            Channel<kLayout.b>(texels)};
}

// A quad's texels at the lanes' indices, for eight quads, and their
// weights (each in the high byte of a 32-bit lane's low half).
struct Quads {
    Lanes at[4];
    Lanes weight[4];
};

// The pixels' summed channels, a, r, g, b in 16 bits each, a pixel to
// 64 bits: pixels 0, 1, 4 and 5 in `near`, 2, 3, 6 and 7 in `far`.
struct Sums {
    Lanes near;
    Lanes far;
};

// The texels at two vectors of indices, each into its own level, read one
// by one: 16 bits each, in the order _mm256_packus_epi32 leaves two vectors
// of 32-bit lanes in (the first's lanes 0-3, the second's 0-3, the first's
// 4-7, the second's 4-7).
__attribute__((target("avx2"))) Lanes HalfTexels(const uint8_t* firstBase, Lanes first, const uint8_t* secondBase,
                                                 Lanes second) {
    constexpr int32_t kHalf = MGLPixelTexels::kGroup / 2;
    alignas(32) int32_t index[2][MGLPixelTexels::kGroup];
    _mm256_store_si256(reinterpret_cast<Lanes*>(index[0]), first);
    _mm256_store_si256(reinterpret_cast<Lanes*>(index[1]), second);
    alignas(32) uint16_t texels[2 * MGLPixelTexels::kGroup];
    for (int32_t j = 0; j < MGLPixelTexels::kGroup; ++j) {
        const int32_t lane = j % kHalf + 2 * kHalf * (j / kHalf);
        texels[lane] = static_cast<uint16_t>(PixelChannels::Load16(firstBase + kHalfTexelBytes * int64_t{index[0][j]}));
        texels[lane + kHalf] =
            static_cast<uint16_t>(PixelChannels::Load16(secondBase + kHalfTexelBytes * int64_t{index[1][j]}));
    }
    return _mm256_load_si256(reinterpret_cast<const Lanes*>(texels));
}

// Weighted channels of texel pairs in HalfTexels' order summed: each
// pixel's sum in the low four lanes of the half its texels are in.
__attribute__((target("avx2"))) Lanes PairsSummed(Lanes weighted) {
    return _mm256_add_epi16(weighted, _mm256_shuffle_epi32(weighted, _MM_SHUFFLE(1, 0, 3, 2)));
}

// The channels' sums, a channel to a vector as PairsSummed leaves them,
// gathered a pixel at a time.
__attribute__((target("avx2"))) Sums PixelsOf(const Channels& sums) {
    const Lanes ar = _mm256_unpacklo_epi16(sums.a, sums.r);
    const Lanes gb = _mm256_unpacklo_epi16(sums.g, sums.b);
    return {_mm256_unpacklo_epi32(ar, gb), _mm256_unpackhi_epi32(ar, gb)};
}

// One channel of the quads' two texel pairs weighted and summed.
__attribute__((target("avx2"))) Lanes ChannelSums(Lanes near, Lanes far, const Lanes weights[2]) {
    return PairsSummed(_mm256_add_epi16(_mm256_mulhi_epu16(near, weights[0]), _mm256_mulhi_epu16(far, weights[1])));
}

// The weighted channels of a 16-bit format's quads, channel by channel
// across the pixels, then gathered a pixel at a time.
template <class Format>
__attribute__((target("avx2"))) Sums HalfTexelSums(const uint8_t* base, const Quads& quads) {
    const Channels near = ChannelsOf<Format>(HalfTexels(base, quads.at[0], base, quads.at[1]));
    const Channels far = ChannelsOf<Format>(HalfTexels(base, quads.at[2], base, quads.at[3]));
    const Lanes weights[2] = {_mm256_packus_epi32(quads.weight[0], quads.weight[1]),
                              _mm256_packus_epi32(quads.weight[2], quads.weight[3])};
    return PixelsOf({ChannelSums(near.a, far.a, weights), ChannelSums(near.r, far.r, weights),
                     ChannelSums(near.g, far.g, weights), ChannelSums(near.b, far.b, weights)});
}

// Texels on two levels, at the lanes' indices into each, as a pair
// weighted (each weight in the high byte of a 32-bit lane's low half).
struct LevelPair {
    const uint8_t* nearBase;
    Lanes near;
    Lanes nearWeight;
    const uint8_t* farBase;
    Lanes far;
    Lanes farWeight;
};

// The weighted channels of a 16-bit format's texel pairs. Inline, as
// WordTexelPairSums: called, the pair would go through memory.
template <class Format>
__attribute__((target("avx2"), always_inline)) inline Sums HalfTexelPairSums(const LevelPair& pair) {
    const Channels texels = ChannelsOf<Format>(HalfTexels(pair.nearBase, pair.near, pair.farBase, pair.far));
    const Lanes weights = _mm256_packus_epi32(pair.nearWeight, pair.farWeight);
    return PixelsOf({PairsSummed(_mm256_mulhi_epu16(texels.a, weights)),
                     PairsSummed(_mm256_mulhi_epu16(texels.r, weights)),
                     PairsSummed(_mm256_mulhi_epu16(texels.g, weights)),
                     PairsSummed(_mm256_mulhi_epu16(texels.b, weights))});
}

// The 32-bit texels at the quads' indices, read one by one, turned from
// b, g, r, a bytes to a, r, g, b (texel_format::kWordTexels).
template <class Format>
__attribute__((target("avx2"))) Lanes WordTexels(const uint8_t* base, Lanes at) {
    alignas(32) int32_t index[MGLPixelTexels::kGroup];
    _mm256_store_si256(reinterpret_cast<Lanes*>(index), at);
    alignas(32) uint32_t texels[MGLPixelTexels::kGroup];
    for (int32_t j = 0; j < MGLPixelTexels::kGroup; ++j) {
        texels[j] = PixelChannels::Load32(base + kWordTexelBytes * int64_t{index[j]});
    }
    const Lanes reversed = _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12, 3, 2, 1, 0, 7, 6, 5,
                                            4, 11, 10, 9, 8, 15, 14, 13, 12);
    const Lanes argb = _mm256_shuffle_epi8(_mm256_load_si256(reinterpret_cast<const Lanes*>(texels)), reversed);
    if constexpr (!Format::kLayout.a.Stored()) return _mm256_or_si256(argb, _mm256_set1_epi32(kFull));
    return argb;
}

// One texel of each of the eight quads, its bytes doubled to 16-bit lanes
// (times 257) and weighted by its weight, laid out as Sums.
__attribute__((target("avx2"))) Sums WeightedWords(Lanes texels, Lanes weights) {
    const Lanes both = _mm256_or_si256(weights, _mm256_slli_epi32(weights, kLaneBits));
    return {_mm256_mulhi_epu16(_mm256_unpacklo_epi8(texels, texels), _mm256_unpacklo_epi32(both, both)),
            _mm256_mulhi_epu16(_mm256_unpackhi_epi8(texels, texels), _mm256_unpackhi_epi32(both, both))};
}

__attribute__((target("avx2"))) Sums Added(Sums a, Sums b) {
    return {_mm256_add_epi16(a.near, b.near), _mm256_add_epi16(a.far, b.far)};
}

// The weighted channels of a 32-bit format's texel pairs.
template <class Format>
__attribute__((target("avx2"), always_inline)) inline Sums WordTexelPairSums(const LevelPair& pair) {
    return Added(WeightedWords(WordTexels<Format>(pair.nearBase, pair.near), pair.nearWeight),
                 WeightedWords(WordTexels<Format>(pair.farBase, pair.far), pair.farWeight));
}

// The weighted channels of a 32-bit format's quads, a pixel at a time.
template <class Format>
__attribute__((target("avx2"))) Sums WordTexelSums(const uint8_t* base, const Quads& quads) {
    Sums sums = WeightedWords(WordTexels<Format>(base, quads.at[0]), quads.weight[0]);
    for (int32_t k = 1; k < 4; ++k)
        sums = Added(sums, WeightedWords(WordTexels<Format>(base, quads.at[k]), quads.weight[k]));
    return sums;
}

// The texels a quad takes across (or down) from texel t, in a row (column)
// of `size` texels: where t falls, and its neighbour on, as
// texel_detail::Wrapped and NextTexel take them.
struct Neighbours {
    Lanes first;
    Lanes next;
};

template <TextureWrap Wrap>
__attribute__((target("avx2"))) Neighbours NeighboursOf(Lanes t, Lanes coordinate, int32_t size) {
    const Lanes last = _mm256_set1_epi32(size - 1);
    const Lanes one = _mm256_set1_epi32(1);
    if constexpr (Wrap == TextureWrap::Clamp) {
        const Lanes x = _mm256_min_epi32(_mm256_max_epi32(t, _mm256_setzero_si256()), last);
        const Lanes held = _mm256_or_si256(_mm256_cmpeq_epi32(x, last), _mm256_srai_epi32(coordinate, kSignShift));
        return {x, _mm256_add_epi32(x, _mm256_andnot_si256(held, one))};
    } else if constexpr (Wrap == TextureWrap::Mirror) {
        const Lanes raw = _mm256_and_si256(t, last);
        const Lanes upright = _mm256_cmpeq_epi32(_mm256_and_si256(t, _mm256_set1_epi32(size)), _mm256_setzero_si256());
        const Lanes x = _mm256_blendv_epi8(_mm256_sub_epi32(last, raw), raw, upright);
        // +1 upright, -1 turned back, 0 at the copy's last texel.
        const Lanes step = _mm256_or_si256(_mm256_andnot_si256(upright, _mm256_set1_epi32(-1)), one);
        return {x, _mm256_add_epi32(x, _mm256_andnot_si256(_mm256_cmpeq_epi32(raw, last), step))};
    } else {
        const Lanes x = _mm256_and_si256(t, last);
        return {x, _mm256_andnot_si256(_mm256_cmpeq_epi32(x, last), _mm256_add_epi32(x, one))};
    }
}

// A weight as QuadTexels::Weighed makes one level's: the fractions'
// product, its low byte cleared.
__attribute__((target("avx2"))) Lanes Weight(Lanes across, Lanes down) {
    return _mm256_and_si256(_mm256_mullo_epi16(across, down), _mm256_set1_epi32(kHighByte));
}

// The eight pixels' lanes, laid out as Sums, stored in order.
__attribute__((target("avx2"))) void Store(const Sums& sums, uint64_t* lanes) {
    Lanes* out = reinterpret_cast<Lanes*>(lanes);
    _mm256_storeu_si256(out, _mm256_permute2x128_si256(sums.near, sums.far, 0x20));
    _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(sums.near, sums.far, 0x31));
}

// Whether the routines for the format can step through the level: only
// where its description has the texels side by side at the format's size,
// all within the bytes found mapped (which also numbers them within
// 32-bit lanes). A level with another step is left to the sampler.
template <class Format>
bool Addressable(const TexelLevel& texels) {
    return texels.Packed(kHalfTexels<Format> ? kHalfTexelBytes : kWordTexelBytes);
}

// The sampler's bilinear filter (QuadLanesIn's one level) for eight pixels.
template <class Format, TextureWrap Wrap>
__attribute__((target("avx2"))) bool FillGroup(MGLPixelTexels& out, const MGLPixelCoordinates& at, int32_t first,
                                               const TexelLevel& texels) {
    if (!Addressable<Format>(texels)) return false;
    const Lanes half = _mm256_set1_epi32(kHalfTexel);
    const Lanes u = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.u + first)), half);
    const Lanes v = _mm256_sub_epi32(_mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.v + first)), half);
    const __m128i shift = _mm_cvtsi32_si128(texels.level + kFractionShift);
    const Lanes su = _mm256_sra_epi32(u, shift);
    const Lanes sv = _mm256_sra_epi32(v, shift);
    const Neighbours columns = NeighboursOf<Wrap>(_mm256_srai_epi32(su, kFractionShift), u, texels.w);
    const Neighbours rows = NeighboursOf<Wrap>(_mm256_srai_epi32(sv, kFractionShift), v, texels.h);
    const Lanes width = _mm256_set1_epi32(texels.w);
    const Lanes row0 = _mm256_mullo_epi32(rows.first, width);
    const Lanes row1 = _mm256_mullo_epi32(rows.next, width);

    const Lanes full = _mm256_set1_epi32(kFull);
    const Lanes fx = _mm256_and_si256(su, full);
    const Lanes fy = _mm256_and_si256(sv, full);
    const Lanes fx0 = _mm256_xor_si256(fx, full);
    const Lanes fy0 = _mm256_xor_si256(fy, full);
    // The quad's order: (x, y), (x + 1, y), (x + 1, y + 1), (x, y + 1).
    const Quads quads{{_mm256_add_epi32(columns.first, row0), _mm256_add_epi32(columns.next, row0),
                       _mm256_add_epi32(columns.next, row1), _mm256_add_epi32(columns.first, row1)},
                      {Weight(fx0, fy0), Weight(fx, fy0), Weight(fx, fy), Weight(fx0, fy)}};
    if constexpr (kHalfTexels<Format>) {
        Store(HalfTexelSums<Format>(texels.base, quads), out.lanes + first);
    } else {
        Store(WordTexelSums<Format>(texels.base, quads), out.lanes + first);
    }
    return true;
}

// The texel each lane's coordinates fall on, in a level, as
// texel_detail::Wrapped takes it.
template <TextureWrap Wrap>
__attribute__((target("avx2"))) Lanes TexelIndex(Lanes u, Lanes v, const TexelLevel& texels) {
    const __m128i shift = _mm_cvtsi32_si128(texels.level + kTexelShift);
    const Lanes x = NeighboursOf<Wrap>(_mm256_sra_epi32(u, shift), u, texels.w).first;
    const Lanes y = NeighboursOf<Wrap>(_mm256_sra_epi32(v, shift), v, texels.h).first;
    return _mm256_add_epi32(x, _mm256_mullo_epi32(y, _mm256_set1_epi32(texels.w)));
}

// The sampler's nearest texels of two levels blended (the NearestBlend filter, as
// WeightedTexels::OfPair weighs them) for eight pixels.
template <class Format, TextureWrap Wrap>
__attribute__((target("avx2"))) bool FillBlendGroup(MGLPixelTexels& out, const MGLPixelCoordinates& at, int32_t first,
                                                    const TexelLevel& near, const TexelLevel& far) {
    if (!Addressable<Format>(near) || !Addressable<Format>(far)) return false;
    const Lanes u = _mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.u + first));
    const Lanes v = _mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.v + first));
    const Lanes lod = _mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.lod + first));
    const Lanes full = _mm256_set1_epi32(kFull);
    const Lanes blend = _mm256_and_si256(_mm256_srli_epi32(lod, kBlendShift), full);
    const LevelPair pair{near.base,
                         TexelIndex<Wrap>(u, v, near),
                         _mm256_slli_epi32(_mm256_xor_si256(blend, full), kWeightShift),
                         far.base,
                         TexelIndex<Wrap>(u, v, far),
                         _mm256_slli_epi32(blend, kWeightShift)};
    if constexpr (kHalfTexels<Format>) {
        Store(HalfTexelPairSums<Format>(pair), out.lanes + first);
    } else {
        Store(WordTexelPairSums<Format>(pair), out.lanes + first);
    }
    return true;
}

// GroupLevel's level of each pixel, compared with the first pixel's.
__attribute__((target("avx2"))) int32_t SharedLevel(const MGLPixelCoordinates& at, int32_t first, int32_t lastLevel) {
    const Lanes lod = _mm256_loadu_si256(reinterpret_cast<const Lanes*>(at.lod + first));
    const Lanes level = _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(lod, kLevelShift), _mm256_setzero_si256()),
                                         _mm256_set1_epi32(lastLevel));
    const Lanes firstLevel = _mm256_permutevar8x32_epi32(level, _mm256_setzero_si256());
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(level, firstLevel)) != -1) return -1;
    return _mm256_cvtsi256_si32(level);
}

// The routines of one kind, by format and wrap mode.
struct BilinearFill {
    using Routine = MGLPixelTexels::Routine;
    template <class Format, TextureWrap Wrap>
    static constexpr Routine kFill = &FillGroup<Format, Wrap>;
};

struct BlendFill {
    using Routine = MGLPixelTexels::BlendRoutine;
    template <class Format, TextureWrap Wrap>
    static constexpr Routine kFill = &FillBlendGroup<Format, Wrap>;
};

template <class Kind, class Format>
typename Kind::Routine FillIn(TextureWrap wrap) {
    switch (wrap) {
        case TextureWrap::Clamp: return Kind::template kFill<Format, TextureWrap::Clamp>;
        case TextureWrap::Mirror: return Kind::template kFill<Format, TextureWrap::Mirror>;
        default: return Kind::template kFill<Format, TextureWrap::Repeat>;
    }
}

// The kind's routine for the format's decoder; null for a format without
// one, or where the eight-at-a-time passes do not run.
template <class Kind>
typename Kind::Routine RoutineFor(uint32_t format, TextureWrap wrap) {
    typename Kind::Routine routine = nullptr;
    if (!MGLVectorUnit::EightLanes()) return nullptr;
    texel_format::VisitDecoder(format, [&](auto texel) {
        if constexpr (kEightAtATime<decltype(texel)>) routine = FillIn<Kind, decltype(texel)>(wrap);
    });
    return routine;
}

#else

// Without the vector unit there are no routines.
struct BilinearFill {
    using Routine = MGLPixelTexels::Routine;
};

struct BlendFill {
    using Routine = MGLPixelTexels::BlendRoutine;
};

template <class Kind>
typename Kind::Routine RoutineFor(uint32_t, TextureWrap) {
    return nullptr;
}

#endif

}  // namespace

MGLPixelTexels::Routine MGLPixelTexels::BilinearRoutine(uint32_t format, TextureWrap wrap) {
    return RoutineFor<BilinearFill>(format, wrap);
}

MGLPixelTexels::BlendRoutine MGLPixelTexels::NearestBlendRoutine(uint32_t format, TextureWrap wrap) {
    return RoutineFor<BlendFill>(format, wrap);
}

int32_t MGLPixelTexels::GroupLevel(const MGLPixelCoordinates& at, int32_t first, int32_t lastLevel) {
#if MGL_VECTOR_UNIT(AVX2)
    if (MGLVectorUnit::EightLanes()) return SharedLevel(at, first, lastLevel);
#else
    (void)at;
    (void)first;
    (void)lastLevel;
#endif
    return -1;
}
