#ifndef MGLVECTORUNIT_H
#define MGLVECTORUNIT_H

#include <atomic>
#include <cstdint>

// Which vector units the renderer's code may use, as MGL_VECTOR_UNIT(SSE2)
// and MGL_VECTOR_UNIT(AVX2) in an #if. Each asks a function-like macro, so
// a file that asks without this header, or names a unit this header does
// not know, does not compile, where a plain name would read 0 and quietly
// take the scalar code. SSE2 code is chosen at compile time; the
// eight-at-a-time AVX2 passes are compiled for x86-64 and chosen at run
// time (EightLanes), the one-pixel routines running where they are not. A
// processor with neither unit takes the scalar code, which MGL_SCALAR (the
// ENGINE_SCALAR build option) makes every build take, so that it is
// compiled and tested on processors with them too.
#define MGL_VECTOR_UNIT(unit) MGL_VECTOR_UNIT_##unit()
#if defined(__SSE2__) && !defined(MGL_SCALAR)
#define MGL_VECTOR_UNIT_SSE2() 1
#else
#define MGL_VECTOR_UNIT_SSE2() 0
#endif
#if defined(__x86_64__) && !defined(MGL_SCALAR)
#define MGL_VECTOR_UNIT_AVX2() 1
#else
#define MGL_VECTOR_UNIT_AVX2() 0
#endif

// The one place that decides whether the renderer's eight-at-a-time passes
// (MGLPixelCoordinates, MGLPixelQuads, MGLPixelTexels) run, and counts the
// pixels they fill. They run where the processor has their vector unit,
// unless the one-pixel routines are forced: by MCHVX_MGL_ONE_PIXEL set to
// anything but empty or 0 in the environment (read once, at the first
// question), or by a test through ForceOnePixel. Both routines must draw the
// same picture, and a processor without the unit takes the one-pixel ones
// only, so they are tested as well on one that has it. A build without
// MGL_VECTOR_UNIT(AVX2) has no eight-at-a-time passes at all.
class MGLVectorUnit {
public:
    // The passes whose pixels are counted.
    enum class Pass : uint8_t { Coordinates, Quads, Texels, Count };

    // Whether the eight-at-a-time passes run. Asked for every run of a row,
    // so the answer is kept, inline, from the first question on and made
    // again only when forced otherwise.
    static bool EightLanes() {
        const int8_t kept = s_eightLanes.load(std::memory_order_relaxed);
        return kept != kUndecided ? kept != 0 : Decide();
    }
    // Whether the one-pixel routines are forced.
    static bool OnePixelForced();
    // Whether a value of MCHVX_MGL_ONE_PIXEL (null where it is not set)
    // forces them: anything but empty or 0.
    static bool OnePixelAskedBy(const char* value);
    // Forces the one-pixel routines, or lets the processor decide again.
    static void ForceOnePixel(bool force);

    // Counts pixels a pass filled eight at a time. Pixels are drawn on one
    // thread: a plain add rather than a locked one, which would wait for
    // the row's pixel stores to drain first.
    static void Filled(Pass pass, int32_t pixels) {
        std::atomic<uint64_t>& filled = s_filled[static_cast<int32_t>(pass)];
        filled.store(filled.load(std::memory_order_relaxed) + static_cast<uint64_t>(pixels), std::memory_order_relaxed);
    }
    // The pixels a pass filled eight at a time since the program started.
    static uint64_t PixelsFilled(Pass pass);

private:
    static constexpr int8_t kUndecided = -1;

    // Makes and keeps the answer.
    static bool Decide();

    static constinit inline std::atomic<int8_t> s_eightLanes{kUndecided};
    static constinit inline std::atomic<uint64_t> s_filled[static_cast<int32_t>(Pass::Count)] = {};
};

#endif
