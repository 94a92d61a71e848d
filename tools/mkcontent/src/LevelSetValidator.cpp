#include "LevelSetValidator.h"

#include "BitmapFile.h"
#include "ContentTypes.h"
#include "GameLevelRules.h"
#include "LevelValidator.h"
#include "LittleEndianReader.h"
#include "ToolText.h"

#include <set>

namespace {

constexpr uint32_t kTilesetGroup = 0x0500010A;
constexpr uint32_t kBackgroundTilesetGroup = 0x0500010B;
constexpr uint32_t kBackgroundGroup = 0x0500010C;
constexpr uint16_t kTilesets = 3;
constexpr uint32_t kAttrImageEntry = 14;

std::vector<uint32_t> Members(const ContentEntry& keyset) {
    LittleEndianReader reader(keyset.payload.data(), keyset.payload.size());
    std::vector<uint32_t> members(reader.U16());
    for (uint32_t& member : members) member = reader.U32();
    return members;
}

// The bitmap an image descriptor names (its last pair), or null.
const ContentEntry* BitmapOf(const CompiledContent& content, const ContentEntry& descriptor) {
    const std::vector<uint8_t>& pairs = descriptor.payload;
    if (pairs.size() < 8) return nullptr;
    LittleEndianReader reader(pairs.data() + pairs.size() - 8, 8);
    if (reader.U32() != kAttrImageEntry) return nullptr;
    return content.Find(ContentHandles::ArchiveId(reader.U32()));
}

}  // namespace

bool LevelSetValidator::Check(const CompiledContent& content, std::string& error) {
    if (content.levels.empty()) return true;
    std::set<int32_t> indexes;
    for (const CompiledLevel& level : content.levels) indexes.insert(level.index);
    for (int32_t index = 0; index < GameLevelRules::kLevelCount; ++index) {
        if (!indexes.count(index)) {
            return SourceText::Fail(content.levelsPlace, "level " + std::to_string(index) + " is missing: the game has "
                                                                                           "nine, 0 to 8",
                                    error);
        }
    }
    if (!CheckImageGroup(content, kTilesetGroup, true, error) ||
        !CheckImageGroup(content, kBackgroundTilesetGroup, true, error) ||
        !CheckImageGroup(content, kBackgroundGroup, false, error) || !CheckDialogue(content, error)) {
        return false;
    }
    const size_t spriteSets = content.sprites.empty() ? 0 : content.sprites[0].sets.size();
    for (const CompiledLevel& level : content.levels) {
        if (!LevelValidator::Check(level, spriteSets, error)) return false;
    }
    return true;
}

bool LevelSetValidator::CheckImageGroup(const CompiledContent& content, uint32_t handle, bool wholeTiles,
                                        std::string& error) {
    const ContentEntry* group = content.Find(ContentHandles::ArchiveId(handle));
    const SourcePlace& place = group != nullptr ? group->origin : content.levelsPlace;
    if (group == nullptr || group->typeWord != ContentTypes::kKeyset) {
        return SourceText::Fail(place, "the levels need the image group " + ToolText::Hex32(handle), error);
    }
    const std::vector<uint32_t> members = Members(*group);
    if (members.size() != kTilesets) {
        return SourceText::Fail(place, "image group " + ToolText::Hex32(handle) + " has one image per tileset: three",
                                error);
    }
    for (uint32_t member : members) {
        const ContentEntry* image = content.Find(ContentHandles::ArchiveId(member));
        const ContentEntry* bitmap = image != nullptr && image->typeWord == ContentTypes::kImageDescriptor
                                         ? BitmapOf(content, *image)
                                         : nullptr;
        BitmapInfo info;
        std::string reason;
        if (bitmap == nullptr || !BitmapFile::Inspect(bitmap->payload, info, reason)) {
            return SourceText::Fail(place, ToolText::Hex32(member) + " is not an image", error);
        }
        if (wholeTiles && (info.width % GameLevelRules::kTileSize != 0 || info.height % GameLevelRules::kTileSize != 0)) {
            return SourceText::Fail(image->origin, "tileset " + ToolText::Hex32(member) + " is not whole 24 x 24 tiles",
                                    error);
        }
    }
    return true;
}

bool LevelSetValidator::CheckDialogue(const CompiledContent& content, std::string& error) {
    if (content.dialogueTexts.empty()) return SourceText::Fail(content.levelsPlace, "the levels need dialogue", error);
    for (size_t i = 0; i < content.dialogueTexts.size(); ++i) {
        bool found = false;
        for (const ContentEntry& text : content.tables[0].texts) found = found || text.handle == content.dialogueTexts[i];
        if (!found) {
            return SourceText::Fail(content.dialoguePlaces[i],
                                    "string table 0 has no text " + ToolText::Hex32(content.dialogueTexts[i]), error);
        }
    }
    return true;
}
