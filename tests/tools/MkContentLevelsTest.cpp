// The repository's nine levels, compiled by the content compiler, read back
// by the game's own level readers; and the table of which level each actor
// type appears in.

#include "CArrayInputStream.h"
#include "CompiledContent.h"
#include "ContentCompiler.h"
#include "ContentTypes.h"
#include "ContentValidator.h"
#include "GameLevelRules.h"
#include "LevelMapData.h"
#include "LevelScriptData.h"
#include "LittleEndianReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace {

constexpr uint32_t kMapsKeyset = 0x05000108;
constexpr uint32_t kScriptsKeyset = 0x05000109;
constexpr uint32_t kDialogueKeyset = 0x0500010D;
// The script command that signals an actor.
constexpr int8_t kSignalOpcode = 8;

const CompiledContent& Content() {
    static const CompiledContent content = [] {
        CompiledContent compiled;
        ContentCompiler compiler;
        std::string error;
        EXPECT_TRUE(compiler.Compile(MKCONTENT_SOURCE_DIR, compiled, error)) << error;
        EXPECT_TRUE(ContentValidator::Check(compiled, error)) << error;
        return compiled;
    }();
    return content;
}

std::vector<uint32_t> KeysetMembers(uint32_t handle) {
    const ContentEntry* entry = Content().Find(handle & 0x7FFF);
    if (entry == nullptr) return {};
    LittleEndianReader reader(entry->payload.data(), entry->payload.size());
    std::vector<uint32_t> members(reader.U16());
    for (uint32_t& member : members) member = reader.U32();
    return members;
}

const std::vector<uint8_t>& Payload(uint32_t handle) {
    static const std::vector<uint8_t> none;
    const ContentEntry* entry = Content().Find(handle & 0x7FFF);
    EXPECT_NE(entry, nullptr) << handle;
    return entry != nullptr ? entry->payload : none;
}

bool OpenStream(CArrayInputStream& stream, const std::vector<uint8_t>& bytes) {
    return stream.Open(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// The actor types the spawns of a compiled map make, read by the game.
std::set<int32_t> SpawnedTypes(const LevelMapData& map) {
    std::set<int32_t> types;
    for (const LevelSpawn& spawn : map.Spawns()) {
        if (spawn.templateIndex != kNoTemplate) types.insert(map.Templates()[static_cast<size_t>(spawn.templateIndex)].type);
    }
    return types;
}

struct LoadedLevel {
    LevelMapData map;
    LevelScriptData scripts;
};

const std::vector<LoadedLevel>& Loaded() {
    static const std::vector<LoadedLevel> levels = [] {
        std::vector<LoadedLevel> loaded(GameLevelRules::kLevelCount);
        const std::vector<uint32_t> maps = KeysetMembers(kMapsKeyset);
        const std::vector<uint32_t> scripts = KeysetMembers(kScriptsKeyset);
        for (size_t level = 0; level < loaded.size() && level < maps.size() && level < scripts.size(); ++level) {
            CArrayInputStream mapStream;
            CArrayInputStream scriptStream;
            EXPECT_TRUE(OpenStream(mapStream, Payload(maps[level])) && loaded[level].map.Read(mapStream)) << level;
            EXPECT_TRUE(OpenStream(scriptStream, Payload(scripts[level])) && loaded[level].scripts.Read(scriptStream))
                << level;
        }
        return loaded;
    }();
    return levels;
}

TEST(ContentLevels, TheArchiveHoldsNineLevelsInOrder) {
    const std::vector<uint32_t> maps = KeysetMembers(kMapsKeyset);
    const std::vector<uint32_t> scripts = KeysetMembers(kScriptsKeyset);
    ASSERT_EQ(maps.size(), 9u);
    ASSERT_EQ(scripts.size(), 9u);
    for (size_t level = 0; level < 9; ++level) {
        EXPECT_EQ(Content().Find(maps[level] & 0x7FFF)->typeWord, ContentTypes::kBinary);
        EXPECT_EQ(Content().Find(scripts[level] & 0x7FFF)->typeWord, ContentTypes::kBinary);
        // A script group member must not be one the game's group reader drops.
        EXPECT_NE(scripts[level] & 0xFFFFF000, 0x02000000u);
    }
    for (uint32_t group : {0x0500010Au, 0x0500010Bu, 0x0500010Cu}) EXPECT_EQ(KeysetMembers(group).size(), 3u);
}

TEST(ContentLevels, EveryLevelPassesTheGamesReaders) {
    const uint32_t dialogue = static_cast<uint32_t>(KeysetMembers(kDialogueKeyset).size());
    ASSERT_GT(dialogue, 0u);
    for (size_t level = 0; level < Loaded().size(); ++level) {
        const LevelMapData& map = Loaded()[level].map;
        const LevelScriptData& scripts = Loaded()[level].scripts;
        SCOPED_TRACE("level " + std::to_string(level));
        ASSERT_TRUE(map.PlayerStart().present);
        EXPECT_EQ(map.PlayerStart().IsFormB(), level == 2 || level == 4 || level == 6);
        EXPECT_GE(map.TileLayer().width, 14);
        EXPECT_GE(map.TileLayer().height, 14);
        ASSERT_TRUE(map.HasBackground());
        EXPECT_EQ(map.Background().width, map.TileLayer().width);
        // Every spawn kept its template: the reader dropped nothing.
        for (const LevelSpawn& spawn : map.Spawns()) EXPECT_NE(spawn.templateIndex, kNoTemplate);
        for (const LevelTemplate& record : map.Templates()) {
            EXPECT_TRUE(record.present);
            EXPECT_TRUE(record.HasSprite());
        }
        ASSERT_NE(scripts.FindScript(1), kScriptNoIndex);
        bool completes = false;
        for (const LevelScript& script : scripts.Scripts()) {
            for (const LevelScriptCommand& command : script.commands) {
                completes = completes || command.opcode == 7;
                if (const auto* message = std::get_if<ScriptMessageOperands>(&command.operands)) {
                    EXPECT_LT(static_cast<uint32_t>(message->text), dialogue);
                }
                if (const auto* actor = std::get_if<ScriptActorOperands>(&command.operands)) {
                    EXPECT_NE(map.ActorRef(actor->ref), LevelMapData::kNoSpawn);
                }
            }
        }
        EXPECT_TRUE(completes);
    }
}

TEST(ContentLevels, TheMapSpriteTableIsTheGames) {
    for (int32_t index = 0; index < GameLevelRules::kSpriteTableSize; ++index) {
        EXPECT_EQ(GameLevelRules::SpriteSetFor(index), LevelMapData::SpriteSetFor(static_cast<uint32_t>(index))) << index;
    }
}

// Where a player meets each actor type: spawned by a level's map, or made
// in play by another actor (then its maker must be in that level).
struct Appearance {
    int32_t type;
    std::vector<int32_t> levels;
    int32_t madeBy;  // -1: spawned by the map
};

TEST(ContentLevels, EveryActorTypeAppearsWhereAPlayerMeetsIt) {
    const std::vector<Appearance> table = {
        {1, {2, 6}, -1},          {3, {1, 2, 3, 5, 6, 7, 8}, -1},
        {4, {0}, -1},             {6, {0, 2, 3, 4, 8}, -1},
        {8, {2}, -1},             {9, {2}, 8},
        {12, {3, 7}, -1},         {14, {1, 6, 7}, -1},
        {17, {2}, 1},             {19, {1}, -1},
        {21, {0, 1, 2, 3, 4, 5, 6, 7, 8}, -1},
        {24, {0, 8}, -1},         {25, {0, 1, 2, 3, 4, 5, 6, 7, 8}, -1},
        {27, {0, 5, 7}, -1},      {28, {0}, -1},
        {30, {0}, -1},            {31, {3}, -1},
        {35, {8}, -1},            {36, {8}, -1},
        {37, {8}, 35},            {38, {6}, -1},
        {40, {1, 6}, -1},         {41, {5}, -1},
        {42, {0, 5, 7}, -1},      {43, {1, 7}, -1},
        {44, {3, 7}, -1},         {45, {2, 4}, -1},
        {46, {1, 6}, -1},         {47, {2}, -1},
        {48, {2}, 56},         {49, {1, 7}, -1},
        {50, {2}, -1},            {51, {2}, -1},
        {52, {1, 7}, -1},         {53, {0, 2}, -1},
        {-1, {5}, -1},  // a decoration: the post the Warden returns to
        {54, {5}, -1},            {55, {5}, -1},
        {56, {2}, -1},            {57, {3}, -1},
        {58, {4}, -1},            {59, {3, 5, 7, 8}, -1},
        {61, {3}, -1},            {62, {3}, -1},
        {64, {1, 6}, -1},         {67, {5, 7}, -1},
        {68, {5}, 41},            {69, {1, 6}, -1},
    };
    std::vector<std::set<int32_t>> spawned;
    for (const LoadedLevel& level : Loaded()) spawned.push_back(SpawnedTypes(level.map));
    std::set<int32_t> listed;
    for (const Appearance& entry : table) {
        listed.insert(entry.type);
        for (int32_t level : entry.levels) {
            const int32_t needed = entry.madeBy < 0 ? entry.type : entry.madeBy;
            EXPECT_TRUE(spawned[static_cast<size_t>(level)].count(needed))
                << "type " << entry.type << " in level " << level;
        }
    }
    // Both player forms start somewhere, and the partner comes with every
    // level; every type a map spawns is in the table.
    bool formA = false;
    bool formB = false;
    for (const LoadedLevel& level : Loaded()) {
        formA = formA || !level.map.PlayerStart().IsFormB();
        formB = formB || level.map.PlayerStart().IsFormB();
    }
    EXPECT_TRUE(formA && formB);
    for (size_t level = 0; level < spawned.size(); ++level) {
        for (int32_t type : spawned[level]) EXPECT_TRUE(listed.count(type)) << "type " << type << " in level " << level;
    }
    // The three bosses wait in the last third of their levels.
    for (const auto& boss : std::vector<std::pair<int32_t, size_t>>{{56, 2}, {41, 5}, {35, 8}}) {
        const LevelMapData& map = Loaded()[boss.second].map;
        int32_t bossX = -1;
        for (const LevelSpawn& spawn : map.Spawns()) {
            if (map.Templates()[static_cast<size_t>(spawn.templateIndex)].type == boss.first) bossX = spawn.x;
        }
        EXPECT_GE(bossX, map.TileLayer().width * 24 * 2 / 3) << "boss " << boss.first;
    }
}

TEST(ContentLevels, LaterLevelsAreHarder) {
    // Hit points the enemies of a level bring, a rough measure that must
    // rise from the first third of the game to the last.
    auto toughness = [](const LevelMapData& map) {
        int32_t total = 0;
        for (const LevelSpawn& spawn : map.Spawns()) {
            switch (map.Templates()[static_cast<size_t>(spawn.templateIndex)].type) {
                case 1: total += 2700; break;
                case 3: total += 1350; break;
                case 6: total += 100; break;
                case 35: total += 14000; break;
                case 41: total += 10000; break;
                case 56: total += 1900; break;
                case 59: total += 3000; break;
                case 67: total += 6000; break;
                default: break;
            }
        }
        return total;
    };
    int32_t thirds[3] = {0, 0, 0};
    for (size_t level = 0; level < Loaded().size(); ++level) thirds[level / 3] += toughness(Loaded()[level].map);
    EXPECT_LT(thirds[0], thirds[1]);
    EXPECT_LT(thirds[1], thirds[2]);
}

// A rough model of where a player can get to, cell by cell (the player is
// one tile wide and two high): walk, fall, jump up to two tiles high and
// four across, climb a ledge up to three tiles high (first form only), ride
// lifts along their track, stand on blocks and crumbling ledges, be thrown
// far by a launch pad. Spikes and falling out of the map are the end.
class LevelWalker {
public:
    LevelWalker(const LevelMapData& map) : m_map(map), m_width(map.TileLayer().width), m_height(map.TileLayer().height) {
        for (const LevelSpawn& spawn : map.Spawns()) {
            const int32_t type = map.Templates()[static_cast<size_t>(spawn.templateIndex)].type;
            const int32_t column = spawn.x / 24;
            const int32_t row = (spawn.y - 1) / 24;
            if (type == 19 || type == 61 || type == 49) m_supports.insert(Key(column, row));
            if (type == 57) m_launchers.insert(Key(column, row));
        }
    }

    // Whether the player gets from its start to the last columns of the map.
    bool ReachesTheEnd(bool ledges) const {
        for (int32_t cell : Footholds(ledges)) {
            if (cell % kStride >= m_width - 6) return true;
        }
        return false;
    }
    // Whether a player standing somewhere it gets to touches the cell: at
    // its feet, at its head or, jumping, up to two tiles above that.
    bool Touches(int32_t column, int32_t row, bool ledges) const {
        const std::set<int32_t> footholds = Footholds(ledges);
        for (int32_t rise = 0; rise <= 3; ++rise) {
            if (footholds.count(Key(column, row + rise))) return true;
        }
        return false;
    }

private:
    // The cells the player's feet get to from its start.
    std::set<int32_t> Footholds(bool ledges) const {
        const LevelPlayerStart& start = m_map.PlayerStart();
        std::deque<int32_t> pending = {Key(start.x / 24, (start.y - 1) / 24)};
        std::set<int32_t> seen(pending.begin(), pending.end());
        while (!pending.empty()) {
            const int32_t column = pending.front() % kStride;
            const int32_t row = pending.front() / kStride;
            pending.pop_front();
            for (int32_t next : Moves(column, row, ledges)) {
                if (seen.insert(next).second) pending.push_back(next);
            }
        }
        return seen;
    }

    static constexpr int32_t kStride = 1024;
    static int32_t Key(int32_t column, int32_t row) { return row * kStride + column; }

    bool Inside(int32_t column, int32_t row) const {
        return column >= 0 && column < m_width && row < m_height;
    }
    bool Flag(int32_t column, int32_t row, uint32_t flag) const {
        if (row < 0) return flag == kTileFlagPassable;
        return m_map.TileTypes()[m_map.Collision().At(static_cast<uint32_t>(column), static_cast<uint32_t>(row))].HasFlag(
            flag);
    }
    bool Open(int32_t column, int32_t row) const {
        return Inside(column, row) && Flag(column, row, kTileFlagPassable) && !Flag(column, row, kTileFlagDeadly);
    }
    bool Track(int32_t column, int32_t row) const {
        return Inside(column, row) && row >= 0 && m_map.Collision().At(static_cast<uint32_t>(column),
                                                                       static_cast<uint32_t>(row)) == 9;
    }
    bool Support(int32_t column, int32_t row) const {
        if (!Inside(column, row) || row < 0) return false;
        return !Flag(column, row, kTileFlagPassable) || Flag(column, row, kTileFlagPlatform) || Track(column, row) ||
               m_supports.count(Key(column, row));
    }
    bool Stands(int32_t column, int32_t row) const {
        return Open(column, row) && Open(column, row - 1) && Support(column, row + 1);
    }
    // Where a fall down a column from `row` ends, or -1.
    int32_t Landing(int32_t column, int32_t row) const {
        for (int32_t y = row; Inside(column, y); ++y) {
            if (!Open(column, y)) return -1;
            if (Stands(column, y)) return y;
        }
        return -1;
    }
    bool ClearAbove(int32_t from, int32_t to, int32_t apex) const {
        for (int32_t column = std::min(from, to); column <= std::max(from, to); ++column) {
            if (!Open(column, apex) || !Open(column, apex - 1)) return false;
        }
        return true;
    }

    std::vector<int32_t> Moves(int32_t column, int32_t row, bool ledges) const {
        std::vector<int32_t> moves;
        const int32_t reach = m_launchers.count(Key(column, row)) ? 7 : 4;
        for (int32_t dc = -reach; dc <= reach; ++dc) {
            if (dc == 0) continue;
            const int32_t target = column + dc;
            // Walking off or jumping: any landing below the arc.
            for (int32_t rise = 2; rise >= 0; --rise) {
                const int32_t across = rise == 2 ? 2 : (rise == 1 ? 3 : reach);
                if (std::abs(dc) > across && reach == 4) continue;
                if (!ClearAbove(column, target, row - rise)) continue;
                const int32_t landing = Landing(target, row - rise);
                if (landing >= 0) moves.push_back(Key(target, landing));
            }
        }
        if (ledges) {
            for (int32_t dc : {-1, 1}) {
                int32_t top = row;
                while (Inside(column + dc, top) && top >= 0 && !Flag(column + dc, top, kTileFlagPassable)) --top;
                if (top < row && row - top <= 3 && Stands(column + dc, top)) moves.push_back(Key(column + dc, top));
            }
        }
        if (Track(column, row + 1)) {
            for (int32_t y = 0; y < m_height; ++y) {
                for (int32_t x = 0; x < m_width; ++x) {
                    if (Track(x, y) && Open(x, y - 1) && TrackConnected(column, row + 1, x, y)) {
                        moves.push_back(Key(x, y - 1));
                    }
                }
            }
        }
        return moves;
    }
    bool TrackConnected(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
        std::set<int32_t> seen = {Key(x0, y0)};
        std::vector<int32_t> pending = {Key(x0, y0)};
        while (!pending.empty()) {
            const int32_t x = pending.back() % kStride;
            const int32_t y = pending.back() / kStride;
            pending.pop_back();
            if (x == x1 && y == y1) return true;
            for (const auto& step : {std::pair<int32_t, int32_t>{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                if (Track(x + step.first, y + step.second) && seen.insert(Key(x + step.first, y + step.second)).second) {
                    pending.push_back(Key(x + step.first, y + step.second));
                }
            }
        }
        return false;
    }

    const LevelMapData& m_map;
    const int32_t m_width;
    const int32_t m_height;
    std::set<int32_t> m_supports;
    std::set<int32_t> m_launchers;
};

TEST(ContentLevels, EveryLevelCanBeWalkedToItsEnd) {
    for (size_t level = 0; level < Loaded().size(); ++level) {
        const LevelMapData& map = Loaded()[level].map;
        EXPECT_TRUE(LevelWalker(map).ReachesTheEnd(!map.PlayerStart().IsFormB())) << "level " << level;
    }
}

// What is there to collect, open or use (pickups, containers, dispensers)
// lies where the form that plays its level gets to touch it. The second
// form running by itself stays low and cannot jump: there only what lies in
// its own row.
TEST(ContentLevels, EveryPickupIsWithinReachOfTheFormThatPlaysItsLevel) {
    for (size_t level = 0; level < Loaded().size(); ++level) {
        const LevelMapData& map = Loaded()[level].map;
        const bool running = static_cast<int32_t>(level) == GameLevelRules::kAutoRunLevel;
        const int32_t runnerRow = (map.PlayerStart().y - 1) / GameLevelRules::kTileSize;
        const LevelWalker walker(map);
        for (const LevelSpawn& spawn : map.Spawns()) {
            const int32_t type = map.Templates()[static_cast<size_t>(spawn.templateIndex)].type;
            if (type != 24 && type != 25 && type != 64) continue;
            const int32_t column = spawn.x / GameLevelRules::kTileSize;
            const int32_t row = (spawn.y - 1) / GameLevelRules::kTileSize;
            const bool reached = running ? row == runnerRow : walker.Touches(column, row, !map.PlayerStart().IsFormB());
            EXPECT_TRUE(reached) << "level " << level << ": type " << type << " at column " << column << ", row " << row;
        }
    }
}

// The player grabs a ledge wherever its head meets a ledge tile, so a wall
// built of ledge tiles is grabbed halfway up and the climb ends inside the
// wall: a ledge tile is the top of its wall, with open air above it.
TEST(ContentLevels, EveryLedgeTileIsTheTopOfItsWall) {
    for (size_t level = 0; level < Loaded().size(); ++level) {
        const LevelMapData& map = Loaded()[level].map;
        const auto ledge = [&map](uint32_t column, uint32_t row) {
            return map.TileTypes()[map.Collision().At(column, row)].HasFlag(kTileFlagLedge);
        };
        for (uint32_t row = 1; row < map.Collision().height; ++row) {
            for (uint32_t column = 0; column < map.Collision().width; ++column) {
                if (!ledge(column, row)) continue;
                EXPECT_TRUE(map.TileTypes()[map.Collision().At(column, row - 1)].HasFlag(kTileFlagPassable))
                    << "level " << level << ", column " << column << ", row " << row;
            }
        }
    }
}

// The second form running by itself stays low: it neither jumps nor
// strikes, and only the first form's charge ends a large enemy. Its way to
// the end is the ground row it starts on, without a gap, spikes or a large
// enemy standing on it.
TEST(ContentLevels, TheSecondFormRunningByItselfRunsOnSolidGroundToTheEnd) {
    const LevelMapData& map = Loaded()[GameLevelRules::kAutoRunLevel].map;
    ASSERT_TRUE(map.PlayerStart().IsFormB());
    const auto flag = [&map](uint32_t column, uint32_t row, uint32_t bit) {
        return map.TileTypes()[map.Collision().At(column, row)].HasFlag(bit);
    };
    const uint32_t startColumn = static_cast<uint32_t>(map.PlayerStart().x / GameLevelRules::kTileSize);
    const uint32_t row = static_cast<uint32_t>((map.PlayerStart().y - 1) / GameLevelRules::kTileSize);
    for (uint32_t column = startColumn; column < map.Collision().width; ++column) {
        EXPECT_TRUE(flag(column, row, kTileFlagPassable) && !flag(column, row, kTileFlagDeadly)) << "column " << column;
        EXPECT_TRUE(flag(column, row + 1, kTileFlagPlatform) && !flag(column, row + 1, kTileFlagDeadly))
            << "no ground under column " << column;
    }
    for (const LevelSpawn& spawn : map.Spawns()) {
        const int32_t type = map.Templates()[static_cast<size_t>(spawn.templateIndex)].type;
        const bool large = type == 1 || type == 3 || type == 59 || type == 67;
        EXPECT_FALSE(large && (spawn.y - 1) / GameLevelRules::kTileSize == static_cast<int32_t>(row))
            << "a large enemy of type " << type << " at column " << spawn.x / GameLevelRules::kTileSize;
    }
}

// The flying boss of type 56 is hurt only when its own bomb goes off, and
// only a shot sets a lying bomb off: the first form's blows pass through
// it. Its level is played by the second form.
TEST(ContentLevels, TheFlyingBossIsFoughtByTheSecondForm) {
    int32_t levels = 0;
    for (size_t level = 0; level < Loaded().size(); ++level) {
        const LevelMapData& map = Loaded()[level].map;
        if (SpawnedTypes(map).count(56) == 0) continue;
        ++levels;
        EXPECT_TRUE(map.PlayerStart().IsFormB()) << "level " << level;
    }
    EXPECT_GT(levels, 0);
}

// A switch of type 28 or 55 in its struck mode (its second data byte 2)
// answers only what the collision list holds (shots, mines, rocks): the
// first form's blows pass through it, so its door would stay shut for good.
TEST(ContentLevels, AStruckSwitchIsOnlyWhereTheSecondFormShoots) {
    constexpr int8_t kStruckMode = 2;
    for (size_t level = 0; level < Loaded().size(); ++level) {
        const LevelMapData& map = Loaded()[level].map;
        if (map.PlayerStart().IsFormB()) continue;
        for (const LevelSpawn& spawn : map.Spawns()) {
            if (spawn.templateIndex == kNoTemplate) continue;
            const LevelTemplate& made = map.Templates()[static_cast<size_t>(spawn.templateIndex)];
            if (made.type != 28 && made.type != 55) continue;
            const int8_t mode = made.extraData.size() > 1 ? made.extraData[1] : 0;
            EXPECT_NE(mode, kStruckMode) << "level " << level << ", column " << spawn.x / GameLevelRules::kTileSize;
        }
    }
}

// A script signal reaches only an actor in play, and a spawn comes into
// play once the view centre is within its template's range; a signal sent
// to one still out of range is lost, and a boss woken by nothing else
// sleeps for good. A script that waits for the player to reach an area and
// then signals must start close enough to the actor it signals.
TEST(ContentLevels, AnActorASignalWakesIsInPlayWhenItsScriptStarts) {
    int32_t checked = 0;
    for (size_t level = 0; level < Loaded().size(); ++level) {
        const LevelMapData& map = Loaded()[level].map;
        for (const LevelScript& script : Loaded()[level].scripts.Scripts()) {
            const ScriptWaitOperands* area = nullptr;
            for (const LevelScriptCommand& command : script.commands) {
                const auto* wait = std::get_if<ScriptWaitOperands>(&command.operands);
                if (wait != nullptr && wait->kind == kScriptWaitArea && area == nullptr) area = wait;
                const auto* signalled = std::get_if<ScriptActorOperands>(&command.operands);
                if (command.opcode != kSignalOpcode || signalled == nullptr || area == nullptr) continue;
                const int16_t spawnIndex = map.ActorRef(signalled->ref);
                ASSERT_GE(spawnIndex, 0) << "level " << level;
                const LevelSpawn& spawn = map.Spawns()[static_cast<size_t>(spawnIndex)];
                const LevelTemplate& made = map.Templates()[static_cast<size_t>(spawn.templateIndex)];
                if (made.horizontalRange <= 0) continue;
                const int32_t columns = std::abs(spawn.x - area->x) / GameLevelRules::kTileSize;
                EXPECT_LE(columns, static_cast<int32_t>(made.horizontalRange))
                    << "level " << level << ": the actor at column " << spawn.x / GameLevelRules::kTileSize
                    << " is signalled from column " << area->x / GameLevelRules::kTileSize;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}

// Once its weak part is gone the armoured boss of type 35 is hurt only by
// what the collision list holds: the first form's blows pass through it. A
// mine knocked into it or going off beside it is that form's weapon, so
// mines wait near the boss, out of the first form's way while it fights the
// part.
TEST(ContentLevels, TheArmouredBossHasMinesBesideIt) {
    constexpr int32_t kMineType = 6;
    constexpr int32_t kArmouredBossType = 35;
    constexpr int32_t kNearColumns = 8;
    int32_t bosses = 0;
    for (size_t level = 0; level < Loaded().size(); ++level) {
        const LevelMapData& map = Loaded()[level].map;
        if (map.PlayerStart().IsFormB()) continue;
        const auto typeOf = [&map](const LevelSpawn& spawn) {
            return spawn.templateIndex == kNoTemplate ? -1 : map.Templates()[static_cast<size_t>(spawn.templateIndex)].type;
        };
        for (const LevelSpawn& boss : map.Spawns()) {
            if (typeOf(boss) != kArmouredBossType) continue;
            ++bosses;
            const bool mineNear = std::any_of(map.Spawns().begin(), map.Spawns().end(), [&](const LevelSpawn& mine) {
                return typeOf(mine) == kMineType &&
                       std::abs(mine.x - boss.x) <= kNearColumns * GameLevelRules::kTileSize;
            });
            EXPECT_TRUE(mineNear) << "level " << level << ": no mine near the boss at column "
                                  << boss.x / GameLevelRules::kTileSize;
        }
    }
    EXPECT_GT(bosses, 0);
}

TEST(ContentLevels, TheWalkerFindsAWallTooHighAndAPitTooWide) {
    // The walker itself, on the first level with a hurdle added: a wall four
    // tiles high stops the first form, and so does a pit five tiles wide.
    const LevelMapData& original = Loaded()[0].map;
    ASSERT_TRUE(LevelWalker(original).ReachesTheEnd(true));
    auto blocked = [&](int32_t firstColumn, int32_t lastColumn, int32_t firstRow, int32_t lastRow, uint8_t code) {
        LevelMapData map = original;
        auto& cells = const_cast<std::vector<uint8_t>&>(map.Collision().cells);
        for (int32_t row = firstRow; row <= lastRow; ++row) {
            for (int32_t column = firstColumn; column <= lastColumn; ++column) {
                cells[static_cast<size_t>(row) * map.Collision().width + static_cast<size_t>(column)] = code;
            }
        }
        return !LevelWalker(map).ReachesTheEnd(true);
    };
    const uint8_t solid = 0;
    const uint8_t empty = static_cast<uint8_t>(original.EmptyCode());
    EXPECT_TRUE(blocked(20, 20, 10, 13, solid));
    EXPECT_FALSE(blocked(20, 20, 11, 13, 3));  // three tiles: climbed by its ledge
    EXPECT_TRUE(blocked(20, 24, 14, 15, empty));
    EXPECT_FALSE(blocked(20, 22, 14, 15, empty));
}

TEST(ContentLevels, CompilingTheContentTakesSeconds) {
    const auto start = std::chrono::steady_clock::now();
    CompiledContent compiled;
    ContentCompiler compiler;
    std::string error;
    ASSERT_TRUE(compiler.Compile(MKCONTENT_SOURCE_DIR, compiled, error)) << error;
    ASSERT_TRUE(ContentValidator::Check(compiled, error)) << error;
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 20.0);
}

}  // namespace
