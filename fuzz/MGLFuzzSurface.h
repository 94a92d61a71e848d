#ifndef MGLFUZZSURFACE_H
#define MGLFUZZSURFACE_H

#include <cstdint>
#include <iterator>

#include "CColor.h"
#include "FuzzProgram.h"
#include "MGLTestDevice.h"

// The off-screen target a renderer fuzz input starts with: its colour
// format (one the portable spans draw into), a byte of flags, whose lowest
// bit asks for a 32-bit depth plane (the rest are the target's own), its
// width and its height, read in that order.
struct MGLFuzzSurface {
    static constexpr uint32_t kFormats[] = {RSBFormat_R5G6B5, RSBFormat_X8R8G8B8, RSBFormat_X14R6G6B6};
    static constexpr uint8_t kFlagDepthPlane = 1;

    uint32_t format = 0;
    uint8_t flags = 0;
    int32_t width = 0;
    int32_t height = 0;

    // Reads it (width 1..maxWidth, height 1..maxHeight) and makes it the
    // device's current surface; false where it cannot be made.
    bool Make(FuzzProgram& program, MGLTestDevice& device, int32_t maxWidth, int32_t maxHeight) {
        format = kFormats[program.Below(static_cast<int32_t>(std::size(kFormats)))];
        flags = program.Byte();
        width = 1 + program.Below(maxWidth);
        height = 1 + program.Below(maxHeight);
        const uint32_t depth = (flags & kFlagDepthPlane) != 0 ? RSBFormat_Z32 : 0;
        return device.MakeSurface(static_cast<uint32_t>(width), static_cast<uint32_t>(height), format, depth);
    }
};

#endif
