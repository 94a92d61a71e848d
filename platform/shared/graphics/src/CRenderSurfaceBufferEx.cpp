#include "CRenderSurfaceBufferEx.h"

#include "CAssert.h"
#include "CRenderSurface.h"

CRenderSurfaceBufferEx::CRenderSurfaceBufferEx(CRenderSurface* owner) : CRenderSurfaceBuffer(owner) {
    SetFlags(static_cast<uint16_t>(GetFlags() | kFlagExtended));
}

bool CRenderSurfaceBufferEx::Create(uint32_t format, uint16_t width, uint16_t height, bool powerOfTwo,
                                    uint32_t** palettePlace, const CRenderSurfaceLoadParams* loadParams,
                                    int32_t pitchMode, int16_t pitch, void* pixels) {
    // The owner is told once the flags are whole again.
    const CRenderSurface::PlaneChange change(GetOwner());
    const bool created = CRenderSurfaceBuffer::Create(format, width, height, powerOfTwo, palettePlace, loadParams,
                                                      pitchMode, pitch, pixels);
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
