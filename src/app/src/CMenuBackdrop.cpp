#include "CMenuBackdrop.h"

#include "AppServices.h"
#include "CGraphics2d_Lite.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceAttribute.h"
#include "CRenderSurfaceFactory.h"
#include "JGraphics.h"

CMenuBackdrop::~CMenuBackdrop() { delete m_copy; }

void CMenuBackdrop::Forget() {
    m_kept = false;
    delete m_copy;
    m_copy = nullptr;
}

void CMenuBackdrop::Keep(const Page& page, const JString& title, const JString& subtitle, JGraphics& g) {
    CGraphics2d_Lite* renderer = GetGraphics2d();
    m_kept = renderer != nullptr && MakeCopy(page) && renderer->SaveTarget(m_copy);
    if (!m_kept) return;
    m_page = page;
    m_title = title;
    m_subtitle = subtitle;
    g.getClip(m_clip);
}

bool CMenuBackdrop::Holds(const Page& page, const JString& title, const JString& subtitle) const {
    return m_kept && page == m_page && title == m_title && subtitle == m_subtitle;
}

bool CMenuBackdrop::Restore(const Page& page, const JString& title, const JString& subtitle, JGraphics& g) {
    CGraphics2d_Lite* renderer = GetGraphics2d();
    if (renderer == nullptr || !Holds(page, title, subtitle) || !renderer->RestoreTarget(m_copy)) return false;
    g.setRendererValue(m_clip);
    return true;
}

bool CMenuBackdrop::RestoreClip(const Page& page, const JString& title, const JString& subtitle, JGraphics& g) {
    if (!Holds(page, title, subtitle)) return false;
    g.setRendererValue(m_clip);
    return true;
}

uint64_t CMenuBackdrop::GetKeptSerial() const { return m_kept ? m_copy->GetChangeSerial() : 0; }

// One surface of the screen's size and format, made again when they change.
bool CMenuBackdrop::MakeCopy(const Page& page) {
    uint32_t width = 0;
    uint32_t height = 0;
    if (m_copy != nullptr && m_copy->GetSize(&width, &height) && width == page.width && height == page.height &&
        m_copy->GetFormat() == page.format) {
        return true;
    }
    delete m_copy;
    m_copy = CreateRenderSurface(kRenderSurfaceKindOffScreen, 0, 0);
    const CRenderSurfaceAttribute attributes[] = {{kSurfaceAttrWidth, page.width},
                                                  {kSurfaceAttrHeight, page.height},
                                                  {kSurfaceAttrColorFormat, page.format},
                                                  {kSurfaceAttrEnd, 0}};
    if (m_copy != nullptr && m_copy->Create(attributes)) return true;
    delete m_copy;
    m_copy = nullptr;
    return false;
}
