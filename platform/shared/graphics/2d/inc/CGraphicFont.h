#ifndef CGRAPHICFONT_H
#define CGRAPHICFONT_H

#include "CFont.h"
#include "CGraphics2d_Lite.h"

class CArrayInputStream;
class CRenderSurface;

// A bitmap font: an image holding every glyph and a data block saying where
// each character's glyph lies, how it sits on the pen position and how far
// the pen moves. Glyphs are drawn as image blits through the 2D renderer.
//
// Data block (little-endian): a 12-byte header {u8 version 1 or 2, two zero
// bytes, two bytes not used, i8 descent, i8 spacing, i8 ascent, i16 glyph
// count G, i16 advance-only count A}, then, when G > 0, G glyph records and,
// when A > 0, A advance-only records. Version 1 records carry their code;
// version 2 takes the codes, in order, from a string (big-endian u16 byte
// count, UTF-8) before each table. Glyphs are sorted by code.
class CGraphicFont : public CFont {
public:
    static constexpr uint32_t kClassKey = 0x6EFF79D2;
    static constexpr uint32_t kHeaderBytes = 12;
    // Characters below this are looked up in a table made at load.
    static constexpr uint32_t kDirectCodes = 256;

    struct Glyph {
        int16_t code;
        int16_t x;
        int16_t y;
        int8_t width;
        int8_t height;
        int8_t xOffset;
        int8_t yOffset;
        int8_t advance;
        int8_t spare;
    };

    struct AdvanceOnly {
        int16_t code;
        int8_t spare;
        int8_t advance;
    };

    CGraphicFont() : CFont(kClassKey) {}
    ~CGraphicFont() override;

    // The image the glyph rectangles refer to; not owned.
    void SetImage(CRenderSurface* image);
    // Replaces the font's data with the block's. A block that is short,
    // of an unknown version or inconsistent is refused, leaving the font
    // without data.
    bool LoadFontData(const uint8_t* data, uint32_t size);
    bool HasData() const { return m_header != nullptr; }

    int32_t GetHeight() const override;
    int32_t GetAscent() const override;
    int32_t GetStringWidth(const WChar* text, int32_t length, int32_t maxWidth, int32_t* fitCount) const override;
    // The advance of an advance-only entry, else of the glyph, else 0.
    int32_t GetCharWidth(WChar c) const override;
    void DrawString(const WChar* text, int32_t length, int32_t x, int32_t y, int32_t maxWidth,
                    int32_t maxHeight) const override;

    int32_t GetDescent() const;
    int32_t GetSpacing() const;
    // Records with a code of 0x8000 or more are never found.
    const Glyph* FindGlyph(WChar c) const;
    const AdvanceOnly* FindAdvanceOnly(WChar c) const;

private:
    // What a character is drawn as: an advance-only entry, else a glyph;
    // both null for neither.
    struct CharEntry {
        const AdvanceOnly* advanceOnly;
        const Glyph* glyph;
    };

    CharEntry FindChar(WChar c) const;
    // The pen's move past a character, 0 for one the font lacks; the font
    // is loaded.
    int32_t AdvanceOf(WChar c) const;
    void DrawGlyphs(CGraphics2d_Lite& renderer, const WChar* text, int32_t count, int32_t x, int32_t y,
                    int32_t maxWidth, int32_t maxHeight) const;
    // Records what FindChar finds for each character below kDirectCodes.
    void IndexDirectCodes();
    void ReleaseData();
    int32_t GetGlyphCount() const;
    int32_t GetAdvanceOnlyCount() const;
    int32_t GetVersion() const { return m_header[0]; }
    bool IsHeaderValid(uint32_t size) const;
    bool AllocateTables();
    // The version-2 code string of a table of `count` records.
    bool ReadCodes(CArrayInputStream& stream, int32_t count, WChar* codes, uint32_t capacity) const;
    bool ReadGlyphs(CArrayInputStream& stream, WChar* codes, uint32_t capacity);
    bool ReadAdvanceOnly(CArrayInputStream& stream, WChar* codes, uint32_t capacity);
    // One glyph as a piece of the font image, cut by the maximum width and
    // height, with the pen at `pen`; false when nothing of it shows.
    static bool PlaceGlyph(const Glyph& glyph, int32_t x, int32_t y, int32_t pen, int32_t maxWidth, int32_t maxHeight,
                           CGraphics2d_Lite::ImagePiece* piece);

    CRenderSurface* m_image = nullptr;
    // Which load of font data the glyph tables hold (0 before any).
    uint64_t m_layoutSerial = 0;
    uint8_t* m_header = nullptr;
    Glyph* m_glyphs = nullptr;
    AdvanceOnly* m_advanceOnly = nullptr;
    // Per character below kDirectCodes, the index + 1 of its entry in each
    // table; 0 for none.
    uint16_t m_directAdvanceOnly[kDirectCodes] = {};
    uint16_t m_directGlyph[kDirectCodes] = {};
};

#endif
