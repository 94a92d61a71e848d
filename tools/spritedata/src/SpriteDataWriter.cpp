#include "SpriteDataWriter.h"

#include "BigArchiveWriter.h"
#include "LittleEndianWriter.h"

using namespace spritedata;

namespace {

constexpr uint16_t kKeysetCount = 3;
constexpr uint16_t kHeaderSize = 4;

// A count stored in a field of `limit` at most.
bool FitsCount(size_t count, size_t limit, const char* what, std::string* error) {
    if (count <= limit) return true;
    *error = std::string(what) + ": " + std::to_string(count) + " is more than the " + std::to_string(limit) +
             " its field holds";
    return false;
}

void WriteS16(LittleEndianWriter& out, int16_t value) { out.U16(static_cast<uint16_t>(value)); }

bool WriteBlocks(const Definition& definition, LittleEndianWriter& out, std::string* error) {
    if (!FitsCount(definition.blocks.size(), UINT8_MAX, "data blocks", error)) return false;
    out.U8(static_cast<uint8_t>(definition.blocks.size()));
    for (const std::vector<uint8_t>& block : definition.blocks) {
        if (!FitsCount(block.size(), UINT16_MAX, "bytes of a data block", error)) return false;
        out.U16(static_cast<uint16_t>(block.size()));
        out.Bytes(block);
    }
    return true;
}

bool WriteModules(const Definition& definition, LittleEndianWriter& out, std::string* error) {
    if (!FitsCount(definition.imageModules.size(), UINT16_MAX, "image modules", error) ||
        !FitsCount(definition.rectModules.size(), UINT16_MAX, "rectangle modules", error) ||
        !FitsCount(definition.imageModules.size() + definition.rectModules.size(), UINT16_MAX, "modules", error)) {
        return false;
    }
    out.U16(static_cast<uint16_t>(definition.imageModules.size()));
    for (const ImageModule& module : definition.imageModules) {
        out.U16(module.slotIndex);
        out.U8(module.variant);
        out.U8(module.attribute);
    }
    out.U16(static_cast<uint16_t>(definition.rectModules.size()));
    for (const RectModule& module : definition.rectModules) {
        out.U32(module.colour);
        out.U16(module.width);
        out.U16(module.height);
        out.U8(module.attribute);
    }
    return true;
}

bool WriteMaps(const Definition& definition, LittleEndianWriter& out, std::string* error) {
    if (!FitsCount(definition.maps.size(), UINT8_MAX, "module maps", error)) return false;
    out.U8(static_cast<uint8_t>(definition.maps.size()));
    for (const ModuleMap& map : definition.maps) {
        if (!FitsCount(map.size(), UINT16_MAX, "entries of a module map", error)) return false;
        out.U16(static_cast<uint16_t>(map.size()));
        for (const MapEntry& entry : map) {
            out.U16(entry.module);
            out.U16(entry.replacement);
            out.U8(entry.mode);
            WriteS16(out, entry.dx);
            WriteS16(out, entry.dy);
        }
    }
    return true;
}

bool WriteFrames(const SpriteSet& set, LittleEndianWriter& out, std::string* error) {
    if (!FitsCount(set.frames.size(), UINT16_MAX, "frames", error)) return false;
    out.U16(static_cast<uint16_t>(set.frames.size()));
    for (const Frame& frame : set.frames) {
        if (!FitsCount(frame.size(), UINT8_MAX, "parts of a frame", error)) return false;
        out.U8(static_cast<uint8_t>(frame.size()));
        for (const Part& part : frame) {
            out.U16(part.module);
            WriteS16(out, part.dx);
            WriteS16(out, part.dy);
        }
    }
    return true;
}

bool WritePoses(const SpriteSet& set, LittleEndianWriter& out, std::string* error) {
    if (!FitsCount(set.poses.size(), UINT16_MAX, "poses", error)) return false;
    out.U16(static_cast<uint16_t>(set.poses.size()));
    for (const Pose& pose : set.poses) {
        if (!FitsCount(pose.size(), UINT8_MAX, "entries of a pose", error)) return false;
        out.U8(static_cast<uint8_t>(pose.size()));
        for (const PoseEntry& entry : pose) {
            out.U16(entry.frame);
            WriteS16(out, entry.dx);
            WriteS16(out, entry.dy);
        }
    }
    return true;
}

bool WriteAnimations(const SpriteSet& set, LittleEndianWriter& out, std::string* error) {
    if (!FitsCount(set.animations.size(), UINT16_MAX, "animations", error)) return false;
    out.U16(static_cast<uint16_t>(set.animations.size()));
    for (const Animation& animation : set.animations) {
        if (!FitsCount(animation.frames.size(), UINT8_MAX, "frames of an animation", error)) return false;
        out.U8(animation.transformMask);
        out.U8(static_cast<uint8_t>(animation.frames.size()));
        for (const AnimationFrame& frame : animation.frames) {
            out.U16(frame.pose);
            out.U16(frame.duration);
        }
    }
    return true;
}

// Bit m of the set is bit (m mod 8) of byte m / 8.
bool WriteSprites(const SpriteSet& set, uint16_t imageModuleCount, LittleEndianWriter& out, std::string* error) {
    if (!FitsCount(set.sprites.size(), UINT8_MAX, "sprites", error)) return false;
    out.U8(static_cast<uint8_t>(set.sprites.size()));
    for (const Sprite& sprite : set.sprites) {
        std::vector<uint8_t> bits((imageModuleCount + 7u) / 8u, 0);
        for (uint16_t module : sprite.imageModules) {
            if (module >= imageModuleCount) {
                *error = "a sprite uses image module " + std::to_string(module) + " of " +
                         std::to_string(imageModuleCount);
                return false;
            }
            bits[module / 8u] = static_cast<uint8_t>(bits[module / 8u] | (1u << (module % 8u)));
        }
        out.Bytes(bits);
        out.U8(static_cast<uint8_t>(sprite.moduleMapIndex));
    }
    return true;
}

bool AddBinary(BigArchiveWriter& archive, uint32_t handle, uint32_t type, const std::vector<uint8_t>& payload,
               bool deflate, std::string* error) {
    return archive.AddPayload(SpriteDataWriter::ArchiveId(handle), type, payload, deflate, kHeaderSize, *error);
}

}  // namespace

std::vector<uint8_t> SpriteDataWriter::EncodeKeyset(const Ids& ids) {
    std::vector<uint8_t> bytes;
    LittleEndianWriter out(bytes);
    out.U16(kKeysetCount);
    out.U32(ids.definition);
    out.U32(ids.setBase);
    out.U32(ids.imageBase);
    return bytes;
}

bool SpriteDataWriter::EncodeDefinition(const Definition& definition, std::vector<uint8_t>* bytes,
                                        std::string* error) {
    bytes->clear();
    LittleEndianWriter out(*bytes);
    if (!WriteBlocks(definition, out, error)) return false;
    out.U16(definition.reserved);
    if (!FitsCount(definition.slots.size(), UINT16_MAX, "image slots", error)) return false;
    out.U16(static_cast<uint16_t>(definition.slots.size()));
    for (const Slot& slot : definition.slots) {
        out.U16(slot.imageIndex);
        out.U8(static_cast<uint8_t>(slot.blockIndex));
    }
    if (!WriteModules(definition, out, error) || !WriteMaps(definition, out, error)) return false;
    out.U8(definition.setCount);
    return true;
}

bool SpriteDataWriter::EncodeSet(const SpriteSet& set, uint16_t imageModuleCount, std::vector<uint8_t>* bytes,
                                 std::string* error) {
    bytes->clear();
    LittleEndianWriter out(*bytes);
    return WriteFrames(set, out, error) && WritePoses(set, out, error) && WriteAnimations(set, out, error) &&
           WriteSprites(set, imageModuleCount, out, error);
}

bool SpriteDataWriter::AddToArchive(BigArchiveWriter& archive, const Ids& ids, const Definition& definition,
                                    const std::vector<SpriteSet>& sets,
                                    const std::vector<std::vector<uint8_t>>& images, bool deflate,
                                    std::string* error) {
    if (sets.size() > definition.setCount) {
        *error = std::to_string(sets.size()) + " sprite sets for a definition of " +
                 std::to_string(definition.setCount);
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!AddBinary(archive, kKeysetId, kKeysetType, EncodeKeyset(ids), deflate, error) ||
        !EncodeDefinition(definition, &bytes, error) ||
        !AddBinary(archive, ids.definition, kBinaryType, bytes, deflate, error)) {
        return false;
    }
    const uint16_t imageModuleCount = static_cast<uint16_t>(definition.imageModules.size());
    for (size_t s = 0; s < sets.size(); ++s) {
        if (!EncodeSet(sets[s], imageModuleCount, &bytes, error)) {
            *error = "sprite set " + std::to_string(s) + ": " + *error;
            return false;
        }
        if (!AddBinary(archive, ids.setBase + static_cast<uint32_t>(s), kBinaryType, bytes, deflate, error)) {
            return false;
        }
    }
    for (size_t k = 0; k < images.size(); ++k) {
        if (images[k].empty()) continue;
        if (!AddBinary(archive, ids.imageBase + static_cast<uint32_t>(k), kBmpType, images[k], deflate, error)) {
            return false;
        }
    }
    return true;
}

bool SpriteDataWriter::AddEmptyDirectory(BigArchiveWriter& archive, std::string* error) {
    return archive.AddPayload(kDirectoryArchiveId, 0, std::vector<uint8_t>(kEmptyDirectorySize, 0), false,
                              kHeaderSize, *error);
}
