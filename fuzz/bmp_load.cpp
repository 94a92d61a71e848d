// BMP images through both readers: the pixel-buffer loader and CDIB (from a
// stream and laid over memory). The first input byte chooses the plane format,
// the orientation, the colour key and the pitch mode; the rest is the file.
// Whatever the loaders accept is then read in full, so that the sanitizer
// sees any plane, palette or row that is smaller than it claims.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "CArrayInputStream.h"
#include "CColor.h"
#include "CDIB.h"
#include "CDIBCursor.h"
#include "CMemory.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurfaceLoadParams.h"
#include "PlaneLoadFuzz.h"

namespace {

const uint32_t kPlaneFormats[] = {RSBFormat_R5G6B5,   RSBFormat_X14R6G6B6,   RSBFormat_X8R8G8B8,     RSBFormat_A1R5G5B5,
                                  RSBFormat_A4R4G4B4, RSBFormat_P16X8R8G8B8, RSBFormat_P256X8R8G8B8, RSBFormat_R8G8B8};

void LoadIntoPlane(uint8_t control, const uint8_t* file, size_t size) {
    CArrayInputStream stream;
    stream.Open(file, static_cast<uint32_t>(size));
    CRenderSurfaceLoadParams params;
    params.Init();
    params.stream = &stream;
    params.type = CRenderSurfaceLoadParams::kTypeBMP;
    params.colorKeyPresent = control >> 3 & 1;
    params.colorKey = 0xFF00FF;
    params.swapAxes = control >> 4 & 1;
    params.mirrorX = control >> 5 & 1;
    params.mirrorY = control >> 6 & 1;
    const uint32_t destination = kPlaneFormats[control & 7];
    params.formatMap[0] = {RSBFormat_R8G8B8, destination == RSBFormat_P256X8R8G8B8 ? RSBFormat_R5G6B5 : destination};
    params.formatMap[1] = {RSBFormat_P16X8R8G8B8, destination};
    params.formatMap[2] = {RSBFormat_P256X8R8G8B8, destination};
    uint32_t* palette = nullptr;
    CRenderSurfaceBuffer plane;
    const int32_t pitchMode = control >> 7;
    if (plane.Create(0, 0, 0, false, &palette, &params, pitchMode, 0, nullptr)) ReadWholePlane(plane, palette);
    MemFree(palette);
}

void ReadWholeDib(const CDIB& dib) {
    if (dib.IsEmpty()) return;
    CDIBCursor cursor(&dib, 0, 0);
    volatile uint32_t sink = 0;
    const bool indexed = dib.GetBitCount() == 4 || dib.GetBitCount() == 8;
    const bool readable = indexed || dib.GetBitCount() == 24;
    const int32_t width = dib.GetWidth() < 64 ? dib.GetWidth() : 64;
    for (int32_t y = 0; y < dib.GetHeight() && readable; ++y) {
        Check(cursor.SetPosition(0, y));
        for (int32_t x = 0; x < width; ++x) sink = sink + cursor.ColorAt(x);
    }
    if (dib.GetPalette() != nullptr) sink = sink + SumOfBytes(dib.GetPalette(), dib.GetPaletteSize());
    sink = sink + SumOfBytes(dib.GetPixels() + static_cast<intptr_t>(dib.GetHeight() - 1) * dib.GetStride(),
                      static_cast<size_t>(-dib.GetStride()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 1 << 20) return 0;
    FuzzBlitRegistry::Publish();
    const std::vector<uint8_t> file(data + 1, data + size);
    LoadIntoPlane(data[0], file.data(), file.size());

    CArrayInputStream stream;
    stream.Open(file.data(), static_cast<uint32_t>(file.size()));
    CDIB read;
    const bool ok = read.ReadFromStream(&stream, 0);
    Check(ok != read.IsEmpty());
    ReadWholeDib(read);

    CDIB laid(file.data(), static_cast<uint32_t>(file.size()), 0);
    ReadWholeDib(laid);
    return 0;
}
