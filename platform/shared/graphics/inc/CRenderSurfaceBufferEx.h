#ifndef CRENDERSURFACEBUFFEREX_H
#define CRENDERSURFACEBUFFEREX_H

#include "CRenderSurfaceBuffer.h"

// A pixel buffer answering its pixels as entry 0 of a table of up to 10
// sub-planes. Entry 0 is read from the buffer itself, so that it follows
// every change of the block however it comes (a create, a load, a release, a
// flip: each is as sound here as on a plain buffer); nothing attaches the
// other entries, which answer null. The flag marking it (kFlagExtended)
// stays whatever happens to its pixels.
class CRenderSurfaceBufferEx : public CRenderSurfaceBuffer {
public:
    explicit CRenderSurfaceBufferEx(CRenderSurface* owner = nullptr);
    ~CRenderSurfaceBufferEx() override = default;

    // Entry `plane` of the table.
    void* GetPixels(uint32_t plane) const override { return GetPlane(plane); }

    void* GetPlane(uint32_t plane) const { return plane == 0 ? CRenderSurfaceBuffer::GetPixels(0) : nullptr; }
    uint32_t GetPlaneCount() const { return GetPlane(0) != nullptr ? 1 : 0; }
};

#endif
