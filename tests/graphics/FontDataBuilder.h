#ifndef FONTDATABUILDER_H
#define FONTDATABUILDER_H

#include <cstdint>
#include <vector>

// Font data blocks written from the data format, in either version, for the
// font and word-wrap tests and the fuzz seeds.
namespace fonttest {

struct GlyphSpec {
    uint16_t code;
    int16_t x;
    int16_t y;
    int8_t width;
    int8_t height;
    int8_t xOffset;
    int8_t yOffset;
    int8_t advance;
};

struct AdvanceSpec {
    uint16_t code;
    int8_t advance;
};

struct FontSpec {
    uint8_t version = 1;
    int8_t descent = 2;
    int8_t spacing = 1;
    int8_t ascent = 6;
    std::vector<GlyphSpec> glyphs;
    std::vector<AdvanceSpec> advances;
};

std::vector<uint8_t> BuildFontData(const FontSpec& spec);

// A version-2 code string: big-endian byte count, then UTF-8.
std::vector<uint8_t> CodeString(const std::vector<uint16_t>& codes);

// Glyphs of advance 5 for 'a' to 'z' and an advance-only space of 3, with
// spacing 1: every letter steps 6 pixels, a space 4.
FontSpec LetterFont(uint8_t version);

}  // namespace fonttest

#endif
