#ifndef RESOURCEPACKREADER_H
#define RESOURCEPACKREADER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One member of a parsed pack: where its entry bytes lie inside the block.
struct PackMemberInfo {
    uint32_t id = 0;
    uint32_t typeWord = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
};

// Parses a resource pack block (see ResourcePackWriter) without trusting it:
// every member must lie inside the block.
class ResourcePackReader {
public:
    // Type words of archive entries whose payload is a pack.
    static constexpr uint32_t kPackType = 0x521B2402;
    static constexpr uint32_t kAlternatePackType = 0x69E4C505;
    static bool IsPackType(uint32_t typeWord) { return typeWord == kPackType || typeWord == kAlternatePackType; }

    bool Parse(const uint8_t* block, size_t size, std::string& error);

    uint16_t Flags() const { return m_flags; }
    const std::vector<PackMemberInfo>& Members() const { return m_members; }

private:
    uint16_t m_flags = 0;
    std::vector<PackMemberInfo> m_members;
};

#endif
