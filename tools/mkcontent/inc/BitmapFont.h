#ifndef BITMAPFONT_H
#define BITMAPFONT_H

#include "ColourPalette.h"
#include "Raster.h"
#include "SourceText.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A bitmap font drawn as text art. Source:
//
//   metrics ascent=7 descent=2 spacing=0
//   colours ink=NAME shadow=NAME          (palette names)
//   glyph A [advance=N]                   (a character, "quoted", or 0xHH)
//   .###.                                 art rows from the top of the line:
//   #...#                                 '#' ink, '.' empty; the first empty
//                                         line ends the glyph
//   advance CODE N                        a character that only moves the pen
//
// Every glyph gets a one-pixel shadow to its lower right. The compiled font
// is an atlas picture (16 cells a row) and the engine's version-1 data block.
class BitmapFont {
public:
    static constexpr int32_t kCellsPerRow = 16;

    struct Glyph {
        uint16_t code = 0;
        int32_t width = 0;
        std::vector<std::string> rows;
        int32_t advance = 0;
        SourcePlace place;
    };

    bool Parse(const SourceText& source, const ColourPalette& palette, std::string& error);

    Raster Atlas() const;
    std::vector<uint8_t> FontData() const;

    // The text drawn in `ink` with the font's shadow in `shadow` (or none
    // when it is transparent), one pixel per art pixel. Fails on a character
    // the font lacks, naming `place`.
    bool Render(const std::string& text, uint32_t ink, uint32_t shadow, const SourcePlace& place, Raster& out,
                std::string& error) const;
    // The pen advance of the text, without the last character's spacing.
    int32_t Measure(const std::string& text) const;
    int32_t LineHeight() const { return m_ascent + m_descent; }
    bool Empty() const { return m_glyphs.empty(); }

private:
    bool ParseMetrics(const SourceLine& line, std::string& error);
    bool ParseColours(const SourceLine& line, const ColourPalette& palette, std::string& error);
    bool ParseGlyph(const SourceText& source, size_t& index, const SourceLine& header, std::string& error);
    bool ParseAdvance(const SourceLine& line, std::string& error);
    static bool ParseCode(const std::string& word, uint16_t& code);
    void CellOrigin(size_t index, int32_t& x, int32_t& y) const;
    int32_t CellWidth() const;
    int32_t CellHeight() const { return m_ascent + m_descent + 1; }
    void DrawGlyph(const Glyph& glyph, Raster& raster, int32_t x, int32_t y, uint32_t ink, uint32_t shadow) const;

    int32_t m_ascent = 0;
    int32_t m_descent = 0;
    int32_t m_spacing = 0;
    uint32_t m_ink = 0xFFFFFF;
    uint32_t m_shadow = 0;
    // By code: the data block's glyph table must be sorted.
    std::map<uint16_t, Glyph> m_glyphs;
    std::map<uint16_t, int32_t> m_advances;
};

#endif
