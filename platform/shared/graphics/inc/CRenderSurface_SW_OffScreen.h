#ifndef CRENDERSURFACE_SW_OFFSCREEN_H
#define CRENDERSURFACE_SW_OFFSCREEN_H

#include "CRenderSurfaceBuffer.h"
#include "CRenderSurface_SW.h"

struct CRenderSurfaceLoadParams;

// An image in system memory: empty planes of a given size and format, an
// image decoded from a stream, or a stand-in for another surface.
class CRenderSurface_SW_OffScreen : public CRenderSurface_SW {
public:
    static constexpr uint32_t kDefaultColorKey = 0xFFFF00FF;
    static constexpr uint32_t kMaxOrientation = 6;
    // Sized planes and loaded images share the plane-size cap.
    static constexpr uint64_t kMaxPlaneBytes = CRenderSurfaceBuffer::kMaxPlaneBytes;

    CRenderSurface_SW_OffScreen() { AddFlags(kFlagOffScreen); }
    ~CRenderSurface_SW_OffScreen() override = default;

    // Keys 1 to 16 (see CRenderSurfaceAttribute.h); keys above 16 are
    // ignored. A refused key, or a creation that fails, leaves the surface
    // empty with its constructor flags.
    bool Create(const CRenderSurfaceAttribute* attributes) override;
    bool Lock(uint8_t** pixels, int32_t* pitch, uint32_t lockFlags, const CRect* rect) override;
    void Unlock(uint32_t lockFlags) override;

    // The plane formats that images of each file format decode to on a
    // display of `displayFormat`; false for a display format it does not know.
    static bool FillFormatMap(uint32_t displayFormat, bool keepPalettes, bool colorKey,
                              CRenderSurfaceLoadParams* params);

private:
    // What the attribute walk records.
    struct Request {
        uint32_t width = 0;
        uint32_t height = 0;
        uint32_t formats[kPlaneCount] = {0, 0, 0};
        bool colorKeyGiven = false;
        uint32_t colorKey = kDefaultColorKey;
        bool keepPalettes = false;
        uint32_t* palette = nullptr;
        bool forwardGiven = false;
        CClass* forwardTarget = nullptr;
        bool classKeyGiven = false;
        uint32_t forwardClassKey = 0;
        bool streamGiven = false;
        CInputStream* stream = nullptr;
        bool typeGiven = false;
        uint32_t streamType = 0;
        uint8_t swapAxes = 0;
        uint8_t mirrorX = 0;
        uint8_t mirrorY = 0;
    };

    // False at the first refused pair.
    bool ReadAttributes(const CRenderSurfaceAttribute* attributes, Request* request);
    bool TakeAttribute(const CRenderSurfaceAttribute& attribute, Request* request);
    bool TakeFormat(uint32_t key, uint32_t format, Request* request);
    bool TakeLinkAttribute(const CRenderSurfaceAttribute& attribute, Request* request);
    static bool TakeOrientation(uintptr_t value, Request* request);
    bool CreateFromRequest(Request* request);
    bool PrepareImageLoad(const Request& request, CRenderSurfaceLoadParams* params) const;
    static bool FitsInMemory(const Request& request);
};

#endif
