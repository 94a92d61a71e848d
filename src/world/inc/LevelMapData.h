#ifndef LEVELMAPDATA_H
#define LEVELMAPDATA_H

// Reads a level map stream into plain records, section by section so that
// the world's loader can spread the work over its load steps:
//
//   map.ReadBackground(stream);  map.ReadTileTypes(stream);
//   map.ReadCollision(stream);   map.ReadTileLayer(stream);
//   map.ReadTemplateCount(stream);
//   map.ReadTemplates(stream, k); map.ReadTemplates(stream, 2 * k); ...
//   map.ReadSpawns(stream);      map.ReadReferences(stream);
//
// or map.Read(stream) for all of it. The stream is read big-endian (each
// call sets its swap flag). Each call answers false, with a debug
// line, for a truncated stream, a layer that does not fit what is left of
// it, or a call out of order; the records read so far stay as they are.
// Indexes the map names outside their tables are refused one by one, each
// with a debug line, and the map still loads: an unknown actor type makes
// the template absent, a bad collision code becomes the empty code, a spawn
// of an unusable template stays empty, a reference outside the table is
// dropped.

#include <array>
#include <cstdint>
#include <vector>

#include "LevelMapRecords.h"

class CInputStream;

class LevelMapData {
public:
    // Actor types the game has behaviours for: 0 .. kActorTypeCount - 1.
    static constexpr int32_t kActorTypeCount = 70;
    // Entries of the actor-reference table.
    static constexpr uint32_t kActorRefCount = 40;
    // An actor reference that names no spawn.
    static constexpr int16_t kNoSpawn = -1;
    // Entries of the sprite-set table the template sprite byte indexes.
    static constexpr uint32_t kSpriteTableSize = 64;
    // Flag bytes kept per tile type at the least.
    static constexpr uint32_t kMinTileFlags = 6;
    // Built-in tile types appended after the map's own.
    static constexpr uint32_t kBuiltInTileTypes = 4;

    // Sprite set of a sprite byte (bit 7 clear), kNoSpriteSet for none or
    // for an index past the table.
    static int8_t SpriteSetFor(uint32_t spriteIndex);

    // Forgets every record; the next read must be ReadBackground.
    void Clear();

    bool Read(CInputStream& in);
    bool ReadBackground(CInputStream& in);
    bool ReadTileTypes(CInputStream& in);
    bool ReadCollision(CInputStream& in);
    bool ReadTileLayer(CInputStream& in);
    bool ReadTemplateCount(CInputStream& in);
    // Reads the next templates up to, not including, index `end` (or to the
    // last); a call with nothing left to read does nothing and succeeds.
    bool ReadTemplates(CInputStream& in, uint32_t end);
    bool ReadSpawns(CInputStream& in);
    bool ReadReferences(CInputStream& in);

    bool HasBackground() const { return m_hasBackground; }
    const LevelTileLayer& Background() const { return m_background; }

    // The map's own tile types, codes 0 .. n - 1.
    uint32_t TileTypeCount() const { return m_tileTypeCount; }
    // The map's tile types followed by the four built-in ones.
    const std::vector<LevelTileType>& TileTypes() const { return m_tileTypes; }
    // Built-in codes: an empty cell, and what the tile queries report above,
    // beside and below the map.
    uint32_t EmptyCode() const { return m_tileTypeCount; }
    uint32_t AboveCode() const { return m_tileTypeCount + 1; }
    uint32_t BesideCode() const { return m_tileTypeCount + 2; }
    uint32_t BelowCode() const { return m_tileTypeCount + 3; }

    // Collision codes 0 .. n, n the empty code; the same size as the main
    // layer.
    const LevelTileLayer& Collision() const { return m_collision; }
    const LevelTileLayer& TileLayer() const { return m_tiles; }

    uint32_t TemplateCount() const { return static_cast<uint32_t>(m_templates.size()); }
    uint32_t TemplatesRead() const { return m_templatesRead; }
    const std::vector<LevelTemplate>& Templates() const { return m_templates; }
    const std::vector<LevelSpawn>& Spawns() const { return m_spawns; }

    // Spawn index per reference: 0 unless a record set it (kNoSpawn when
    // the map has no spawn 0), kNoSpawn when a record named a spawn the map
    // does not have.
    const std::array<int16_t, kActorRefCount>& ActorRefs() const { return m_actorRefs; }
    // kNoSpawn outside the table.
    int16_t ActorRef(int32_t index) const;
    const LevelPlayerStart& PlayerStart() const { return m_playerStart; }

private:
    static constexpr std::array<int16_t, kActorRefCount> UnsetRefs(int16_t spawn) {
        std::array<int16_t, kActorRefCount> refs{};
        refs.fill(spawn);
        return refs;
    }

    enum class Section { Background, TileTypes, Collision, TileLayer, TemplateCount, Templates, Spawns,
                         References, Done };

    bool Begin(CInputStream& in, Section section, const char* what);
    bool Finish(CInputStream& in, Section next, const char* what);
    bool ReadLayer(CInputStream& in, LevelTileLayer* layer, const char* what);
    void AppendBuiltInTileTypes();
    uint8_t CheckedCollisionCode(int8_t code) const;
    void ReadTemplate(CInputStream& in, uint32_t index);
    void ResolveSprite(LevelTemplate* record, uint32_t index) const;
    int16_t CheckedSpawnTemplate(int8_t templateIndex, uint32_t spawn) const;
    void ReadReference(CInputStream& in, uint32_t record);

    Section m_next = Section::Background;
    bool m_hasBackground = false;
    LevelTileLayer m_background;
    uint32_t m_tileTypeCount = 0;
    std::vector<LevelTileType> m_tileTypes;
    LevelTileLayer m_collision;
    LevelTileLayer m_tiles;
    std::vector<LevelTemplate> m_templates;
    uint32_t m_templatesRead = 0;
    std::vector<LevelSpawn> m_spawns;
    std::array<int16_t, kActorRefCount> m_actorRefs = UnsetRefs(kNoSpawn);
    LevelPlayerStart m_playerStart;
};

#endif
