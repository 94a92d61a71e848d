#ifndef MGLVECTORUNIT_H
#define MGLVECTORUNIT_H

#include <cstdint>

// The one place that decides whether the renderer's eight-at-a-time passes
// (MGLPixelCoordinates, MGLPixelQuads, MGLPixelTexels) run, and counts the
// pixels they fill. They run where the processor has their vector unit,
// unless the one-pixel routines are forced: by MCHVX_MGL_ONE_PIXEL set to
// anything but empty or 0 in the environment (read once, at the first
// question), or by a test through ForceOnePixel. Both routines must draw the
// same picture, and a processor without the unit takes the one-pixel ones
// only, so they are tested as well on one that has it.
class MGLVectorUnit {
public:
    // The passes whose pixels are counted.
    enum class Pass : uint8_t { Coordinates, Quads, Texels, Count };

    // Whether the eight-at-a-time passes run.
    static bool EightLanes();
    // Whether the one-pixel routines are forced.
    static bool OnePixelForced();
    // Forces the one-pixel routines, or lets the processor decide again.
    static void ForceOnePixel(bool force);

    // Counts pixels a pass filled eight at a time.
    static void Filled(Pass pass, int32_t pixels);
    // The pixels a pass filled eight at a time since the program started.
    static uint64_t PixelsFilled(Pass pass);
};

#endif
