#ifndef RESOURCEPACKWRITER_H
#define RESOURCEPACKWRITER_H

#include <cstdint>
#include <string>
#include <vector>

// How a pack stores its member ids: Auto picks the consecutive form when the
// members, in the order they were added, count up from the first one.
enum class PackIdForm { Auto, Listed, Consecutive };
// Auto picks 16-bit offsets when every member starts below 64 KiB.
enum class PackOffsetWidth { Auto, Bits16, Bits32 };

struct PackOptions {
    PackIdForm idForm = PackIdForm::Auto;
    PackOffsetWidth offsets = PackOffsetWidth::Auto;
    // The engine takes a pack member's resource type from its word; without
    // words every member has type 0.
    bool typeWords = true;
};

// Builds a resource pack block: u16 flags, u16 count, [u16 base id], per
// member [u16 id] and a u16 or u32 offset, a u32 end offset, [u32 word per
// member], then the members' entry bytes. Offsets count from the block start.
class ResourcePackWriter {
public:
    static constexpr uint16_t kConsecutiveIdsFlag = 0x8000;
    static constexpr uint16_t kWideOffsetsFlag = 0x4000;
    static constexpr uint16_t kTypeWordsFlag = 0x2000;
    static constexpr uint32_t kMaxId = 0x7FFF;

    explicit ResourcePackWriter(const PackOptions& options) : m_options(options) {}

    // `entry` is a whole encoded entry (header and payload). Ids are 15-bit
    // and unique within the pack.
    bool Add(uint32_t id, uint32_t typeWord, std::vector<uint8_t> entry, std::string& error);
    bool Build(std::vector<uint8_t>& out, std::string& error) const;

private:
    struct Member {
        uint16_t id;
        uint32_t typeWord;
        std::vector<uint8_t> entry;
    };

    bool UsesConsecutiveIds(std::string& error) const;
    bool IdsCountUp() const;
    bool UsesWideOffsets(size_t tableSize, std::string& error) const;
    static size_t TableSize(size_t count, bool consecutive, bool wideOffsets, bool typeWords);

    PackOptions m_options;
    std::vector<Member> m_members;
};

#endif
