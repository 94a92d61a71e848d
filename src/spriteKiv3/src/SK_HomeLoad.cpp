// Reading the definition and the sprite sets, field by field, and checking
// every index they hold before anything uses it. A count from the data is
// weighed against the bytes left before anything is allocated for it, and
// a stream that has run out only yields zeros and keeps its error flag, so
// every loop over a count stops there: a huge count in a short file costs
// no more than the bytes it really has, and the data is refused.

#include "CAssert.h"
#include "SK_Home.h"

namespace {

constexpr uint8_t kMaxVariant = 7;
constexpr uint32_t kDurationLimitMs = 0x10000;

// The fewest bytes each record of the data takes: its fixed fields, or the
// count that leads a record of variable size.
constexpr uint32_t kBlockMinBytes = 2;
constexpr uint32_t kSlotBytes = 3;
constexpr uint32_t kImageModuleBytes = 4;
constexpr uint32_t kRectModuleBytes = 9;
constexpr uint32_t kMapMinBytes = 2;
constexpr uint32_t kMapEntryBytes = 9;
constexpr uint32_t kFrameMinBytes = 1;
constexpr uint32_t kPartBytes = 6;
constexpr uint32_t kPoseMinBytes = 1;
constexpr uint32_t kPoseEntryBytes = 6;
constexpr uint32_t kAnimationMinBytes = 2;
constexpr uint32_t kAnimationFrameBytes = 4;
constexpr uint32_t kSpriteMapBytes = 1;

// -1 or an index below `count`.
bool IsOptionalIndex(int8_t index, uint32_t count) {
    return index == SK_kNone || (index >= 0 && static_cast<uint32_t>(index) < count);
}

bool Refuse(const char* what, uint32_t index, uint32_t value) {
    DebugPrintf("SK_Home: %s %u names %u, outside its table", what, index, value);
    return false;
}

// `count` records of at least `minBytes` each, refused without allocating
// when the bytes left in the stream cannot hold them.
template <typename T>
bool AllocateRecords(SK_Array<T>* records, uint32_t count, uint32_t minBytes, const char* what,
                     CInputStream& stream) {
    const uint32_t left = stream.Available();
    if (static_cast<uint64_t>(count) * minBytes > left) {
        DebugPrintf("SK_Home: %u %s cannot fit in the %u bytes left", count, what, left);
        return false;
    }
    return records->Allocate(count);
}

// The palette of a data block: 256 little-endian colours, zeros where the
// block is shorter.
bool DecodePalette(SK_Image* block) {
    if (!block->palette.Allocate(SK_kPaletteColours)) return false;
    const uint32_t colours = block->bytes.Count() / 4;
    for (uint32_t i = 0; i < colours && i < SK_kPaletteColours; ++i) {
        const uint8_t* b = &block->bytes[i * 4];
        block->palette[i] = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                            static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    }
    return true;
}

}  // namespace

bool SK_Home::ReadDefinition(CResourceStream& stream) {
    if (!ReadBlocks(stream)) return false;
    m_reserved = stream.ReadUInt16();
    if (!ReadSlots(stream) || !ReadModules(stream) || !ReadMaps(stream)) return false;
    return m_sets.Allocate(stream.ReadUInt8()) && !stream.HasError();
}

bool SK_Home::ReadBlocks(CResourceStream& stream) {
    if (!AllocateRecords(&m_blocks, stream.ReadUInt8(), kBlockMinBytes, "data blocks", stream)) return false;
    for (uint32_t b = 0; b < m_blocks.Count() && !stream.HasError(); ++b) {
        SK_Image& block = m_blocks[b];
        if (!AllocateRecords(&block.bytes, stream.ReadUInt16(), 1, "block bytes", stream)) return false;
        stream.Read(block.bytes.Data(), block.bytes.Count());
        if (!DecodePalette(&block)) return false;
    }
    return !stream.HasError();
}

bool SK_Home::ReadSlots(CResourceStream& stream) {
    if (!AllocateRecords(&m_slots, stream.ReadUInt16(), kSlotBytes, "image slots", stream)) return false;
    for (uint32_t s = 0; s < m_slots.Count() && !stream.HasError(); ++s) {
        m_slots[s].imageIndex = stream.ReadUInt16();
        m_slots[s].blockIndex = stream.ReadInt8();
    }
    return !stream.HasError();
}

bool SK_Home::ReadModules(CResourceStream& stream) {
    if (!AllocateRecords(&m_imageModules, stream.ReadUInt16(), kImageModuleBytes, "image modules", stream)) {
        return false;
    }
    for (uint32_t m = 0; m < m_imageModules.Count() && !stream.HasError(); ++m) {
        SK_ImageModule& module = m_imageModules[m];
        module.slotIndex = stream.ReadUInt16();
        module.variant = stream.ReadUInt8();
        module.attribute = stream.ReadUInt8();
    }
    if (!AllocateRecords(&m_rectModules, stream.ReadUInt16(), kRectModuleBytes, "rectangle modules", stream)) {
        return false;
    }
    for (uint32_t m = 0; m < m_rectModules.Count() && !stream.HasError(); ++m) {
        SK_RectModule& module = m_rectModules[m];
        module.colour = stream.ReadInt32();
        module.width = stream.ReadUInt16();
        module.height = stream.ReadUInt16();
        module.attribute = stream.ReadInt8();
    }
    const uint32_t total = m_imageModules.Count() + m_rectModules.Count();
    if (total > UINT16_MAX) {
        DebugPrintf("SK_Home: %u modules do not fit in 16-bit module numbers", total);
        return false;
    }
    m_moduleCount = static_cast<uint16_t>(total);
    return !stream.HasError();
}

bool SK_Home::ReadMaps(CResourceStream& stream) {
    if (!AllocateRecords(&m_maps, stream.ReadUInt8(), kMapMinBytes, "module maps", stream)) return false;
    for (uint32_t k = 0; k < m_maps.Count() && !stream.HasError(); ++k) {
        SK_Array<SK_ModuleMapEntry>& entries = m_maps[k].entries;
        if (!AllocateRecords(&entries, stream.ReadUInt16(), kMapEntryBytes, "map entries", stream)) return false;
        for (uint32_t e = 0; e < entries.Count() && !stream.HasError(); ++e) {
            entries[e].module = stream.ReadUInt16();
            entries[e].replacement = stream.ReadUInt16();
            entries[e].mode = stream.ReadUInt8();
            entries[e].dx = stream.ReadInt16();
            entries[e].dy = stream.ReadInt16();
        }
    }
    return !stream.HasError();
}

bool SK_Home::CheckDefinition() const {
    for (uint32_t s = 0; s < m_slots.Count(); ++s) {
        if (!IsOptionalIndex(m_slots[s].blockIndex, m_blocks.Count())) {
            return Refuse("image slot", s, static_cast<uint8_t>(m_slots[s].blockIndex));
        }
    }
    for (uint32_t m = 0; m < m_imageModules.Count(); ++m) {
        if (m_imageModules[m].slotIndex >= m_slots.Count()) {
            return Refuse("image module", m, m_imageModules[m].slotIndex);
        }
        if (m_imageModules[m].variant > kMaxVariant) {
            return Refuse("image module's variant, module", m, m_imageModules[m].variant);
        }
    }
    for (uint32_t k = 0; k < m_maps.Count(); ++k) {
        const SK_Array<SK_ModuleMapEntry>& entries = m_maps[k].entries;
        for (uint32_t e = 0; e < entries.Count(); ++e) {
            if (entries[e].module >= m_moduleCount) return Refuse("module map", k, entries[e].module);
            if (entries[e].replacement >= m_moduleCount) return Refuse("module map", k, entries[e].replacement);
        }
    }
    return true;
}

bool SK_Home::ReadSet(CResourceStream& stream, SK_SpriteSet* set) const {
    return ReadFrames(stream, set) && ReadPoses(stream, set) && ReadAnimations(stream, set) &&
           ReadSprites(stream, set);
}

bool SK_Home::ReadFrames(CResourceStream& stream, SK_SpriteSet* set) const {
    if (!AllocateRecords(&set->frames, stream.ReadUInt16(), kFrameMinBytes, "frames", stream)) return false;
    for (uint32_t f = 0; f < set->frames.Count() && !stream.HasError(); ++f) {
        SK_Array<SK_Part>& parts = set->frames[f].parts;
        if (!AllocateRecords(&parts, stream.ReadUInt8(), kPartBytes, "frame parts", stream)) return false;
        for (uint32_t p = 0; p < parts.Count() && !stream.HasError(); ++p) {
            parts[p].module = stream.ReadUInt16();
            parts[p].dx = stream.ReadInt16();
            parts[p].dy = stream.ReadInt16();
        }
    }
    return !stream.HasError();
}

bool SK_Home::ReadPoses(CResourceStream& stream, SK_SpriteSet* set) const {
    if (!AllocateRecords(&set->poses, stream.ReadUInt16(), kPoseMinBytes, "poses", stream)) return false;
    for (uint32_t p = 0; p < set->poses.Count() && !stream.HasError(); ++p) {
        SK_Array<SK_PoseEntry>& entries = set->poses[p].entries;
        if (!AllocateRecords(&entries, stream.ReadUInt8(), kPoseEntryBytes, "pose entries", stream)) return false;
        for (uint32_t e = 0; e < entries.Count() && !stream.HasError(); ++e) {
            entries[e].frame = stream.ReadUInt16();
            entries[e].dx = stream.ReadInt16();
            entries[e].dy = stream.ReadInt16();
        }
    }
    return !stream.HasError();
}

bool SK_Home::ReadAnimations(CResourceStream& stream, SK_SpriteSet* set) const {
    if (!AllocateRecords(&set->animations, stream.ReadUInt16(), kAnimationMinBytes, "animations", stream)) {
        return false;
    }
    for (uint32_t a = 0; a < set->animations.Count() && !stream.HasError(); ++a) {
        SK_Animation& animation = set->animations[a];
        animation.transformMask = stream.ReadUInt8();
        animation.frameCount = stream.ReadUInt8();
        if (!AllocateRecords(&animation.poseIndices, animation.frameCount, kAnimationFrameBytes, "animation frames",
                             stream) ||
            !animation.durations.Allocate(animation.frameCount)) {
            return false;
        }
        for (uint32_t i = 0; i < animation.frameCount && !stream.HasError(); ++i) {
            animation.poseIndices[i] = stream.ReadUInt16();
            // Kept in 16 bits: a stored 6554 becomes 4 ms.
            animation.durations[i] = static_cast<uint16_t>(stream.ReadUInt16() * SK_kDurationUnitMs);
        }
    }
    return !stream.HasError();
}

bool SK_Home::ReadSprites(CResourceStream& stream, SK_SpriteSet* set) const {
    const uint32_t spriteBytes = (m_imageModules.Count() + 7) / 8 + kSpriteMapBytes;
    if (!AllocateRecords(&set->sprites, stream.ReadUInt8(), spriteBytes, "sprites", stream)) return false;
    for (uint32_t s = 0; s < set->sprites.Count() && !stream.HasError(); ++s) {
        SK_Sprite& sprite = set->sprites[s];
        if (!sprite.usedImageModules.Read(m_imageModules.Count(), stream)) return false;
        sprite.prepared = 0;
        sprite.moduleMapIndex = stream.ReadInt8();
    }
    return !stream.HasError();
}

bool SK_Home::CheckSet(const SK_SpriteSet& set) const {
    for (uint32_t f = 0; f < set.frames.Count(); ++f) {
        const SK_Array<SK_Part>& parts = set.frames[f].parts;
        for (uint32_t p = 0; p < parts.Count(); ++p) {
            if (parts[p].module >= m_moduleCount) return Refuse("frame", f, parts[p].module);
        }
    }
    for (uint32_t p = 0; p < set.poses.Count(); ++p) {
        const SK_Array<SK_PoseEntry>& entries = set.poses[p].entries;
        for (uint32_t e = 0; e < entries.Count(); ++e) {
            if (entries[e].frame >= set.frames.Count()) return Refuse("pose", p, entries[e].frame);
        }
    }
    for (uint32_t a = 0; a < set.animations.Count(); ++a) {
        const SK_Animation& animation = set.animations[a];
        if (animation.frameCount == 0) return Refuse("animation's frame count, animation", a, 0);
        uint32_t total = 0;
        for (uint32_t i = 0; i < animation.frameCount; ++i) {
            if (animation.poseIndices[i] >= set.poses.Count()) return Refuse("animation", a, animation.poseIndices[i]);
            total += animation.durations[i];
        }
        if (total >= kDurationLimitMs) return Refuse("animation's total milliseconds, animation", a, total);
    }
    for (uint32_t s = 0; s < set.sprites.Count(); ++s) {
        if (!IsOptionalIndex(set.sprites[s].moduleMapIndex, m_maps.Count())) {
            return Refuse("sprite", s, static_cast<uint8_t>(set.sprites[s].moduleMapIndex));
        }
    }
    return true;
}
