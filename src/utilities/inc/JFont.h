#ifndef JFONT_H
#define JFONT_H

#include <cstdint>

#include "AppServices.h"
#include "CFont.h"
#include "CGraphicFont.h"
#include "EngineTypes.h"
#include "JString.h"

class JGraphics;

// A font of the game code: a handle on one of the engine fonts that the
// game's font manager keeps (the handle owns nothing). Without a font
// (an id the manager has no font for) it measures 0 and draws nothing.
class JFont {
public:
    static constexpr int32_t kAnchorDefault = 20;

    // The font manager's font of the id (0..6), loaded on first use.
    explicit JFont(int32_t fontId) : font(FontOfId(fontId)) {}
    // A handle on an engine font the caller keeps.
    explicit JFont(const CFont* engineFont) : font(engineFont) {}

    int32_t getHeight() const;
    // 0 for the empty string.
    int32_t stringWidth(const JString& text) const;
    // 0 for a null text.
    int32_t charsWidth(const WChar* text) const;
    int32_t charWidth(WChar unit) const;
    static int32_t stringWidth(int32_t fontId, const JString& text) { return JFont(fontId).stringWidth(text); }

    void drawString(JGraphics& g, const JString& text, int32_t x, int32_t y, int32_t anchor = kAnchorDefault) const;
    // Centre wins over right and bottom. The font draws through the 2D
    // renderer itself; the graphics context is not used.
    void drawChars(JGraphics& g, const WChar* text, int32_t x, int32_t y, int32_t anchor = kAnchorDefault) const;

private:
    // The font of an id, from the game application's font manager.
    static const CFont* FontOfId(int32_t fontId);

    const CFont* font;
};

#endif
