#include "SpriteScript.h"

#include "SourceWords.h"
#include "SpriteFigure.h"
#include "SpriteDataChecker.h"

#include <algorithm>

namespace {

constexpr int32_t kMaxSets = 255;
constexpr int32_t kMaxSprites = 255;
constexpr int32_t kMaxAnimations = 1000;
constexpr int32_t kMaxPictureSide = 256;
constexpr int32_t kMillisecondsPerUnit = 10;
// The game draws pictures this much lower than boxes.
constexpr int32_t kPictureLift = 12;

// Placeholders: a block over a body box of the same size.
constexpr int32_t kPlaceholderWidth = 16;
constexpr int32_t kPlaceholderHeight = 24;
constexpr int32_t kPlaceholderFrameMs = 300;
const char* const kPlaceholderColours[] = {"steel", "teal", "violet", "brown", "green_dark", "red_dark",
                                            "amber_dark", "grey_dark"};

bool ParseSize(const std::string& word, int32_t& width, int32_t& height, int32_t limit) {
    const size_t cross = word.find('x');
    return cross != std::string::npos && SourceWords::ParseInt(word.substr(0, cross), width) &&
           SourceWords::ParseInt(word.substr(cross + 1), height) && width > 0 && height > 0 && width <= limit &&
           height <= limit;
}

bool ParseRange(const std::string& word, int32_t& first, int32_t& last) {
    const size_t dots = word.find("..");
    return dots != std::string::npos && SourceWords::ParseInt(word.substr(0, dots), first) &&
           SourceWords::ParseInt(word.substr(dots + 2), last) && first >= 0 && first <= last && last < kMaxSets;
}

// "a,b,c" or "a:b,c:d" into numbers (pairs flattened).
bool ParseList(const std::string& text, char inner, std::vector<int32_t>& values) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string item = text.substr(start, end - start);
        const size_t colon = inner != 0 ? item.find(inner) : std::string::npos;
        int32_t value = 0;
        if (colon != std::string::npos) {
            if (!SourceWords::ParseInt(item.substr(0, colon), value)) return false;
            values.push_back(value);
            if (!SourceWords::ParseInt(item.substr(colon + 1), value)) return false;
        } else if (inner != 0 || !SourceWords::ParseInt(item, value)) {
            return false;
        }
        values.push_back(value);
        start = end + 1;
    }
    return true;
}

}  // namespace

bool SpriteScript::Parse(const SourceText& source, SpriteContent& out, std::string& error) {
    m_out = SpriteContent();
    m_out.place = {source.Name(), 0};
    for (size_t i = 0; i < source.LineCount(); ++i) {
        SourceLine line;
        if (!source.Line(i, line, error)) return false;
        if (!line.words.empty() && !Statement(source, i, line, error)) return false;
    }
    if (m_openPicture >= 0) return SourceText::Fail(m_out.place, "the last picture has no `end`", error);
    if (!m_haveIds) return SourceText::Fail(m_out.place, "the sprite ids are not given (`ids ...`)", error);
    if (!Finish(m_out, error)) return false;
    out = m_out;
    return true;
}

bool SpriteScript::Statement(const SourceText& source, size_t& index, const SourceLine& line, std::string& error) {
    typedef bool (SpriteScript::*Parser)(const SourceLine&, std::string&);
    static const std::map<std::string, Parser> parsers = {
        {"ids", &SpriteScript::ParseIds},     {"picture", &SpriteScript::ParsePicture},
        {"box", &SpriteScript::ParseBox},     {"set", &SpriteScript::ParseSet},
        {"frame", &SpriteScript::ParseFrame}, {"anim", &SpriteScript::ParseAnimation},
        {"placeholders", &SpriteScript::ParsePlaceholders},
        {"figure", &SpriteScript::ParseFigure},
        {"figureframes", &SpriteScript::ParseFigureFrames}};
    const std::string& keyword = line.words[0];
    if (m_openPicture >= 0) {
        if (keyword != "end") {
            return m_images.Draw(source, index, line, m_out.pictures[static_cast<size_t>(m_openPicture)], error);
        }
        m_openPicture = -1;
        return line.words.size() == 1 || SourceText::Fail(line.place, "`end` takes nothing", error);
    }
    if (keyword == "animations") {
        if (line.words.size() != 2 || !SourceWords::ParseInt(line.words[1], m_minAnimations) || m_minAnimations < 1 ||
            m_minAnimations > kMaxAnimations) {
            return SourceText::Fail(line.place, "expected `animations N` (1 to 1000)", error);
        }
        return true;
    }
    const auto parser = parsers.find(keyword);
    if (parser == parsers.end()) return SourceText::Fail(line.place, "unknown statement `" + keyword + "`", error);
    return (this->*parser->second)(line, error);
}

bool SpriteScript::ParseIds(const SourceLine& line, std::string& error) {
    std::map<std::string, std::string> options;
    std::string bad;
    int32_t values[4] = {0, 0, 0, 0};
    const char* names[4] = {"keyset", "definition", "sets", "images"};
    bool valid = SourceWords::Options(line.words, 1, options, bad) && options.size() == 4;
    for (int i = 0; valid && i < 4; ++i) {
        valid = options.count(names[i]) && SourceWords::ParseInt(options[names[i]], values[i]);
    }
    if (!valid) return SourceText::Fail(line.place, "expected `ids keyset=H definition=H sets=H images=H`", error);
    m_out.keysetHandle = static_cast<uint32_t>(values[0]);
    m_out.ids.definition = static_cast<uint32_t>(values[1]);
    m_out.ids.setBase = static_cast<uint32_t>(values[2]);
    m_out.ids.imageBase = static_cast<uint32_t>(values[3]);
    m_haveIds = true;
    return true;
}

bool SpriteScript::ParsePicture(const SourceLine& line, std::string& error) {
    int32_t width = 0;
    int32_t height = 0;
    if (line.words.size() != 3 || !ParseSize(line.words[2], width, height, kMaxPictureSide)) {
        return SourceText::Fail(line.place, "expected `picture NAME WIDTHxHEIGHT` (sides 1 to 256)", error);
    }
    if (m_pictureIndex.count(line.words[1]) || m_boxIndex.count(line.words[1])) {
        return SourceText::Fail(line.place, line.words[1] + " is named already", error);
    }
    if (m_out.pictures.size() >= UINT16_MAX) return SourceText::Fail(line.place, "too many pictures", error);
    m_pixels += static_cast<int64_t>(width) * height;
    if (m_pixels > Raster::kMaxPixelsPerSource) {
        return SourceText::Fail(line.place, "the file draws more than 16 million pixels", error);
    }
    m_pictureIndex[line.words[1]] = m_out.pictures.size();
    m_openPicture = static_cast<int32_t>(m_out.pictures.size());
    m_out.pictures.push_back(Raster(width, height));
    return true;
}

bool SpriteScript::ParseBox(const SourceLine& line, std::string& error) {
    int32_t width = 0;
    int32_t height = 0;
    int32_t attribute = 1;
    std::map<std::string, std::string> options;
    std::string bad;
    if (line.words.size() < 3 || !ParseSize(line.words[2], width, height, UINT16_MAX) ||
        !SourceWords::Options(line.words, 3, options, bad) || options.size() > options.count("attribute") ||
        (options.count("attribute") &&
         (!SourceWords::ParseInt(options["attribute"], attribute) || attribute < 1 || attribute > 4))) {
        return SourceText::Fail(line.place, "expected `box NAME WIDTHxHEIGHT [attribute=1..4]`", error);
    }
    if (m_pictureIndex.count(line.words[1]) || m_boxIndex.count(line.words[1])) {
        return SourceText::Fail(line.place, line.words[1] + " is named already", error);
    }
    m_boxIndex[line.words[1]] = m_out.definition.rectModules.size();
    spritedata::RectModule box;
    box.width = static_cast<uint16_t>(width);
    box.height = static_cast<uint16_t>(height);
    box.attribute = static_cast<uint8_t>(attribute);
    m_out.definition.rectModules.push_back(box);
    return true;
}

bool SpriteScript::NewSet(int32_t number, int32_t sprites, const SourcePlace& place, std::string& error) {
    for (const PendingSet& known : m_sets) {
        if (known.number == number) {
            return SourceText::Fail(place, "set " + std::to_string(number) + " is defined already at " +
                                               known.place.Describe(),
                                    error);
        }
    }
    PendingSet set;
    set.number = number;
    set.sprites = sprites;
    set.place = place;
    m_sets.push_back(set);
    return true;
}

bool SpriteScript::ParseSet(const SourceLine& line, std::string& error) {
    int32_t number = 0;
    int32_t sprites = 1;
    std::map<std::string, std::string> options;
    std::string bad;
    if (line.words.size() < 2 || !SourceWords::ParseInt(line.words[1], number) || number < 0 || number >= kMaxSets ||
        !SourceWords::Options(line.words, 2, options, bad) || options.size() > options.count("sprites") ||
        (options.count("sprites") &&
         (!SourceWords::ParseInt(options["sprites"], sprites) || sprites < 1 || sprites > kMaxSprites))) {
        return SourceText::Fail(line.place, "expected `set N [sprites=K]` (N 0 to 254)", error);
    }
    return NewSet(number, sprites, line.place, error);
}

bool SpriteScript::ParsePart(const std::string& word, const SourcePlace& place, PendingPart& part,
                             std::string& error) const {
    const size_t at = word.find('@');
    const size_t comma = word.find(',', at);
    int32_t x = 0;
    int32_t y = 0;
    if (at == std::string::npos || comma == std::string::npos ||
        !SourceWords::ParseInt(word.substr(at + 1, comma - at - 1), x) ||
        !SourceWords::ParseInt(word.substr(comma + 1), y) || x < INT16_MIN || x > INT16_MAX || y < INT16_MIN ||
        y > INT16_MAX) {
        return SourceText::Fail(place, "a part is NAME@X,Y, not " + word, error);
    }
    const std::string name = word.substr(0, at);
    const auto picture = m_pictureIndex.find(name);
    const auto box = m_boxIndex.find(name);
    if (picture == m_pictureIndex.end() && box == m_boxIndex.end()) {
        return SourceText::Fail(place, "no picture or box is named " + name, error);
    }
    part.box = box != m_boxIndex.end();
    part.index = part.box ? box->second : picture->second;
    part.dx = static_cast<int16_t>(x);
    part.dy = static_cast<int16_t>(y);
    return true;
}

bool SpriteScript::ParseFrame(const SourceLine& line, std::string& error) {
    if (m_sets.empty()) return SourceText::Fail(line.place, "a frame outside a set", error);
    PendingSet& set = m_sets.back();
    if (line.words.size() < 2) return SourceText::Fail(line.place, "expected `frame NAME PART...`", error);
    if (!set.frameIndex.emplace(line.words[1], static_cast<uint16_t>(set.frames.size())).second) {
        return SourceText::Fail(line.place, "the set has a frame " + line.words[1] + " already", error);
    }
    std::vector<PendingPart> parts;
    for (size_t word = 2; word < line.words.size(); ++word) {
        PendingPart part;
        if (!ParsePart(line.words[word], line.place, part, error)) return false;
        parts.push_back(part);
    }
    set.frames.push_back(parts);
    return true;
}

bool SpriteScript::ParseStep(const std::string& step, const PendingSet& set, const SourcePlace& place,
                             spritedata::Animation& animation, std::string& error) const {
    const size_t colon = step.find(':');
    const size_t star = step.find('*', colon == std::string::npos ? 0 : colon);
    int32_t milliseconds = 0;
    int32_t repeats = 1;
    const auto frame = colon == std::string::npos ? set.frameIndex.end() : set.frameIndex.find(step.substr(0, colon));
    if (frame == set.frameIndex.end()) return SourceText::Fail(place, "no frame of the set for " + step, error);
    const std::string time = step.substr(colon + 1, star == std::string::npos ? std::string::npos : star - colon - 1);
    if (!SourceWords::ParseInt(time, milliseconds) || milliseconds <= 0 || milliseconds % kMillisecondsPerUnit != 0 ||
        milliseconds / kMillisecondsPerUnit > spritedata::kMaxDuration) {
        return SourceText::Fail(place, "a frame's time is a multiple of 10 ms up to 65530 ms: " + step, error);
    }
    if (star != std::string::npos &&
        (!SourceWords::ParseInt(step.substr(star + 1), repeats) || repeats < 1 || repeats > UINT8_MAX)) {
        return SourceText::Fail(place, "a step repeats 1 to 255 times: " + step, error);
    }
    for (int32_t i = 0; i < repeats; ++i) {
        animation.frames.push_back({frame->second, static_cast<uint16_t>(milliseconds / kMillisecondsPerUnit)});
    }
    return true;
}

bool SpriteScript::ParseAnimation(const SourceLine& line, std::string& error) {
    if (m_sets.empty()) return SourceText::Fail(line.place, "an animation outside a set", error);
    PendingSet& set = m_sets.back();
    std::vector<int32_t> indexes;
    if (line.words.size() < 3 || !ParseList(line.words[1], 0, indexes)) {
        return SourceText::Fail(line.place, "expected `anim INDEX[,INDEX...] FRAME:MS[*N]...`", error);
    }
    spritedata::Animation animation;
    for (size_t word = 2; word < line.words.size(); ++word) {
        if (!ParseStep(line.words[word], set, line.place, animation, error)) return false;
    }
    if (animation.frames.size() > UINT8_MAX) {
        return SourceText::Fail(line.place, "an animation has at most 255 frames", error);
    }
    for (int32_t index : indexes) {
        if (index < 0 || index >= kMaxAnimations) return SourceText::Fail(line.place, "an animation index is 0 to 999", error);
        if (!set.animations.emplace(index, animation).second) {
            return SourceText::Fail(line.place, "the set has animation " + std::to_string(index) + " already", error);
        }
    }
    return true;
}

bool SpriteScript::ParseFigure(const SourceLine& line, std::string& error) {
    static const char* const kUsage = "expected `figure NAME walker|flyer|orb WxH body=C trim=C eye=C flash=C`";
    std::map<std::string, std::string> options;
    std::string bad;
    SpriteFigure::Kind kind = SpriteFigure::Kind::Walker;
    int32_t width = 0;
    int32_t height = 0;
    if (line.words.size() != 8 || !SpriteFigure::KindOf(line.words[2], kind) ||
        !ParseSize(line.words[3], width, height, kMaxPictureSide) || !SourceWords::Options(line.words, 4, options, bad)) {
        return SourceText::Fail(line.place, kUsage, error);
    }
    SpriteFigure::Colours colours;
    const std::pair<const char*, uint32_t*> named[] = {
        {"body", &colours.body}, {"trim", &colours.trim}, {"eye", &colours.eye}, {"flash", &colours.flash}};
    if (!m_palette.Find("ink", line.place, colours.ink, error)) return false;
    for (const auto& colour : named) {
        if (!options.count(colour.first)) return SourceText::Fail(line.place, kUsage, error);
        if (!m_palette.Find(options[colour.first], line.place, *colour.second, error)) return false;
    }
    if (m_figures.count(line.words[1])) return SourceText::Fail(line.place, line.words[1] + " is a figure already", error);
    for (const std::string& pose : SpriteFigure::Poses(kind)) {
        const std::string name = line.words[1] + "." + pose;
        if (m_pictureIndex.count(name)) return SourceText::Fail(line.place, name + " is named already", error);
        m_pixels += static_cast<int64_t>(width) * height;
        m_pictureIndex[name] = m_out.pictures.size();
        m_out.pictures.push_back(SpriteFigure::Draw(kind, pose, width, height, colours));
    }
    m_figures[line.words[1]] = {static_cast<int32_t>(kind), width, height};
    return true;
}

size_t SpriteScript::BoxModule(int32_t width, int32_t height, int32_t attribute) {
    const std::string name = "box " + std::to_string(width) + "x" + std::to_string(height) + " " +
                             std::to_string(attribute);
    const auto known = m_boxIndex.find(name);
    if (known != m_boxIndex.end()) return known->second;
    spritedata::RectModule box;
    box.width = static_cast<uint16_t>(width);
    box.height = static_cast<uint16_t>(height);
    box.attribute = static_cast<uint8_t>(attribute);
    m_boxIndex[name] = m_out.definition.rectModules.size();
    m_out.definition.rectModules.push_back(box);
    return m_boxIndex[name];
}

bool SpriteScript::ParseFigureFrames(const SourceLine& line, std::string& error) {
    static const char* const kUsage =
        "expected `figureframes FIGURE body=WxH [low=WxH] [attack=WxH@X,Y] [reach=WxH@X,Y] [back=WxH@X,Y] [armed] "
        "[as=PREFIX]`";
    if (m_sets.empty()) return SourceText::Fail(line.place, "figure frames outside a set", error);
    std::map<std::string, std::string> options;
    std::string bad;
    if (line.words.size() < 3 || !m_figures.count(line.words[1]) || !SourceWords::Options(line.words, 2, options, bad) ||
        !options.count("body")) {
        return SourceText::Fail(line.place, kUsage, error);
    }
    // A box option: its size and, but for body and low, its place.
    struct Box {
        bool given = false;
        int32_t width = 0;
        int32_t height = 0;
        int32_t x = 0;
        int32_t y = 0;
    };
    std::map<std::string, Box> boxes;
    const bool armed = options.count("armed") && options["armed"].empty();
    const std::string prefix = options.count("as") ? options["as"] + "." : std::string();
    options.erase("armed");
    options.erase("as");
    for (const auto& option : options) {
        const bool placed = option.first != "body" && option.first != "low";
        if (option.first != "body" && option.first != "low" && option.first != "attack" && option.first != "reach" &&
            option.first != "back") {
            return SourceText::Fail(line.place, kUsage, error);
        }
        Box box;
        const size_t at = option.second.find('@');
        const size_t comma = option.second.find(',', at);
        if (!ParseSize(option.second.substr(0, at), box.width, box.height, UINT16_MAX) ||
            (placed != (at != std::string::npos)) ||
            (placed && (comma == std::string::npos ||
                        !SourceWords::ParseInt(option.second.substr(at + 1, comma - at - 1), box.x) ||
                        !SourceWords::ParseInt(option.second.substr(comma + 1), box.y)))) {
            return SourceText::Fail(line.place, kUsage, error);
        }
        box.given = true;
        boxes[option.first] = box;
    }
    const Figure& figure = m_figures[line.words[1]];
    PendingSet& set = m_sets.back();
    const int16_t pictureX = static_cast<int16_t>(-figure.width / 2);
    const int16_t pictureY = static_cast<int16_t>(-figure.height - kPictureLift);
    for (const std::string& pose : SpriteFigure::Poses(static_cast<SpriteFigure::Kind>(figure.kind))) {
        std::vector<PendingPart> parts;
        parts.push_back({false, m_pictureIndex[line.words[1] + "." + pose], pictureX, pictureY});
        const Box& body = SpriteFigure::IsLowPose(pose) && boxes["low"].given ? boxes["low"] : boxes["body"];
        parts.push_back({true, BoxModule(body.width, body.height, 1), static_cast<int16_t>(-body.width / 2),
                         static_cast<int16_t>(-body.height)});
        const std::pair<const char*, int32_t> placed[] = {{"attack", 2}, {"reach", 3}, {"back", 4}};
        for (const auto& kind : placed) {
            const Box& box = boxes[kind.first];
            if (!box.given || (kind.second == 2 && !armed && !SpriteFigure::IsAttackPose(pose))) continue;
            parts.push_back({true, BoxModule(box.width, box.height, kind.second), static_cast<int16_t>(box.x),
                             static_cast<int16_t>(box.y)});
        }
        if (!set.frameIndex.emplace(prefix + pose, static_cast<uint16_t>(set.frames.size())).second) {
            return SourceText::Fail(line.place, "the set has a frame " + prefix + pose + " already", error);
        }
        set.frames.push_back(parts);
    }
    return true;
}

bool SpriteScript::ParsePlaceholders(const SourceLine& line, std::string& error) {
    int32_t first = 0;
    int32_t last = 0;
    std::map<std::string, std::string> options;
    std::string bad;
    std::vector<int32_t> except;
    std::vector<int32_t> spriteCounts;
    const bool valid = line.words.size() >= 2 && ParseRange(line.words[1], first, last) &&
                       SourceWords::Options(line.words, 2, options, bad) &&
                       options.size() == options.count("except") + options.count("sprites") &&
                       (!options.count("except") || ParseList(options["except"], 0, except)) &&
                       (!options.count("sprites") || ParseList(options["sprites"], ':', spriteCounts));
    if (!valid) {
        return SourceText::Fail(line.place, "expected `placeholders A..B [except=N,...] [sprites=SET:K,...]`", error);
    }
    for (int32_t number = first; number <= last; ++number) {
        if (std::find(except.begin(), except.end(), number) != except.end()) continue;
        int32_t sprites = 1;
        for (size_t i = 0; i + 1 < spriteCounts.size(); i += 2) {
            if (spriteCounts[i] == number) sprites = spriteCounts[i + 1];
        }
        if (sprites < 1 || sprites > kMaxSprites) return SourceText::Fail(line.place, "a set has 1 to 255 sprites", error);
        if (!AddPlaceholder(number, sprites, line.place, error)) return false;
    }
    return true;
}

bool SpriteScript::AddPlaceholder(int32_t number, int32_t sprites, const SourcePlace& place, std::string& error) {
    uint32_t fill = 0;
    uint32_t ink = 0;
    uint32_t label = 0;
    const char* colour = kPlaceholderColours[static_cast<size_t>(number) % std::size(kPlaceholderColours)];
    if (!m_palette.Find(colour, place, fill, error) || !m_palette.Find("ink", place, ink, error) ||
        !m_palette.Find("white", place, label, error) || !NewSet(number, sprites, place, error)) {
        return false;
    }
    Raster picture(kPlaceholderWidth, kPlaceholderHeight, fill);
    picture.FrameRect(0, 0, kPlaceholderWidth, kPlaceholderHeight, 1, ink);
    picture.FillRect(kPlaceholderWidth - 5, 4, 2, 3, label);  // faces right
    Raster digits;
    if (!m_font.Render(std::to_string(number), label, ink, place, digits, error)) return false;
    picture.Blit(digits, (kPlaceholderWidth - digits.Width() + 1) / 2, kPlaceholderHeight - digits.Height() - 3, 1);

    const std::string name = "placeholder " + std::to_string(number);
    m_pictureIndex[name] = m_out.pictures.size();
    m_out.pictures.push_back(picture);
    const std::string boxName = "placeholder body";
    if (!m_boxIndex.count(boxName)) {
        m_boxIndex[boxName] = m_out.definition.rectModules.size();
        spritedata::RectModule box;
        box.width = kPlaceholderWidth;
        box.height = kPlaceholderHeight;
        box.attribute = 1;
        m_out.definition.rectModules.push_back(box);
    }
    PendingSet& set = m_sets.back();
    const int16_t left = -kPlaceholderWidth / 2;
    const int16_t boxTop = -kPlaceholderHeight;
    for (int16_t bob = 0; bob < 2; ++bob) {
        const int16_t pictureTop = static_cast<int16_t>(boxTop - kPictureLift - bob);
        set.frameIndex["bob" + std::to_string(bob)] = static_cast<uint16_t>(set.frames.size());
        set.frames.push_back({{false, m_pictureIndex[name], left, pictureTop}, {true, m_boxIndex[boxName], left, boxTop}});
    }
    spritedata::Animation idle;
    idle.frames = {{0, kPlaceholderFrameMs / kMillisecondsPerUnit}, {1, kPlaceholderFrameMs / kMillisecondsPerUnit}};
    set.animations[0] = idle;
    return true;
}

spritedata::SpriteSet SpriteScript::BuildSet(const PendingSet& pending,
                                             const spritedata::Definition& definition) const {
    spritedata::SpriteSet set;
    const uint16_t pictures = static_cast<uint16_t>(definition.imageModules.size());
    for (const std::vector<PendingPart>& parts : pending.frames) {
        spritedata::Frame frame;
        for (const PendingPart& part : parts) {
            const uint16_t module = static_cast<uint16_t>(part.box ? pictures + part.index : part.index);
            frame.push_back({module, part.dx, part.dy});
        }
        set.frames.push_back(frame);
        set.poses.push_back({{static_cast<uint16_t>(set.poses.size()), 0, 0}});
    }
    const spritedata::Animation& first = pending.animations.at(0);
    const int32_t count = std::max(m_minAnimations, pending.animations.rbegin()->first + 1);
    for (int32_t index = 0; index < count; ++index) {
        const auto given = pending.animations.find(index);
        set.animations.push_back(given != pending.animations.end() ? given->second : first);
    }
    spritedata::Sprite sprite;
    sprite.imageModules = SpriteDataChecker::DrawnImageModules(definition, set, spritedata::kNone);
    set.sprites.assign(static_cast<size_t>(pending.sprites), sprite);
    return set;
}

bool SpriteScript::Finish(SpriteContent& out, std::string& error) {
    spritedata::Definition& definition = out.definition;
    for (size_t k = 0; k < out.pictures.size(); ++k) {
        definition.slots.push_back({static_cast<uint16_t>(k), spritedata::kNone});
        definition.imageModules.push_back({static_cast<uint16_t>(k), 0, 0});
    }
    std::sort(m_sets.begin(), m_sets.end(),
              [](const PendingSet& a, const PendingSet& b) { return a.number < b.number; });
    for (size_t i = 0; i < m_sets.size(); ++i) {
        const PendingSet& pending = m_sets[i];
        if (pending.number != static_cast<int32_t>(i)) {
            return SourceText::Fail(out.place, "set " + std::to_string(i) + " is missing: sets run from 0 without gaps",
                                    error);
        }
        if (!pending.animations.count(0)) return SourceText::Fail(pending.place, "the set has no animation 0", error);
        out.sets.push_back(BuildSet(pending, definition));
        out.setPlaces.push_back(pending.place);
    }
    definition.setCount = static_cast<uint8_t>(m_sets.size());
    return true;
}
