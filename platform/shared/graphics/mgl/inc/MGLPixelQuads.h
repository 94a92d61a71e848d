#ifndef MGLPIXELQUADS_H
#define MGLPIXELQUADS_H

#include <cstdint>

class MGLPixelCoordinates;

// The two quads each pixel of a run of a perspective row reads for
// trilinear filtering (filter mode 6), worked out from the pixels'
// coordinates ahead of their depth tests, as those coordinates are: the
// pixel's level, the texel its quad starts from on the level and on the
// next, and each quad's four weights. A weight is what the sampler weighs
// its texel by (QuadWeights::Values), held in the high byte of a 16-bit
// lane, the quad's four in one word in the quad's order, texel 0 lowest.
class MGLPixelQuads {
public:
    // As many as MGLPixelCoordinates works out at a time.
    static constexpr int32_t kPixels = 64;
    // The quad on the pixel's level, and the one on the next.
    static constexpr int32_t kQuads = 2;

    int32_t level[kPixels];
    int32_t tu[kQuads][kPixels];
    int32_t tv[kQuads][kPixels];
    uint64_t weights[kQuads][kPixels];

    // The first `count` (1..kPixels) pixels of `at`, on a texture whose last
    // level is `lastLevel`, through the vector unit where the eight-at-a-time
    // passes run (MGLVectorUnit::EightLanes).
    void Fill(const MGLPixelCoordinates& at, int32_t lastLevel, int32_t count);
    // The same one pixel at a time, on any processor.
    void FillEach(const MGLPixelCoordinates& at, int32_t lastLevel, int32_t count);
    // The same eight pixels at a time; false, with nothing filled, where
    // those passes do not run.
    bool FillByEight(const MGLPixelCoordinates& at, int32_t lastLevel, int32_t count);
};

#endif
