#ifndef CGRAPHICS_H
#define CGRAPHICS_H

#include <vector>

#include "CColorEntry.h"
#include "CGraphicsInterface.h"
#include "CSingleton.h"
#include "CStrChar.h"

class CRenderSurface;

// The graphics device: the engine service that holds the current render
// surface, the display format and the clear values, clears frames, and at
// initialisation fills the blit registry that all 2D drawing goes through.
// A platform device derives from it (through CGraphics_HAL) and supplies
// Open, Close and Present.
class CGraphics : public CGraphicsInterface, public CSingleton {
public:
    // The name key of the graphics interface, under which the device is a singleton.
    static constexpr uint32_t kClassKey = 0x0466E194;
    static constexpr uint32_t kInfoId = 2;
    static constexpr uint32_t kInfoLimit = 2048;

    ~CGraphics() override;

    // The registered device, or null. Every draw call asks, so the device
    // keeps itself at hand while it is the registered one.
    static CGraphics* GetInstance() { return s_instance; }
    // Whether `device` is a device not destroyed yet, registered or not
    // (a renderer may be handed one of its own).
    static bool IsLive(const CGraphics* device);
    // A number no other device of this process has: a device made where an
    // ended one lay is told from it by this.
    uint64_t Serial() const { return m_serial; }
    // Every live device whose current surface `surface` is stops having
    // one: the surface is going. A closed device may have lost the back end
    // its own query asks, so only its record is consulted then.
    static void ReleaseSurface(const CRenderSurface* surface);
    // Every live device whose renderer-context slot holds `context` lets
    // go of it: the context is going.
    static void ForgetRendererContext(const void* context);

    // A colour word from its four bytes: a << 24 | r << 16 | g << 8 | b.
    static uint32_t PackColor(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
        return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
    }

    CRenderSurface* GetCurrentSurface() const override { return m_currentSurface; }
    void SetCurrentSurface(CRenderSurface* surface) override { m_currentSurface = surface; }
    void BeginFrame() override {}
    void EndFrame() override {}
    // Clears the current surface's planes the mask selects.
    void Clear(uint32_t mask) override;
    void SetClearColor(uint32_t packedArgb) override;
    void SetClearColor(const RSBFormat_ARGB_fixed& color) override;
    void SetClearColor(int32_t a, int32_t r, int32_t g, int32_t b) override;
    void SetClearDepth(int32_t depth) override;
    void SetClearStencil(uint32_t stencil) override;
    const CGraphicsInfo* GetInfo(uint32_t id) const override;
    const CStrChar* GetName(uint32_t id) const override;

    // Names the blitter set and registers it; returns whether the device is
    // initialised.
    virtual bool Init();
    virtual void Shutdown();

    bool IsOpen() const { return m_open != 0; }
    bool IsInitialised() const { return m_initialised != 0; }
    const CColorEntry& GetClearColor() const { return m_clearColor; }
    int32_t GetClearDepth() const { return m_clearDepth; }
    uint32_t GetClearStencil() const { return m_clearStencil; }
    // The 3D renderer context that last started on this device, or null. A
    // context clears it when it goes, so it never outlives its target.
    void* GetRendererContext() const { return m_rendererContext; }
    void SetRendererContext(void* context) { m_rendererContext = context; }

    using CSingleton::operator new;
    using CSingleton::operator delete;

protected:
    CGraphics();

    // For the platform device's Open and Close.
    void SetOpen(bool open) { m_open = open ? 1 : 0; }

private:
    static void RegisterBlitters();
    static std::vector<CGraphics*>& LiveDevices();
    static uint64_t NextSerial();

    static CGraphics* s_instance;

    uint8_t m_open = 0;
    uint8_t m_initialised = 0;
    CRenderSurface* m_currentSurface = nullptr;
    CColorEntry m_clearColor = {0, {0, 0, 0, 0}};
    int32_t m_clearDepth = 0;
    uint32_t m_clearStencil = 0;
    CGraphicsInfo m_info = {0, nullptr, {0, 0, 0, 0, 0, 0, 0, 0}};
    CStrChar m_name;
    void* m_rendererContext = nullptr;
    const uint64_t m_serial = NextSerial();
};

#endif
