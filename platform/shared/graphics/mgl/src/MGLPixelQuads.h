#ifndef MGLPIXELQUADS_H
#define MGLPIXELQUADS_H

#include <cstdint>

#include "MGLTexel.h"

class MGLPixelCoordinates;

// The two quads each pixel of a run of a perspective row reads for
// trilinear filtering (TextureFilter::Trilinear), worked out from the pixels'
// coordinates ahead of their depth tests, as those coordinates are: the
// pixel's level, and for its quad on the level and on the next, the four
// texels' byte offsets from the level's base and their weights. A weight is
// what the sampler weighs its texel by (QuadWeights::Values), held in the
// high byte of a 16-bit lane, the quad's four in one word in the quad's
// order, texel 0 lowest.
class MGLPixelQuads {
public:
    // As many as MGLPixelCoordinates works out at a time.
    static constexpr int32_t kPixels = 64;
    // The quad on the pixel's level, and the one on the next.
    static constexpr int32_t kQuads = 2;
    static constexpr int32_t kCorners = 4;

    // A texture's levels as the offsets address them: each level's shape
    // (its description, TexelLevel, without its base, which the sampler
    // alone reads), and the same taken apart for the vector pass, in
    // tables of two halves of eight levels.
    struct Levels {
        static constexpr int32_t kEntries = 16;
        int32_t last = 0;  // the last level, 0..9
        TexelLevel shapes[kTexelLevels];
        int32_t lastColumn[kEntries] = {};
        int32_t lastRow[kEntries] = {};
        uint32_t rowBytes[kEntries] = {};  // modulo 2^32, as the offsets are made

        // From the shapes of levels 0..kTexelLevels - 1.
        Levels(const TexelLevel (&levelShapes)[kTexelLevels], int32_t lastLevel);
        TextureWrap Wrap() const { return shapes[0].wrap; }
        uint32_t Bpp() const { return static_cast<uint32_t>(shapes[0].bpp); }
    };

    int32_t level[kPixels];
    uint64_t weights[kQuads][kPixels];
    // TexelLevel::QuadOffsetsIn's offsets modulo 2^32: exact for a level the
    // sampler can read, whose last texel lies within 31 bits of its base.
    uint32_t offsets[kQuads][kCorners][kPixels];

    // The first `count` (1..kPixels) pixels of `at`, on a texture of these
    // levels, through the vector unit where the eight-at-a-time passes run
    // (MGLVectorUnit::EightLanes).
    void Fill(const MGLPixelCoordinates& at, const Levels& levels, int32_t count);
    // The same one pixel at a time, on any processor.
    void FillEach(const MGLPixelCoordinates& at, const Levels& levels, int32_t count);
    // The same eight pixels at a time; false, with nothing filled, where
    // those passes do not run.
    bool FillByEight(const MGLPixelCoordinates& at, const Levels& levels, int32_t count);
};

#endif
