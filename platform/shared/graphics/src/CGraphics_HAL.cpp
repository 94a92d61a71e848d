#include "CGraphics_HAL.h"

#include "CAssert.h"
#include "CRenderSurface.h"

bool CGraphics_HAL::HasBackEnd() const {
    ASSERT(m_backEnd != nullptr);
    return m_backEnd != nullptr;
}

CRenderSurface* CGraphics_HAL::DriverSurface() const {
    if (!HasBackEnd()) return nullptr;
    CRenderSurface* surface = m_backEnd->GetCurrentSurface();
    if (surface == nullptr || (surface->GetFlags() & CRenderSurface::kFlagSoftware) != 0) return nullptr;
    return surface;
}

CRenderSurface* CGraphics_HAL::GetCurrentSurface() const {
    return HasBackEnd() ? m_backEnd->GetCurrentSurface() : nullptr;
}

void CGraphics_HAL::SetCurrentSurface(CRenderSurface* surface) {
    CGraphics::SetCurrentSurface(surface);
    if (m_backEnd != nullptr) m_backEnd->SetCurrentSurface(surface);
}

void CGraphics_HAL::BeginFrame() {
    if (DriverSurface() != nullptr) m_backEnd->BeginFrame();
}

void CGraphics_HAL::EndFrame() {
    if (DriverSurface() != nullptr) m_backEnd->EndFrame();
}

// The driver fills the window's colour; depth and stencil planes, which it
// does not know, are cleared through the surface.
void CGraphics_HAL::Clear(uint32_t mask) {
    if (!HasBackEnd()) return;
    CRenderSurface* surface = m_backEnd->GetCurrentSurface();
    if (surface == nullptr) return;
    if ((surface->GetFlags() & CRenderSurface::kFlagSoftware) != 0) {
        CGraphics::Clear(mask);
        return;
    }
    m_backEnd->Clear(mask);
    const uint32_t auxMask = mask & (kClearDepth | kClearStencil);
    if ((surface->GetFlags() & CRenderSurface::kFlagBuffering1) != 0 && auxMask != 0) CGraphics::Clear(auxMask);
}

void CGraphics_HAL::SetClearColor(uint32_t packedArgb) {
    CGraphics::SetClearColor(packedArgb);
    if (HasBackEnd()) m_backEnd->SetClearColor(packedArgb);
}

void CGraphics_HAL::SetClearColor(const RSBFormat_ARGB_fixed& color) {
    CGraphics::SetClearColor(color);
    if (HasBackEnd()) m_backEnd->SetClearColor(color);
}

void CGraphics_HAL::SetClearColor(int32_t a, int32_t r, int32_t g, int32_t b) {
    CGraphics::SetClearColor(a, r, g, b);
    if (HasBackEnd()) m_backEnd->SetClearColor(a, r, g, b);
}

void CGraphics_HAL::SetClearDepth(int32_t depth) {
    CGraphics::SetClearDepth(depth);
    if (HasBackEnd()) m_backEnd->SetClearDepth(depth);
}

void CGraphics_HAL::SetClearStencil(uint32_t stencil) {
    CGraphics::SetClearStencil(stencil);
    if (HasBackEnd()) m_backEnd->SetClearStencil(stencil);
}

const CGraphicsInfo* CGraphics_HAL::GetInfo(uint32_t id) const {
    if (id == kBackEndInfoId) return m_backEnd != nullptr ? m_backEnd->GetInfo(id) : nullptr;
    return CGraphics::GetInfo(id);
}

const CStrChar* CGraphics_HAL::GetName(uint32_t id) const {
    if (id == kBackEndInfoId) return m_backEnd != nullptr ? m_backEnd->GetName(id) : nullptr;
    return CGraphics::GetName(id);
}
