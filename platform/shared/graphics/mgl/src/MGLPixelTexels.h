#ifndef MGLPIXELTEXELS_H
#define MGLPIXELTEXELS_H

#include <bit>
#include <cstdint>

#include "MGLPixelCoordinates.h"
#include "MGLTexel.h"
#include "MGLVectorUnit.h"

// The bilinear colours of a run of a perspective row's pixels, or their
// nearest texels of two levels blended, worked out eight at a time from
// their coordinates ahead of their depth tests, on levels no pixel of the
// row writes (so that reading their texels early reads what the pixels
// would): each pixel's channels as the sampler's vector sums leave them,
// a, r, g, b in 16 bits each from the lowest (texel_format::WeightedTexels).
class MGLPixelTexels {
public:
    static constexpr int32_t kPixels = MGLPixelCoordinates::kPixels;
    // The pixels a routine works out at a time.
    static constexpr int32_t kGroup = 8;

    uint64_t lanes[kPixels];
    // Bit i: pixel i's lanes are worked out.
    uint64_t filtered = 0;

    // Sets `filtered` for the whole groups of the first `pixels` that
    // fill(first) fills, returning true.
    template <class Fill>
    void FillGroups(int32_t pixels, Fill&& fill) {
        filtered = 0;
        for (int32_t first = 0; first + kGroup <= pixels; first += kGroup) {
            if (fill(first)) filtered |= uint64_t{0xFF} << first;
        }
        if (filtered != 0) MGLVectorUnit::Filled(MGLVectorUnit::Pass::Texels, std::popcount(filtered));
    }

    // Fills the lanes of the kGroup pixels of `at` from `first`, all on
    // the level `texels`, their wrap mode the one the routine was chosen
    // for; false, with nothing filled, for a level its description does not
    // lay out as the routine's format side by side within the level's bytes
    // (TexelLevel::Packed).
    using Routine = bool (*)(MGLPixelTexels& out, const MGLPixelCoordinates& at, int32_t first,
                             const TexelLevel& texels);

    // Fills them likewise with the nearest texels of the levels `near`
    // and `far` blended by the pixels' levels of detail, as the NearestBlend filter
    // blends them.
    using BlendRoutine = bool (*)(MGLPixelTexels& out, const MGLPixelCoordinates& at, int32_t first,
                                  const TexelLevel& near, const TexelLevel& far);

    // The routines for a texture of the format and wrap mode; null where
    // the format has no decoder of its own or the eight-at-a-time passes do
    // not run (MGLVectorUnit::EightLanes).
    static Routine BilinearRoutine(uint32_t format, TextureWrap wrap);
    static BlendRoutine NearestBlendRoutine(uint32_t format, TextureWrap wrap);
    // The level all kGroup pixels from `first` read at their levels of
    // detail (clamped to 0..lastLevel); -1 where they differ, or where those
    // passes do not run.
    static int32_t GroupLevel(const MGLPixelCoordinates& at, int32_t first, int32_t lastLevel);
};

#endif
