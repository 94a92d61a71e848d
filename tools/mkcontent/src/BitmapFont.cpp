#include "BitmapFont.h"

#include "LittleEndianWriter.h"
#include "SourceWords.h"

#include <algorithm>

namespace {

constexpr uint8_t kFontVersion = 1;
constexpr int32_t kMaxMetric = 127;
constexpr char kInk = '#';
// Keeps every glyph position within the data block's 16-bit fields.
constexpr int32_t kMaxAtlasSide = 1024;
constexpr char kEmpty = '.';
constexpr char kArtCharacters[] = {kInk, kEmpty, '\0'};

bool IsArtRow(const std::string& row) {
    return !row.empty() && row.find_first_not_of(kArtCharacters) == std::string::npos;
}

bool ReadMetric(const std::map<std::string, std::string>& options, const char* name, int32_t low, int32_t& value) {
    const auto found = options.find(name);
    return found != options.end() && SourceWords::ParseInt(found->second, value) && value >= low &&
           value <= kMaxMetric;
}

}  // namespace

bool BitmapFont::Parse(const SourceText& source, const ColourPalette& palette, std::string& error) {
    m_glyphs.clear();
    m_advances.clear();
    bool haveMetrics = false;
    for (size_t i = 0; i < source.LineCount(); ++i) {
        SourceLine line;
        if (!source.Line(i, line, error)) return false;
        if (line.words.empty()) continue;
        const std::string& keyword = line.words[0];
        bool parsed = false;
        if (keyword == "metrics") {
            parsed = ParseMetrics(line, error);
            haveMetrics = parsed;
        } else if (keyword == "colours") {
            parsed = ParseColours(line, palette, error);
        } else if (keyword == "glyph") {
            parsed = haveMetrics ? ParseGlyph(source, i, line, error)
                                 : SourceText::Fail(line.place, "`metrics` must come before the first glyph", error);
        } else if (keyword == "advance") {
            parsed = ParseAdvance(line, error);
        } else {
            parsed = SourceText::Fail(line.place, "unknown statement `" + keyword + "`", error);
        }
        if (!parsed) return false;
    }
    if (m_glyphs.empty()) return SourceText::Fail({source.Name(), 0}, "the font has no glyphs", error);
    const int64_t rows = static_cast<int64_t>((m_glyphs.size() + kCellsPerRow - 1) / kCellsPerRow);
    if (CellWidth() * kCellsPerRow > kMaxAtlasSide || rows * CellHeight() > kMaxAtlasSide) {
        return SourceText::Fail({source.Name(), 0}, "the glyphs do not fit an atlas of 1024 x 1024", error);
    }
    return true;
}

bool BitmapFont::ParseMetrics(const SourceLine& line, std::string& error) {
    std::map<std::string, std::string> options;
    std::string bad;
    if (!SourceWords::Options(line.words, 1, options, bad) || !ReadMetric(options, "ascent", 1, m_ascent) ||
        !ReadMetric(options, "descent", 0, m_descent) || !ReadMetric(options, "spacing", -kMaxMetric, m_spacing) ||
        options.size() != 3) {
        return SourceText::Fail(line.place, "expected `metrics ascent=N descent=N spacing=N`", error);
    }
    return true;
}

bool BitmapFont::ParseColours(const SourceLine& line, const ColourPalette& palette, std::string& error) {
    std::map<std::string, std::string> options;
    std::string bad;
    if (!SourceWords::Options(line.words, 1, options, bad) || options.size() != 2 || !options.count("ink") ||
        !options.count("shadow")) {
        return SourceText::Fail(line.place, "expected `colours ink=NAME shadow=NAME`", error);
    }
    return palette.Find(options["ink"], line.place, m_ink, error) &&
           palette.Find(options["shadow"], line.place, m_shadow, error);
}

bool BitmapFont::ParseCode(const std::string& word, uint16_t& code) {
    if (word.size() == 1) {
        code = static_cast<uint8_t>(word[0]);
        return code >= 0x20 && code < 0x7F;
    }
    int32_t value = 0;
    if (word.size() < 3 || word.compare(0, 2, "0x") != 0 || !SourceWords::ParseInt(word, value)) return false;
    // The engine finds no glyph whose code has the top bit set.
    if (value < 0x20 || value >= 0x8000) return false;
    code = static_cast<uint16_t>(value);
    return true;
}

bool BitmapFont::ParseGlyph(const SourceText& source, size_t& index, const SourceLine& header, std::string& error) {
    Glyph glyph;
    glyph.place = header.place;
    std::map<std::string, std::string> options;
    std::string bad;
    if (header.words.size() < 2 || !ParseCode(header.words[1], glyph.code) ||
        !SourceWords::Options(header.words, 2, options, bad)) {
        return SourceText::Fail(header.place, "expected `glyph CHARACTER [advance=N]` (0x20 to 0x7FFF)", error);
    }
    while (index + 1 < source.LineCount() && !source.Raw(index + 1).empty()) {
        ++index;
        const std::string& row = source.Raw(index);
        if (!IsArtRow(row)) return SourceText::Fail(source.PlaceOf(index), "a glyph row holds only '#' and '.'", error);
        if (row.size() > static_cast<size_t>(kMaxAtlasSide / kCellsPerRow) - 1) {
            return SourceText::Fail(source.PlaceOf(index), "a glyph is at most 63 pixels wide", error);
        }
        glyph.rows.push_back(row);
        glyph.width = std::max(glyph.width, static_cast<int32_t>(row.size()));
    }
    if (glyph.rows.empty()) return SourceText::Fail(header.place, "the glyph has no rows", error);
    if (static_cast<int32_t>(glyph.rows.size()) > m_ascent + m_descent) {
        return SourceText::Fail(header.place, "the glyph is taller than ascent + descent", error);
    }
    glyph.advance = glyph.width + 1;
    if (options.count("advance") && !ReadMetric(options, "advance", 0, glyph.advance)) {
        return SourceText::Fail(header.place, "advance must be 0 to 127", error);
    }
    if (options.size() > (options.count("advance") ? 1u : 0u)) {
        return SourceText::Fail(header.place, "unknown glyph option", error);
    }
    if (!m_glyphs.emplace(glyph.code, glyph).second) {
        return SourceText::Fail(header.place, "the character has a glyph already", error);
    }
    return true;
}

bool BitmapFont::ParseAdvance(const SourceLine& line, std::string& error) {
    uint16_t code = 0;
    int32_t advance = 0;
    if (line.words.size() != 3 || !ParseCode(line.words[1], code) || !SourceWords::ParseInt(line.words[2], advance) ||
        advance < 0 || advance > kMaxMetric) {
        return SourceText::Fail(line.place, "expected `advance CHARACTER N` (N 0 to 127)", error);
    }
    if (!m_advances.emplace(code, advance).second) {
        return SourceText::Fail(line.place, "the character has an advance already", error);
    }
    return true;
}

int32_t BitmapFont::CellWidth() const {
    int32_t widest = 0;
    for (const auto& entry : m_glyphs) widest = std::max(widest, entry.second.width);
    return widest + 1;
}

void BitmapFont::CellOrigin(size_t index, int32_t& x, int32_t& y) const {
    x = static_cast<int32_t>(index % kCellsPerRow) * CellWidth();
    y = static_cast<int32_t>(index / kCellsPerRow) * CellHeight();
}

void BitmapFont::DrawGlyph(const Glyph& glyph, Raster& raster, int32_t x, int32_t y, uint32_t ink,
                           uint32_t shadow) const {
    for (int pass = 0; pass < 2; ++pass) {
        const bool shadowPass = pass == 0;
        if (shadowPass && shadow == Raster::kTransparent) continue;
        for (size_t row = 0; row < glyph.rows.size(); ++row) {
            for (size_t column = 0; column < glyph.rows[row].size(); ++column) {
                if (glyph.rows[row][column] != kInk) continue;
                const int32_t offset = shadowPass ? 1 : 0;
                raster.Plot(x + static_cast<int32_t>(column) + offset, y + static_cast<int32_t>(row) + offset,
                            shadowPass ? shadow : ink);
            }
        }
    }
}

Raster BitmapFont::Atlas() const {
    const int32_t rows = static_cast<int32_t>((m_glyphs.size() + kCellsPerRow - 1) / kCellsPerRow);
    Raster atlas(CellWidth() * kCellsPerRow, CellHeight() * rows);
    size_t index = 0;
    for (const auto& entry : m_glyphs) {
        int32_t x = 0;
        int32_t y = 0;
        CellOrigin(index++, x, y);
        DrawGlyph(entry.second, atlas, x, y, m_ink, m_shadow);
    }
    return atlas;
}

std::vector<uint8_t> BitmapFont::FontData() const {
    std::vector<uint8_t> out;
    LittleEndianWriter writer(out);
    writer.U8(kFontVersion);
    writer.Zeros(4);
    writer.U8(static_cast<uint8_t>(m_descent));
    writer.U8(static_cast<uint8_t>(static_cast<int8_t>(m_spacing)));
    writer.U8(static_cast<uint8_t>(m_ascent));
    writer.U16(static_cast<uint16_t>(m_glyphs.size()));
    writer.U16(static_cast<uint16_t>(m_advances.size()));
    size_t index = 0;
    for (const auto& entry : m_glyphs) {
        const Glyph& glyph = entry.second;
        int32_t x = 0;
        int32_t y = 0;
        CellOrigin(index++, x, y);
        writer.U16(glyph.code);
        writer.U16(static_cast<uint16_t>(x));
        writer.U16(static_cast<uint16_t>(y));
        writer.U8(static_cast<uint8_t>(glyph.width + 1));
        writer.U8(static_cast<uint8_t>(glyph.rows.size() + 1));
        writer.U8(0);
        writer.U8(0);
        writer.U8(static_cast<uint8_t>(glyph.advance));
        writer.U8(0);
    }
    for (const auto& entry : m_advances) {
        writer.U16(entry.first);
        writer.U8(0);
        writer.U8(static_cast<uint8_t>(entry.second));
    }
    return out;
}

int32_t BitmapFont::Measure(const std::string& text) const {
    int32_t width = 0;
    for (const char c : text) {
        const uint16_t code = static_cast<uint8_t>(c);
        const auto advance = m_advances.find(code);
        const auto glyph = m_glyphs.find(code);
        if (advance != m_advances.end()) {
            width += advance->second + m_spacing;
        } else if (glyph != m_glyphs.end()) {
            width += glyph->second.advance + m_spacing;
        }
    }
    return text.empty() ? 0 : width - m_spacing;
}

bool BitmapFont::Render(const std::string& text, uint32_t ink, uint32_t shadow, const SourcePlace& place, Raster& out,
                        std::string& error) const {
    out = Raster(Measure(text) + 1, LineHeight() + 1);
    int32_t pen = 0;
    for (const char c : text) {
        const uint16_t code = static_cast<uint8_t>(c);
        const auto advance = m_advances.find(code);
        const auto glyph = m_glyphs.find(code);
        if (advance != m_advances.end()) {
            pen += advance->second + m_spacing;
        } else if (glyph != m_glyphs.end()) {
            DrawGlyph(glyph->second, out, pen, 0, ink, shadow);
            pen += glyph->second.advance + m_spacing;
        } else {
            return SourceText::Fail(place, std::string("the font has no glyph for '") + c + "'", error);
        }
    }
    return true;
}
