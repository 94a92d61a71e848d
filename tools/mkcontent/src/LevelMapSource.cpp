#include "LevelMapSource.h"

#include "GameLevelRules.h"
#include "SourceWords.h"

#include <algorithm>

namespace {

constexpr uint8_t kPlayerStartRight[2] = {leveldata::kRefPlayerFormARight, leveldata::kRefPlayerFormBRight};
constexpr uint8_t kPlayerStartLeft[2] = {leveldata::kRefPlayerFormALeft, leveldata::kRefPlayerFormBLeft};
constexpr int32_t kDecorType = 127;

bool IsName(const std::string& word) {
    if (word.empty()) return false;
    return std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

std::string TrimRight(const std::string& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
    return text.substr(0, end);
}

}  // namespace

bool LevelMapSource::Parse(const std::vector<const SourceText*>& sources, LevelMapContent& out, std::string& error) {
    m_out = LevelMapContent();
    for (const SourceText* source : sources) {
        m_out.place = {source->Name(), 0};
        for (size_t i = 0; i < source->LineCount(); ++i) {
            SourceLine line;
            if (!source->Line(i, line, error)) return false;
            if (!line.words.empty() && !Statement(*source, i, line, error)) return false;
        }
    }
    if (!Build(error)) return false;
    out = m_out;
    return true;
}

bool LevelMapSource::Statement(const SourceText& source, size_t& index, const SourceLine& line,
                               std::string& error) {
    typedef bool (LevelMapSource::*Parser)(const SourceLine&, std::string&);
    static const std::map<std::string, Parser> parsers = {
        {"type", &LevelMapSource::ParseType},         {"cell", &LevelMapSource::ParseCell},
        {"backcell", &LevelMapSource::ParseBackCell}, {"template", &LevelMapSource::ParseTemplate},
        {"actor", &LevelMapSource::ParseActor},       {"start", &LevelMapSource::ParseStart}};
    const std::string& keyword = line.words[0];
    if (keyword == "grid") {
        if (m_haveGrid) return SourceText::Fail(line.place, "a map has one grid", error);
        m_haveGrid = true;
        return ParseRows(source, index, line, m_grid, m_gridPlaces, error);
    }
    if (keyword == "background") {
        if (!m_backRows.empty()) return SourceText::Fail(line.place, "a map has one background", error);
        return ParseRows(source, index, line, m_backRows, m_backPlaces, error) &&
               (!m_backRows.empty() || SourceText::Fail(line.place, "the background has no rows", error));
    }
    const auto parser = parsers.find(keyword);
    if (parser == parsers.end()) return SourceText::Fail(line.place, "unknown statement `" + keyword + "`", error);
    return (this->*parser->second)(line, error);
}

bool LevelMapSource::ParseType(const SourceLine& line, std::string& error) {
    static const std::map<std::string, size_t> kFlags = {{"passable", 0}, {"platform", 1}, {"deadly", 4}, {"ledge", 5}};
    if (line.words.size() < 2 || !IsName(line.words[1])) {
        return SourceText::Fail(line.place, "expected `type NAME [passable] [platform] [deadly] [ledge]`", error);
    }
    if (m_typeCodes.count(line.words[1])) return SourceText::Fail(line.place, line.words[1] + " is a type already", error);
    if (m_out.map.tileTypes.size() >= 124) return SourceText::Fail(line.place, "a map has at most 124 tile types", error);
    leveldata::TileType type;
    type.flags.assign(GameLevelRules::kTileFlagCount, 0);
    for (size_t word = 2; word < line.words.size(); ++word) {
        const auto flag = kFlags.find(line.words[word]);
        if (flag == kFlags.end()) return SourceText::Fail(line.place, "unknown tile flag " + line.words[word], error);
        type.flags[flag->second] = 1;
    }
    m_typeCodes[line.words[1]] = static_cast<int8_t>(m_out.map.tileTypes.size());
    m_out.map.tileTypes.push_back(type);
    return true;
}

bool LevelMapSource::NewCharacter(const SourceLine& line, char& character, std::string& error) {
    if (line.words.size() < 2 || line.words[1].size() != 1 || line.words[1][0] == ' ') {
        return SourceText::Fail(line.place, "`" + line.words[0] + "` names one character", error);
    }
    character = line.words[1][0];
    if (m_cells.count(character) || m_actors.count(character) || m_starts.count(character)) {
        return SourceText::Fail(line.place, std::string("character ") + character + " is in use already", error);
    }
    return true;
}

bool LevelMapSource::ParseCell(const SourceLine& line, std::string& error) {
    char character = 0;
    std::map<std::string, std::string> options;
    std::string bad;
    if (!NewCharacter(line, character, error)) return false;
    if (!SourceWords::Options(line.words, 2, options, bad) ||
        options.size() != options.count("collide") + options.count("tile")) {
        return SourceText::Fail(line.place, "expected `cell C [collide=TYPE] [tile=N]`", error);
    }
    Cell cell;
    if (options.count("collide")) {
        const auto type = m_typeCodes.find(options["collide"]);
        if (type == m_typeCodes.end()) return SourceText::Fail(line.place, "no tile type " + options["collide"], error);
        cell.collision = type->second;
    }
    int32_t tile = 0;
    if (options.count("tile")) {
        if (!SourceWords::ParseInt(options["tile"], tile) || !InRange(tile, 0, 254)) {
            return SourceText::Fail(line.place, "a tile is 0 to 254", error);
        }
        cell.tile = static_cast<uint8_t>(tile);
    }
    m_cells[character] = cell;
    return true;
}

bool LevelMapSource::ParseBackCell(const SourceLine& line, std::string& error) {
    int32_t tile = 0;
    if (line.words.size() != 3 || line.words[1].size() != 1 || !SourceWords::ParseInt(line.words[2], tile) ||
        !InRange(tile, 0, 255)) {
        return SourceText::Fail(line.place, "expected `backcell C TILE` (TILE 0 to 255)", error);
    }
    if (!m_backCells.emplace(line.words[1][0], static_cast<uint8_t>(tile)).second) {
        return SourceText::Fail(line.place, "background character " + line.words[1] + " is in use already", error);
    }
    return true;
}

bool LevelMapSource::ParseTemplate(const SourceLine& line, std::string& error) {
    static const char* const kUsage =
        "expected `template NAME type=N|decor sprite=N|share=TEMPLATE [anchor=0|1] [carrier] [range=H,V] "
        "[data=...]`";
    std::map<std::string, std::string> options;
    std::string bad;
    if (line.words.size() < 3 || !IsName(line.words[1]) || !SourceWords::Options(line.words, 2, options, bad)) {
        return SourceText::Fail(line.place, kUsage, error);
    }
    if (m_templateIndex.count(line.words[1])) {
        return SourceText::Fail(line.place, "template " + line.words[1] + " is defined already", error);
    }
    for (const auto& option : options) {
        static const char* const kKnown[] = {"type", "sprite", "share", "anchor", "carrier", "range", "data"};
        if (std::find_if(std::begin(kKnown), std::end(kKnown), [&](const char* k) { return option.first == k; }) ==
            std::end(kKnown)) {
            return SourceText::Fail(line.place, "unknown template option " + option.first, error);
        }
    }
    leveldata::Template record;
    int32_t value = 0;
    if (!options.count("type")) return SourceText::Fail(line.place, kUsage, error);
    if (options["type"] == "decor") {
        record.type = leveldata::kNoActorType;
    } else if (!SourceWords::ParseInt(options["type"], value) || !InRange(value, 0, kDecorType - 1)) {
        return SourceText::Fail(line.place, "an actor type is 0 to 126 or `decor`", error);
    } else {
        record.type = static_cast<int8_t>(value);
    }
    if (options.count("sprite") == options.count("share")) {
        return SourceText::Fail(line.place, "a template takes either sprite=N or share=TEMPLATE", error);
    }
    if (options.count("sprite")) {
        if (!SourceWords::ParseInt(options["sprite"], value) || !InRange(value, 0, 127)) {
            return SourceText::Fail(line.place, "a sprite index is 0 to 127", error);
        }
        record.sprite = static_cast<uint8_t>(value);
    } else {
        const auto shared = m_templateIndex.find(options["share"]);
        if (shared == m_templateIndex.end()) {
            return SourceText::Fail(line.place, "share names an earlier template, not " + options["share"], error);
        }
        record.sprite = static_cast<uint8_t>(leveldata::kShareSpriteBit | shared->second);
    }
    if (options.count("anchor")) {
        if (!SourceWords::ParseInt(options["anchor"], value) || !InRange(value, 0, 1)) {
            return SourceText::Fail(line.place, "anchor is 0 (box bottom) or 1 (box top)", error);
        }
        record.anchor = static_cast<int8_t>(value);
    }
    if (options.count("carrier")) {
        if (!options["carrier"].empty()) return SourceText::Fail(line.place, "`carrier` takes no value", error);
        record.flag = 1;
    }
    if (options.count("range")) {
        const std::string& text = options["range"];
        const size_t comma = text.find(',');
        int32_t horizontal = 0;
        int32_t vertical = 0;
        if (comma == std::string::npos || !SourceWords::ParseInt(text.substr(0, comma), horizontal) ||
            !SourceWords::ParseInt(text.substr(comma + 1), vertical) || !InRange(horizontal, -128, 127) ||
            !InRange(vertical, -128, 127)) {
            return SourceText::Fail(line.place, "range is H,V in tiles (-128 to 127)", error);
        }
        record.horizontalRange = static_cast<int8_t>(horizontal);
        record.verticalRange = static_cast<int8_t>(vertical);
    }
    m_templateIndex[line.words[1]] = m_out.map.templates.size();
    if (options.count("data") && !ParseTemplateData(options["data"], line.place, record, error)) return false;
    if (m_out.map.templates.size() >= 255) return SourceText::Fail(line.place, "a map has at most 255 templates", error);
    m_out.map.templates.push_back(record);
    m_out.templateNames.push_back(line.words[1]);
    m_out.templatePlaces.push_back(line.place);
    return true;
}

bool LevelMapSource::ParseTemplateData(const std::string& text, const SourcePlace& place, leveldata::Template& record,
                                       std::string& error) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string item = text.substr(start, end - start);
        int32_t value = 0;
        if (!item.empty() && item[0] == '@' && IsName(item.substr(1))) {
            m_pendingData.push_back({m_out.map.templates.size(), record.data.size(), item.substr(1), place});
        } else if (!SourceWords::ParseInt(item, value) || !InRange(value, -128, 127)) {
            return SourceText::Fail(place, "a data value is -128 to 127 or @ACTOR, not `" + item + "`", error);
        }
        record.data.push_back(static_cast<int8_t>(value));
        start = end + 1;
    }
    return true;
}

bool LevelMapSource::ParseActor(const SourceLine& line, std::string& error) {
    char character = 0;
    std::map<std::string, std::string> options;
    std::string bad;
    if (!NewCharacter(line, character, error)) return false;
    if (line.words.size() < 3 || !SourceWords::Options(line.words, 3, options, bad) ||
        options.size() != options.count("name") + options.count("dx") + options.count("dy") + options.count("on")) {
        return SourceText::Fail(line.place, "expected `actor C TEMPLATE [name=NAME] [dx=N] [dy=N] [on=CELL]`", error);
    }
    Actor actor;
    actor.templateName = line.words[2];
    actor.place = line.place;
    if (!m_templateIndex.count(actor.templateName)) {
        return SourceText::Fail(line.place, "no template " + actor.templateName, error);
    }
    if ((options.count("dx") && !SourceWords::ParseInt(options["dx"], actor.dx)) ||
        (options.count("dy") && !SourceWords::ParseInt(options["dy"], actor.dy)) || !InRange(actor.dx, -240, 240) ||
        !InRange(actor.dy, -240, 240)) {
        return SourceText::Fail(line.place, "dx and dy are pixels, -240 to 240", error);
    }
    if (options.count("on")) {
        if (options["on"].size() != 1 || !m_cells.count(options["on"][0])) {
            return SourceText::Fail(line.place, "on= names a cell character", error);
        }
        actor.terrain = options["on"][0];
    }
    if (options.count("name")) {
        actor.name = options["name"];
        if (!IsName(actor.name) || std::count(m_actorNames.begin(), m_actorNames.end(), actor.name)) {
            return SourceText::Fail(line.place, "actor name " + actor.name + " is not a new name", error);
        }
        if (m_actorNames.size() >= static_cast<size_t>(GameLevelRules::kActorRefCount)) {
            return SourceText::Fail(line.place, "a map names at most 40 actors (its references)", error);
        }
        m_actorNames.push_back(actor.name);
    }
    m_actors[character] = actor;
    return true;
}

bool LevelMapSource::ParseStart(const SourceLine& line, std::string& error) {
    char character = 0;
    if (!NewCharacter(line, character, error)) return false;
    const bool left = line.words.size() == 4 && line.words[3] == "left";
    if ((line.words.size() != 3 && !left) || (line.words[2] != "formA" && line.words[2] != "formB")) {
        return SourceText::Fail(line.place, "expected `start C formA|formB [left]`", error);
    }
    const size_t form = line.words[2] == "formB" ? 1 : 0;
    m_starts[character] = {left ? kPlayerStartLeft[form] : kPlayerStartRight[form], line.place};
    return true;
}

bool LevelMapSource::ParseRows(const SourceText& source, size_t& index, const SourceLine& line,
                               std::vector<std::string>& rows, std::vector<SourcePlace>& places, std::string& error) {
    if (line.words.size() != 1) return SourceText::Fail(line.place, "`" + line.words[0] + "` takes nothing", error);
    for (++index; index < source.LineCount(); ++index) {
        const std::string row = TrimRight(source.Raw(index));
        if (row == "end") return true;
        rows.push_back(row);
        places.push_back(source.PlaceOf(index));
    }
    return SourceText::Fail(line.place, "`" + line.words[0] + "` has no `end`", error);
}

bool LevelMapSource::Build(std::string& error) {
    if (!m_haveGrid || m_grid.empty()) return SourceText::Fail(m_out.place, "the map has no grid", error);
    return BuildLayers(error) && BuildBackground(error) && BuildActors(error) && ResolveData(error);
}

bool LevelMapSource::BuildLayers(std::string& error) {
    const size_t width = m_grid[0].size();
    if (width == 0 || width > 1000 || m_grid.size() > 1000) {
        return SourceText::Fail(m_gridPlaces[0], "a grid is 1 to 1000 cells each way", error);
    }
    leveldata::LevelMap& map = m_out.map;
    map.tiles.width = map.collision.width = static_cast<uint16_t>(width);
    map.tiles.height = map.collision.height = static_cast<uint16_t>(m_grid.size());
    for (size_t row = 0; row < m_grid.size(); ++row) {
        if (m_grid[row].size() != width) {
            return SourceText::Fail(m_gridPlaces[row], "every grid row is " + std::to_string(width) + " cells wide",
                                    error);
        }
        for (const char character : m_grid[row]) {
            const auto actor = m_actors.find(character);
            const auto cell = m_cells.find(actor != m_actors.end() ? actor->second.terrain : character);
            if (cell == m_cells.end() && actor == m_actors.end() && !m_starts.count(character)) {
                return SourceText::Fail(m_gridPlaces[row], std::string("no cell, actor or start is `") + character + "`",
                                        error);
            }
            const Cell terrain = cell != m_cells.end() ? cell->second : Cell();
            map.collision.codes.push_back(terrain.collision);
            map.tiles.cells.push_back(terrain.tile);
        }
    }
    return true;
}

bool LevelMapSource::BuildBackground(std::string& error) {
    if (m_backRows.empty()) return true;
    leveldata::LevelMap& map = m_out.map;
    map.hasBackground = true;
    map.background.width = map.tiles.width;
    map.background.height = map.tiles.height;
    for (size_t row = 0; row < m_backRows.size(); ++row) {
        if (m_backRows[row].empty() || m_backRows[row].size() != m_backRows[0].size()) {
            return SourceText::Fail(m_backPlaces[row], "background rows are all as wide as the first", error);
        }
        for (const char character : m_backRows[row]) {
            if (!m_backCells.count(character)) {
                return SourceText::Fail(m_backPlaces[row], std::string("no backcell is `") + character + "`", error);
            }
        }
    }
    for (size_t y = 0; y < map.background.height; ++y) {
        const std::string& row = m_backRows[y % m_backRows.size()];
        for (size_t x = 0; x < map.background.width; ++x) map.background.cells.push_back(m_backCells[row[x % row.size()]]);
    }
    return true;
}

bool LevelMapSource::BuildActors(std::string& error) {
    leveldata::LevelMap& map = m_out.map;
    std::map<std::string, int16_t> namedSpawn;
    for (size_t row = 0; row < m_grid.size(); ++row) {
        for (size_t column = 0; column < m_grid[row].size(); ++column) {
            const char character = m_grid[row][column];
            const int32_t left = static_cast<int32_t>(column) * GameLevelRules::kTileSize;
            const int32_t top = static_cast<int32_t>(row) * GameLevelRules::kTileSize;
            const int32_t middle = left + GameLevelRules::kTileSize / 2;
            const int32_t bottom = top + GameLevelRules::kTileSize;
            const auto start = m_starts.find(character);
            if (start != m_starts.end()) {
                leveldata::Reference reference;
                reference.kind = start->second.kind;
                reference.x = static_cast<int16_t>(middle);
                reference.y = static_cast<int16_t>(bottom);
                map.references.push_back(reference);
                m_out.startPlaces.push_back(m_gridPlaces[row]);
                continue;
            }
            const auto actor = m_actors.find(character);
            if (actor == m_actors.end()) continue;
            const size_t templateIndex = m_templateIndex[actor->second.templateName];
            const bool topAnchored = map.templates[templateIndex].anchor == 1;
            leveldata::Spawn spawn;
            spawn.templateIndex = static_cast<int8_t>(templateIndex);
            spawn.x = static_cast<int16_t>(middle + actor->second.dx);
            spawn.y = static_cast<int16_t>((topAnchored ? top : bottom) + actor->second.dy);
            if (!actor->second.name.empty()) {
                if (namedSpawn.count(actor->second.name)) {
                    return SourceText::Fail(m_gridPlaces[row], "named actor " + actor->second.name +
                                                                   " stands in more than one cell",
                                            error);
                }
                namedSpawn[actor->second.name] = static_cast<int16_t>(map.spawns.size());
            }
            if (map.spawns.size() >= 32767) return SourceText::Fail(m_gridPlaces[row], "too many spawns", error);
            map.spawns.push_back(spawn);
            m_out.spawnPlaces.push_back(m_gridPlaces[row]);
        }
    }
    for (size_t index = 0; index < m_actorNames.size(); ++index) {
        const std::string& name = m_actorNames[index];
        const auto spawn = namedSpawn.find(name);
        if (spawn == namedSpawn.end()) {
            for (const auto& actor : m_actors) {
                if (actor.second.name == name) {
                    return SourceText::Fail(actor.second.place, "named actor " + name + " is not in the grid", error);
                }
            }
        }
        leveldata::Reference reference;
        reference.kind = leveldata::kRefActor;
        reference.index = static_cast<uint8_t>(index);
        reference.spawn = spawn->second;
        map.references.push_back(reference);
        m_out.refs[name] = static_cast<uint8_t>(index);
        m_out.refSpawns[static_cast<uint8_t>(index)] = spawn->second;
    }
    return true;
}

bool LevelMapSource::ResolveData(std::string& error) {
    for (const PendingData& pending : m_pendingData) {
        const auto ref = m_out.refs.find(pending.actor);
        if (ref == m_out.refs.end()) return SourceText::Fail(pending.place, "no actor is named " + pending.actor, error);
        m_out.map.templates[pending.templateIndex].data[pending.byteIndex] = static_cast<int8_t>(ref->second);
        m_out.dataRefs.push_back({pending.templateIndex, pending.byteIndex, ref->second});
    }
    return true;
}
