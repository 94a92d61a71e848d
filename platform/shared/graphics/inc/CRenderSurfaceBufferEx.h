#ifndef CRENDERSURFACEBUFFEREX_H
#define CRENDERSURFACEBUFFEREX_H

#include "CRenderSurfaceBuffer.h"

// A pixel buffer with a table of up to 10 sub-plane pointers; entry 0 is the
// buffer's own pixels once it is created.
class CRenderSurfaceBufferEx : public CRenderSurfaceBuffer {
public:
    static constexpr uint32_t kMaxPlanes = 10;

    explicit CRenderSurfaceBufferEx(CRenderSurface* owner = nullptr);
    ~CRenderSurfaceBufferEx() override = default;

    bool Create(uint32_t format, uint16_t width, uint16_t height, bool powerOfTwo, uint32_t** palettePlace,
                const CRenderSurfaceLoadParams* loadParams, int32_t pitchMode, int16_t pitch, void* pixels) override;
    // The sub-plane table does not follow a flip; flipping is reported as unexpected.
    void FlipToTop() override;
    void FlipToBottom() override;
    // Entry `plane` of the table.
    void* GetPixels(uint32_t plane) const override { return GetPlane(plane); }

    void* GetPlane(uint32_t plane) const { return plane < kMaxPlanes ? m_planes[plane] : nullptr; }
    uint32_t GetPlaneCount() const { return m_count; }

private:
    void ClearPlanes();

    uint32_t m_count = 0;
    void* m_planes[kMaxPlanes];
};

#endif
