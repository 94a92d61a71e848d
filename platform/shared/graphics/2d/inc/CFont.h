#ifndef CFONT_H
#define CFONT_H

#include "CClass.h"

// A font as the text code sees it: metrics, widths and drawing. The
// character classes drive line breaking.
class CFont : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x00170994;

    // Character classes of GetCharType.
    static constexpr int32_t kCharOther = 0;
    static constexpr int32_t kCharEnd = 1;
    static constexpr int32_t kCharSpace = 2;
    static constexpr int32_t kCharTab = 3;
    static constexpr int32_t kCharNewline = 4;

    ~CFont() override = default;

    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    virtual int32_t GetHeight() const = 0;
    virtual int32_t GetAscent() const = 0;
    // Width in pixels of `length` characters (a negative length: up to the
    // terminator). With a maximum width (>= 0) measuring stops before the
    // first character that would pass it; fitCount, when given, receives
    // the characters measured.
    virtual int32_t GetStringWidth(const WChar* text, int32_t length, int32_t maxWidth, int32_t* fitCount) const = 0;
    virtual int32_t GetCharWidth(WChar c) const = 0;
    // Draws with the pen starting at (x, y); a maximum width or height
    // (>= 0) cuts the glyphs at that distance from the origin.
    virtual void DrawString(const WChar* text, int32_t length, int32_t x, int32_t y, int32_t maxWidth,
                            int32_t maxHeight) const = 0;

    static int32_t GetCharType(WChar c);

protected:
    explicit CFont(uint32_t classKey) : CClass(classKey) {}
};

#endif
