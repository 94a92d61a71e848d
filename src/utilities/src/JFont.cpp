#include "JFont.h"

#include "CFontMgr.h"
#include "JImage.h"

const CFont* JFont::FontOfId(int32_t fontId) {
    CFontMgr* manager = GetFontMgr();
    return manager != nullptr ? manager->GetFont(fontId) : nullptr;
}

int32_t JFont::getHeight() const { return font != nullptr ? font->GetHeight() : 0; }

int32_t JFont::stringWidth(const JString& text) const { return charsWidth(text.getBuffer()); }

int32_t JFont::charsWidth(const WChar* text) const {
    if (font == nullptr || text == nullptr) return 0;
    return font->GetStringWidth(text, -1, -1, nullptr);
}

int32_t JFont::charWidth(WChar unit) const { return font != nullptr ? font->GetCharWidth(unit) : 0; }

void JFont::drawString(JGraphics& g, const JString& text, int32_t x, int32_t y, int32_t anchor) const {
    drawChars(g, text.getBuffer(), x, y, anchor);
}

void JFont::drawChars(JGraphics&, const WChar* text, int32_t x, int32_t y, int32_t anchor) const {
    if (font == nullptr || text == nullptr) return;
    const int32_t w = charsWidth(text);
    const int32_t h = getHeight();
    if (anchor & JImage::kAnchorHCenter) {
        x -= w >> 1;
    } else if (anchor & JImage::kAnchorRight) {
        x -= w;
    }
    if (anchor & JImage::kAnchorVCenter) {
        y -= h >> 1;
    } else if (anchor & JImage::kAnchorBottom) {
        y -= h;
    }
    font->DrawString(text, -1, x, y, -1, -1);
}
