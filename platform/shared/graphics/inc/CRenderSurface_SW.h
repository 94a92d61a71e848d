#ifndef CRENDERSURFACE_SW_H
#define CRENDERSURFACE_SW_H

#include "CRenderSurface.h"

// A render surface whose planes are ordinary memory.
class CRenderSurface_SW : public CRenderSurface {
public:
    static constexpr uint32_t kTypeSoftware = 2;

    ~CRenderSurface_SW() override = default;

    uint32_t GetType() const override { return kTypeSoftware; }

    // Pixels of a plane at the rectangle's top-left pixel (the plane's first
    // pixel without a rectangle) and its pitch, without locking. A rectangle
    // that is not inside the surface gives 0 and 0 and false.
    bool GetPlanePointer(uint32_t planeIndex, uint8_t** pixels, int32_t* pitch, const CRect* rect) const;
    // Whether the rectangle lies wholly inside the surface; a negative size never does.
    bool IsRectInside(const CRect& rect) const;

protected:
    CRenderSurface_SW() { AddFlags(kFlagSoftware | kFlagBuffering1); }
};

#endif
