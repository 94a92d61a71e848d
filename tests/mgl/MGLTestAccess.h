#ifndef MGLTESTACCESS_H
#define MGLTESTACCESS_H

// The renderer's tests' one way to what the renderer keeps to itself: the
// renderer's classes name this class a friend, and nothing but the tests
// defines it.

#include "MGLContext.h"
#include "MGLTextureSampler.h"

class MGLTestAccess {
public:
    // The sampler the portable spans read, as a fill outside any draw leaves it.
    static MGLTextureSampler& SpanSampler(MGLContext& context) { return context.SpanSampler(); }
    // The context's guest memory, for a table of the test's own in it.
    static MGLGuestMemory& Mappings(MGLContext& context) { return context.Mappings(); }
};

#endif
