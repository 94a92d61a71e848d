#ifndef MGLTEXTURESAMPLER_H
#define MGLTEXTURESAMPLER_H

#include <cstddef>
#include <cstdint>

#include "CGenUtil.h"
#include "MGLTexel.h"

class MGLContext;
struct TextureUnit;

// The level filter modes 0 and 1 read at a level of detail.
struct NearestLevels {
    bool firstOnly;  // mode 0
    int32_t last;

    int32_t At(int32_t lod) const { return firstOnly || lod < 0 ? 0 : (lod >> 16 > last ? last : lod >> 16); }
};

// Samples one texture unit of a context: the filter mode picks nearest or
// bilinear texels of one mip level or a blend of two, the texture mode how
// coordinates past the edge wrap. The unit's level and palette addresses are
// guest addresses; each is looked up once, when first needed, and only a
// level that lies wholly in mapped memory is read, so a unit that names
// memory it does not own samples as transparent black.
//
// Filter modes: 0 nearest on level 0; 1 nearest on the level of detail's
// level; 2 nearest on two levels, blended; 3 bilinear on level 0 up to a
// level of detail of 1.0, else as 1; 4 bilinear on level 0; 5 bilinear on
// the chosen level; 6 bilinear on two levels, blended; 7 as 6's first level
// with its weights raised by the blend fraction / 4. Other modes leave the
// colour as it was.
class MGLTextureSampler {
public:
    // A unit outside the context's eight samples nothing.
    MGLTextureSampler(MGLContext& context, int32_t unit);

    // u, v in 16.16 texels of level 0; lod in 16.16 (integer part the
    // level, bits 15..8 the blend fraction). Channels come out 0..65535.
    void Sample(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);
    // The last level the unit has (its level count less one, 0..9).
    int32_t LastLevel() const { return m_lastLevel; }
    uint32_t Format() const { return m_format; }
    // Whether the unit samples one texel as it is (filter modes 0 and 1).
    bool SamplesOneTexel() const { return m_unit != nullptr && (m_mode == 0 || m_mode == 1); }
    // The level those modes read at a level of detail.
    NearestLevels NearestLevelRule() const { return NearestLevels{m_mode == 0, m_lastLevel}; }
    // A level's addressing (its base null when the level cannot be read).
    const TexelLevel& Level(int32_t level) {
        level = texel_detail::BoundedLevel(level);
        if ((m_resolved & 1u << level) == 0) Resolve(level);
        return m_texels[level];
    }

private:
    using SampleRoutine = void (MGLTextureSampler::*)(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);

    // Sample for textures of one format and wrap mode, the routine chosen at
    // construction.
    template <class Decoder, int32_t Wrap>
    void SampleFormat(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);
    template <int32_t Wrap>
    void SampleAnyFormat(int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);
    template <int32_t Wrap, class Decoder>
    void SampleAs(const Decoder& texel, int32_t u, int32_t v, int32_t lod, RSBFormat_ARGB_fixed* colour);
    template <int32_t Wrap>
    static SampleRoutine RoutineFor(uint32_t format);
    static SampleRoutine RoutineFor(uint32_t format, int32_t wrap);

    const uint8_t* TexelAt(int32_t u, int32_t v, int32_t level) {
        const TexelLevel& texels = Level(level);
        return texels.base != nullptr ? texels.At(u, v) : nullptr;
    }
    // The quad's texels, their guest addresses left in the record's rp123.
    template <int32_t Wrap>
    void Quad(int32_t u, int32_t v, int32_t level, const uint8_t* quad[4]);
    void Resolve(int32_t level);
    const uint8_t* LevelOfSlot(int32_t level, uint32_t guest, size_t bytes) const;

    MGLContext& m_context;
    const TextureUnit* m_unit = nullptr;
    // The unit's fields the sampler reads per texel, copied once.
    uint32_t m_format = 0;
    int32_t m_bpp = 0;
    int32_t m_wrap = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_lastLevel = 0;
    int32_t m_mode = -1;
    const uint8_t* m_palette = nullptr;
    int32_t m_paletteEntries = 0;
    SampleRoutine m_sample = nullptr;
    // Level L is read only once bit L of m_resolved says it was looked up.
    TexelLevel m_texels[kTexelLevels];
    uint32_t m_resolved = 0;
};

// One sample of texture unit `unit`.
void SampleTexture(MGLContext& context, int32_t unit, int32_t u, int32_t v, int32_t lod,
                   RSBFormat_ARGB_fixed* colour);

#endif
