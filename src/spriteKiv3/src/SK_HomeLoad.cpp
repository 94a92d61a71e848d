// Reading the definition and the sprite sets, field by field, and checking
// every index they hold before anything uses it.

#include "CAssert.h"
#include "SK_Home.h"

namespace {

constexpr uint8_t kMaxVariant = 7;
constexpr uint32_t kDurationLimitMs = 0x10000;

// -1 or an index below `count`.
bool IsOptionalIndex(int8_t index, uint32_t count) {
    return index == SK_kNone || (index >= 0 && static_cast<uint32_t>(index) < count);
}

bool Refuse(const char* what, uint32_t index, uint32_t value) {
    DebugPrintf("SK_Home: %s %u names %u, outside its table", what, index, value);
    return false;
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
    return m_sets.Allocate(stream.ReadUInt8());
}

bool SK_Home::ReadBlocks(CResourceStream& stream) {
    if (!m_blocks.Allocate(stream.ReadUInt8())) return false;
    for (uint32_t b = 0; b < m_blocks.Count(); ++b) {
        SK_Image& block = m_blocks[b];
        if (!block.bytes.Allocate(stream.ReadUInt16())) return false;
        stream.Read(block.bytes.Data(), block.bytes.Count());
        if (!DecodePalette(&block)) return false;
    }
    return true;
}

bool SK_Home::ReadSlots(CResourceStream& stream) {
    if (!m_slots.Allocate(stream.ReadUInt16())) return false;
    for (uint32_t s = 0; s < m_slots.Count(); ++s) {
        m_slots[s].imageIndex = stream.ReadUInt16();
        m_slots[s].blockIndex = stream.ReadInt8();
    }
    return true;
}

bool SK_Home::ReadModules(CResourceStream& stream) {
    if (!m_imageModules.Allocate(stream.ReadUInt16())) return false;
    for (uint32_t m = 0; m < m_imageModules.Count(); ++m) {
        SK_ImageModule& module = m_imageModules[m];
        module.slotIndex = stream.ReadUInt16();
        module.variant = stream.ReadUInt8();
        module.attribute = stream.ReadUInt8();
    }
    if (!m_rectModules.Allocate(stream.ReadUInt16())) return false;
    for (uint32_t m = 0; m < m_rectModules.Count(); ++m) {
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
    return true;
}

bool SK_Home::ReadMaps(CResourceStream& stream) {
    if (!m_maps.Allocate(stream.ReadUInt8())) return false;
    for (uint32_t k = 0; k < m_maps.Count(); ++k) {
        SK_Array<SK_ModuleMapEntry>& entries = m_maps[k].entries;
        if (!entries.Allocate(stream.ReadUInt16())) return false;
        for (uint32_t e = 0; e < entries.Count(); ++e) {
            entries[e].module = stream.ReadUInt16();
            entries[e].replacement = stream.ReadUInt16();
            entries[e].mode = stream.ReadUInt8();
            entries[e].dx = stream.ReadInt16();
            entries[e].dy = stream.ReadInt16();
        }
    }
    return true;
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
    if (!set->frames.Allocate(stream.ReadUInt16())) return false;
    for (uint32_t f = 0; f < set->frames.Count(); ++f) {
        SK_Array<SK_Part>& parts = set->frames[f].parts;
        if (!parts.Allocate(stream.ReadUInt8())) return false;
        for (uint32_t p = 0; p < parts.Count(); ++p) {
            parts[p].module = stream.ReadUInt16();
            parts[p].dx = stream.ReadInt16();
            parts[p].dy = stream.ReadInt16();
        }
    }
    return true;
}

bool SK_Home::ReadPoses(CResourceStream& stream, SK_SpriteSet* set) const {
    if (!set->poses.Allocate(stream.ReadUInt16())) return false;
    for (uint32_t p = 0; p < set->poses.Count(); ++p) {
        SK_Array<SK_PoseEntry>& entries = set->poses[p].entries;
        if (!entries.Allocate(stream.ReadUInt8())) return false;
        for (uint32_t e = 0; e < entries.Count(); ++e) {
            entries[e].frame = stream.ReadUInt16();
            entries[e].dx = stream.ReadInt16();
            entries[e].dy = stream.ReadInt16();
        }
    }
    return true;
}

bool SK_Home::ReadAnimations(CResourceStream& stream, SK_SpriteSet* set) const {
    if (!set->animations.Allocate(stream.ReadUInt16())) return false;
    for (uint32_t a = 0; a < set->animations.Count(); ++a) {
        SK_Animation& animation = set->animations[a];
        animation.transformMask = stream.ReadUInt8();
        animation.frameCount = stream.ReadUInt8();
        if (!animation.poseIndices.Allocate(animation.frameCount) ||
            !animation.durations.Allocate(animation.frameCount)) {
            return false;
        }
        for (uint32_t i = 0; i < animation.frameCount; ++i) {
            animation.poseIndices[i] = stream.ReadUInt16();
            // Kept in 16 bits: a stored 6554 becomes 4 ms.
            animation.durations[i] = static_cast<uint16_t>(stream.ReadUInt16() * SK_kDurationUnitMs);
        }
    }
    return true;
}

bool SK_Home::ReadSprites(CResourceStream& stream, SK_SpriteSet* set) const {
    if (!set->sprites.Allocate(stream.ReadUInt8())) return false;
    for (uint32_t s = 0; s < set->sprites.Count(); ++s) {
        SK_Sprite& sprite = set->sprites[s];
        if (!sprite.usedImageModules.Read(m_imageModules.Count(), stream)) return false;
        sprite.prepared = 0;
        sprite.moduleMapIndex = stream.ReadInt8();
    }
    return true;
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
