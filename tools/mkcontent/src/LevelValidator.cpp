#include "LevelValidator.h"

#include "ActorTypes.h"
#include "GameLevelRules.h"
#include "ScriptCommands.h"

#include <functional>
#include <set>

namespace {

using leveldata::Command;

enum class Timing { AtOnce, Waits, NonBlocking };

int16_t Operand16(const Command& command, size_t offset) {
    return static_cast<int16_t>(command.operands[offset] << 8 | command.operands[offset + 1]);
}

// When a command lets its script go on: at once, after waiting, or at once
// while it keeps running detached.
Timing TimingOf(const Command& command) {
    const std::vector<uint8_t>& op = command.operands;
    switch (command.opcode) {
        case ScriptCommands::kCamera: {
            const bool instant = op[0] != 0;
            const bool wait = op[instant ? 1 : 3] != 0;
            return instant ? Timing::AtOnce : (wait ? Timing::Waits : Timing::NonBlocking);
        }
        case ScriptCommands::kPlayerMove:
            return op[0] != 0 ? Timing::AtOnce : (op[6] != 0 ? Timing::NonBlocking : Timing::Waits);
        case ScriptCommands::kShake: {
            const bool still = op[3] == 0 && op[4] == 0;
            if (still || Operand16(command, 1) == -1) return Timing::AtOnce;
            return op[0] != 0 ? Timing::Waits : Timing::NonBlocking;
        }
        case ScriptCommands::kWait:
        case ScriptCommands::kDialogue:
        case ScriptCommands::kTextPage:
        case ScriptCommands::kDelay:
        case ScriptCommands::kTimerA:
        case ScriptCommands::kTimerB:
        case ScriptCommands::kWaitForActor:
        case ScriptCommands::kScriptedPause:
            return Timing::Waits;
        default:
            return Timing::AtOnce;
    }
}

bool Fail(const SourcePlace& place, const std::string& message, std::string& error) {
    return SourceText::Fail(place, message, error);
}

// The table's index of script `id`, or the table's size when none has it.
size_t IndexOf(const LevelScriptContent& scripts, int16_t id) {
    for (size_t i = 0; i < scripts.scripts.size(); ++i) {
        if (scripts.scripts[i].id == id) return i;
    }
    return scripts.scripts.size();
}

// The scripts the end of script `index` starts: itself when it loops, else
// its chain (an index past the table for an id that no script has).
std::vector<size_t> NextScripts(const LevelScriptContent& scripts, size_t index) {
    const leveldata::Script& script = scripts.scripts[index];
    if (script.loop) return {index};
    std::vector<size_t> next;
    for (int16_t id : script.chain) next.push_back(IndexOf(scripts, id));
    return next;
}

// Every script that runs at or after the start of script `index`.
std::vector<bool> Following(const LevelScriptContent& scripts, size_t index) {
    std::vector<bool> reached(scripts.scripts.size(), false);
    std::vector<size_t> pending = {index};
    reached[index] = true;
    while (!pending.empty()) {
        const size_t current = pending.back();
        pending.pop_back();
        for (size_t next : NextScripts(scripts, current)) {
            if (next < reached.size() && !reached[next]) {
                reached[next] = true;
                pending.push_back(next);
            }
        }
    }
    return reached;
}

// The index of the script's first wait for an actor, or its command count
// when it has none.
size_t FirstWaitIn(const leveldata::Script& script) {
    for (size_t c = 0; c < script.commands.size(); ++c) {
        if (script.commands[c].opcode == ScriptCommands::kWaitForActor) return c;
    }
    return script.commands.size();
}

// The first script at or after the start of script `index` that waits for
// an actor, or the table's size when none does.
size_t FirstWaitFrom(const LevelScriptContent& scripts, size_t index) {
    const std::vector<bool> reached = Following(scripts, index);
    for (size_t i = 0; i < reached.size(); ++i) {
        const leveldata::Script& script = scripts.scripts[i];
        if (reached[i] && FirstWaitIn(script) < script.commands.size()) return i;
    }
    return scripts.scripts.size();
}

constexpr size_t kFlagPassable = 0;
constexpr size_t kFlagPlatform = 1;

}  // namespace

bool LevelValidator::Check(const CompiledLevel& level, size_t spriteSetCount, std::string& error) {
    const leveldata::LevelMap& map = level.map.map;
    if (map.tiles.width < GameLevelRules::kMinViewTiles || map.tiles.height < GameLevelRules::kMinViewTiles) {
        return Fail(level.map.place, "a map is at least 14 x 14 tiles (the view in either orientation)", error);
    }
    return CheckTileTypes(level.map, error) && CheckStart(level.map, error) &&
           CheckTemplates(level.map, spriteSetCount, error) &&
           CheckDataRefs(level.map, error) && CheckSpawnTiles(level.map, error) && CheckRunUps(level.map, error) &&
           CheckScriptTable(level.scripts, error) && CheckCommands(level, error) && CheckControls(level.scripts, error) &&
           CheckRunaway(level.scripts, error) && CheckWaits(level.scripts, error) &&
           CheckEnding(level.scripts, error);
}

bool LevelValidator::CheckTileTypes(const LevelMapContent& map, std::string& error) {
    // The players test landing with the platform flag alone: solid ground
    // without it lets them fall through.
    for (size_t code = 0; code < map.map.tileTypes.size(); ++code) {
        const std::vector<uint8_t>& flags = map.map.tileTypes[code].flags;
        const bool passable = flags.size() > kFlagPassable && flags[kFlagPassable] == 1;
        const bool landable = flags.size() > kFlagPlatform && flags[kFlagPlatform] == 1;
        if (!passable && !landable) {
            return Fail(map.place, "tile type " + std::to_string(code) +
                                       " is solid but not a platform: the players would fall through it",
                        error);
        }
    }
    return true;
}

bool LevelValidator::CheckStart(const LevelMapContent& map, std::string& error) {
    if (map.startPlaces.empty()) return Fail(map.place, "the map has no player start", error);
    if (map.startPlaces.size() > 1) return Fail(map.startPlaces[1], "the map has a second player start", error);
    return true;
}

bool LevelValidator::CheckTemplates(const LevelMapContent& map, size_t spriteSetCount, std::string& error) {
    for (size_t i = 0; i < map.map.templates.size(); ++i) {
        const leveldata::Template& record = map.map.templates[i];
        const SourcePlace& place = map.templatePlaces[i];
        if (record.type != leveldata::kNoActorType && !GameLevelRules::IsSpawnable(record.type)) {
            return Fail(place, "type " + std::to_string(record.type) +
                                   " cannot be spawned (0..69, but the players and the partner)",
                        error);
        }
        if (!(record.sprite & leveldata::kShareSpriteBit)) {
            const int32_t set = GameLevelRules::SpriteSetFor(record.sprite);
            if (set < 0) return Fail(place, "sprite index " + std::to_string(record.sprite) + " maps to no sprite set", error);
            if (static_cast<size_t>(set) >= spriteSetCount) {
                return Fail(place, "sprite set " + std::to_string(set) + " does not exist", error);
            }
        }
        if (!GameLevelRules::DataLengthFits(record.type, record.data.size())) {
            return Fail(place, "type " + std::to_string(record.type) + " takes " +
                                   GameLevelRules::DataLengthRule(record.type),
                        error);
        }
        const int32_t limit = GameLevelRules::kMaxActivationRange;
        if (record.horizontalRange > limit || record.horizontalRange < -limit || record.verticalRange > limit ||
            record.verticalRange < -limit) {
            return Fail(place, "activation ranges are at most 15 tiles", error);
        }
        if ((record.horizontalRange == 0 || record.verticalRange == 0) && !GameLevelRules::StaysInPlay(record.type)) {
            return Fail(place, "only types that stay in play off the view may be active everywhere (range 0): give "
                               "type " + std::to_string(record.type) + " a range",
                        error);
        }
    }
    return true;
}

int32_t LevelValidator::TemplateTypeOfRef(const LevelMapContent& map, uint8_t ref) {
    const auto spawn = map.refSpawns.find(ref);
    if (spawn == map.refSpawns.end()) return leveldata::kNoActorType;
    const size_t templateIndex = static_cast<size_t>(map.map.spawns[static_cast<size_t>(spawn->second)].templateIndex);
    return map.map.templates[templateIndex].type;
}

bool LevelValidator::CheckDataRefs(const LevelMapContent& map, std::string& error) {
    for (size_t i = 0; i < map.map.templates.size(); ++i) {
        const leveldata::Template& record = map.map.templates[i];
        const bool namesDoor = GameLevelRules::IsSwitch(record.type) || record.type == ActorType::kLargeEnemy67;
        const bool namesActor = namesDoor || record.type == ActorType::kBoss41;
        if (!namesActor || record.data.empty()) continue;
        bool named = false;
        for (const LevelDataReference& ref : map.dataRefs) {
            if (ref.templateIndex != i || ref.byteIndex != 0) continue;
            named = true;
            if (namesDoor && !GameLevelRules::IsDoor(TemplateTypeOfRef(map, ref.refIndex))) {
                return Fail(map.templatePlaces[i], "type " + std::to_string(record.type) + " must name a door", error);
            }
        }
        if (!named) return Fail(map.templatePlaces[i], "the first data byte names an actor: write @NAME", error);
    }
    return true;
}

bool LevelValidator::CheckSpawnTiles(const LevelMapContent& map, std::string& error) {
    const leveldata::CollisionLayer& layer = map.map.collision;
    for (size_t i = 0; i < map.map.spawns.size(); ++i) {
        const leveldata::Spawn& spawn = map.map.spawns[i];
        const int32_t type = map.map.templates[static_cast<size_t>(spawn.templateIndex)].type;
        const int32_t column = spawn.x / GameLevelRules::kTileSize;
        const int32_t row = (spawn.y - 1) / GameLevelRules::kTileSize;
        if (column < 0 || column >= layer.width || row < 0 || row >= layer.height) {
            return Fail(map.spawnPlaces[i], "an actor stands outside the map", error);
        }
        auto code = [&](int32_t y) { return layer.codes[static_cast<size_t>(y) * layer.width + column]; };
        if (type == ActorType::kHangingObject) {
            bool anchored = false;
            for (int32_t y = row; y >= 0 && !anchored; --y) anchored = code(y) == GameLevelRules::kHangingAnchorCode;
            if (!anchored) return Fail(map.spawnPlaces[i], "a hanging object needs a tile of code 4 above it", error);
        }
        if (type == ActorType::kLift && code(row) != GameLevelRules::kLiftTrackCode) {
            return Fail(map.spawnPlaces[i], "a lift stands on track (tile code 9)", error);
        }
    }
    return true;
}

bool LevelValidator::CheckRunUps(const LevelMapContent& map, std::string& error) {
    auto fail = [&](const SourcePlace& place, const std::string& who, int32_t distance) {
        return Fail(place, who + " " + std::to_string(distance) + " tiles before a hazard: leave a run-up of " +
                               std::to_string(GameLevelRules::kMinRunUpTiles) + " tiles",
                    error);
    };
    for (const leveldata::Reference& ref : map.map.references) {
        const bool right = ref.kind == leveldata::kRefPlayerFormARight || ref.kind == leveldata::kRefPlayerFormBRight;
        const bool left = ref.kind == leveldata::kRefPlayerFormALeft || ref.kind == leveldata::kRefPlayerFormBLeft;
        if (!right && !left) continue;
        const int32_t distance = HazardDistance(map, ref.x, ref.y, right ? 1 : -1);
        if (distance > 0 && !map.startPlaces.empty()) return fail(map.startPlaces.front(), "the player starts", distance);
    }
    // Levels run to the right: a restored player walks on that way.
    for (size_t i = 0; i < map.map.spawns.size(); ++i) {
        const leveldata::Spawn& spawn = map.map.spawns[i];
        if (map.map.templates[static_cast<size_t>(spawn.templateIndex)].type != ActorType::kCheckpoint) continue;
        const int32_t distance = HazardDistance(map, spawn.x, spawn.y, 1);
        if (distance > 0) return fail(map.spawnPlaces[i], "a checkpoint stands", distance);
    }
    return true;
}

int32_t LevelValidator::HazardDistance(const LevelMapContent& map, int32_t x, int32_t y, int32_t step) {
    // A hazard counts from two rows above the feet down to a pit's floor.
    constexpr int32_t kRowsAbove = 2;
    constexpr int32_t kRowsBelow = 2;
    const int32_t column = x / GameLevelRules::kTileSize;
    const int32_t row = (y - 1) / GameLevelRules::kTileSize;
    for (int32_t distance = 1; distance < GameLevelRules::kMinRunUpTiles; ++distance) {
        const int32_t c = column + distance * step;
        for (int32_t r = row - kRowsAbove; r <= row + kRowsBelow; ++r) {
            if (IsDeadlyCell(map, c, r)) return distance;
        }
        for (const leveldata::Spawn& spawn : map.map.spawns) {
            const int32_t type = map.map.templates[static_cast<size_t>(spawn.templateIndex)].type;
            const int32_t spawnRow = (spawn.y - 1) / GameLevelRules::kTileSize;
            if (GameLevelRules::IsHazard(type) && spawn.x / GameLevelRules::kTileSize == c &&
                spawnRow >= row - kRowsAbove && spawnRow <= row + kRowsBelow) {
                return distance;
            }
        }
    }
    return 0;
}

bool LevelValidator::IsDeadlyCell(const LevelMapContent& map, int32_t column, int32_t row) {
    const leveldata::CollisionLayer& layer = map.map.collision;
    if (column < 0 || column >= layer.width || row < 0 || row >= layer.height) return false;
    const int8_t code = layer.codes[static_cast<size_t>(row) * layer.width + static_cast<size_t>(column)];
    if (code < 0 || static_cast<size_t>(code) >= map.map.tileTypes.size()) return false;
    const std::vector<uint8_t>& flags = map.map.tileTypes[static_cast<size_t>(code)].flags;
    return flags.size() > GameLevelRules::kTileFlagDeadly && flags[GameLevelRules::kTileFlagDeadly] == 1;
}

bool LevelValidator::CheckScriptTable(const LevelScriptContent& scripts, std::string& error) {
    std::set<int16_t> ids;
    for (size_t i = 0; i < scripts.scripts.size(); ++i) {
        if (!ids.insert(scripts.scripts[i].id).second) {
            return Fail(scripts.scriptPlaces[i], "script " + std::to_string(scripts.scripts[i].id) + " is defined twice",
                        error);
        }
    }
    if (!ids.count(1)) return Fail(scripts.place, "the level has no script 1 (it starts the level)", error);
    for (size_t i = 0; i < scripts.scripts.size(); ++i) {
        for (int16_t chained : scripts.scripts[i].chain) {
            if (!ids.count(chained)) return Fail(scripts.scriptPlaces[i], "no script " + std::to_string(chained), error);
        }
        for (size_t c = 0; c < scripts.scripts[i].commands.size(); ++c) {
            const Command& command = scripts.scripts[i].commands[c];
            if (command.opcode == ScriptCommands::kStopScript && !ids.count(Operand16(command, 0))) {
                return Fail(scripts.commandPlaces[i][c], "no script " + std::to_string(Operand16(command, 0)), error);
            }
        }
    }
    return true;
}

bool LevelValidator::MapHasReleaser(const LevelMapContent& map) {
    for (const leveldata::Spawn& spawn : map.map.spawns) {
        const leveldata::Template& record = map.map.templates[static_cast<size_t>(spawn.templateIndex)];
        if (GameLevelRules::ReleasesWaitingScript(record.type, record.data.size())) return true;
    }
    return false;
}

bool LevelValidator::CheckCommands(const CompiledLevel& level, std::string& error) {
    const LevelScriptContent& scripts = level.scripts;
    const bool formB = level.map.map.references.empty() ? false : [&] {
        for (const leveldata::Reference& ref : level.map.map.references) {
            if (ref.kind == leveldata::kRefPlayerFormBRight || ref.kind == leveldata::kRefPlayerFormBLeft) return true;
        }
        return false;
    }();
    const int32_t width = level.map.map.tiles.width;
    const int32_t height = level.map.map.tiles.height;
    for (size_t i = 0; i < scripts.scripts.size(); ++i) {
        const std::vector<Command>& commands = scripts.scripts[i].commands;
        for (size_t c = 0; c < commands.size(); ++c) {
            const Command& command = commands[c];
            const SourcePlace& place = scripts.commandPlaces[i][c];
            if (TimingOf(command) == Timing::NonBlocking && c + 1 != commands.size()) {
                return Fail(place, "a command that does not wait is the last of its script", error);
            }
            switch (command.opcode) {
                case ScriptCommands::kDialogue:
                case ScriptCommands::kTextPage: {
                    const int8_t speaker = static_cast<int8_t>(command.operands[0]);
                    if (speaker < GameLevelRules::kMinSpeaker || speaker > GameLevelRules::kMaxSpeaker) {
                        return Fail(place, "speakers are -1 to 10", error);
                    }
                    break;
                }
                case ScriptCommands::kPlayerMove:
                    if (command.operands[0] == 0 && formB) {
                        return Fail(place, "the second player form never finishes a scripted walk", error);
                    }
                    break;
                case ScriptCommands::kSignalActor: {
                    const int32_t type = TemplateTypeOfRef(level.map, static_cast<uint8_t>(Operand16(command, 0)));
                    if (!GameLevelRules::AnswersSignal(type)) {
                        return Fail(place, "an actor of type " + std::to_string(type) + " ignores signals", error);
                    }
                    break;
                }
                case ScriptCommands::kWaitForActor:
                    if (!MapHasReleaser(level.map)) {
                        return Fail(place, "script " + std::to_string(scripts.scripts[i].id) +
                                               " waits for an actor, but no actor of the level releases a waiting "
                                               "script",
                                    error);
                    }
                    break;
                case ScriptCommands::kCameraBounds: {
                    const int32_t x2 = Operand16(command, 4) == -1 ? width - 1 : Operand16(command, 4);
                    const int32_t y2 = Operand16(command, 6) == -1 ? height - 1 : Operand16(command, 6);
                    const int32_t x1 = Operand16(command, 0);
                    const int32_t y1 = Operand16(command, 2);
                    if (x1 < 0 || y1 < 0 || x2 >= width || y2 >= height ||
                        x2 - x1 + 1 < GameLevelRules::kMinViewTiles || y2 - y1 + 1 < GameLevelRules::kMinViewTiles) {
                        return Fail(place, "a camera window lies in the map and is at least 14 x 14 tiles", error);
                    }
                    break;
                }
                default:
                    break;
            }
        }
    }
    return true;
}

bool LevelValidator::CheckControls(const LevelScriptContent& scripts, std::string& error) {
    // A message takes the controls from the player and nothing but
    // `control on` gives them back: a script that then waits for the player,
    // or ends, would leave it frozen.
    for (size_t i = 0; i < scripts.scripts.size(); ++i) {
        const std::vector<Command>& commands = scripts.scripts[i].commands;
        bool frozen = false;
        for (size_t c = 0; c < commands.size(); ++c) {
            const Command& command = commands[c];
            if (command.opcode == ScriptCommands::kDialogue || command.opcode == ScriptCommands::kTextPage) {
                frozen = true;
            } else if (command.opcode == ScriptCommands::kPlayerControl) {
                frozen = command.operands[0] != 1;
            } else if (command.opcode == ScriptCommands::kLevelComplete) {
                frozen = false;
            } else if (frozen && (command.opcode == ScriptCommands::kWait ||
                                  command.opcode == ScriptCommands::kWaitForActor)) {
                return Fail(scripts.commandPlaces[i][c],
                            "the player has no controls since the last message: give them back (`control on`) first",
                            error);
            }
        }
        if (frozen) {
            return Fail(scripts.commandPlaces[i].back(),
                        "the script ends with the controls taken: give them back (`control on`)", error);
        }
    }
    return true;
}

bool LevelValidator::CheckRunaway(const LevelScriptContent& scripts, std::string& error) {
    // A script that never waits passes its turn on at once: to itself when
    // it loops, else to its chain. Such a path back to itself never yields.
    std::vector<bool> instant(scripts.scripts.size(), true);
    for (size_t i = 0; i < scripts.scripts.size(); ++i) {
        for (const Command& command : scripts.scripts[i].commands) {
            if (TimingOf(command) == Timing::Waits) instant[i] = false;
        }
    }
    for (size_t start = 0; start < scripts.scripts.size(); ++start) {
        if (!instant[start]) continue;
        std::vector<size_t> pending = {start};
        std::set<size_t> seen;
        while (!pending.empty()) {
            const size_t current = pending.back();
            pending.pop_back();
            for (size_t following : NextScripts(scripts, current)) {
                if (following == start) {
                    return Fail(scripts.scriptPlaces[start], "the script runs on without ever waiting", error);
                }
                if (following < scripts.scripts.size() && instant[following] && seen.insert(following).second) {
                    pending.push_back(following);
                }
            }
        }
    }
    return true;
}

bool LevelValidator::CheckWaits(const LevelScriptContent& scripts, std::string& error) {
    // The world parks one waiting command, and whichever actor releases a
    // wait releases that one: a second wait would put the first out of
    // reach for good. Scripts never join again once an end has started
    // several, so what follows two entries of one chain may run side by
    // side, and only one of them may wait for an actor.
    const size_t none = scripts.scripts.size();
    const size_t first = IndexOf(scripts, 1);
    if (first == none) return true;
    const std::vector<bool> runs = Following(scripts, first);
    for (size_t fork = 0; fork < none; ++fork) {
        if (!runs[fork]) continue;
        const std::vector<size_t> next = NextScripts(scripts, fork);
        size_t earlier = none;
        for (size_t branch : next) {
            const size_t waiting = branch < none ? FirstWaitFrom(scripts, branch) : none;
            if (waiting == none) continue;
            if (earlier != none) return FailSecondWait(scripts, waiting, earlier, fork, error);
            earlier = waiting;
        }
    }
    return true;
}

bool LevelValidator::FailSecondWait(const LevelScriptContent& scripts, size_t waiting, size_t earlier, size_t fork,
                                    std::string& error) {
    const auto id = [&](size_t index) { return std::to_string(scripts.scripts[index].id); };
    return Fail(scripts.commandPlaces[waiting][FirstWaitIn(scripts.scripts[waiting])],
                "script " + id(waiting) + " may wait for an actor while script " + id(earlier) +
                    " does (both go on from the end of script " + id(fork) + "): only one wait is held at a time",
                error);
}

bool LevelValidator::CheckEnding(const LevelScriptContent& scripts, std::string& error) {
    std::set<int16_t> reached = {1};
    std::vector<int16_t> pending = {1};
    bool completes = false;
    bool opensWithPage = false;
    bool backToPlay = false;
    while (!pending.empty()) {
        const int16_t id = pending.back();
        pending.pop_back();
        for (const leveldata::Script& script : scripts.scripts) {
            if (script.id != id) continue;
            for (size_t c = 0; c < script.commands.size(); ++c) {
                const Command& command = script.commands[c];
                if (command.opcode == ScriptCommands::kLevelComplete) completes = true;
                if (command.opcode == ScriptCommands::kSetSubState && Operand16(command, 0) == 0) backToPlay = true;
                if (id == 1 && c == 0 && command.opcode == ScriptCommands::kTextPage) opensWithPage = true;
            }
            for (int16_t chained : script.chain) {
                if (reached.insert(chained).second) pending.push_back(chained);
            }
        }
    }
    if (!completes) return Fail(scripts.place, "no script that script 1 leads to completes the level", error);
    if (opensWithPage && !backToPlay) {
        return Fail(scripts.place, "script 1 opens with a text page (a black start) but nothing returns to play "
                                   "(`substate 0`)",
                    error);
    }
    return true;
}
