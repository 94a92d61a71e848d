#include "ResourcePackReader.h"

#include "LittleEndianReader.h"
#include "ResourcePackWriter.h"

bool ResourcePackReader::Parse(const uint8_t* block, size_t size, std::string& error) {
    m_members.clear();
    LittleEndianReader reader(block, size);
    m_flags = reader.U16();
    const uint16_t count = reader.U16();
    const bool consecutive = (m_flags & ResourcePackWriter::kConsecutiveIdsFlag) != 0;
    const bool wideOffsets = (m_flags & ResourcePackWriter::kWideOffsetsFlag) != 0;
    const uint16_t baseId = consecutive ? reader.U16() : 0;
    std::vector<uint32_t> offsets(count + 1u);
    m_members.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        m_members[i].id = consecutive ? (baseId + i) & ResourcePackWriter::kMaxId : reader.U16();
        offsets[i] = wideOffsets ? reader.U32() : reader.U16();
    }
    offsets[count] = reader.U32();
    if ((m_flags & ResourcePackWriter::kTypeWordsFlag) != 0) {
        for (PackMemberInfo& member : m_members) member.typeWord = reader.U32();
    }
    if (!reader.Ok()) {
        error = "pack table of " + std::to_string(count) + " members runs past the " + std::to_string(size) +
                "-byte block";
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (offsets[i] > offsets[i + 1] || offsets[i + 1] > size) {
            error = "pack member " + std::to_string(i) + " lies outside the block";
            return false;
        }
        m_members[i].offset = offsets[i];
        m_members[i].size = offsets[i + 1] - offsets[i];
    }
    return true;
}
