#ifndef CGRAPHICSINTERFACE_H
#define CGRAPHICSINTERFACE_H

#include "CColor.h"
#include "CGenUtil.h"
#include "CMemory.h"

class CRenderSurface;
class CStrChar;

// A device's information record: id 2 names the blitter set, id 1 the back
// end's driver.
struct CGraphicsInfo {
    uint32_t id;
    const CStrChar* name;
    uint32_t limits[8];
};

// The graphics-device interface: the device the application talks to and
// the back end a platform device drives derive from it.
class CGraphicsInterface {
public:
    // Clear masks.
    static constexpr uint32_t kClearColor = 0x10000;
    static constexpr uint32_t kClearDepth = 0x20000;
    static constexpr uint32_t kClearStencil = 0x40000;

    CGraphicsInterface() = default;
    virtual ~CGraphicsInterface() = default;

    CGraphicsInterface(const CGraphicsInterface&) = delete;
    CGraphicsInterface& operator=(const CGraphicsInterface&) = delete;

    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual CRenderSurface* GetCurrentSurface() const = 0;
    // Set and cleared by the surfaces themselves (MakeCurrent, ReleaseCurrent).
    virtual void SetCurrentSurface(CRenderSurface* surface) = 0;
    virtual void BeginFrame() = 0;
    virtual void EndFrame() = 0;
    virtual void Clear(uint32_t mask) = 0;
    virtual void Present() = 0;
    virtual void SetDisplayFormat(uint32_t format) { m_displayFormat = format; }
    virtual uint32_t GetDisplayFormat() const { return m_displayFormat; }
    virtual void SetClearColor(uint32_t packedArgb) = 0;
    virtual void SetClearColor(const RSBFormat_ARGB_fixed& color) = 0;
    virtual void SetClearColor(int32_t a, int32_t r, int32_t g, int32_t b) = 0;
    virtual void SetClearDepth(int32_t depth) = 0;
    virtual void SetClearStencil(uint32_t stencil) = 0;
    virtual const CGraphicsInfo* GetInfo(uint32_t id) const = 0;
    virtual const CStrChar* GetName(uint32_t id) const = 0;

    // Devices and back ends live on the engine heap; a failed allocation
    // yields null.
    static void* operator new(size_t bytes) noexcept { return MemAlloc(bytes); }
    static void operator delete(void* block) noexcept { MemFree(block); }

private:
    uint32_t m_displayFormat = RSBFormat_X8R8G8B8;
};

#endif
