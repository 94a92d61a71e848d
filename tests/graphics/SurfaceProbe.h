#ifndef SURFACEPROBE_H
#define SURFACEPROBE_H

#include <cstdint>

#include "CRenderSurfaceBuffer.h"
#include "CRenderSurface_SW_OffScreen.h"

// Surface set-up and pixel reads shared by the surface and device tests.
namespace surfacetest {

inline bool CreateSized(CRenderSurface_SW_OffScreen* surface, uint32_t width, uint32_t height, uint32_t format) {
    const CRenderSurfaceAttribute attributes[] = {
        {kSurfaceAttrWidth, width}, {kSurfaceAttrHeight, height}, {kSurfaceAttrColorFormat, format}, {0, 0}};
    return surface->Create(attributes);
}

// A 16-bit pixel of the colour plane.
inline uint32_t Pixel16(const CRenderSurface* surface, int x, int y) {
    const CRenderSurfaceBuffer* plane = surface->GetPlane(CRenderSurface::kPlaneColor);
    const uint8_t* p = static_cast<const uint8_t*>(plane->GetPixels(0)) + y * plane->GetPitch() + x * 2;
    return p[0] + p[1] * 256u;
}

}  // namespace surfacetest

#endif
