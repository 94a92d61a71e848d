#include "CRenderSurfaceBufferEx.h"

#include "CAssert.h"
#include "CRenderSurface.h"

CRenderSurfaceBufferEx::CRenderSurfaceBufferEx(CRenderSurface* owner) : CRenderSurfaceBuffer(owner) {
    SetFlags(static_cast<uint16_t>(GetFlags() | kFlagExtended));
    ClearPlanes();
}

void CRenderSurfaceBufferEx::ClearPlanes() {
    m_count = 0;
    for (void*& plane : m_planes) plane = nullptr;
}

bool CRenderSurfaceBufferEx::Create(uint32_t format, uint16_t width, uint16_t height, bool powerOfTwo,
                                    uint32_t** palettePlace, const CRenderSurfaceLoadParams* loadParams,
                                    int32_t pitchMode, int16_t pitch, void* pixels) {
    // The owner is told once the table names the new pixels.
    const CRenderSurface::PlaneChange change(GetOwner());
    const bool created = CRenderSurfaceBuffer::Create(format, width, height, powerOfTwo, palettePlace, loadParams,
                                                      pitchMode, pitch, pixels);
    ClearPlanes();
    if (created) {
        m_planes[0] = CRenderSurfaceBuffer::GetPixels(0);
        m_count = 1;
    }
    SetFlags(static_cast<uint16_t>(GetFlags() | kFlagExtended));
    return created;
}

void CRenderSurfaceBufferEx::FlipToTop() {
    CRenderSurfaceBuffer::FlipToTop();
    ASSERT(false);
}

void CRenderSurfaceBufferEx::FlipToBottom() {
    CRenderSurfaceBuffer::FlipToBottom();
    ASSERT(false);
}
