#include "JGraphics.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CDrawUtil.h"
#include "CGraphics2d_Lite.h"
#include "ClipStack.h"

namespace {

constexpr uint32_t kChannelMask = 0xFF;

// A colour channel as a 16.16 fraction of full intensity.
int32_t ChannelFraction(uint32_t word, int shift) {
    const int32_t channel = static_cast<int32_t>((word >> shift) & kChannelMask);
    return (channel << 16) / 255;
}

CGraphics2d_Lite* Renderer() {
    CGraphics2d_Lite* renderer = GetGraphics2d();
    if (renderer == nullptr) DebugPrintf("JGraphics: no 2D renderer, nothing drawn");
    return renderer;
}

// x << 16 in two's complement, without shifting a negative value.
int32_t ToFixed(int32_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value) << 16); }

}  // namespace

void JGraphics::setColorRGB(int32_t r, int32_t g, int32_t b) {
    colour = (static_cast<uint32_t>(r) & kChannelMask) << 16 | (static_cast<uint32_t>(g) & kChannelMask) << 8 |
             (static_cast<uint32_t>(b) & kChannelMask);
}

void JGraphics::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (Renderer() != nullptr) CDrawUtil::DrawLine(x1, y1, x2, y2, colour);
}

void JGraphics::drawRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    drawLine(x, y, x, y + h);
    drawLine(x + w, y, x + w, y + h);
    drawLine(x, y, x + w, y);
    drawLine(x, y + h, x + w, y + h);
}

void JGraphics::fillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (w == 0 || h == 0 || Renderer() == nullptr) return;
    CDrawUtil::FillRect(x, y, x + w, y + h, colour);
}

void JGraphics::fillRectBlended(const uint32_t& colourWord, int32_t, int32_t, int32_t x1, int32_t y1, int32_t x2,
                                int32_t y2) {
    CGraphics2d_Lite* renderer = Renderer();
    if (renderer == nullptr) return;
    renderer->PushState(CGraphics2d_Lite::kGroupBlend);
    renderer->Enable(CGraphics2d_Lite::kCapBlend);
    renderer->SetBlendMode(CGraphics2d_Lite::kBlendConstant);
    renderer->SetColor(ChannelFraction(colourWord, 24), ChannelFraction(colourWord, 16), ChannelFraction(colourWord, 8),
                       ChannelFraction(colourWord, 0));
    CDrawUtil::FillRect(x1, y1, x2, y2, colourWord);
    renderer->PopState(CGraphics2d_Lite::kGroupBlend);
}

void JGraphics::fillRectBlendedArray(const JSmartObject<int32_t>& colours, int32_t a, int32_t b, int32_t x1, int32_t y1,
                                     int32_t x2, int32_t y2) {
    const uint32_t word = static_cast<uint32_t>(colours[0]);
    fillRectBlended(word, a, b, x1, y1, x2, y2);
}

void JGraphics::setRendererValue(const CRect& clip) {
    if (CGraphics2d_Lite* renderer = Renderer()) renderer->SetClip(clip);
}

void JGraphics::setClip(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (CGraphics2d_Lite* renderer = Renderer()) {
        renderer->SetClip(static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(w),
                          static_cast<int16_t>(h));
    }
}

void JGraphics::getClip(CRect& clip) const {
    if (CGraphics2d_Lite* renderer = Renderer()) clip = *renderer->GetClip();
}

void JGraphics::drawImage(CRenderSurface* surface, int32_t x, int32_t y, const CRect* sourceRect, uint32_t mirror) {
    CGraphics2d_Lite* renderer = Renderer();
    if (renderer == nullptr || surface == nullptr) return;
    renderer->LoadIdentity();
    renderer->PushMatrix();
    renderer->Translate(ToFixed(x), ToFixed(y));
    renderer->DrawImage(surface, mirror, sourceRect);
    renderer->PopMatrix();
}

void JGraphics::drawImagePieces(CRenderSurface* surface, const CGraphics2d_Lite::ImagePiece* pieces, int32_t count) {
    CGraphics2d_Lite* renderer = Renderer();
    if (renderer == nullptr || surface == nullptr) return;
    renderer->LoadIdentity();
    renderer->DrawImagePieces(surface, kMirrorNone, pieces, count);
}

void JGraphics::drawOpaqueImagePieces(CRenderSurface* surface, const CGraphics2d_Lite::ImagePiece* pieces,
                                      int32_t count) {
    CGraphics2d_Lite* renderer = Renderer();
    if (renderer == nullptr || surface == nullptr) return;
    renderer->PushState(CGraphics2d_Lite::kGroupColorKey);
    renderer->Disable(CGraphics2d_Lite::kCapColorKey);
    drawImagePieces(surface, pieces, count);
    renderer->PopState(CGraphics2d_Lite::kGroupColorKey);
}

void fillScreen(JGraphics& g, uint32_t argb) {
    g.setColor(argb);
    g.fillRect(0, 0, GetScreenWidth(), GetScreenHeight());
}

void resetClip(JGraphics& g) { g.setClip(0, 0, GetScreenWidth(), GetScreenHeight()); }

void pushClip(JGraphics& g, ClipStack& stack) {
    CRect clip;
    g.getClip(clip);
    stack.push(clip);
}

void popClip(JGraphics& g, ClipStack& stack) {
    if (stack.size() == 0) {
        DebugPrintf("popClip: the clip stack is empty, the clip stays");
        return;
    }
    const CRect clip = stack.pop();
    g.setClip(clip.x, clip.y, clip.width, clip.height);
}
