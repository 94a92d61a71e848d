#ifndef PLANELOADFUZZ_H
#define PLANELOADFUZZ_H

// Shared by the image-loader fuzz targets: the blit registry the loaders
// decode through, and a full read of whatever plane they accept, so that
// the sanitizer sees any plane or palette smaller than it claims.

#include <cstddef>
#include <cstdint>

#include "BlitTable.h"
#include "CBlitUtil.h"
#include "CHash.h"
#include "CRenderSurfaceBuffer.h"
#include "CSingleton.h"
#include "FuzzCheck.h"

// The blit registry in a singleton table of its own, for the whole run.
class FuzzBlitRegistry {
public:
    FuzzBlitRegistry() {
        m_singletons.Init(8, 8, true);
        CSingleton::SetTable(&m_singletons);
        RegisterBlitTable();
    }
    ~FuzzBlitRegistry() {
        delete CBlitUtil::GetInstance();
        CSingleton::SetTable(nullptr);
    }

    static void Publish() { static FuzzBlitRegistry registry; }

private:
    CHash m_singletons;
};

inline uint32_t SumOfBytes(const uint8_t* bytes, size_t n) {
    uint32_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum += bytes[i];
    return sum;
}

inline void ReadWholePlane(const CRenderSurfaceBuffer& plane, const uint32_t* palette) {
    const uint8_t* pixels = static_cast<const uint8_t*>(plane.GetPixels(0));
    Check(pixels != nullptr && plane.GetWidth() > 0 && plane.GetHeight() > 0);
    const size_t rowBytes = static_cast<size_t>(plane.GetWidth()) * (plane.GetFormat() & 0x1F);
    volatile uint32_t sink = 0;
    for (int32_t y = 0; y < plane.GetHeight(); ++y) sink = sink + SumOfBytes(pixels + y * plane.GetPitch(), rowBytes);
    if (palette != nullptr) sink = sink + SumOfBytes(reinterpret_cast<const uint8_t*>(palette), 1024);
}

#endif
