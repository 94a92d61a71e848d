// The orientation and hibernation screens: a black screen with the
// configured text in font 0, broken into centred lines at three quarters
// of the width.

#include "CGameApp.h"

#include "AppServices.h"
#include "CDrawUtil.h"
#include "CFontMgr.h"
#include "CGraphicFont.h"
#include "WideStr.h"

namespace {

constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr WChar kSpace = u' ';

// The number of characters from `start` that make the next line: what fits
// in `maxWidth`, run on to the end of the word that crossed it, at least one.
int32_t NextLineLength(const CGraphicFont* font, const WChar* text, int32_t length, int32_t start, int32_t maxWidth) {
    int32_t fit = 0;
    font->GetStringWidth(text + start, -1, maxWidth, &fit);
    int32_t end = start + fit;
    int32_t space = end;
    while (space < length && text[space] != kSpace) ++space;
    // Without a space after the cut the line stays cut where it crossed.
    if (space < length) end = space;
    return end > start ? end - start : 1;
}

}  // namespace

void CGameApp::PaintOrientationMessage(uint32_t width, uint32_t height) {
    PaintMessageScreen(m_device.GetText(CDeviceConfig::kOrientationMessage), width, height);
}

void CGameApp::PaintHibernationMessage(uint32_t width, uint32_t height) {
    PaintMessageScreen(m_device.GetText(CDeviceConfig::kHibernationMessage), width, height);
}

void CGameApp::PaintMessageScreen(const WChar* text, uint32_t width, uint32_t height) {
    CFontMgr* fonts = GetFontMgr();
    const CGraphicFont* font = fonts != nullptr ? fonts->GetFont(0) : nullptr;
    CDrawUtil::FillRect(0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height), kOpaqueBlack);
    if (text == nullptr || font == nullptr) return;
    const int32_t lineHeight = font->GetHeight();
    const int32_t maxWidth = static_cast<int32_t>(width * 3 / 4);
    const int32_t length = static_cast<int32_t>(WideStrLen(text));
    int32_t y = static_cast<int32_t>(height / 2) - lineHeight;
    for (int32_t start = 0; start < length;) {
        const int32_t count = NextLineLength(font, text, length, start, maxWidth);
        const int32_t lineWidth = font->GetStringWidth(text + start, count, -1, nullptr);
        font->DrawString(text + start, count, (static_cast<int32_t>(width) - lineWidth) / 2, y, -1, -1);
        y += lineHeight;
        start += count;
    }
}
