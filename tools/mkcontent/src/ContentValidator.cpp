#include "ContentValidator.h"

#include "BitmapFile.h"
#include "ContentTypes.h"
#include "FixedResources.h"
#include "LevelSetValidator.h"
#include "LittleEndianReader.h"
#include "Raster.h"
#include "SpriteDataChecker.h"
#include "ToolText.h"

#include <map>

namespace {

constexpr uint32_t kMaxDescriptorPairs = 12;
constexpr uint32_t kAttrImageEntry = 14;
constexpr uint32_t kIntroGroup = 0x05000101;
constexpr uint32_t kFontHeaderBytes = 12;
constexpr uint32_t kGlyphRecordBytes = 12;
constexpr uint32_t kAdvanceRecordBytes = 4;
constexpr size_t kGameSpriteSets = 57;
constexpr size_t kMinAnimations = 36;
constexpr size_t kVariantSet = 12;
constexpr size_t kVariantSprites = 2;

// True when `count` ids from `base` keep to the base's low 15 bits.
bool IdsFit(uint32_t base, size_t count) {
    return count == 0 || ContentHandles::ArchiveId(base) + (count - 1) <= ContentHandles::kIdMask;
}

std::string Hex(uint32_t value) { return ToolText::Hex32(value); }

}  // namespace

bool ContentValidator::Fail(const SourcePlace& place, const std::string& message, std::string& error) {
    return SourceText::Fail(place, message, error);
}

bool ContentValidator::Check(const CompiledContent& content, std::string& error) {
    if (!CheckHandles(content, error) || !CheckFixedResources(content, error)) return false;
    for (const ContentEntry& entry : content.entries) {
        bool valid = true;
        if (entry.typeWord == ContentTypes::kImageDescriptor) valid = CheckDescriptor(content, entry, error);
        if (entry.typeWord == ContentTypes::kBitmap) valid = CheckBitmap(entry, error);
        if (entry.typeWord == ContentTypes::kKeyset) valid = CheckKeyset(content, entry, error);
        if (entry.typeWord == ContentTypes::kRawPcm) valid = CheckSound(entry, error);
        if (!valid) return false;
    }
    for (const FontResources& font : content.fonts) {
        if (!CheckFont(content, font, error)) return false;
    }
    for (const StringTable& table : content.tables) {
        if (!CheckTexts(table, error)) return false;
    }
    for (const SpriteContent& sprites : content.sprites) {
        if (!CheckSprites(sprites, error)) return false;
    }
    return LevelSetValidator::Check(content, error);
}

bool ContentValidator::CheckHandles(const CompiledContent& content, std::string& error) {
    std::map<uint32_t, SourcePlace> taken;
    taken[ContentHandles::kDirectoryId] = {content.manifest, 0};
    std::vector<std::pair<uint32_t, SourcePlace>> handles;
    for (const StringTable& table : content.tables) handles.push_back({table.handle, table.place});
    for (const ContentEntry& entry : content.entries) {
        if (entry.payload.empty()) return Fail(entry.origin, Hex(entry.handle) + " is empty", error);
        handles.push_back({entry.handle, entry.origin});
    }
    for (const auto& handle : handles) {
        const uint32_t id = ContentHandles::ArchiveId(handle.first);
        if (!ContentHandles::IsPlainEntry(handle.first) || id == 0) {
            return Fail(handle.second, Hex(handle.first) + " is not a plain archive handle with a non-zero id", error);
        }
        const auto known = taken.emplace(id, handle.second);
        if (!known.second) {
            return Fail(handle.second, "archive id " + Hex(id) + " is taken already by " + known.first->second.Describe(),
                        error);
        }
    }
    return true;
}

bool ContentValidator::CheckFixedResources(const CompiledContent& content, std::string& error) {
    const SourcePlace manifest{content.manifest, 0};
    if (content.tables.empty()) return Fail(manifest, "there is no string table", error);
    for (const FixedResources::Resource& resource : FixedResources::All()) {
        const std::string what = std::string(FixedResources::NameOf(resource.kind)) + " " + Hex(resource.handle) +
                                 " (" + resource.role + ")";
        if (resource.kind == FixedResources::Kind::Text) {
            bool found = false;
            for (const ContentEntry& text : content.tables[0].texts) found = found || text.handle == resource.handle;
            if (!found) return Fail(content.tables[0].place, "string table 0 lacks " + what, error);
            continue;
        }
        if (ContentHandles::ArchiveId(resource.handle) == ContentHandles::kDirectoryId) continue;  // always written
        const ContentEntry* entry = content.Find(ContentHandles::ArchiveId(resource.handle));
        if (entry == nullptr) {
            if (resource.levelData && content.levels.empty()) continue;
            return Fail(manifest, "the content lacks " + what, error);
        }
        if (entry->typeWord != FixedResources::TypeWordOf(resource.kind)) {
            return Fail(entry->origin,
                        "the game reads " + what + " here, not a " + ContentTypes::Describe(entry->typeWord), error);
        }
    }
    return true;
}

bool ContentValidator::CheckDescriptor(const CompiledContent& content, const ContentEntry& entry, std::string& error) {
    const std::string what = "image " + Hex(entry.handle);
    const size_t pairs = entry.payload.size() / 8;
    if (entry.payload.size() % 8 != 0 || pairs == 0 || pairs > kMaxDescriptorPairs) {
        return Fail(entry.origin, what + ": a descriptor holds 1 to 12 whole attribute pairs", error);
    }
    LittleEndianReader reader(entry.payload.data(), entry.payload.size());
    uint32_t key = 0;
    uint32_t value = 0;
    for (size_t i = 0; i < pairs; ++i) {
        key = reader.U32();
        value = reader.U32();
        if (key == 0) return Fail(entry.origin, what + ": a (0,0) pair would hide the pairs the engine adds", error);
    }
    if (key != kAttrImageEntry) return Fail(entry.origin, what + ": the bitmap pair must come last", error);
    const ContentEntry* bitmap = content.Find(ContentHandles::ArchiveId(value));
    if (bitmap == nullptr || bitmap->typeWord != ContentTypes::kBitmap) {
        return Fail(entry.origin, what + ": entry " + Hex(value) + " is not a bitmap", error);
    }
    return true;
}

bool ContentValidator::CheckBitmap(const ContentEntry& entry, std::string& error) {
    BitmapInfo info;
    std::string reason;
    if (!BitmapFile::Inspect(entry.payload, info, reason)) {
        return Fail(entry.origin, "bitmap " + Hex(entry.handle) + ": " + reason, error);
    }
    for (const uint32_t colour : info.usedColours) {
        if (colour != Raster::kTransparent && BitmapFile::IsKeyed(colour)) {
            return Fail(entry.origin, "bitmap " + Hex(entry.handle) + " uses colour " + Hex(colour) +
                                          ", which the colour key makes transparent",
                        error);
        }
    }
    return true;
}

bool ContentValidator::CheckFont(const CompiledContent& content, const FontResources& font, std::string& error) {
    const ContentEntry* data = content.Find(ContentHandles::ArchiveId(font.dataHandle));
    const ContentEntry* image = content.Find(ContentHandles::ArchiveId(font.imageHandle));
    if (data == nullptr || image == nullptr || image->payload.size() < 16) {
        return Fail(font.place, "the font's data or image is missing", error);
    }
    // The descriptors are checked by now: the bitmap's id is the last word.
    LittleEndianReader descriptor(image->payload.data() + image->payload.size() - 4, 4);
    const ContentEntry* atlas = content.Find(ContentHandles::ArchiveId(descriptor.U32()));
    BitmapInfo info;
    std::string reason;
    if (atlas == nullptr || !BitmapFile::Inspect(atlas->payload, info, reason)) {
        return Fail(font.place, "the font's atlas is no bitmap", error);
    }
    LittleEndianReader reader(data->payload.data(), data->payload.size());
    const uint8_t version = reader.U8();
    reader.Skip(7);
    const uint16_t glyphs = reader.U16();
    const uint16_t advances = reader.U16();
    if (!reader.Ok() || version != 1 ||
        data->payload.size() != kFontHeaderBytes + glyphs * kGlyphRecordBytes + advances * kAdvanceRecordBytes) {
        return Fail(font.place, "the font data's size does not match its counts", error);
    }
    int32_t previous = -1;
    for (uint16_t i = 0; i < glyphs; ++i) {
        const int32_t code = reader.U16();
        const int32_t x = reader.U16();
        const int32_t y = reader.U16();
        const int32_t width = reader.U8();
        const int32_t height = reader.U8();
        reader.Skip(4);
        if (code <= previous || code >= 0x8000) {
            return Fail(font.place, "glyph codes must ascend and stay below 0x8000 (at " + Hex(code) + ")", error);
        }
        if (x + width > info.width || y + height > info.height) {
            return Fail(font.place, "glyph " + Hex(code) + " lies outside the atlas", error);
        }
        previous = code;
    }
    return true;
}

bool ContentValidator::IsEngineUtf8(const std::vector<uint8_t>& bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t lead = bytes[i];
        size_t length = 1;
        if (lead >= 0xF0) return false;  // beyond U+FFFF: the engine reads it as malformed
        if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > bytes.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

bool ContentValidator::CheckTexts(const StringTable& table, std::string& error) {
    if (table.texts.empty()) return Fail(table.place, "the string table is empty", error);
    for (const ContentEntry& text : table.texts) {
        if (text.payload.empty()) return Fail(text.origin, "text " + Hex(text.handle) + " is empty", error);
        if (!IsEngineUtf8(text.payload)) {
            return Fail(text.origin, "text " + Hex(text.handle) + " is not UTF-8 of characters up to U+FFFF", error);
        }
    }
    return true;
}

bool ContentValidator::CheckKeyset(const CompiledContent& content, const ContentEntry& entry, std::string& error) {
    LittleEndianReader reader(entry.payload.data(), entry.payload.size());
    const uint16_t count = reader.U16();
    if (!reader.Ok() || entry.payload.size() != 2 + 4u * count) {
        return Fail(entry.origin, "key set " + Hex(entry.handle) + " does not hold exactly its count of handles", error);
    }
    if (entry.handle != kIntroGroup) return true;
    for (uint16_t i = 0; i < count; ++i) {
        const uint32_t member = reader.U32();
        const ContentEntry* image = content.Find(ContentHandles::ArchiveId(member));
        if (image == nullptr || image->typeWord != ContentTypes::kImageDescriptor) {
            return Fail(entry.origin, "intro picture " + Hex(member) + " is not an image", error);
        }
    }
    return true;
}

bool ContentValidator::CheckSound(const ContentEntry& entry, std::string& error) {
    if (entry.payload.size() % 2 != 0) {
        return Fail(entry.origin, "sound " + Hex(entry.handle) + " does not hold whole 16-bit samples", error);
    }
    return true;
}

bool ContentValidator::CheckSprites(const SpriteContent& sprites, std::string& error) {
    std::string reason;
    if (!SpriteDataChecker::CheckDefinition(sprites.definition, &reason)) return Fail(sprites.place, reason, error);
    if (sprites.sets.size() < kGameSpriteSets) {
        return Fail(sprites.place, "the game uses sprite sets 0 to 56; there are " + std::to_string(sprites.sets.size()),
                    error);
    }
    if (!IdsFit(sprites.ids.setBase, sprites.sets.size()) || !IdsFit(sprites.ids.imageBase, sprites.pictures.size())) {
        return Fail(sprites.place, "the sets' or pictures' ids run past archive id 0x7FFF", error);
    }
    for (size_t s = 0; s < sprites.sets.size(); ++s) {
        const spritedata::SpriteSet& set = sprites.sets[s];
        const SourcePlace& place = sprites.setPlaces[s];
        if (!SpriteDataChecker::CheckSet(sprites.definition, set, &reason)) {
            return Fail(place, "set " + std::to_string(s) + ": " + reason, error);
        }
        if (set.animations.size() < kMinAnimations) {
            return Fail(place, "set " + std::to_string(s) + " has fewer than the 36 animations the game may ask for",
                        error);
        }
        if (s == kVariantSet && set.sprites.size() < kVariantSprites) {
            return Fail(place, "set 12 needs a second sprite for the last level", error);
        }
    }
    return true;
}
