#ifndef EIGHTLANESTIER_H
#define EIGHTLANESTIER_H

#include <gtest/gtest.h>

#include "MGLVectorUnit.h"

// Whether the eight-at-a-time passes run, for their tests to skip where
// they do not: where the one-pixel routines are forced, on a processor
// without AVX2, or in a build that leaves them out on purpose. The build
// says, by MGL_EIGHT_LANES_MEANT, when it meant to have them: there a
// processor with AVX2 that does not run them fails the test, as a build
// that lost them would otherwise pass with its tests skipped.
inline bool EightLanesRun() {
    if (MGLVectorUnit::EightLanes()) return true;
#ifdef MGL_EIGHT_LANES_MEANT
    if (!MGLVectorUnit::OnePixelForced() && __builtin_cpu_supports("avx2")) {
        ADD_FAILURE() << "the build meant to have the eight-at-a-time passes and the processor has AVX2, but they "
                         "do not run";
    }
#endif
    return false;
}

#endif
