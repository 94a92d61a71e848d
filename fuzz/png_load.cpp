// Indexed PNG images through the pixel-buffer loader. The first input byte
// chooses the plane format, the orientation, the colour key and the pitch
// mode; the rest is the file. Whatever the loader accepts is then read in
// full, so that the sanitizer sees any plane or palette smaller than it claims.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "CArrayInputStream.h"
#include "CColor.h"
#include "CMemory.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "PlaneLoadFuzz.h"

namespace {

const uint32_t kPlaneFormats[] = {RSBFormat_R5G6B5,       RSBFormat_X14R6G6B6,   RSBFormat_X8R8G8B8,
                                  RSBFormat_A1R5G5B5,     RSBFormat_A4R4G4B4,    RSBFormat_P16X8R8G8B8,
                                  RSBFormat_P256X8R8G8B8, RSBFormat_P256A8R8G8B8};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 1 << 20) return 0;
    FuzzBlitRegistry::Publish();
    const uint8_t control = data[0];
    const std::vector<uint8_t> file(data + 1, data + size);
    CArrayInputStream stream;
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));

    CRenderSurfaceLoadParams params;
    params.Init();
    params.stream = &stream;
    params.colorKeyPresent = control >> 3 & 1;
    params.colorKey = 0xFF00FF;
    params.swapAxes = control >> 4 & 1;
    params.mirrorX = control >> 5 & 1;
    params.mirrorY = control >> 6 & 1;
    const uint32_t destination = kPlaneFormats[control & 7];
    params.formatMap[0] = {RSBFormat_P16X8R8G8B8, destination};
    params.formatMap[1] = {RSBFormat_P256X8R8G8B8, destination};

    uint32_t scratch[256];
    uint32_t* palette = nullptr;
    CRenderSurfaceBuffer plane;
    const int32_t pitchMode = control >> 7;
    if (plane.LoadPNG(scratch, &palette, &params, pitchMode, 0, nullptr)) ReadWholePlane(plane, palette);
    MemFree(palette);
    return 0;
}
