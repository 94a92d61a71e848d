#include "ImageScript.h"

#include "SourceWords.h"

namespace {

constexpr int32_t kMaxImageSide = 1024;
constexpr int32_t kMaxScale = 16;
constexpr int32_t kDefaultBands = 8;
// Coordinates and sizes beyond this lie far outside any picture; refusing
// them keeps every drawing loop short.
constexpr int32_t kMaxCoordinate = 4096;

bool ParseSize(const std::string& word, int32_t& width, int32_t& height) {
    const size_t cross = word.find('x');
    return cross != std::string::npos && SourceWords::ParseInt(word.substr(0, cross), width) &&
           SourceWords::ParseInt(word.substr(cross + 1), height) && width > 0 && height > 0 &&
           width <= kMaxImageSide && height <= kMaxImageSide;
}

bool OptionInt(const std::map<std::string, std::string>& options, const char* name, int32_t low, int32_t high,
               int32_t& value) {
    const auto found = options.find(name);
    if (found == options.end()) return true;
    return SourceWords::ParseInt(found->second, value) && value >= low && value <= high;
}

}  // namespace

bool ImageScript::Parse(const SourceText& source, std::vector<DrawnImage>& images, std::string& error) {
    m_pixels = 0;
    for (size_t i = 0; i < source.LineCount(); ++i) {
        SourceLine line;
        if (!source.Line(i, line, error)) return false;
        if (line.words.empty()) continue;
        if (line.words[0] == "image") {
            if (!StartImage(line, images, error)) return false;
            continue;
        }
        if (images.empty()) return SourceText::Fail(line.place, "drawing before the first `image`", error);
        if (!Draw(source, i, line, images.back().raster, error)) return false;
    }
    return true;
}

bool ImageScript::StartImage(const SourceLine& line, std::vector<DrawnImage>& images, std::string& error) {
    int32_t handle = 0;
    int32_t width = 0;
    int32_t height = 0;
    if (line.words.size() != 3 || !SourceWords::ParseInt(line.words[1], handle) ||
        !ParseSize(line.words[2], width, height)) {
        return SourceText::Fail(line.place, "expected `image HANDLE WIDTHxHEIGHT` (sides 1 to 1024)", error);
    }
    m_pixels += static_cast<int64_t>(width) * height;
    if (m_pixels > Raster::kMaxPixelsPerSource) {
        return SourceText::Fail(line.place, "the file draws more than 16 million pixels", error);
    }
    images.push_back({static_cast<uint32_t>(handle), line.place, Raster(width, height)});
    return true;
}

bool ImageScript::Draw(const SourceText& source, size_t& index, const SourceLine& line, Raster& raster,
                       std::string& error) {
    typedef bool (ImageScript::*Drawer)(Command&, Raster&, std::string&);
    static const std::map<std::string, Drawer> drawers = {
        {"fill", &ImageScript::DrawFill},         {"rect", &ImageScript::DrawRect},
        {"frame", &ImageScript::DrawFrame},       {"bevel", &ImageScript::DrawBevel},
        {"gradient", &ImageScript::DrawGradient}, {"line", &ImageScript::DrawLine},
        {"disc", &ImageScript::DrawDisc},         {"triangle", &ImageScript::DrawTriangle},
        {"text", &ImageScript::DrawText}};
    Command command{line, {}};
    if (line.words[0] == "art") return DrawArt(source, index, command, raster, error);
    const auto drawer = drawers.find(line.words[0]);
    if (drawer == drawers.end()) return SourceText::Fail(line.place, "unknown command `" + line.words[0] + "`", error);
    return (this->*drawer->second)(command, raster, error);
}

bool ImageScript::Numbers(Command& command, size_t count, int32_t* values, size_t extraPositional,
                          std::string& error) const {
    const std::vector<std::string>& words = command.line.words;
    const size_t positional = 1 + count + extraPositional;
    if (words.size() < positional) {
        return SourceText::Fail(command.line.place, "`" + words[0] + "` needs " + std::to_string(count) +
                                                        " numbers and " + std::to_string(extraPositional) + " more words",
                                error);
    }
    for (size_t i = 0; i < count; ++i) {
        if (!SourceWords::ParseInt(words[1 + i], values[i]) || values[i] < -kMaxCoordinate ||
            values[i] > kMaxCoordinate) {
            return SourceText::Fail(command.line.place, "`" + words[1 + i] + "` is not a number from -4096 to 4096",
                                    error);
        }
    }
    std::string bad;
    if (!SourceWords::Options(words, positional, command.options, bad)) {
        return SourceText::Fail(command.line.place, "option " + bad + " is given twice", error);
    }
    return true;
}

bool ImageScript::Colour(const Command& command, size_t word, uint32_t& colour, std::string& error) const {
    return m_palette.Find(command.line.words[word], command.line.place, colour, error);
}

bool ImageScript::DrawFill(Command& command, Raster& raster, std::string& error) {
    uint32_t colour = 0;
    if (!Numbers(command, 0, nullptr, 1, error) || !Colour(command, 1, colour, error)) return false;
    raster.FillRect(0, 0, raster.Width(), raster.Height(), colour);
    return command.options.empty() || SourceText::Fail(command.line.place, "`fill` takes no options", error);
}

bool ImageScript::DrawRect(Command& command, Raster& raster, std::string& error) {
    int32_t v[4];
    uint32_t colour = 0;
    if (!Numbers(command, 4, v, 1, error) || !Colour(command, 5, colour, error)) return false;
    raster.FillRect(v[0], v[1], v[2], v[3], colour);
    return true;
}

bool ImageScript::DrawFrame(Command& command, Raster& raster, std::string& error) {
    int32_t v[4];
    uint32_t colour = 0;
    int32_t width = 1;
    if (!Numbers(command, 4, v, 1, error) || !Colour(command, 5, colour, error)) return false;
    if (!OptionInt(command.options, "width", 1, kMaxImageSide, width)) {
        return SourceText::Fail(command.line.place, "width must be 1 or more", error);
    }
    raster.FrameRect(v[0], v[1], v[2], v[3], width, colour);
    return true;
}

bool ImageScript::DrawBevel(Command& command, Raster& raster, std::string& error) {
    int32_t v[4];
    uint32_t face = 0;
    uint32_t light = 0;
    uint32_t dark = 0;
    if (!Numbers(command, 4, v, 3, error) || !Colour(command, 5, face, error) || !Colour(command, 6, light, error) ||
        !Colour(command, 7, dark, error)) {
        return false;
    }
    raster.FillRect(v[0], v[1], v[2], v[3], face);
    raster.FillRect(v[0], v[1] + v[3] - 1, v[2], 1, dark);
    raster.FillRect(v[0] + v[2] - 1, v[1], 1, v[3], dark);
    raster.FillRect(v[0], v[1], v[2] - 1, 1, light);
    raster.FillRect(v[0], v[1], 1, v[3] - 1, light);
    return true;
}

bool ImageScript::DrawGradient(Command& command, Raster& raster, std::string& error) {
    int32_t v[4];
    uint32_t from = 0;
    uint32_t to = 0;
    int32_t bands = kDefaultBands;
    if (!Numbers(command, 4, v, 2, error) || !Colour(command, 5, from, error) || !Colour(command, 6, to, error)) {
        return false;
    }
    if (!OptionInt(command.options, "bands", 1, 256, bands)) {
        return SourceText::Fail(command.line.place, "bands must be 1 to 256", error);
    }
    const bool horizontal = command.options.count("horizontal") != 0;
    raster.Gradient(v[0], v[1], v[2], v[3], !horizontal, from, to, bands);
    return true;
}

bool ImageScript::DrawLine(Command& command, Raster& raster, std::string& error) {
    int32_t v[4];
    uint32_t colour = 0;
    if (!Numbers(command, 4, v, 1, error) || !Colour(command, 5, colour, error)) return false;
    raster.Line(v[0], v[1], v[2], v[3], colour);
    return true;
}

bool ImageScript::DrawDisc(Command& command, Raster& raster, std::string& error) {
    int32_t v[3];
    uint32_t colour = 0;
    if (!Numbers(command, 3, v, 1, error) || !Colour(command, 4, colour, error)) return false;
    if (v[2] < 0 || v[2] > kMaxImageSide) return SourceText::Fail(command.line.place, "bad radius", error);
    raster.FillDisc(v[0], v[1], v[2], colour);
    return true;
}

bool ImageScript::DrawTriangle(Command& command, Raster& raster, std::string& error) {
    int32_t v[6];
    uint32_t colour = 0;
    if (!Numbers(command, 6, v, 1, error) || !Colour(command, 7, colour, error)) return false;
    const int32_t xs[3] = {v[0], v[2], v[4]};
    const int32_t ys[3] = {v[1], v[3], v[5]};
    raster.FillTriangle(xs, ys, colour);
    return true;
}

bool ImageScript::DrawText(Command& command, Raster& raster, std::string& error) {
    int32_t v[2];
    uint32_t ink = 0;
    uint32_t shadow = Raster::kTransparent;
    int32_t scale = 1;
    if (!Numbers(command, 2, v, 2, error) || !Colour(command, 3, ink, error)) return false;
    if (!OptionInt(command.options, "scale", 1, kMaxScale, scale)) {
        return SourceText::Fail(command.line.place, "scale must be 1 to 16", error);
    }
    const auto shadowName = command.options.find("shadow");
    if (shadowName != command.options.end() &&
        !m_palette.Find(shadowName->second, command.line.place, shadow, error)) {
        return false;
    }
    Raster text;
    if (!m_font.Render(command.line.words[4], ink, shadow, command.line.place, text, error)) return false;
    const std::string align = command.options.count("align") ? command.options.at("align") : "left";
    int32_t x = v[0];
    if (align == "centre") {
        x -= (text.Width() - 1) * scale / 2;
    } else if (align == "right") {
        x -= (text.Width() - 1) * scale;
    } else if (align != "left") {
        return SourceText::Fail(command.line.place, "align must be left, centre or right", error);
    }
    raster.Blit(text, x, v[1], scale);
    return true;
}

bool ImageScript::DrawArt(const SourceText& source, size_t& index, Command& command, Raster& raster,
                          std::string& error) {
    int32_t v[2];
    int32_t scale = 1;
    if (!Numbers(command, 2, v, 0, error)) return false;
    std::map<char, uint32_t> legend;
    for (const auto& option : command.options) {
        if (option.first == "scale") {
            if (!OptionInt(command.options, "scale", 1, kMaxScale, scale)) {
                return SourceText::Fail(command.line.place, "scale must be 1 to 16", error);
            }
            continue;
        }
        if (option.first.size() != 1) {
            return SourceText::Fail(command.line.place, "expected CHARACTER=COLOUR, not " + option.first, error);
        }
        uint32_t colour = 0;
        if (!m_palette.Find(option.second, command.line.place, colour, error)) return false;
        legend[option.first[0]] = colour;
    }
    int32_t row = 0;
    while (index + 1 < source.LineCount() && !source.Raw(index + 1).empty()) {
        const std::string& text = source.Raw(++index);
        for (size_t column = 0; column < text.size(); ++column) {
            const auto colour = legend.find(text[column]);
            if (colour == legend.end()) continue;
            raster.FillRect(v[0] + static_cast<int32_t>(column) * scale, v[1] + row * scale, scale, scale,
                            colour->second);
        }
        ++row;
    }
    return row > 0 || SourceText::Fail(command.line.place, "the art has no rows", error);
}
