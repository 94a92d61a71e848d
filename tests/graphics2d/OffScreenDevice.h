#ifndef OFFSCREENDEVICE_H
#define OFFSCREENDEVICE_H

// A graphics device for tests: its current surface is an off-screen
// software surface, as a platform device's would be its window surface.
// Header-only so that the graphics and graphics2d tests share it.

#include "CGraphics.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurface_SW_OffScreen.h"

class OffScreenDevice : public CGraphics {
public:
    OffScreenDevice(uint32_t width, uint32_t height, uint32_t format)
        : m_width(width), m_height(height), m_format(format) {}
    ~OffScreenDevice() override { OffScreenDevice::Close(); }

    bool Open() override {
        if (IsOpen()) Close();
        Init();
        SetDisplayFormat(m_format);
        m_surface = new CRenderSurface_SW_OffScreen();
        const CRenderSurfaceAttribute attributes[] = {
            {kSurfaceAttrWidth, m_width}, {kSurfaceAttrHeight, m_height}, {kSurfaceAttrColorFormat, m_format}, {0, 0}};
        if (m_surface == nullptr || !m_surface->Create(attributes)) {
            Close();
            return false;
        }
        m_surface->MakeCurrent();
        SetClearColor(0xFF000000u);
        SetOpen(true);
        return true;
    }

    void Close() override {
        delete m_surface;
        m_surface = nullptr;
        Shutdown();
        SetOpen(false);
    }

    void Present() override { ++presents; }

    CRenderSurface_SW_OffScreen* Surface() const { return m_surface; }

    int presents = 0;

private:
    uint32_t m_width;
    uint32_t m_height;
    uint32_t m_format;
    CRenderSurface_SW_OffScreen* m_surface = nullptr;
};

#endif
