#include "CRenderSurface_SW.h"

#include "CAssert.h"
#include "CColor.h"
#include "CRenderSurfaceBuffer.h"

bool CRenderSurface_SW::IsRectInside(const CRect& rect) const {
    if (rect.x < 0 || rect.y < 0 || rect.width < 0 || rect.height < 0) return false;
    uint32_t width = 0;
    uint32_t height = 0;
    if (!GetSize(&width, &height)) return false;
    return static_cast<uint32_t>(rect.x + rect.width) <= width && static_cast<uint32_t>(rect.y + rect.height) <= height;
}

bool CRenderSurface_SW::GetPlanePointer(uint32_t planeIndex, uint8_t** pixels, int32_t* pitch,
                                        const CRect* rect) const {
    const CRenderSurfaceBuffer* plane = GetPlane(planeIndex);
    if (plane == nullptr) {
        ASSERT(plane != nullptr);
    }
    if (plane == nullptr || (rect != nullptr && !IsRectInside(*rect))) {
        if (pixels != nullptr) *pixels = nullptr;
        if (pitch != nullptr) *pitch = 0;
        return false;
    }
    if (pitch != nullptr) *pitch = plane->GetPitch();
    if (pixels != nullptr) {
        const int32_t x = rect != nullptr ? rect->x : 0;
        const int32_t y = rect != nullptr ? rect->y : 0;
        uint8_t* base = static_cast<uint8_t*>(plane->GetPixels(0));
        *pixels = base == nullptr ? nullptr
                                  : base + static_cast<intptr_t>(y) * plane->GetPitch() +
                                        static_cast<intptr_t>(x) * CColor::BytesPerPixel(plane->GetFormat());
    }
    return true;
}
