#include "ResourcePackWriter.h"

#include "LittleEndianWriter.h"

#include <algorithm>

bool ResourcePackWriter::Add(uint32_t id, uint32_t typeWord, std::vector<uint8_t> entry, std::string& error) {
    if (id > kMaxId) {
        error = "pack member id " + std::to_string(id) + " does not fit in 15 bits";
        return false;
    }
    const bool duplicate = std::any_of(m_members.begin(), m_members.end(),
                                       [id](const Member& member) { return member.id == id; });
    if (duplicate) {
        error = "pack member id " + std::to_string(id) + " appears twice";
        return false;
    }
    if (m_members.size() >= UINT16_MAX) {
        error = "a pack holds at most 65535 members";
        return false;
    }
    m_members.push_back(Member{static_cast<uint16_t>(id), typeWord, std::move(entry)});
    return true;
}

bool ResourcePackWriter::IdsCountUp() const {
    for (size_t i = 1; i < m_members.size(); ++i) {
        if (m_members[i].id != m_members[0].id + i) return false;
    }
    return true;
}

bool ResourcePackWriter::UsesConsecutiveIds(std::string& error) const {
    switch (m_options.idForm) {
        case PackIdForm::Listed: return false;
        case PackIdForm::Auto: return !m_members.empty() && IdsCountUp();
        case PackIdForm::Consecutive: break;
    }
    if (!IdsCountUp()) {
        error = "consecutive pack ids requested but the member ids do not count up by one";
        return false;
    }
    return true;
}

size_t ResourcePackWriter::TableSize(size_t count, bool consecutive, bool wideOffsets, bool typeWords) {
    const size_t idBytes = consecutive ? 0 : 2;
    const size_t offsetBytes = wideOffsets ? 4 : 2;
    return 4 + (consecutive ? 2 : 0) + count * (idBytes + offsetBytes) + 4 + (typeWords ? 4 * count : 0);
}

bool ResourcePackWriter::UsesWideOffsets(size_t tableSize, std::string& error) const {
    // With 16-bit offsets only the members' start offsets are narrow; the end
    // offset is always 32-bit.
    size_t lastStart = tableSize;
    for (size_t i = 0; i + 1 < m_members.size(); ++i) lastStart += m_members[i].entry.size();
    const bool fitsNarrow = lastStart <= UINT16_MAX;
    if (m_options.offsets == PackOffsetWidth::Bits16 && !fitsNarrow) {
        error = "16-bit pack offsets requested but a member starts beyond 64 KiB";
    }
    if (m_options.offsets == PackOffsetWidth::Auto) return !fitsNarrow;
    return m_options.offsets == PackOffsetWidth::Bits32;
}

bool ResourcePackWriter::Build(std::vector<uint8_t>& out, std::string& error) const {
    error.clear();
    const bool consecutive = UsesConsecutiveIds(error);
    if (!error.empty()) return false;
    // The narrow table is the smaller one, so when it pushes a member past
    // 64 KiB the wide table does too.
    const size_t narrowTable = TableSize(m_members.size(), consecutive, false, m_options.typeWords);
    const bool wideOffsets = UsesWideOffsets(narrowTable, error);
    if (!error.empty()) return false;
    const size_t tableSize = TableSize(m_members.size(), consecutive, wideOffsets, m_options.typeWords);

    size_t blockSize = tableSize;
    for (const Member& member : m_members) blockSize += member.entry.size();
    if (blockSize > UINT32_MAX) {
        error = "pack is larger than 4 GiB";
        return false;
    }

    uint16_t flags = 0;
    if (consecutive) flags |= kConsecutiveIdsFlag;
    if (wideOffsets) flags |= kWideOffsetsFlag;
    if (m_options.typeWords) flags |= kTypeWordsFlag;

    out.clear();
    LittleEndianWriter writer(out);
    writer.U16(flags);
    writer.U16(static_cast<uint16_t>(m_members.size()));
    if (consecutive) writer.U16(m_members.empty() ? 0 : m_members[0].id);
    uint32_t offset = static_cast<uint32_t>(tableSize);
    for (const Member& member : m_members) {
        if (!consecutive) writer.U16(member.id);
        if (wideOffsets) {
            writer.U32(offset);
        } else {
            writer.U16(static_cast<uint16_t>(offset));
        }
        offset += static_cast<uint32_t>(member.entry.size());
    }
    writer.U32(offset);
    if (m_options.typeWords) {
        for (const Member& member : m_members) writer.U32(member.typeWord);
    }
    for (const Member& member : m_members) writer.Bytes(member.entry);
    return true;
}
