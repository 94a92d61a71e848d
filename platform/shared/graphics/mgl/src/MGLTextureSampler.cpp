#include "MGLTextureSampler.h"

#include <cstring>

#include "MGLBufferSlots.h"
#include "MGLContextCore.h"
#include "MGLSpans.h"

namespace {

constexpr uint32_t kPaletteEntryBytes = 4;

// The bytes from a level's first texel to the end of its last, at the
// level's step; -1 for a negative step or past 32 bits. (A level of more
// texels than that has its last past 32 bits at any step but 0.)
int64_t LevelBytes(const TexelLevel& texels) {
    const int64_t last = int64_t{texels.w} * texels.h - 1;
    if (texels.bpp < 0 || (texels.bpp > 0 && last > INT32_MAX)) return -1;
    const int64_t bytes = last * texels.bpp + TexelBytes(texels.format);
    return bytes <= INT32_MAX ? bytes : -1;
}

}  // namespace

MGLTextureSampler::MGLTextureSampler(MGLContext& context, int32_t unit) : m_context(context) {
    if (unit < 0 || unit >= MGLContext::kTextureUnits) return;
    m_unit = &context.Record().texture_units[unit];
    m_unitSeen = *m_unit;
    m_guestChangesSeen = MGLContextCore::Of(context).GuestMemory().Changes();
    m_quadAddresses = context.Record().rp123;
    m_format = m_unit->b.format;
    m_mode = static_cast<TextureFilter>(m_unit->filter_mode);
    m_bpp = m_unit->bpp;
    m_wrap = static_cast<TextureWrap>(m_unit->texmode);
    m_width = m_unit->b.width;
    m_height = m_unit->b.height;
    const int32_t last = m_unit->b.maxD - 1;
    m_lastLevel = last < 0 ? 0 : (last >= kTexelLevels ? kTexelLevels - 1 : last);
    m_paletteEntries = PaletteEntries(m_format);
    m_sample = RoutineFor(m_format, m_wrap);
    if (m_paletteEntries > 0 && m_unit->b.palette != 0) {
        const MGLGuestMemory& memory = MGLContextCore::Of(context).GuestMemory();
        m_palette = memory.ToHost(m_unit->b.palette, kPaletteEntryBytes * m_paletteEntries);
    }
}

bool MGLTextureSampler::StillCurrent() const {
    return m_unit != nullptr && MGLContextCore::Of(m_context).GuestMemory().Changes() == m_guestChangesSeen &&
           std::memcmp(m_unit, &m_unitSeen, sizeof(TextureUnit)) == 0;
}

// A level is read only when all of it is mapped: its texels at the unit's
// step, the last one as wide as the format decodes.
void MGLTextureSampler::Resolve(int32_t level) {
    m_resolved |= 1u << level;
    TexelLevel& texels = m_texels[level];
    texels = Shape(level);
    texels.guest = m_unit->b.levels[level];
    const int64_t bytes = LevelBytes(texels);
    if (texels.guest == 0 || bytes < 0) return;
    const size_t extent = static_cast<size_t>(bytes);
    const uint8_t* inSlot = LevelOfSlot(level, texels.guest, extent);
    const MGLGuestMemory& memory = MGLContextCore::Of(m_context).GuestMemory();
    texels.base = inSlot != nullptr ? inSlot : memory.ToHost(texels.guest, extent);
    if (texels.base != nullptr) texels.bytes = static_cast<uint32_t>(bytes);
}

TexelLevel MGLTextureSampler::Shape(int32_t level) const {
    return TexelLevel{.base = nullptr,
                      .bpp = m_bpp,
                      .wrap = m_wrap,
                      .w = LevelExtent(m_width, level),
                      .h = LevelExtent(m_height, level),
                      .level = level,
                      .format = m_format,
                      .bytes = 0,
                      .guest = 0};
}

void MGLTextureSampler::MakeQuadLevels() {
    TexelLevel shapes[kTexelLevels];
    for (int32_t level = 0; level < kTexelLevels; ++level) shapes[level] = Shape(level);
    m_quadLevels.emplace(shapes, m_lastLevel);
}

bool MGLTextureSampler::FindApartFrom(const uint8_t* begin, const uint8_t* end) {
    const uintptr_t first = reinterpret_cast<uintptr_t>(begin);
    const uintptr_t last = reinterpret_cast<uintptr_t>(end);
    const auto apart = [first, last](const uint8_t* base, size_t bytes) {
        const uintptr_t at = reinterpret_cast<uintptr_t>(base);
        return base == nullptr || at + bytes <= first || at >= last;
    };
    m_apart = m_unit == nullptr || apart(m_palette, kPaletteEntryBytes * static_cast<size_t>(m_paletteEntries));
    for (int32_t level = 0; m_apart && m_unit != nullptr && level < kTexelLevels; ++level) {
        const TexelLevel& texels = LevelIn(level);
        m_apart = apart(texels.base, texels.bytes);
    }
    m_apartBegin = begin;
    m_apartEnd = end;
    return m_apart;
}

// A unit mirroring a buffer-table slot finds the level in the slot's block
// without a search of the guest regions, when the slot's mapping is the one
// the unit names (so a stale slot number finds nothing).
const uint8_t* MGLTextureSampler::LevelOfSlot(int32_t level, uint32_t guest, size_t bytes) const {
    const BufferTable* table = m_context.Buffers();
    const BufferRecord* record = table != nullptr ? BufferSlots::Of(*table).UsedSlot(m_unit->id) : nullptr;
    if (record == nullptr || record->guestBase == 0 || record->levels[level] == nullptr) return nullptr;
    const size_t offset = static_cast<size_t>(record->levels[level] - record->levels[0]);
    if (record->guestBase + offset != guest || offset + bytes > record->blockBytes) return nullptr;
    return record->levels[level];
}

template <TextureWrap Wrap>
MGLTextureSampler::SampleRoutine MGLTextureSampler::RoutineFor(uint32_t format) {
    SampleRoutine routine = &MGLTextureSampler::SampleAnyFormat<Wrap>;
    texel_format::VisitDecoder(format, [&](auto texel) {
        routine = &MGLTextureSampler::SampleFormat<decltype(texel), Wrap>;
    });
    return routine;
}

MGLTextureSampler::SampleRoutine MGLTextureSampler::RoutineFor(uint32_t format, TextureWrap wrap) {
    if (wrap == TextureWrap::Clamp) return RoutineFor<TextureWrap::Clamp>(format);
    if (wrap == TextureWrap::Mirror) return RoutineFor<TextureWrap::Mirror>(format);
    return RoutineFor<TextureWrap::Repeat>(format);
}

void MGLTextureSampler::Sample(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour) {
    if (m_unit != nullptr) (this->*m_sample)(u, v, lod, colour);
}

template <class Decoder, TextureWrap Wrap>
void MGLTextureSampler::SampleFormat(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour) {
    SampleIn<Wrap>(Decoder{}, u, v, lod, colour);
}

template <TextureWrap Wrap>
void MGLTextureSampler::SampleAnyFormat(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour) {
    SampleIn<Wrap>(texel_format::AnyTexel{m_format, m_palette, m_paletteEntries}, u, v, lod, colour);
}

void SampleTexture(MGLContext& context, int32_t unit, int32_t u, int32_t v, int32_t lod,
                   RSBFormat_ARGB_fixed* colour) {
    // Outside a draw nothing has brought the units to their textures'
    // planes yet: a surface made anew since must not be read as it was.
    MGLContextCore::Of(context).FollowSurfaces();
    MGLTextureSampler sampler(context, unit);
    sampler.Sample(u, v, lod, colour);
}
