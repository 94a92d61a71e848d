#include "CGameWorld.h"
#include "JGraphics.h"

namespace {

constexpr uint32_t kChannelMax = 255;
constexpr int32_t kAlphaShift = 24;

}  // namespace

void CGameWorld::StartFade(int32_t mode, uint32_t from, uint32_t to, int32_t t) {
    fadeMode = mode;
    fadeFrom = from;
    fadeTo = to;
    fadeTime = t;
}

void CGameWorld::UpdateFade(int32_t dt) {
    switch (fadeMode) {
        case kFadeUpDown:
            fadeTime += dt;
            if (fadeTime > kFadeSpan) {
                fadeTime = kFadeSpan;
                fadeMode = kFadeDown;
                fadeSpan = kFadeSpan;
            }
            break;
        case kFadeDown:
        case kFadeDownFromColour:
            fadeTime -= dt;
            if (fadeTime < 1) {
                fadeTime = 0;
                fadeMode = kFadeNone;
                fadeSpan = kFadeSpan;
            }
            break;
        case kFadeUpHold:
        case kFadeUpHoldPartner:
            fadeTime += dt;
            if (fadeTime > kFadeHoldSpan) {
                fadeTime = kFadeHoldSpan;
                fadeSpan = kFadeHoldSpan;
            }
            break;
        default:
            break;
    }
}

// The fade darkens towards black, or towards the from colour in mode 4, by
// an alpha that grows with the fade time over 300 ms.
void CGameWorld::PaintFade(JGraphics& g) {
    const uint32_t alpha = BlendColour(0, kChannelMax, fadeTime, kFadeSpan);
    const uint32_t colour = fadeMode == kFadeDownFromColour ? fadeFrom : 0;
    FillRectAlpha(g, alpha << kAlphaShift | colour, 0, 0, screenWidth, screenHeight);
}

uint32_t CGameWorld::BlendColour(uint32_t a, uint32_t b, int32_t t, int32_t span) {
    if (t < 1) return a;
    if (t >= span) return b;
    uint32_t blended = 0;
    for (int32_t shift = 0; shift <= 16; shift += 8) {
        const auto from = static_cast<int32_t>(a >> shift & kChannelMax);
        const auto to = static_cast<int32_t>(b >> shift & kChannelMax);
        const int32_t channel = from + (to - from) * t / span;
        blended |= static_cast<uint32_t>(channel) << shift;
    }
    return blended;
}

void CGameWorld::FillRectAlpha(JGraphics& g, uint32_t argb, int32_t x, int32_t y, int32_t w, int32_t h) {
    fadeFill = argb;
    g.fillRectBlended(fadeFill, 0, 0, x, y, x + w, y + h);
}
