#include "MGLTextureSampler.h"

#include "CMathFixed.h"
#include "MGLBufferTable.h"
#include "MGLContext.h"

namespace {

constexpr int32_t kFilterNearest = 0;
constexpr int32_t kFilterNearestMip = 1;
constexpr int32_t kFilterNearestBlend = 2;
constexpr int32_t kFilterBilinearOrMip = 3;
constexpr int32_t kFilterBilinear = 4;
constexpr int32_t kFilterBilinearMip = 5;
constexpr int32_t kFilterTrilinear = 6;
constexpr int32_t kFilterTrilinearRaised = 7;
constexpr int32_t kHalfTexel = 0x8000;
constexpr int32_t kFull = 255;
constexpr uint32_t kPaletteEntryBytes = 4;

int32_t FractionOf(int32_t coordinate, int32_t level) { return (coordinate >> (level + 8)) & kFull; }

void Weights3(int32_t level, int32_t fx, int32_t fy, int32_t raise, int32_t out[4]) {
    out[0] = (((level * (kFull - fx)) * (kFull - fy)) >> 16) + raise;
    out[1] = (((level * fx) * (kFull - fy)) >> 16) + raise;
    out[2] = (((level * fx) * fy) >> 16) + raise;
    out[3] = (((level * (kFull - fx)) * fy) >> 16) + raise;
}

}  // namespace

MGLTextureSampler::MGLTextureSampler(MGLContext& context, int32_t unit) : m_context(context) {
    if (unit < 0 || unit >= MGLContext::kTextureUnits) return;
    m_unit = &context.Record().texture_units[unit];
    m_format = m_unit->b.format;
    m_mode = m_unit->filter_mode;
    m_bpp = m_unit->bpp;
    m_wrap = m_unit->texmode;
    m_width = m_unit->b.width;
    m_height = m_unit->b.height;
    const int32_t last = m_unit->b.maxD - 1;
    m_lastLevel = last < 0 ? 0 : (last >= kTexelLevels ? kTexelLevels - 1 : last);
    m_paletteEntries = PaletteEntries(m_unit->b.format);
    m_sample = RoutineFor(m_format, m_wrap);
    if (m_paletteEntries > 0 && m_unit->b.palette != 0) {
        m_palette = context.GuestMemory().ToHost(m_unit->b.palette, kPaletteEntryBytes * m_paletteEntries);
    }
}

// A level is read only when all of it is mapped: its texels at the unit's
// step, the last one as wide as the format decodes.
void MGLTextureSampler::Resolve(int32_t level) {
    m_resolved |= 1u << level;
    const uint8_t* levels[kTexelLevels] = {};
    m_texels[level] = LevelOf(levels, m_bpp, m_wrap, m_width, m_height, level);
    const uint32_t guest = m_unit->b.levels[level];
    const int32_t step = m_unit->bpp;
    if (guest == 0 || step < 0) return;
    const int64_t texels = int64_t{LevelExtent(m_width, level)} * LevelExtent(m_height, level);
    const uint32_t decoded = m_format & 31u;
    const int64_t bytes = (texels - 1) * step + (decoded > 0 ? decoded : 1);
    if (bytes > INT32_MAX) return;
    const uint8_t* inSlot = LevelOfSlot(level, guest, static_cast<size_t>(bytes));
    m_texels[level].base = inSlot != nullptr ? inSlot : m_context.GuestMemory().ToHost(guest, static_cast<size_t>(bytes));
}

// A unit mirroring a buffer-table slot finds the level in the slot's block
// without a search of the guest regions, when the slot's mapping is the one
// the unit names (so a stale slot number finds nothing).
const uint8_t* MGLTextureSampler::LevelOfSlot(int32_t level, uint32_t guest, size_t bytes) const {
    const BufferTable* table = m_context.Buffers();
    const BufferRecord* record = table != nullptr ? table->UsedSlot(m_unit->id) : nullptr;
    if (record == nullptr || record->guestBase == 0 || record->levels[level] == nullptr) return nullptr;
    const size_t offset = static_cast<size_t>(record->levels[level] - record->levels[0]);
    if (record->guestBase + offset != guest || offset + bytes > record->blockBytes) return nullptr;
    return record->levels[level];
}

template <int32_t Wrap>
void MGLTextureSampler::Quad(int32_t u, int32_t v, int32_t level, const uint8_t* quad[4]) {
    const TexelLevel& texels = Level(level);
    MGLRecord& s = m_context.Record();
    if (texels.base == nullptr) {
        for (int32_t i = 0; i < 4; ++i) {
            quad[i] = nullptr;
            s.rp123[i] = 0;
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
    const uint32_t guest = m_unit->b.levels[texels.level];
    s.rp123[0] = static_cast<int32_t>(guest + static_cast<uint32_t>(q.at0));
    s.rp123[1] = static_cast<int32_t>(guest + static_cast<uint32_t>(q.at1));
    s.rp123[2] = static_cast<int32_t>(guest + static_cast<uint32_t>(q.at2));
    s.rp123[3] = static_cast<int32_t>(guest + static_cast<uint32_t>(q.at3));
}

namespace {

// The sums are kept in a local colour: added up in the caller's, each
// texel's would wait for the last one's store.
template <class Decoder>
inline void AddQuad(const Decoder& texel, const uint8_t* const quad[4], const int32_t weights[4],
                    RSBFormat_ARGB_fixed* colour) {
    if (quad[0] == nullptr) return;
    RSBFormat_ARGB_fixed sum = *colour;
    for (int32_t i = 0; i < 4; ++i) texel_format::AddWeighted(texel, quad[i], weights[i], &sum);
    *colour = sum;
}

}  // namespace

template <int32_t Wrap>
MGLTextureSampler::SampleRoutine MGLTextureSampler::RoutineFor(uint32_t format) {
    switch (format) {
        case RSBFormat_R5G6B5: return &MGLTextureSampler::SampleFormat<texel_format::R5G6B5, Wrap>;
        case RSBFormat_A1R5G5B5: return &MGLTextureSampler::SampleFormat<texel_format::A1R5G5B5, Wrap>;
        case RSBFormat_A4R4G4B4: return &MGLTextureSampler::SampleFormat<texel_format::A4R4G4B4, Wrap>;
        case RSBFormat_X8R8G8B8: return &MGLTextureSampler::SampleFormat<texel_format::X8R8G8B8, Wrap>;
        case RSBFormat_A8R8G8B8: return &MGLTextureSampler::SampleFormat<texel_format::A8R8G8B8, Wrap>;
        default: return &MGLTextureSampler::SampleAnyFormat<Wrap>;
    }
}

MGLTextureSampler::SampleRoutine MGLTextureSampler::RoutineFor(uint32_t format, int32_t wrap) {
    if (wrap == kTexModeClamp) return RoutineFor<kTexModeClamp>(format);
    if (wrap == kTexModeMirror) return RoutineFor<kTexModeMirror>(format);
    return RoutineFor<kTexModeRepeat>(format);
}

void MGLTextureSampler::Sample(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour) {
    if (m_unit != nullptr) (this->*m_sample)(u, v, lod, colour);
}

template <class Decoder, int32_t Wrap>
void MGLTextureSampler::SampleFormat(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour) {
    SampleAs<Wrap>(Decoder{}, u, v, lod, colour);
}

template <int32_t Wrap>
void MGLTextureSampler::SampleAnyFormat(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour) {
    SampleAs<Wrap>(texel_format::AnyTexel{m_format, m_palette, m_paletteEntries}, u, v, lod, colour);
}

template <int32_t Wrap, class Decoder>
void MGLTextureSampler::SampleAs(const Decoder& texel, int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour) {
    int32_t mode = m_mode;
    if (mode == kFilterBilinearOrMip) mode = lod <= CMathFixed::ONE ? kFilterBilinear : kFilterNearestMip;
    if (mode < kFilterNearest || mode > kFilterTrilinearRaised) return;
    const int32_t last = LastLevel();
    int32_t level = lod >> 16;
    level = level < 0 ? 0 : (level > last ? last : level);
    const int32_t blend = (lod >> 8) & kFull;
    const int32_t level2 = level < last ? level + 1 : level;
    const int32_t uu = u - kHalfTexel;
    const int32_t vv = v - kHalfTexel;
    *colour = RSBFormat_ARGB_fixed{0, 0, 0, 0};
    const uint8_t* quad[4];
    int32_t weights[4];
    switch (mode) {
        case kFilterNearest:
        case kFilterNearestMip:
            if (const uint8_t* at = TexelAt(u, v, mode == kFilterNearest ? 0 : level)) texel.Decode(at, colour);
            break;
        case kFilterNearestBlend:
            if (const uint8_t* at = TexelAt(u, v, level)) texel_format::AddWeighted(texel, at, kFull - blend, colour);
            if (const uint8_t* at = TexelAt(u, v, level2)) texel_format::AddWeighted(texel, at, blend, colour);
            break;
        case kFilterBilinear:
        case kFilterBilinearMip: {
            const int32_t at = mode == kFilterBilinear ? 0 : level;
            Quad<Wrap>(uu, vv, at, quad);
            const int32_t fx = FractionOf(uu, at);
            const int32_t fy = FractionOf(vv, at);
            weights[0] = ((kFull - fx) * (kFull - fy)) >> 8;
            weights[1] = (fx * (kFull - fy)) >> 8;
            weights[2] = (fx * fy) >> 8;
            weights[3] = ((kFull - fx) * fy) >> 8;
            AddQuad(texel, quad, weights, colour);
            break;
        }
        case kFilterTrilinear:
        case kFilterTrilinearRaised: {
            Quad<Wrap>(uu, vv, level, quad);
            Weights3(kFull - blend, FractionOf(uu, level), FractionOf(vv, level),
                     mode == kFilterTrilinearRaised ? blend >> 2 : 0, weights);
            AddQuad(texel, quad, weights, colour);
            if (mode == kFilterTrilinearRaised) break;
            Quad<Wrap>(uu, vv, level2, quad);
            Weights3(blend, FractionOf(uu, level2), FractionOf(vv, level2), 0, weights);
            AddQuad(texel, quad, weights, colour);
            break;
        }
        default: break;
    }
}

void SampleTexture(MGLContext& context, int32_t unit, int32_t u, int32_t v, int32_t lod,
                   RSBFormat_ARGB_fixed* colour) {
    MGLTextureSampler sampler(context, unit);
    sampler.Sample(u, v, lod, colour);
}
