#ifndef MGLTESTACCESS_H
#define MGLTESTACCESS_H

// The renderer's tests' one way to what the renderer keeps to itself: the
// renderer's classes name this class a friend, and nothing but the tests
// defines it.

#include "MGLContext.h"
#include "MGLTextureSampler.h"

class MGLTestAccess {
public:
    // A sampler of unit 0 made where a fill keeps the portable spans' one,
    // in place of any made there before.
    static MGLTextureSampler& SpanSampler(MGLContext& context) { return context.m_spanSampler.emplace(context, 0); }
    // The context's guest memory, for a table of the test's own in it.
    static MGLGuestMemory& Mappings(MGLContext& context) { return context.Mappings(); }
};

#endif
