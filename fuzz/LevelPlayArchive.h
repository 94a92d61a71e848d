#ifndef LEVELPLAYARCHIVE_H
#define LEVELPLAYARCHIVE_H

// The archive a level-play fuzz run loads from: light sprite data (every set
// alike: a 4 x 4 picture with a body box, an attack and a reach box, a low
// box; forty short animations), one tileset image, the dialogue key set and
// the level key sets, whose nine entries all name the input's map and
// script streams. Written by our own writers, in memory.

#include <cstdint>
#include <string>
#include <vector>

#include "BigArchiveWriter.h"
#include "LittleEndianWriter.h"
#include "SpriteBitmapWriter.h"
#include "SpriteData.h"
#include "SpriteDataWriter.h"

namespace levelplay {

constexpr uint32_t kImageType = 0xE179EFBE;
constexpr uint32_t kMapKeys = 0x5000108;
constexpr uint32_t kScriptKeys = 0x5000109;
constexpr uint32_t kMainTilesets = 0x500010A;
constexpr uint32_t kBackgroundTilesets = 0x500010B;
constexpr uint32_t kBackgroundImages = 0x500010C;
constexpr uint32_t kDialogueKeys = 0x500010D;
constexpr uint32_t kMapStream = 0x5000300;
constexpr uint32_t kScriptStream = 0x5000301;
constexpr uint32_t kTilesetImage = 0x5000400;
constexpr uint32_t kTilesetBitmap = 0x5000401;
constexpr uint32_t kLevels = 9;
constexpr uint32_t kTilesetGroupSize = 3;
constexpr int32_t kSetCount = 60;
constexpr int32_t kAnimations = 40;
constexpr uint16_t kFrameUnits = 10;
constexpr uint16_t kTileSize = 24;
// Image attributes: the colour format (any) and the bitmap shown.
constexpr uint32_t kAttributeFormat = 6;
constexpr uint32_t kAttributeBitmap = 14;
constexpr uint32_t kAnyFormat = 0xFFFFFFFF;
constexpr uint16_t kHeaderSize = 4;

// Modules: the picture, then the boxes by the attribute the behaviours read.
enum Module : uint16_t { kPicture = 0, kBody = 1, kAttack = 2, kReach = 3, kLow = 4 };

inline spritedata::Definition LightDefinition() {
    using namespace spritedata;
    spritedata::Definition definition;
    definition.slots = {{0, kNone}};
    definition.imageModules = {{0, 0, 0}};
    definition.rectModules = {{kBoxColour, 10, 20, 1}, {kBoxColour, 6, 4, 2}, {kBoxColour, 4, 4, 3},
                              {kBoxColour, 16, 8, 1}};
    definition.setCount = kSetCount;
    return definition;
}

// Animation a shows pose a mod 3: standing, striking, low.
inline spritedata::SpriteSet LightSet() {
    using namespace spritedata;
    spritedata::SpriteSet set;
    set.frames = {{{kPicture, -2, -4}, {kBody, -5, -20}},
                  {{kPicture, -2, -4}, {kBody, -5, -20}, {kAttack, 5, -14}, {kReach, -2, -30}},
                  {{kPicture, -2, -4}, {kLow, -8, -8}}};
    for (uint16_t f = 0; f < set.frames.size(); ++f) set.poses.push_back({{f, 0, 0}});
    for (int32_t a = 0; a < kAnimations; ++a) {
        const uint16_t pose = static_cast<uint16_t>(a % set.poses.size());
        set.animations.push_back({kAllTransforms, {{pose, kFrameUnits}, {pose, kFrameUnits}}});
    }
    set.sprites = {{{kPicture}, kNone}, {{kPicture}, kNone}};
    return set;
}

// A width x height picture of two colours in columns of one tile.
inline std::vector<uint8_t> Picture(int32_t width, int32_t height, int32_t column) {
    std::vector<uint8_t> indices(static_cast<size_t>(width * height));
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>((static_cast<int32_t>(i) % width) / column % 2);
    std::vector<uint8_t> bitmap;
    std::string error;
    SpriteBitmapWriter::EncodeIndexed(width, height, {0x30A050, 0x2040C0}, indices, &bitmap, &error);
    return bitmap;
}

// u16 count, then the ids, little-endian as the archive's.
inline std::vector<uint8_t> Keyset(const std::vector<uint32_t>& ids) {
    std::vector<uint8_t> bytes;
    LittleEndianWriter out(bytes);
    out.U16(static_cast<uint16_t>(ids.size()));
    for (uint32_t id : ids) out.U32(id);
    return bytes;
}

inline std::vector<uint8_t> ImageAttributes(uint32_t bitmap) {
    std::vector<uint8_t> bytes;
    LittleEndianWriter out(bytes);
    for (uint32_t word : {kAttributeFormat, kAnyFormat, kAttributeBitmap, SpriteDataWriter::ArchiveId(bitmap)}) {
        out.U32(word);
    }
    return bytes;
}

inline bool AddEntry(BigArchiveWriter& writer, uint32_t id, uint32_t type, const std::vector<uint8_t>& bytes,
                     std::string& error) {
    return writer.AddPayload(SpriteDataWriter::ArchiveId(id), type, bytes, false, kHeaderSize, error);
}

// An empty stream is left out: the level then misses it.
inline bool AddStream(BigArchiveWriter& writer, uint32_t id, const std::vector<uint8_t>& bytes, std::string& error) {
    return bytes.empty() || AddEntry(writer, id, SpriteDataWriter::kBinaryType, bytes, error);
}

// The whole archive around the given map and script streams.
inline bool Build(const std::vector<uint8_t>& map, const std::vector<uint8_t>& scripts, std::vector<uint8_t>& out,
                  std::string& error) {
    static const std::vector<spritedata::SpriteSet> sets(kSetCount, LightSet());
    static const std::vector<uint8_t> picture = Picture(4, 4, 2);
    static const std::vector<uint8_t> tileset = Picture(2 * kTileSize, kTileSize, kTileSize);
    BigArchiveWriter writer(IdTableForm::List);
    const uint32_t keys = SpriteDataWriter::kKeysetType;
    const std::vector<uint8_t> tilesets = Keyset(std::vector<uint32_t>(kTilesetGroupSize, kTilesetImage));
    return SpriteDataWriter::AddEmptyDirectory(writer, &error) &&
           SpriteDataWriter::AddToArchive(writer, spritedata::Ids(), LightDefinition(), sets, {picture}, false, &error) &&
           AddStream(writer, kMapStream, map, error) && AddStream(writer, kScriptStream, scripts, error) &&
           AddEntry(writer, kMapKeys, keys, Keyset(std::vector<uint32_t>(kLevels, kMapStream)), error) &&
           AddEntry(writer, kScriptKeys, keys, Keyset(std::vector<uint32_t>(kLevels, kScriptStream)), error) &&
           AddEntry(writer, kDialogueKeys, keys, Keyset({}), error) &&
           AddEntry(writer, kTilesetBitmap, SpriteDataWriter::kBmpType, tileset, error) &&
           AddEntry(writer, kTilesetImage, kImageType, ImageAttributes(kTilesetBitmap), error) &&
           AddEntry(writer, kMainTilesets, keys, tilesets, error) &&
           AddEntry(writer, kBackgroundTilesets, keys, tilesets, error) &&
           AddEntry(writer, kBackgroundImages, keys, tilesets, error) && writer.Build(out, error);
}

}  // namespace levelplay

#endif
