#include "ColourPalette.h"

#include "BitmapFile.h"
#include "Raster.h"
#include "ToolText.h"

namespace {

constexpr const char* kKeyName = "key";

}  // namespace

bool ColourPalette::Parse(const SourceText& source, std::string& error) {
    for (size_t i = 0; i < source.LineCount(); ++i) {
        SourceLine line;
        if (!source.Line(i, line, error)) return false;
        if (line.words.empty()) continue;
        uint32_t colour = 0;
        if (line.words.size() != 3 || line.words[0] != "colour" || line.words[2].size() != 6 ||
            !ToolText::ParseU32("0x" + line.words[2], colour)) {
            return SourceText::Fail(line.place, "expected `colour NAME RRGGBB`", error);
        }
        if (!Define(line.words[1], colour, line.place, error)) return false;
    }
    return true;
}

bool ColourPalette::Define(const std::string& name, uint32_t colour, const SourcePlace& place, std::string& error) {
    if (name == kKeyName) return SourceText::Fail(place, "`key` is the transparent colour and cannot be defined", error);
    if (BitmapFile::IsKeyed(colour)) {
        return SourceText::Fail(place, "colour " + name + " is so close to magenta that it would be transparent", error);
    }
    if (!m_colours.emplace(name, colour).second) {
        return SourceText::Fail(place, "colour " + name + " is defined twice", error);
    }
    return true;
}

bool ColourPalette::Find(const std::string& name, const SourcePlace& place, uint32_t& colour,
                         std::string& error) const {
    if (name == kKeyName) {
        colour = Raster::kTransparent;
        return true;
    }
    const auto found = m_colours.find(name);
    if (found == m_colours.end()) return SourceText::Fail(place, "unknown colour " + name, error);
    colour = found->second;
    return true;
}
