#include "SK_DrawContext.h"

#include "AppServices.h"
#include "CDrawUtil.h"
#include "CGraphics2d_Lite.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// An integer coordinate as 16.16 fixed point; negative values wrap as the
// shift did on the handset.
int32_t ToFixed(int32_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value) << 16); }

int32_t Narrow(int32_t value) { return static_cast<int16_t>(value); }

}  // namespace

void SK_DrawContext::SetOrigin(int16_t x, int16_t y) {
    m_originX = x;
    m_originY = y;
    m_renderer = GetGraphics2d();
}

void SK_DrawContext::DrawImage(CRenderSurface* image, uint32_t flip, int32_t x, int32_t y) const {
    if (m_renderer == nullptr || image == nullptr) return;
    m_renderer->PushMatrix();
    m_renderer->Translate(ToFixed(m_originX + x), ToFixed(m_originY + y));
    m_renderer->DrawImage(image, flip, nullptr);
    m_renderer->PopMatrix();
}

void SK_DrawContext::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour) const {
    const int32_t left = m_originX + x;
    const int32_t top = m_originY + y;
    CDrawUtil::FillRect(Narrow(left), Narrow(top), Narrow(left + w), Narrow(top + h),
                        static_cast<uint32_t>(colour) | kOpaque);
}

void SK_DrawContext::DrawCross(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) const {
    const int32_t left = m_originX + x;
    const int32_t top = m_originY + y;
    const int32_t right = left + w - 1;
    const int32_t bottom = top + h - 1;
    CDrawUtil::DrawLine(left, top, right, top, colour);
    CDrawUtil::DrawLine(right, top, right, bottom, colour);
    CDrawUtil::DrawLine(right, bottom, left, bottom, colour);
    CDrawUtil::DrawLine(left, bottom, left, top, colour);
    CDrawUtil::DrawLine(left, top, right, bottom, colour);
    CDrawUtil::DrawLine(right, top, left, bottom, colour);
}
