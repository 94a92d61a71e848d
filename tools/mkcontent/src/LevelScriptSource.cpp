#include "LevelScriptSource.h"

#include "GameLevelRules.h"
#include "ScriptCommands.h"
#include "SourceWords.h"

#include <functional>
#include <map>

namespace {

constexpr int32_t kTile = GameLevelRules::kTileSize;

bool Fits16(int32_t value) { return value >= INT16_MIN && value <= INT16_MAX; }

bool ParseIdList(const std::string& text, std::vector<int16_t>& ids) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        int32_t id = 0;
        if (!SourceWords::ParseInt(text.substr(start, end - start), id) || !Fits16(id)) return false;
        ids.push_back(static_cast<int16_t>(id));
        start = end + 1;
    }
    return true;
}

}  // namespace

bool LevelScriptSource::Parse(const SourceText& source, LevelScriptContent& out, std::string& error) {
    m_out = LevelScriptContent();
    m_out.place = {source.Name(), 0};
    for (size_t i = 0; i < source.LineCount(); ++i) {
        SourceLine line;
        if (!source.Line(i, line, error)) return false;
        if (line.words.empty()) continue;
        if (!m_open) {
            if (!BeginScript(line, error)) return false;
        } else if (line.words[0] == "end") {
            if (m_out.scripts.back().commands.empty()) {
                return SourceText::Fail(m_out.scriptPlaces.back(), "a script has at least one command", error);
            }
            m_open = false;
        } else if (!ParseCommand(line, error)) {
            return false;
        }
    }
    if (m_open) return SourceText::Fail(m_out.scriptPlaces.back(), "the script has no `end`", error);
    out = m_out;
    return true;
}

bool LevelScriptSource::BeginScript(const SourceLine& line, std::string& error) {
    int32_t id = 0;
    std::map<std::string, std::string> options;
    std::string bad;
    leveldata::Script script;
    if (line.words.size() < 2 || line.words[0] != "script" || !SourceWords::ParseInt(line.words[1], id) ||
        !Fits16(id) || !SourceWords::Options(line.words, 2, options, bad) ||
        options.size() != options.count("loop") + options.count("then") ||
        (options.count("loop") && !options["loop"].empty()) ||
        (options.count("then") && !ParseIdList(options["then"], script.chain))) {
        return SourceText::Fail(line.place, "expected `script ID [loop] [then=ID,...]`", error);
    }
    if (m_out.scripts.size() >= 128) return SourceText::Fail(line.place, "a level has at most 128 scripts", error);
    script.id = static_cast<int16_t>(id);
    script.loop = options.count("loop") ? 1 : 0;
    m_out.scripts.push_back(script);
    m_out.scriptPlaces.push_back(line.place);
    m_out.commandPlaces.emplace_back();
    m_open = true;
    return true;
}

bool LevelScriptSource::Numbers(const SourceLine& line, size_t first, size_t count, int32_t* values,
                                std::string& error) const {
    for (size_t i = 0; i < count; ++i) {
        if (line.words.size() <= first + i || !SourceWords::ParseInt(line.words[first + i], values[i]) ||
            !Fits16(values[i])) {
            return SourceText::Fail(line.place, "`" + line.words[0] + "` needs " + std::to_string(count) +
                                                    " numbers from word " + std::to_string(first + 1),
                                    error);
        }
    }
    return true;
}

bool LevelScriptSource::AreaSize(const SourceLine& line, int32_t width, int32_t height, std::string& error) const {
    if (width >= 0 && height >= 0) return true;
    return SourceText::Fail(line.place, "`" + line.words[0] + "` needs an area of no negative width or height", error);
}

// The player's box stays in the map: an area that does not even touch the
// map never meets it and holds its script for good. One that only touches
// an edge of the map is let through, as whether the box reaches that edge
// depends on the level.
bool LevelScriptSource::AreaTouchesMap(const SourceLine& line, const int32_t* area, std::string& error) const {
    const int32_t width = m_map.map.tiles.width;
    const int32_t height = m_map.map.tiles.height;
    if (area[0] + area[2] >= 0 && area[0] <= width && area[1] + area[3] >= 0 && area[1] <= height) return true;
    return SourceText::Fail(line.place, "`" + line.words[0] + "`: the area lies wholly outside the map of " +
                                            std::to_string(width) + " x " + std::to_string(height) +
                                            " tiles, so the wait never ends",
                            error);
}

// The game keeps these coordinates in pixels in 16 bits: a far tile would
// wrap to one near the other edge of the map.
bool LevelScriptSource::TilePixels(const SourceLine& line, const int32_t* tiles, size_t count, int32_t offset,
                                   int16_t* pixels, std::string& error) const {
    for (size_t i = 0; i < count; ++i) {
        const int32_t value = tiles[i] * kTile + offset;
        if (!Fits16(value)) {
            return SourceText::Fail(line.place, "`" + line.words[0] + "`: tile " + std::to_string(tiles[i]) + " is " +
                                                    std::to_string(value) + " pixels, beyond the 16 bits the game "
                                                    "keeps them in",
                                    error);
        }
        pixels[i] = static_cast<int16_t>(value);
    }
    return true;
}

bool LevelScriptSource::Actor(const SourceLine& line, size_t word, int16_t& ref, std::string& error) const {
    if (line.words.size() <= word) return SourceText::Fail(line.place, "`" + line.words[0] + "` names an actor", error);
    const auto found = m_map.refs.find(line.words[word]);
    if (found == m_map.refs.end()) {
        return SourceText::Fail(line.place, "the map names no actor " + line.words[word], error);
    }
    ref = found->second;
    return true;
}

bool LevelScriptSource::Text(const SourceLine& line, int8_t& speaker, int16_t& text, std::string& error) const {
    int32_t number = 0;
    if (line.words.size() != 3 || !SourceWords::ParseInt(line.words[1], number) || number < -128 || number > 127) {
        return SourceText::Fail(line.place, "expected `" + line.words[0] + " SPEAKER TEXT`", error);
    }
    const int32_t index = m_dialogue.IndexOf(line.words[2]);
    if (index < 0) return SourceText::Fail(line.place, "the dialogue table has no text " + line.words[2], error);
    speaker = static_cast<int8_t>(number);
    text = static_cast<int16_t>(index);
    return true;
}

bool LevelScriptSource::Facing(const SourceLine& line, size_t word, int8_t& facing, std::string& error) const {
    if (line.words.size() <= word || (line.words[word] != "left" && line.words[word] != "right")) {
        return SourceText::Fail(line.place, "`" + line.words[0] + "` needs `left` or `right`", error);
    }
    facing = line.words[word] == "right" ? 1 : 0;
    return true;
}

bool LevelScriptSource::CameraOptions(const SourceLine& line, size_t first, bool& instant, int16_t& speed, bool& wait,
                                      std::string& error) const {
    std::map<std::string, std::string> options;
    std::string bad;
    int32_t value = 0;
    if (!SourceWords::Options(line.words, first, options, bad) ||
        options.size() != options.count("speed") + options.count("nowait") ||
        (options.count("speed") && (!SourceWords::ParseInt(options["speed"], value) || value < 1 || !Fits16(value)))) {
        return SourceText::Fail(line.place, "camera options are speed=N (pixels a second) and nowait", error);
    }
    instant = !options.count("speed");
    speed = static_cast<int16_t>(value);
    wait = !options.count("nowait");
    if (instant && !wait) return SourceText::Fail(line.place, "an instant camera move cannot be `nowait`", error);
    return true;
}

bool LevelScriptSource::ParseCommand(const SourceLine& line, std::string& error) {
    using leveldata::Command;
    const std::string& name = line.words[0];
    const size_t words = line.words.size();
    int32_t n[4] = {0, 0, 0, 0};
    int16_t ref = 0;
    int8_t speaker = 0;
    int16_t text = 0;
    int8_t facing = 0;
    bool instant = false;
    bool wait = true;
    int16_t speed = 0;
    Command command;
    auto bare = [&](int8_t opcode) {
        if (words != 1) return SourceText::Fail(line.place, "`" + name + "` takes nothing", error);
        command = ScriptCommands::Bare(opcode);
        return true;
    };
    auto exactly = [&](size_t count) {
        return words == count || SourceText::Fail(line.place, "`" + name + "` takes " + std::to_string(count - 1) +
                                                                  " words",
                                                  error);
    };
    bool ok = true;
    if (name == "reach") {
        int16_t area[4] = {0, 0, 0, 0};
        ok = exactly(5) && Numbers(line, 1, 4, n, error) && AreaSize(line, n[2], n[3], error) &&
             TilePixels(line, n, 4, 0, area, error) && AreaTouchesMap(line, n, error);
        if (ok) command = ScriptCommands::WaitForArea(area[0], area[1], area[2], area[3]);
    } else if (name == "near") {
        ok = exactly(3) && Actor(line, 1, ref, error) && Numbers(line, 2, 1, n, error);
        // The game waits for an actor nearer than this: 0 or less is never met.
        if (ok && n[0] <= 0) {
            ok = SourceText::Fail(line.place, "`near` needs a distance of at least 1 pixel, so that the wait can end",
                                  error);
        }
        if (ok) command = ScriptCommands::WaitForActorNear(static_cast<int8_t>(ref), static_cast<int16_t>(n[0]), false);
    } else if (name == "gone") {
        ok = exactly(2) && Actor(line, 1, ref, error);
        if (ok) command = ScriptCommands::WaitForActorNear(static_cast<int8_t>(ref), 0, true);
    } else if (name == "camera") {
        int16_t point[2] = {0, 0};
        ok = Numbers(line, 1, 2, n, error) && CameraOptions(line, 3, instant, speed, wait, error) &&
             TilePixels(line, n, 2, kTile / 2, point, error);
        if (ok) command = ScriptCommands::CameraToPoint(instant, speed, wait, point[0], point[1]);
    } else if (name == "camera_type") {
        ok = Numbers(line, 1, 1, n, error) && CameraOptions(line, 2, instant, speed, wait, error);
        if (ok && (n[0] < 0 || n[0] >= GameLevelRules::kActorTypeCount)) {
            ok = SourceText::Fail(line.place, "an actor type is 0 to 69", error);
        }
        if (ok) command = ScriptCommands::CameraToType(instant, speed, wait, static_cast<int8_t>(n[0]));
    } else if (name == "camera_at") {
        ok = Actor(line, 1, ref, error) && CameraOptions(line, 2, instant, speed, wait, error);
        if (ok) command = ScriptCommands::CameraToReference(instant, speed, wait, ref);
    } else if (name == "say" || name == "page") {
        ok = Text(line, speaker, text, error);
        if (ok) command = name == "say" ? ScriptCommands::Dialogue(speaker, text) : ScriptCommands::TextPage(speaker, text);
    } else if (name == "walk" || name == "teleport") {
        const bool teleport = name == "teleport";
        const bool noWait = !teleport && words == 5 && line.words[4] == "nowait";
        ok = (words == 4 || noWait) && Numbers(line, 1, 2, n, error) && Facing(line, 3, facing, error);
        if (!ok && error.empty()) SourceText::Fail(line.place, "expected `" + name + " C R left|right`", error);
        if (ok) {
            command = ScriptCommands::PlayerMove(teleport, static_cast<int16_t>(n[0]), static_cast<int16_t>(n[1]), facing,
                                                 noWait);
        }
    } else if (name == "control") {
        ok = words == 2 && (line.words[1] == "off" || line.words[1] == "on");
        if (!ok) SourceText::Fail(line.place, "expected `control off|on`", error);
        if (ok) command = ScriptCommands::PlayerControl(line.words[1] == "on" ? 1 : 0);
    } else if (name == "delay") {
        const bool landed = words == 3 && line.words[2] == "landed";
        ok = (words == 2 || landed) && Numbers(line, 1, 1, n, error) && n[0] >= 0;
        if (!ok && error.empty()) SourceText::Fail(line.place, "expected `delay MS [landed]`", error);
        if (ok) command = ScriptCommands::Delay(landed, static_cast<int16_t>(n[0]));
    } else if (name == "shake") {
        if (words == 2 && line.words[1] == "stop") {
            command = ScriptCommands::Shake(true, 0, 0, 0);
        } else {
            const bool noWait = words == 5 && line.words[4] == "nowait";
            ok = (words == 4 || noWait) && Numbers(line, 1, 3, n, error) && n[1] >= -128 && n[1] <= 127 &&
                 n[2] >= -128 && n[2] <= 127;
            if (!ok && error.empty()) SourceText::Fail(line.place, "expected `shake MS AX AY [nowait]`", error);
            if (ok) {
                command = ScriptCommands::Shake(!noWait, static_cast<int16_t>(n[0]), static_cast<int8_t>(n[1]),
                                                static_cast<int8_t>(n[2]));
            }
        }
    } else if (name == "complete") {
        ok = bare(ScriptCommands::kLevelComplete);
    } else if (name == "signal" || name == "touch") {
        ok = exactly(2) && Actor(line, 1, ref, error);
        if (ok) command = name == "signal" ? ScriptCommands::SignalActor(ref) : ScriptCommands::TouchActor(ref);
    } else if (name == "timer") {
        ok = bare(ScriptCommands::kTimerA);
    } else if (name == "flag") {
        ok = exactly(2) && Numbers(line, 1, 1, n, error);
        if (ok) command = ScriptCommands::ScriptFlag(n[0] != 0);
    } else if (name == "nothing") {
        ok = bare(ScriptCommands::kNothing);
    } else if (name == "pause") {
        ok = bare(ScriptCommands::kScriptedPause);
    } else if (name == "wait_actor") {
        ok = bare(ScriptCommands::kWaitForActor);
    } else if (name == "bounds") {
        ok = exactly(5) && Numbers(line, 1, 4, n, error);
        if (ok) {
            command = ScriptCommands::CameraBounds(static_cast<int16_t>(n[0]), static_cast<int16_t>(n[1]),
                                                   static_cast<int16_t>(n[2]), static_cast<int16_t>(n[3]));
        }
    } else if (name == "place") {
        ok = exactly(4) && Numbers(line, 1, 2, n, error) && Actor(line, 3, ref, error);
        if (ok) command = ScriptCommands::PlaceActor(static_cast<int16_t>(n[0]), static_cast<int16_t>(n[1]), ref);
    } else if (name == "stop") {
        ok = exactly(2) && Numbers(line, 1, 1, n, error);
        if (ok) command = ScriptCommands::StopScript(static_cast<int16_t>(n[0]));
    } else if (name == "substate") {
        ok = exactly(2) && Numbers(line, 1, 1, n, error);
        if (ok) command = ScriptCommands::SetSubState(static_cast<int16_t>(n[0]));
    } else {
        return SourceText::Fail(line.place, "unknown command `" + name + "`", error);
    }
    if (!ok) return false;
    if (m_out.scripts.back().commands.size() >= 127) {
        return SourceText::Fail(line.place, "a script has at most 127 commands", error);
    }
    m_out.scripts.back().commands.push_back(command);
    m_out.commandPlaces.back().push_back(line.place);
    return true;
}
