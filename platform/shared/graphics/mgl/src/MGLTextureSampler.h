#ifndef MGLTEXTURESAMPLER_H
#define MGLTEXTURESAMPLER_H

#include <cstddef>
#include <cstdint>
#include <optional>

#include "CGenUtil.h"
#include "MGLPixelQuads.h"
#include "MGLTexel.h"
#include "TextureUnit.h"

class MGLContext;
class MGLTextureSampler;
struct TextureUnit;

namespace span_detail {
class RowWalk;
// A row routine of the spans (span/MGLRowRoutine.h): the function a
// textured call runs its rows with.
using RowRoutine = void (*)(RowWalk& walk, MGLTextureSampler& sampler);
}  // namespace span_detail

// The sampler's filter modes (see MGLTextureSampler), with the values of
// the texture unit's filter_mode field; a value no mode has leaves the
// colour as it was.
enum class TextureFilter : int32_t {
    Nearest = 0,
    NearestMip = 1,
    NearestBlend = 2,
    BilinearOrMip = 3,
    Bilinear = 4,
    BilinearMip = 5,
    Trilinear = 6,
    TrilinearRaised = 7,
};

// The Nearest and NearestMip filters read at a level of detail.
struct NearestLevels {
    bool firstOnly;  // Nearest
    int32_t last;

    int32_t At(int32_t lod) const { return firstOnly || lod < 0 ? 0 : (lod >> 16 > last ? last : lod >> 16); }
};

// What a row of samples keeps from pixel to pixel: the decoded texels of
// the quad each of a sample's two quads read last (the pixels of a
// magnified texture read the same quad in turn), and where the last quad
// was read, whose addresses the row leaves in rp123 once, at its end, not
// at every sample. A quad with a texel in the bytes the row writes may
// change under it, and is read again at each sample; a level found apart
// from those bytes is not looked at again in the row.
struct QuadMemo {
    struct Kept {
        int32_t tu = 0;
        int32_t tv = 0;
        int32_t level = kNone;
        texel_format::QuadTexels texels;
    };
    static constexpr int32_t kNone = -1;

    // The row writes [start, end) of each of the two planes.
    QuadMemo(const uint8_t* colour, const uint8_t* colourEnd, const uint8_t* depth, const uint8_t* depthEnd)
        : m_written{{Address(colour), Address(colourEnd)}, {Address(depth), Address(depthEnd)}} {}

    // Whether the quad, read from the level, may change under the row.
    bool Written(const TexelLevel& texels, const uint8_t* const quad[4]) {
        if (Apart(texels)) return false;
        const uintptr_t texelBytes = static_cast<uintptr_t>(TexelBytes(texels.format));
        for (int32_t i = 0; i < 4; ++i) {
            if (Meets(Address(quad[i]), Address(quad[i]) + texelBytes)) return true;
        }
        return false;
    }

    // Whether the level lies apart from the bytes the row writes: none of
    // its texels changes under the row.
    bool Apart(const TexelLevel& texels) {
        const uint32_t bit = 1u << texels.level;
        if ((m_apart & bit) != 0) return true;
        if (!Meets(Address(texels.base), Address(texels.base) + texels.bytes)) {
            m_apart |= bit;
            return true;
        }
        return false;
    }

    // The quad at (u, v) on the level is the last one read.
    void Read(int32_t atU, int32_t atV, int32_t atLevel) {
        u = atU;
        v = atV;
        level = atLevel;
    }

    Kept kept[2];
    int32_t u = 0;
    int32_t v = 0;
    int32_t level = kNone;  // of the last quad read

private:
    static uintptr_t Address(const uint8_t* p) { return reinterpret_cast<uintptr_t>(p); }
    // Whether [start, end) meets a range the row writes.
    bool Meets(uintptr_t start, uintptr_t end) const {
        for (const auto& range : m_written) {
            if (start < range[1] && end > range[0]) return true;
        }
        return false;
    }

    uintptr_t m_written[2][2];
    uint32_t m_apart = 0;  // bit L: level L lies apart from the written bytes
};

// Samples one texture unit of a context: the filter mode picks nearest or
// bilinear texels of one mip level or a blend of two, the texture mode how
// coordinates past the edge wrap. The unit's level and palette addresses are
// guest addresses; each is looked up once, when first needed, and only a
// level that lies wholly in mapped memory is read, so a unit that names
// memory it does not own samples as transparent black. The unit's fields
// are copied once, and each level's description (Level) made from those
// copies alone: the record may change under a draw, but what was checked
// is what every routine reads.
//
// Filter modes (TextureFilter): Nearest on level 0; NearestMip on the
// mipmap level the level of detail picks; NearestBlend nearest on two
// levels, blended; BilinearOrMip bilinear on level 0 up to a level of
// detail of 1.0, else as NearestMip; Bilinear on level 0; BilinearMip on
// the chosen level; Trilinear bilinear on two levels, blended;
// TrilinearRaised as Trilinear's first level with its weights raised by
// the blend fraction / 4. Other values leave the colour as it was.
class MGLTextureSampler {
public:
    // A unit outside the context's eight samples nothing.
    MGLTextureSampler(MGLContext& context, int32_t unit);
    // Whether the unit's fields and the guest regions are as the sampler
    // found them: all it derived (levels, palette, routines) follows from
    // those, so it may serve on. (A unit's buffer-table slot is a faster way
    // to the level its guest addresses name, through the same mapping.)
    bool StillCurrent() const;

    // u, v in 16.16 texels of level 0; lod in 16.16 (integer part the
    // level, bits 15..8 the blend fraction). Channels come out 0..65535.
    void Sample(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);
    // The last level the unit has (its level count less one, 0..9).
    int32_t LastLevel() const { return m_lastLevel; }
    uint32_t Format() const { return m_format; }
    // Whether the unit samples one texel as it is (Nearest and NearestMip).
    bool SamplesOneTexel() const {
        return m_unit != nullptr && (m_mode == TextureFilter::Nearest || m_mode == TextureFilter::NearestMip);
    }
    // The level those modes read at a level of detail.
    NearestLevels NearestLevelChoice() const { return NearestLevels{m_mode == TextureFilter::Nearest, m_lastLevel}; }
    TextureWrap Wrap() const { return m_wrap; }
    // Whether the unit's texels depend on the level of detail (all filter
    // modes but Nearest and Bilinear, which read level 0 alone).
    bool ReadsLod() const {
        return m_mode != TextureFilter::Nearest && m_mode != TextureFilter::Bilinear;
    }
    TextureFilter FilterMode() const { return m_mode; }
    // The row routine a span chose for this sampler and one target format:
    // it follows from the unit's format, filter and wrap modes, which the
    // sampler fixes, so the rows of a fill that keeps the sampler choose it
    // once.
    struct RowChoice {
        uint32_t targetFormat = 0;
        span_detail::RowRoutine routine = nullptr;
    };
    RowChoice& SpanRowChoice() { return m_rowChoice; }
    // Whether no byte of any level the unit may name, nor of its palette,
    // lies in host memory [begin, end): nothing written there changes what
    // the sampler reads. Worked out once for a range, which the spans then
    // ask again at every call.
    bool ReadsApartFrom(const uint8_t* begin, const uint8_t* end) {
        return begin == m_apartBegin && end == m_apartEnd ? m_apart : FindApartFrom(begin, end);
    }
    // SampleIn's Mode for the unit's own filter mode, read at each sample.
    static constexpr auto kUnitFilter = static_cast<TextureFilter>(-1);
    // Sample for a texture of the decoder's format and wrap mode Wrap (the
    // routine Sample runs for it, inline for the span's row loops), with
    // filter mode Mode when a row loop knows it.
    // With a memo (a row's, for decoders with channels of their own), quads
    // are kept in it, and their addresses left in rp123 by LeaveQuad.
    template <TextureWrap Wrap, class Decoder, TextureFilter Mode = kUnitFilter>
    void SampleIn(const Decoder& texel, int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour,
                  QuadMemo* memo = nullptr);
    // The addresses of the memo's last quad in rp123, as SampleIn without a
    // memo would have left them.
    template <TextureWrap Wrap>
    void LeaveQuad(const QuadMemo& memo) {
        const uint8_t* quad[4];
        if (memo.level != QuadMemo::kNone) Quad<Wrap>(memo.u, memo.v, memo.level, quad);
    }
    // A level's addressing (its base null when the level cannot be read).
    const TexelLevel& Level(int32_t level) { return LevelIn(texel_detail::BoundedLevel(level)); }
    // The levels' shapes as MGLPixelQuads works out quads' offsets on them,
    // made once: the levels' descriptions without looking any level up.
    const MGLPixelQuads::Levels& QuadLevels() {
        if (!m_quadLevels) MakeQuadLevels();
        return *m_quadLevels;
    }
#if MGL_VECTOR_UNIT(SSE2)
    // SampleIn's colour for filter mode Mode, Bilinear, BilinearMip or
    // Trilinear, with a memo or without (null): its channels a, r, g, b
    // in the vector's four low 16-bit lanes, as the sums are made, not taken
    // out to a fixed colour.
    template <TextureWrap Wrap, class Decoder, TextureFilter Mode>
    __m128i QuadLanesIn(int32_t u, int32_t v, int32_t lod, QuadMemo* memo);
    // QuadLanesIn for trilinear filtering at pixel (u, v), i of a
    // run whose quads were worked out ahead.
    template <class Decoder>
    __m128i TrilinearLanesAhead(const MGLPixelQuads& quads, int32_t i, int32_t u, int32_t v, QuadMemo& memo);
#endif

private:
    using SampleRoutine = void (MGLTextureSampler::*)(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);

    // Sample for textures of one format and wrap mode, the routine chosen at
    // construction.
    template <class Decoder, TextureWrap Wrap>
    void SampleFormat(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);
    template <TextureWrap Wrap>
    void SampleAnyFormat(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);
    template <TextureWrap Wrap>
    static SampleRoutine RoutineFor(uint32_t format);
    static SampleRoutine RoutineFor(uint32_t format, TextureWrap wrap);

    // Level for a level already within 0..9.
    const TexelLevel& LevelIn(int32_t level) {
        if ((m_resolved & 1u << level) == 0) Resolve(level);
        return m_texels[level];
    }
    const uint8_t* TexelAt(int32_t u, int32_t v, int32_t level) {
        const TexelLevel& texels = Level(level);
        return texels.base != nullptr ? texels.At(u, v) : nullptr;
    }
    // The quad's texels, their guest addresses left in the record's rp123.
    template <TextureWrap Wrap>
    void Quad(int32_t u, int32_t v, int32_t level, const uint8_t* quad[4]);
    // The texel at (u, v) on the level; null when the level is.
    template <TextureWrap Wrap>
    const uint8_t* TexelIn(int32_t u, int32_t v, int32_t level) {
        const TexelLevel& texels = LevelIn(level);
        return texels.base != nullptr ? texels.AtIn<Wrap>(u, v) : nullptr;
    }
    // Adds the texel at (u, v) on the level, weighted, to the colour.
    template <TextureWrap Wrap, class Decoder>
    void AddTexelAt(const Decoder& texel, int32_t u, int32_t v, int32_t level, int32_t weight,
                    RSBFormat_ARGB_fixed* colour);
    // The texels at (u, v) on the level and on level2 weighted 255 - blend
    // and blend; level2 is not read without a blend.
    template <TextureWrap Wrap, class Decoder>
    RSBFormat_ARGB_fixed TexelsBlended(const Decoder& texel, int32_t u, int32_t v, int32_t level, int32_t level2,
                                       int32_t blend);
    // The quad at (u, v) on the level read with no weight: its addresses
    // left in rp123 (or in the memo, for LeaveQuad).
    template <TextureWrap Wrap>
    void PassQuadAt(int32_t u, int32_t v, int32_t level, QuadMemo* memo) {
        const uint8_t* quad[4];
        if (memo == nullptr) {
            Quad<Wrap>(u, v, level, quad);
            return;
        }
        memo->Read(u, v, level);
    }
    // The memo's kept quad `slot`, made the quad at (u, v) on the level;
    // null when the level cannot be read.
    template <TextureWrap Wrap, class Decoder>
    const texel_format::QuadTexels* KeptQuad(int32_t u, int32_t v, int32_t level, QuadMemo& memo, int32_t slot);
#if MGL_VECTOR_UNIT(SSE2)
    // The quad weighted, its halves not yet added (QuadTexels::Weighed;
    // nothing when the level cannot be read): the memo's kept quad `slot`,
    // or without a memo the quad read as AddQuadAt reads it.
    template <TextureWrap Wrap, class Decoder>
    __m128i WeighedQuadAt(int32_t u, int32_t v, int32_t level, const texel_format::QuadWeights& weights,
                          QuadMemo* memo, int32_t slot) {
        if (memo == nullptr) return WeighedQuad<Wrap, Decoder>(u, v, level, weights);
        const texel_format::QuadTexels* kept = KeptQuad<Wrap, Decoder>(u, v, level, *memo, slot);
        return kept != nullptr ? kept->Weighed(weights) : _mm_setzero_si128();
    }
    template <TextureWrap Wrap, class Decoder>
    __m128i WeighedQuad(int32_t u, int32_t v, int32_t level, const texel_format::QuadWeights& weights) {
        const uint8_t* quad[4];
        Quad<Wrap>(u, v, level, quad);
        if (quad[0] == nullptr) return _mm_setzero_si128();
        texel_format::QuadTexels texels;
        texels.Read<Decoder>(quad);
        return texels.Weighed(weights);
    }
    // The same for quad `slot` of pixel i of a run worked out ahead, read
    // from the offsets worked out on the level's shape (in its own wrap
    // mode). Its texels are read afresh, not kept: a minified pixel's quads
    // seldom serve its neighbour, and even on a magnified texture the
    // branch that asks whether they do costs more than the reads it saves.
    template <class Decoder>
    __m128i WeighedQuadRead(const MGLPixelQuads& quads, int32_t i, int32_t u, int32_t v, int32_t level,
                            QuadMemo& memo, int32_t slot) {
        memo.Read(u, v, level);
        const TexelLevel& texels = LevelIn(level);
        if (texels.base == nullptr) return _mm_setzero_si128();
        const uint8_t* quad[MGLPixelQuads::kCorners];
        for (int32_t k = 0; k < MGLPixelQuads::kCorners; ++k) quad[k] = texels.base + quads.offsets[slot][k][i];
        return texel_format::QuadTexels::ReadWeighed<Decoder>(quad, quads.weights[slot][i]);
    }
#endif
    // Adds the quad at (u, v) on the level, weighted, to the colour; through
    // the memo's kept quad `slot` when there is a memo.
    template <TextureWrap Wrap, class Decoder>
    void AddQuadAt(const Decoder& texel, int32_t u, int32_t v, int32_t level, const texel_format::QuadWeights& weights,
                   RSBFormat_ARGB_fixed* colour, QuadMemo* memo, int32_t slot);
    // The quads at (u, v) on the level and on level2 weighted by the blend
    // (Trilinear; the first alone, its weights raised, for TrilinearRaised).
    template <TextureWrap Wrap, class Decoder>
    RSBFormat_ARGB_fixed QuadsBlended(const Decoder& texel, int32_t u, int32_t v, int32_t level, int32_t level2,
                                      int32_t blend, bool raised, QuadMemo* memo);
    bool FindApartFrom(const uint8_t* begin, const uint8_t* end);
    // A level's description before it is looked up: its base null.
    TexelLevel Shape(int32_t level) const;
    void MakeQuadLevels();
    void Resolve(int32_t level);
    const uint8_t* LevelOfSlot(int32_t level, uint32_t guest, size_t bytes) const;

    MGLContext& m_context;
    const TextureUnit* m_unit = nullptr;
    int32_t* m_quadAddresses = nullptr;  // the record's rp123
    // The unit's fields the sampler reads per texel, copied once.
    uint32_t m_format = 0;
    int32_t m_bpp = 0;
    TextureWrap m_wrap{};
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_lastLevel = 0;
    TextureFilter m_mode = kUnitFilter;
    const uint8_t* m_palette = nullptr;
    int32_t m_paletteEntries = 0;
    SampleRoutine m_sample = nullptr;
    // Level L is read only once bit L of m_resolved says it was looked up.
    TexelLevel m_texels[kTexelLevels];
    uint32_t m_resolved = 0;
    std::optional<MGLPixelQuads::Levels> m_quadLevels;
    RowChoice m_rowChoice;
    // The range ReadsApartFrom last looked at, and its answer.
    const uint8_t* m_apartBegin = nullptr;
    const uint8_t* m_apartEnd = nullptr;
    bool m_apart = false;
    // What the sampler was made from, for StillCurrent.
    TextureUnit m_unitSeen{};
    uint64_t m_guestChangesSeen = 0;
};

// The sampling routines, inline so that the span's row loops can hold them.
namespace sampler_detail {

constexpr int32_t kHalfTexel = 0x8000;
constexpr int32_t kFull = 255;
constexpr int32_t kOne = 0x10000;

inline int32_t FractionOf(int32_t coordinate, int32_t level) { return (coordinate >> (level + 8)) & kFull; }

// The weights of a quad on the level in a blend of two levels, the level
// weighing `share` of 255.
inline texel_format::QuadWeights BlendedWeights(int32_t u, int32_t v, int32_t level, int32_t share, int32_t raise) {
    return texel_format::QuadWeights{FractionOf(u, level), FractionOf(v, level), share, raise};
}

// The sums are kept in a local colour: added up in the caller's, each
// texel's would wait for the last one's store.
template <class Decoder>
inline void AddQuad(const Decoder& texel, const uint8_t* const quad[4], const texel_format::QuadWeights& weights,
                    RSBFormat_ARGB_fixed* colour) {
    if (quad[0] == nullptr) return;
    if constexpr (requires { Decoder::Read(quad[0]); }) {
        texel_format::AddWeightedQuad<Decoder>(quad, weights, colour);
        return;
    }
    int32_t values[4];
    weights.Values(values);
    RSBFormat_ARGB_fixed sum = *colour;
    for (int32_t i = 0; i < 4; ++i) texel_format::AddWeighted(texel, quad[i], values[i], &sum);
    *colour = sum;
}

}  // namespace sampler_detail

// The filters take the level between 0 and the last level, which is at
// most 9.
template <TextureWrap Wrap>
inline void MGLTextureSampler::Quad(int32_t u, int32_t v, int32_t level, const uint8_t* quad[4]) {
    const TexelLevel& texels = LevelIn(level);
    int32_t* s = m_quadAddresses;
    if (texels.base == nullptr) {
        for (int32_t i = 0; i < 4; ++i) {
            quad[i] = nullptr;
            s[i] = 0;
        }
        return;
    }
    // The addresses come from the offsets, not from the pointers just
    // stored: reading those back stalls.
    const TexelLevel::QuadOffsets q = texels.QuadOffsetsIn<Wrap>(u, v);
    quad[0] = texels.base + q.at0;
    quad[1] = texels.base + q.at1;
    quad[2] = texels.base + q.at2;
    quad[3] = texels.base + q.at3;
    const uint32_t guest = texels.guest;
    s[0] = static_cast<int32_t>(guest + static_cast<uint32_t>(q.at0));
    s[1] = static_cast<int32_t>(guest + static_cast<uint32_t>(q.at1));
    s[2] = static_cast<int32_t>(guest + static_cast<uint32_t>(q.at2));
    s[3] = static_cast<int32_t>(guest + static_cast<uint32_t>(q.at3));
}

template <TextureWrap Wrap, class Decoder>
inline void MGLTextureSampler::AddTexelAt(const Decoder& texel, int32_t u, int32_t v, int32_t level, int32_t weight,
                                          RSBFormat_ARGB_fixed* colour) {
    const TexelLevel& texels = LevelIn(level);
    if (texels.base == nullptr) return;
    const uint8_t* at = texels.AtIn<Wrap>(u, v);
    if constexpr (requires { Decoder::Lanes(at); }) {
        texel_format::LaneSums sums;
        sums.Add(Decoder::Lanes(at), weight);
        sums.AddTo(colour);
    } else {
        texel_format::AddWeighted(texel, at, weight, colour);
    }
}

// The texels are summed in a colour of their own, as QuadsBlended sums
// its quads.
template <TextureWrap Wrap, class Decoder>
inline RSBFormat_ARGB_fixed MGLTextureSampler::TexelsBlended(const Decoder& texel, int32_t u, int32_t v, int32_t level,
                                                             int32_t level2, int32_t blend) {
    using sampler_detail::kFull;
    RSBFormat_ARGB_fixed sum = {0, 0, 0, 0};
    if constexpr (requires { Decoder::Lanes(nullptr); }) {
        // Without a blend the texel itself stands in for the second, which
        // weighs nothing.
        const uint8_t* first = TexelIn<Wrap>(u, v, level);
        const uint8_t* second = blend != 0 ? TexelIn<Wrap>(u, v, level2) : first;
        if (first != nullptr && second != nullptr) return texel_format::WeightedTexels::OfPair<Decoder>(first, second, blend).Colour();
    }
    AddTexelAt<Wrap>(texel, u, v, level, kFull - blend, &sum);
    if (blend != 0) AddTexelAt<Wrap>(texel, u, v, level2, blend, &sum);
    return sum;
}

template <TextureWrap Wrap, class Decoder>
inline const texel_format::QuadTexels* MGLTextureSampler::KeptQuad(int32_t u, int32_t v, int32_t level,
                                                                   QuadMemo& memo, int32_t slot) {
    // The texel a coordinate falls on fixes the quad (its sign among it: a
    // coordinate is negative where its texel is). It is taken from the
    // coordinate as its fraction is (FractionOf), so that the one shift by
    // the level serves both.
    const int32_t tu = (u >> (level + 8)) >> 8;
    const int32_t tv = (v >> (level + 8)) >> 8;
    memo.Read(u, v, level);
    QuadMemo::Kept& kept = memo.kept[slot];
    if (kept.level != level || kept.tu != tu || kept.tv != tv) {
        const TexelLevel& texels = LevelIn(level);
        kept.level = QuadMemo::kNone;
        if (texels.base == nullptr) return nullptr;
        const uint8_t* quad[4];
        texels.QuadIn<Wrap>(u, v, quad);
        kept.texels.Read<Decoder>(quad);
        kept.level = memo.Written(texels, quad) ? QuadMemo::kNone : level;
        kept.tu = tu;
        kept.tv = tv;
    }
    return &kept.texels;
}

template <TextureWrap Wrap, class Decoder>
inline void MGLTextureSampler::AddQuadAt(const Decoder& texel, int32_t u, int32_t v, int32_t level,
                                         const texel_format::QuadWeights& weights, RSBFormat_ARGB_fixed* colour,
                                         QuadMemo* memo, int32_t slot) {
    const uint8_t* quad[4];
    if constexpr (requires { Decoder::Lanes(quad[0]); }) {
        if (memo != nullptr) {
            if (const texel_format::QuadTexels* kept = KeptQuad<Wrap, Decoder>(u, v, level, *memo, slot)) {
                kept->AddWeighted(weights, colour);
            }
            return;
        }
    }
    Quad<Wrap>(u, v, level, quad);
    sampler_detail::AddQuad(texel, quad, weights, colour);
}

// The two quads are summed in a colour of their own, which no store of
// the caller's can reach, so that the sums stay in registers from one quad
// to the other.
template <TextureWrap Wrap, class Decoder>
inline RSBFormat_ARGB_fixed MGLTextureSampler::QuadsBlended(const Decoder& texel, int32_t u, int32_t v, int32_t level,
                                                            int32_t level2, int32_t blend, bool raised,
                                                            QuadMemo* memo) {
    using namespace sampler_detail;
    RSBFormat_ARGB_fixed sum = {0, 0, 0, 0};
    const int32_t raise = raised ? blend >> 2 : 0;
    AddQuadAt<Wrap>(texel, u, v, level, BlendedWeights(u, v, level, kFull - blend, raise), &sum, memo, 0);
    if (raised) return sum;
    // Without a blend the second level weighs nothing: only where its quad
    // lies is left.
    if (blend == 0) {
        PassQuadAt<Wrap>(u, v, level2, memo);
    } else {
        AddQuadAt<Wrap>(texel, u, v, level2, BlendedWeights(u, v, level2, blend, 0), &sum, memo, 1);
    }
    return sum;
}

template <TextureWrap Wrap, class Decoder, TextureFilter Mode>
inline void MGLTextureSampler::SampleIn(const Decoder& texel, int32_t u, int32_t v, int32_t lod,
                                        RSBFormat_ARGB_fixed* colour, QuadMemo* memo) {
    using namespace sampler_detail;
    TextureFilter mode = Mode == kUnitFilter ? m_mode : Mode;
    if (mode == TextureFilter::BilinearOrMip) {
        mode = lod <= kOne ? TextureFilter::Bilinear : TextureFilter::NearestMip;
    }
    if (mode < TextureFilter::Nearest || mode > TextureFilter::TrilinearRaised) return;
    const int32_t last = LastLevel();
    int32_t level = lod >> 16;
    level = level < 0 ? 0 : (level > last ? last : level);
    const int32_t blend = (lod >> 8) & kFull;
    const int32_t level2 = level < last ? level + 1 : level;
    const int32_t uu = u - kHalfTexel;
    const int32_t vv = v - kHalfTexel;
    *colour = RSBFormat_ARGB_fixed{0, 0, 0, 0};
    switch (mode) {
        case TextureFilter::Nearest:
        case TextureFilter::NearestMip:
            if (const uint8_t* at = TexelAt(u, v, mode == TextureFilter::Nearest ? 0 : level)) {
                texel.Decode(at, colour);
            }
            break;
        case TextureFilter::NearestBlend: *colour = TexelsBlended<Wrap>(texel, u, v, level, level2, blend); break;
        case TextureFilter::Bilinear:
        case TextureFilter::BilinearMip: {
            const int32_t at = mode == TextureFilter::Bilinear ? 0 : level;
            const texel_format::QuadWeights bilinear{FractionOf(uu, at), FractionOf(vv, at)};
            AddQuadAt<Wrap>(texel, uu, vv, at, bilinear, colour, memo, 0);
            break;
        }
        case TextureFilter::Trilinear:
        case TextureFilter::TrilinearRaised:
            *colour =
                QuadsBlended<Wrap>(texel, uu, vv, level, level2, blend, mode == TextureFilter::TrilinearRaised, memo);
            break;
        default: break;
    }
}

#if MGL_VECTOR_UNIT(SSE2)
// The level and fractions as SampleIn takes them; the two quads of a blend
// weighed in one sum (their scales add up to 255), and its halves added once.
template <TextureWrap Wrap, class Decoder, TextureFilter Mode>
inline __m128i MGLTextureSampler::QuadLanesIn(int32_t u, int32_t v, int32_t lod, QuadMemo* memo) {
    using namespace sampler_detail;
    static_assert(Mode == TextureFilter::Bilinear || Mode == TextureFilter::BilinearMip ||
                  Mode == TextureFilter::Trilinear);
    const int32_t last = LastLevel();
    int32_t level = lod >> 16;
    level = level < 0 ? 0 : (level > last ? last : level);
    const int32_t uu = u - kHalfTexel;
    const int32_t vv = v - kHalfTexel;
    __m128i sum;
    if constexpr (Mode == TextureFilter::Trilinear) {
        const int32_t blend = (lod >> 8) & kFull;
        const int32_t level2 = level < last ? level + 1 : level;
        sum = WeighedQuadAt<Wrap, Decoder>(uu, vv, level, BlendedWeights(uu, vv, level, kFull - blend, 0), memo, 0);
        // Without a blend the second level weighs nothing: only where its
        // quad lies is left.
        if (blend == 0) {
            PassQuadAt<Wrap>(uu, vv, level2, memo);
        } else {
            sum = _mm_add_epi16(sum, WeighedQuadAt<Wrap, Decoder>(uu, vv, level2,
                                                                  BlendedWeights(uu, vv, level2, blend, 0), memo, 1));
        }
    } else {
        const int32_t at = Mode == TextureFilter::Bilinear ? 0 : level;
        const texel_format::QuadWeights bilinear{FractionOf(uu, at), FractionOf(vv, at)};
        sum = WeighedQuadAt<Wrap, Decoder>(uu, vv, at, bilinear, memo, 0);
    }
    return texel_format::texel_pair::SumOfHalves(sum);
}

// A second quad whose weights are all nothing adds nothing: only where it
// lies is left, as QuadLanesIn leaves it without a blend.
template <class Decoder>
inline __m128i MGLTextureSampler::TrilinearLanesAhead(const MGLPixelQuads& quads, int32_t i, int32_t u, int32_t v,
                                                      QuadMemo& memo) {
    using namespace sampler_detail;
    const int32_t level = quads.level[i];
    const int32_t level2 = level < LastLevel() ? level + 1 : level;
    const int32_t uu = u - kHalfTexel;
    const int32_t vv = v - kHalfTexel;
    __m128i sum = WeighedQuadRead<Decoder>(quads, i, uu, vv, level, memo, 0);
    if (quads.weights[1][i] == 0) {
        memo.Read(uu, vv, level2);
    } else {
        sum = _mm_add_epi16(sum, WeighedQuadRead<Decoder>(quads, i, uu, vv, level2, memo, 1));
    }
    return texel_format::texel_pair::SumOfHalves(sum);
}
#endif

#endif
