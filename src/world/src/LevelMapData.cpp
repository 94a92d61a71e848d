#include "LevelMapData.h"

#include "CAssert.h"
#include "CInputStream.h"

namespace {

// A template's type byte: bit 7 makes the record empty, 127 means no type.
constexpr uint8_t kEmptyTemplateBit = 0x80;
constexpr uint8_t kTypelessByte = 127;
// Sprite byte: bit 7 shares the sprite of an earlier template.
constexpr uint8_t kShareSpriteBit = 0x80;
constexpr uint8_t kSpriteIndexMask = 0x7F;
// The stored data length counts the flag and the two range bytes too.
constexpr uint8_t kTemplateLengthBias = 3;
constexpr uint8_t kCarrierFlag = 1;
constexpr int8_t kEmptyCollisionCode = -1;
// Bytes of one spawn record: s8 template, s16 x, s16 y.
constexpr uint32_t kSpawnRecordSize = 5;

// Sprite set of each sprite byte; -1 none.
constexpr int8_t kSpriteSets[LevelMapData::kSpriteTableSize] = {
    -1, 1,  -1, 2,  8,  6,  7,  -1, 5,  -1, 10, -1, 18, -1, 13, -1, -1, 14, -1, 38, -1, 34,
    -1, -1, 44, 17, -1, 19, 19, -1, 21, 22, -1, -1, -1, 50, 50, -1, 23, -1, 26, 49, 27, 29,
    28, 30, 24, 31, -1, 33, 32, 32, 35, 9,  36, 36, 40, 24, 40, 3,  41, 39, 43, -1};

// Flag bytes of the built-in tile types, in code order after the map's:
// empty cell, above the map, beside it (solid), below it.
constexpr uint8_t kBuiltInPassable[LevelMapData::kBuiltInTileTypes] = {1, 1, 0, 1};

}  // namespace

int8_t LevelMapData::SpriteSetFor(uint32_t spriteIndex) {
    return spriteIndex < kSpriteTableSize ? kSpriteSets[spriteIndex] : kNoSpriteSet;
}

void LevelMapData::Clear() { *this = LevelMapData(); }

bool LevelMapData::Read(CInputStream& in) {
    return ReadBackground(in) && ReadTileTypes(in) && ReadCollision(in) && ReadTileLayer(in) &&
           ReadTemplateCount(in) && ReadTemplates(in, TemplateCount()) && ReadSpawns(in) && ReadReferences(in);
}

int16_t LevelMapData::ActorRef(int32_t index) const {
    if (index < 0 || static_cast<uint32_t>(index) >= kActorRefCount) return kNoSpawn;
    return m_actorRefs[index];
}

// The stream is big-endian, whatever order its owner set.
bool LevelMapData::Begin(CInputStream& in, Section section, const char* what) {
    in.SetSwapBytes(1);
    if (m_next == section) return true;
    DebugPrintf("LevelMapData: %s read out of order", what);
    return false;
}

bool LevelMapData::Finish(CInputStream& in, Section next, const char* what) {
    if (in.HasError()) {
        DebugPrintf("LevelMapData: the stream ends inside the %s", what);
        return false;
    }
    m_next = next;
    return true;
}

bool LevelMapData::ReadLayer(CInputStream& in, LevelTileLayer* layer, const char* what) {
    layer->width = in.ReadUInt16();
    layer->height = in.ReadUInt16();
    const uint32_t cells = static_cast<uint32_t>(layer->width) * layer->height;
    if (in.HasError() || cells > in.Available()) {
        DebugPrintf("LevelMapData: %s of %u x %u tiles is longer than the %u bytes left", what, layer->width,
                    layer->height, in.Available());
        *layer = LevelTileLayer();
        return false;
    }
    layer->cells.resize(cells);
    in.Read(layer->cells.data(), cells);
    return true;
}

bool LevelMapData::ReadBackground(CInputStream& in) {
    Clear();
    if (!Begin(in, Section::Background, "background layer")) return false;
    m_hasBackground = in.ReadUInt8() != 0;
    if (m_hasBackground && !ReadLayer(in, &m_background, "background layer")) return false;
    return Finish(in, Section::TileTypes, "background layer");
}

bool LevelMapData::ReadTileTypes(CInputStream& in) {
    if (!Begin(in, Section::TileTypes, "tile types")) return false;
    m_tileTypeCount = in.ReadUInt8();
    m_tileTypes.assign(m_tileTypeCount, LevelTileType());
    for (LevelTileType& type : m_tileTypes) {
        const uint32_t length = in.ReadUInt8();
        type.flagBytes.assign(length < kMinTileFlags ? kMinTileFlags : length, 0);
        in.Read(type.flagBytes.data(), length);
    }
    AppendBuiltInTileTypes();
    return Finish(in, Section::Collision, "tile types");
}

void LevelMapData::AppendBuiltInTileTypes() {
    for (uint8_t passable : kBuiltInPassable) {
        LevelTileType type;
        type.flagBytes.assign(kMinTileFlags, 0);
        type.flagBytes[kTileFlagPassable] = passable;
        m_tileTypes.push_back(type);
    }
}

bool LevelMapData::ReadCollision(CInputStream& in) {
    if (!Begin(in, Section::Collision, "collision layer")) return false;
    if (!ReadLayer(in, &m_collision, "collision layer")) return false;
    uint32_t refused = 0;
    for (uint32_t cell = 0; cell < m_collision.cells.size(); ++cell) {
        const int8_t code = static_cast<int8_t>(m_collision.cells[cell]);
        m_collision.cells[cell] = CheckedCollisionCode(code);
        if (code != kEmptyCollisionCode && m_collision.cells[cell] == EmptyCode()) ++refused;
    }
    if (refused != 0) {
        DebugPrintf("LevelMapData: %u collision cells name tile types outside 0..%d, read as empty", refused,
                    static_cast<int>(m_tileTypeCount) - 1);
    }
    return Finish(in, Section::TileLayer, "collision layer");
}

// Codes are kept unsigned, 0 .. n, so that maps of 128 tile types or more
// still have an empty code of their own.
uint8_t LevelMapData::CheckedCollisionCode(int8_t code) const {
    if (code >= 0 && static_cast<uint32_t>(code) < m_tileTypeCount) return static_cast<uint8_t>(code);
    return static_cast<uint8_t>(EmptyCode());
}

bool LevelMapData::ReadTileLayer(CInputStream& in) {
    if (!Begin(in, Section::TileLayer, "main tile layer")) return false;
    if (!ReadLayer(in, &m_tiles, "main tile layer")) return false;
    if (m_tiles.width != m_collision.width || m_tiles.height != m_collision.height) {
        DebugPrintf("LevelMapData: main tile layer of %u x %u tiles, collision layer of %u x %u", m_tiles.width,
                    m_tiles.height, m_collision.width, m_collision.height);
        return false;
    }
    return Finish(in, Section::TemplateCount, "main tile layer");
}

bool LevelMapData::ReadTemplateCount(CInputStream& in) {
    if (!Begin(in, Section::TemplateCount, "template count")) return false;
    m_templates.assign(in.ReadUInt8(), LevelTemplate());
    m_templatesRead = 0;
    return Finish(in, m_templates.empty() ? Section::Spawns : Section::Templates, "template count");
}

bool LevelMapData::ReadTemplates(CInputStream& in, uint32_t end) {
    if (m_next == Section::Spawns && m_templatesRead == TemplateCount()) return true;
    if (!Begin(in, Section::Templates, "templates")) return false;
    const uint32_t last = end < TemplateCount() ? end : TemplateCount();
    for (; m_templatesRead < last; ++m_templatesRead) ReadTemplate(in, m_templatesRead);
    return Finish(in, m_templatesRead == TemplateCount() ? Section::Spawns : Section::Templates, "templates");
}

void LevelMapData::ReadTemplate(CInputStream& in, uint32_t index) {
    LevelTemplate& record = m_templates[index];
    const uint8_t typeByte = in.ReadUInt8();
    if ((typeByte & kEmptyTemplateBit) != 0) return;
    record.spriteByte = in.ReadUInt8();
    record.anchor = in.ReadInt8();
    const uint8_t lengthByte = in.ReadUInt8();
    record.createFlag = in.ReadUInt8() == kCarrierFlag ? 1 : 0;
    record.horizontalRange = in.ReadInt8();
    record.verticalRange = in.ReadInt8();
    if (lengthByte < kTemplateLengthBias) {
        DebugPrintf("LevelMapData: template %u has length byte %u, below %u: no data", index, lengthByte,
                    kTemplateLengthBias);
    } else {
        record.extraData.resize(lengthByte - kTemplateLengthBias);
        in.Read(record.extraData.data(), static_cast<uint32_t>(record.extraData.size()));
    }
    if (typeByte != kTypelessByte && typeByte >= kActorTypeCount) {
        DebugPrintf("LevelMapData: template %u has actor type %u, outside 0..%d: left empty", index, typeByte,
                    kActorTypeCount - 1);
        return;
    }
    record.type = typeByte == kTypelessByte ? kNoActorType : static_cast<int8_t>(typeByte);
    record.present = true;
    ResolveSprite(&record, index);
}

// A shared sprite is copied only from an earlier template that has one;
// otherwise the table gives the set, as for an unshared byte.
void LevelMapData::ResolveSprite(LevelTemplate* record, uint32_t index) const {
    const uint32_t spriteIndex = record->spriteByte & kSpriteIndexMask;
    if (spriteIndex >= kSpriteTableSize) {
        DebugPrintf("LevelMapData: template %u names sprite entry %u, outside 0..%u: no sprite", index, spriteIndex,
                    kSpriteTableSize - 1);
        return;
    }
    if ((record->spriteByte & kShareSpriteBit) != 0) {
        if (spriteIndex < index && m_templates[spriteIndex].present && m_templates[spriteIndex].HasSprite()) {
            record->sharedTemplate = static_cast<int16_t>(spriteIndex);
            return;
        }
        DebugPrintf("LevelMapData: template %u shares the sprite of template %u, which has none before it: "
                    "sprite entry %u instead", index, spriteIndex, spriteIndex);
    }
    record->spriteSet = SpriteSetFor(spriteIndex);
}

bool LevelMapData::ReadSpawns(CInputStream& in) {
    if (!Begin(in, Section::Spawns, "spawns")) return false;
    int32_t count = in.ReadInt16();
    if (count < 0) {
        DebugPrintf("LevelMapData: negative spawn count %d read as 0", count);
        count = 0;
    }
    const uint32_t bytes = static_cast<uint32_t>(count) * kSpawnRecordSize;
    if (in.HasError() || bytes > in.Available()) {
        DebugPrintf("LevelMapData: %d spawns need %u bytes, %u are left", count, bytes, in.Available());
        return false;
    }
    m_spawns.assign(static_cast<uint32_t>(count), LevelSpawn());
    for (uint32_t i = 0; i < m_spawns.size(); ++i) {
        LevelSpawn& spawn = m_spawns[i];
        const int8_t templateIndex = in.ReadInt8();
        spawn.x = in.ReadInt16();
        spawn.y = in.ReadInt16();
        spawn.templateIndex = CheckedSpawnTemplate(templateIndex, i);
    }
    return Finish(in, Section::References, "spawns");
}

int16_t LevelMapData::CheckedSpawnTemplate(int8_t templateIndex, uint32_t spawn) const {
    if (templateIndex < 0 || static_cast<uint32_t>(templateIndex) >= TemplateCount()) {
        DebugPrintf("LevelMapData: spawn %u names template %d, outside 0..%d", spawn, templateIndex,
                    static_cast<int>(TemplateCount()) - 1);
        return kNoTemplate;
    }
    const LevelTemplate& record = m_templates[templateIndex];
    if (!record.present || !record.HasSprite()) {
        DebugPrintf("LevelMapData: spawn %u names template %d, which %s", spawn, templateIndex,
                    record.present ? "has no sprite" : "is empty");
        return kNoTemplate;
    }
    return templateIndex;
}

bool LevelMapData::ReadReferences(CInputStream& in) {
    if (!Begin(in, Section::References, "references")) return false;
    m_actorRefs = UnsetRefs(m_spawns.empty() ? kNoSpawn : 0);
    m_playerStart = LevelPlayerStart();
    int32_t count = in.ReadInt16();
    if (count < 0) {
        DebugPrintf("LevelMapData: negative reference count %d read as 0", count);
        count = 0;
    }
    for (uint32_t record = 0; record < static_cast<uint32_t>(count) && !in.HasError(); ++record) {
        ReadReference(in, record);
    }
    return Finish(in, Section::Done, "references");
}

void LevelMapData::ReadReference(CInputStream& in, uint32_t record) {
    const uint8_t kind = in.ReadUInt8();
    if (kind == kRefActor) {
        const uint8_t index = in.ReadUInt8();
        const int16_t spawn = in.ReadInt16();
        if (index >= kActorRefCount) {
            DebugPrintf("LevelMapData: reference record %u sets entry %u, outside 0..%u: ignored", record, index,
                        kActorRefCount - 1);
        } else if (spawn < 0 || static_cast<uint32_t>(spawn) >= m_spawns.size()) {
            DebugPrintf("LevelMapData: reference %u names spawn %d, which the map does not have", index, spawn);
            m_actorRefs[index] = kNoSpawn;
        } else {
            m_actorRefs[index] = spawn;
        }
        return;
    }
    if (kind == kRefPlayerFormARight || kind == kRefPlayerFormALeft || kind == kRefPlayerFormBRight ||
        kind == kRefPlayerFormBLeft) {
        m_playerStart.present = true;
        m_playerStart.kind = kind;
        m_playerStart.x = in.ReadInt16();
        m_playerStart.y = in.ReadInt16();
    }
}
