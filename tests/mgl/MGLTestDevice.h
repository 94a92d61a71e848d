#ifndef MGLTESTDEVICE_H
#define MGLTESTDEVICE_H

// A graphics device for the renderer's tests: its current surface is an
// off-screen software surface with the plane formats a test asks for, and
// it is installed as the renderer's device while it lives.

#include <vector>

#include "CGraphics.h"
#include "CHash.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceBuffer.h"
#include "CRenderSurface_SW_OffScreen.h"
#include "MGLHost.h"

// A singleton table for the device to register in, unless an application
// already published one.
class SingletonTableScope {
public:
    SingletonTableScope() {
        if (CSingleton::GetTable() != nullptr) return;
        m_table.Init(8, 8, true);
        CSingleton::SetTable(&m_table);
    }
    ~SingletonTableScope() {
        if (CSingleton::GetTable() == &m_table) CSingleton::SetTable(nullptr);
    }

private:
    CHash m_table;
};

class MGLTestDevice : private SingletonTableScope, public CGraphics {
public:
    MGLTestDevice() { MGLHost::InstallGraphics(this); }
    ~MGLTestDevice() override {
        MGLTestDevice::Close();
        MGLHost::InstallGraphics(nullptr);
    }

    // Planes of the non-zero formats, made current.
    bool MakeSurface(uint32_t width, uint32_t height, uint32_t colour, uint32_t depth = 0, uint32_t stencil = 0) {
        DropSurface();
        std::vector<CRenderSurfaceAttribute> attributes = {{kSurfaceAttrWidth, width}, {kSurfaceAttrHeight, height}};
        if (colour != 0) attributes.push_back({kSurfaceAttrColorFormat, colour});
        if (depth != 0) attributes.push_back({kSurfaceAttrDepthFormat, depth});
        if (stencil != 0) attributes.push_back({kSurfaceAttrStencilFormat, stencil});
        attributes.push_back({kSurfaceAttrEnd, 0});
        m_surface = new CRenderSurface_SW_OffScreen();
        if (m_surface == nullptr || !m_surface->Create(attributes.data())) return false;
        // Set directly: without an application the device is not the
        // registered singleton that MakeCurrent looks for.
        SetCurrentSurface(m_surface);
        return true;
    }

    void DropSurface() {
        SetCurrentSurface(nullptr);
        delete m_surface;
        m_surface = nullptr;
    }

    CRenderSurfaceBuffer* Plane(uint32_t index) const {
        return m_surface != nullptr ? m_surface->GetPlane(index) : nullptr;
    }

    bool Open() override { return true; }
    void Close() override { DropSurface(); }
    void Present() override {}

private:
    CRenderSurface_SW_OffScreen* m_surface = nullptr;
};

#endif
