#include "FontDataBuilder.h"

namespace fonttest {

namespace {

void Put16(std::vector<uint8_t>* out, uint16_t value) {
    out->push_back(static_cast<uint8_t>(value));
    out->push_back(static_cast<uint8_t>(value >> 8));
}

void Put8(std::vector<uint8_t>* out, int8_t value) { out->push_back(static_cast<uint8_t>(value)); }

void AppendUtf8(std::vector<uint8_t>* out, uint16_t c) {
    if (c < 0x80) {
        out->push_back(static_cast<uint8_t>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<uint8_t>(0xC0 | c >> 6));
        out->push_back(static_cast<uint8_t>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<uint8_t>(0xE0 | c >> 12));
        out->push_back(static_cast<uint8_t>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<uint8_t>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::vector<uint8_t> CodeString(const std::vector<uint16_t>& codes) {
    std::vector<uint8_t> utf8;
    for (uint16_t c : codes) AppendUtf8(&utf8, c);
    std::vector<uint8_t> out;
    out.reserve(2 + utf8.size());
    out.push_back(static_cast<uint8_t>(utf8.size() >> 8));
    out.push_back(static_cast<uint8_t>(utf8.size()));
    out.insert(out.end(), utf8.begin(), utf8.end());
    return out;
}

std::vector<uint8_t> BuildFontData(const FontSpec& spec) {
    std::vector<uint8_t> out = {spec.version, 0, 0, 0xAB, 0xCD};
    Put8(&out, spec.descent);
    Put8(&out, spec.spacing);
    Put8(&out, spec.ascent);
    Put16(&out, static_cast<uint16_t>(spec.glyphs.size()));
    Put16(&out, static_cast<uint16_t>(spec.advances.size()));
    const bool version2 = spec.version == 2;
    if (!spec.glyphs.empty()) {
        if (version2) {
            std::vector<uint16_t> codes;
            for (const GlyphSpec& g : spec.glyphs) codes.push_back(g.code);
            const std::vector<uint8_t> string = CodeString(codes);
            out.insert(out.end(), string.begin(), string.end());
        }
        for (const GlyphSpec& g : spec.glyphs) {
            if (!version2) Put16(&out, g.code);
            Put16(&out, static_cast<uint16_t>(g.x));
            Put16(&out, static_cast<uint16_t>(g.y));
            for (int8_t v : {g.width, g.height, g.xOffset, g.yOffset, g.advance, int8_t{0x55}}) Put8(&out, v);
        }
    }
    if (!spec.advances.empty()) {
        if (version2) {
            std::vector<uint16_t> codes;
            for (const AdvanceSpec& a : spec.advances) codes.push_back(a.code);
            const std::vector<uint8_t> string = CodeString(codes);
            out.insert(out.end(), string.begin(), string.end());
        }
        for (const AdvanceSpec& a : spec.advances) {
            if (!version2) Put16(&out, a.code);
            Put8(&out, 0x66);
            Put8(&out, a.advance);
        }
    }
    return out;
}

FontSpec LetterFont(uint8_t version) {
    FontSpec spec;
    spec.version = version;
    for (uint16_t c = 'a'; c <= 'z'; ++c) {
        spec.glyphs.push_back({c, static_cast<int16_t>((c - 'a') * 4), 0, 4, 6, 0, 0, 5});
    }
    spec.advances.push_back({' ', 3});
    return spec;
}

}  // namespace fonttest
