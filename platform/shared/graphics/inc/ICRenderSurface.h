#ifndef ICRENDERSURFACE_H
#define ICRENDERSURFACE_H

#include "CRect.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceObject.h"

class CInputStream;
class ICRenderSurface;

// What GetDesc reports of a surface.
struct CRenderSurfaceDesc {
    uint32_t kind;          // 2 software, 1 window
    uint32_t screen;        // 0 off-screen, 1 on-screen
    uint32_t buffering;     // 0 to 3 from the two buffering bits
    uint32_t presentation;  // 0 to 4; codes 3 and 4 ask the frame for a refresh
    uint16_t width;
    uint16_t height;
    uint8_t doubleBuffered;
    uint8_t capability;
    uint8_t locked;
    uint8_t extendedColor;
    uint8_t colorRequested;
    uint8_t depthRequested;
    uint8_t stencilRequested;
    uint8_t ownsPalette;
    uint32_t colorFormat;
    uint32_t depthFormat;
    uint32_t stencilFormat;
    const uint32_t* palette;
    const ICRenderSurface* forwardTarget;
};

// The target of every drawing operation: the window that is presented, or
// an image in system memory. Every surface carries this interface's key.
class ICRenderSurface : public CRenderSurfaceObject {
public:
    static constexpr uint32_t kClassKey = 0xC9403F77;

    ICRenderSurface() : CRenderSurfaceObject(kClassKey) {}
    ~ICRenderSurface() override = default;

    ICRenderSurface(const ICRenderSurface&) = delete;
    ICRenderSurface& operator=(const ICRenderSurface&) = delete;

    // 2 software surface, 1 window surface.
    virtual uint32_t GetType() const = 0;
    // Creates the surface from a render-surface resource's attribute pairs.
    virtual bool Configure(CInputStream* stream, uint32_t typeKey) = 0;
    // Creates the surface from a list ended by key 0; false leaves it empty.
    virtual bool Create(const CRenderSurfaceAttribute* attributes) = 0;
    // Back to the constructed state; the surface can be created again.
    virtual void Destroy() = 0;
    // Becomes the graphics device's drawing target.
    virtual void MakeCurrent() = 0;
    // Hands out the colour plane's pixels (at the rectangle's top-left pixel
    // when one is given) and its signed pitch; on failure both are 0.
    // Lock flags: the pixels are only read; the pixels are written, and the
    // writer notes each change on the surface itself (CRenderSurface::NoteChange),
    // for a lock held while nothing may be drawn.
    static constexpr uint32_t kLockRead = 1;
    static constexpr uint32_t kLockNotedWrites = 2;
    virtual bool Lock(uint8_t** pixels, int32_t* pitch, uint32_t lockFlags, const CRect* rect) = 0;
    virtual void Unlock(uint32_t lockFlags) = 0;
    virtual bool IsLocked() const = 0;
    // Pixel-format id of the colour plane, 0 without one.
    virtual uint32_t GetFormat() const = 0;
    // False, outputs untouched, for a surface without planes.
    virtual bool GetSize(uint32_t* width, uint32_t* height) const = 0;
    // False at the first field that cannot be known; later fields keep
    // what they held.
    virtual bool GetDesc(CRenderSurfaceDesc* desc) const = 0;
};

#endif
