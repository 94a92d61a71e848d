#include "LevelMapWriter.h"

#include "BigEndianWriter.h"

namespace {

using namespace leveldata;

// The stored length byte of a template counts these three bytes (flag and
// the two ranges) besides the data.
constexpr uint32_t kTemplateLengthBias = 3;
constexpr uint8_t kTypelessByte = 127;

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

template <typename Cell>
bool CheckLayer(uint16_t width, uint16_t height, const std::vector<Cell>& cells, const char* name,
                std::string* error) {
    if (cells.size() == static_cast<size_t>(width) * height) return true;
    return Fail(error, std::string(name) + " holds " + std::to_string(cells.size()) + " cells, not " +
                           std::to_string(width) + " x " + std::to_string(height));
}

bool WriteBackground(const LevelMap& map, BigEndianWriter& out, std::string* error) {
    out.U8(map.hasBackground ? 1 : 0);
    if (!map.hasBackground) return true;
    const TileLayer& layer = map.background;
    if (!CheckLayer(layer.width, layer.height, layer.cells, "background layer", error)) return false;
    out.U16(layer.width);
    out.U16(layer.height);
    out.Bytes(layer.cells);
    return true;
}

bool WriteTileTypes(const LevelMap& map, BigEndianWriter& out, std::string* error) {
    if (map.tileTypes.size() > LevelMapWriter::kMaxTileTypes) return Fail(error, "more than 255 tile types");
    out.U8(static_cast<uint8_t>(map.tileTypes.size()));
    for (const TileType& type : map.tileTypes) {
        if (type.flags.size() > LevelMapWriter::kMaxFlagBytes) return Fail(error, "tile type of over 255 flags");
        out.U8(static_cast<uint8_t>(type.flags.size()));
        out.Bytes(type.flags);
    }
    return true;
}

bool WriteLayers(const LevelMap& map, BigEndianWriter& out, std::string* error) {
    const CollisionLayer& collision = map.collision;
    if (!CheckLayer(collision.width, collision.height, collision.codes, "collision layer", error)) return false;
    out.U16(collision.width);
    out.U16(collision.height);
    out.SignedBytes(collision.codes);
    const TileLayer& tiles = map.tiles;
    if (!CheckLayer(tiles.width, tiles.height, tiles.cells, "main tile layer", error)) return false;
    out.U16(tiles.width);
    out.U16(tiles.height);
    out.Bytes(tiles.cells);
    return true;
}

bool WriteTemplate(const Template& record, BigEndianWriter& out, std::string* error) {
    if (record.empty) {
        out.U8(kEmptyTemplateByte);
        return true;
    }
    if (record.type < kNoActorType) return Fail(error, "template type below -1");
    if (record.data.size() > LevelMapWriter::kMaxTemplateData) return Fail(error, "template data over 252 bytes");
    out.U8(record.type == kNoActorType ? kTypelessByte : static_cast<uint8_t>(record.type));
    out.U8(record.sprite);
    out.I8(record.anchor);
    out.U8(static_cast<uint8_t>(record.data.size() + kTemplateLengthBias));
    out.U8(record.flag);
    out.I8(record.horizontalRange);
    out.I8(record.verticalRange);
    out.SignedBytes(record.data);
    return true;
}

bool WriteTemplates(const LevelMap& map, BigEndianWriter& out, std::string* error) {
    if (map.templates.size() > LevelMapWriter::kMaxTemplates) return Fail(error, "more than 255 templates");
    out.U8(static_cast<uint8_t>(map.templates.size()));
    for (const Template& record : map.templates) {
        if (!WriteTemplate(record, out, error)) return false;
    }
    return true;
}

bool WriteSpawns(const LevelMap& map, BigEndianWriter& out, std::string* error) {
    if (map.spawns.size() > LevelMapWriter::kMaxRecords) return Fail(error, "more than 32767 spawns");
    out.I16(static_cast<int16_t>(map.spawns.size()));
    for (const Spawn& spawn : map.spawns) {
        out.I8(spawn.templateIndex);
        out.I16(spawn.x);
        out.I16(spawn.y);
    }
    return true;
}

void WriteReference(const Reference& reference, BigEndianWriter& out) {
    out.U8(reference.kind);
    switch (reference.kind) {
    case kRefActor:
        out.U8(reference.index);
        out.I16(reference.spawn);
        break;
    case kRefPlayerFormARight:
    case kRefPlayerFormALeft:
    case kRefPlayerFormBRight:
    case kRefPlayerFormBLeft:
        out.I16(reference.x);
        out.I16(reference.y);
        break;
    default:
        break;
    }
}

bool WriteReferences(const LevelMap& map, BigEndianWriter& out, std::string* error) {
    if (map.references.size() > LevelMapWriter::kMaxRecords) return Fail(error, "more than 32767 references");
    out.I16(static_cast<int16_t>(map.references.size()));
    for (const Reference& reference : map.references) WriteReference(reference, out);
    return true;
}

}  // namespace

bool LevelMapWriter::Encode(const LevelMap& map, std::vector<uint8_t>* out, std::string* error) {
    std::vector<uint8_t> bytes;
    BigEndianWriter writer(bytes);
    if (!WriteBackground(map, writer, error) || !WriteTileTypes(map, writer, error) ||
        !WriteLayers(map, writer, error) || !WriteTemplates(map, writer, error) ||
        !WriteSpawns(map, writer, error) || !WriteReferences(map, writer, error)) {
        return false;
    }
    *out = std::move(bytes);
    return true;
}
