#ifndef BLITTABLE_H
#define BLITTABLE_H

#include <cstdint>

// Number of rows of the standard blitter set ("CBlit 1.0").
constexpr int32_t kBlitTableRows = 50;

// Registers the standard blitter set in the blit registry, in its order:
// the copies, lines and fills for r5g6b5, x14r6g6b6 and x8r8g8b8 targets,
// then the pixel decoders. The graphics device calls this when it
// initialises. A registry that already begins with these rows is left as it
// is, so that initialising the device again cannot overflow it.
void RegisterBlitTable();

#endif
