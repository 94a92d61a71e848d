#include "BigArchiveReader.h"

#include "LittleEndianReader.h"
#include "ToolFiles.h"

bool BigArchiveReader::Load(const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ToolFiles::Read(path, bytes, error)) return false;
    if (!Parse(std::move(bytes), error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool BigArchiveReader::Parse(std::vector<uint8_t> bytes, std::string& error) {
    m_bytes = std::move(bytes);
    m_entries.clear();
    m_entryOfId.assign(BigArchiveWriter::kMaxId + 1, kNoEntry);
    LittleEndianReader header(m_bytes.data(), m_bytes.size());
    header.Skip(6);
    const uint8_t flags = header.U8();
    header.Skip(1);
    const uint32_t idTableOffset = header.U32();
    const uint32_t idCount = header.U32();
    const uint32_t entryTableOffset = header.U32();
    const uint32_t entryCount = header.U32();
    header.Skip(8);
    if (!header.Ok()) {
        error = "file of " + std::to_string(m_bytes.size()) + " bytes is too short for the 32-byte header";
        return false;
    }
    m_form = (flags & BigArchiveWriter::kRangesFlag) != 0 ? IdTableForm::Ranges : IdTableForm::List;
    if (!ReadEntryTable(entryTableOffset, entryCount, error)) return false;
    if (!ReadIdTable(idTableOffset, idCount, error)) return false;
    AssignIds();
    return true;
}

bool BigArchiveReader::TableFits(uint32_t offset, uint32_t count, uint32_t recordSize, const char* what,
                                 std::string& error) const {
    if (static_cast<uint64_t>(offset) + static_cast<uint64_t>(count) * recordSize <= m_bytes.size()) {
        return true;
    }
    error = std::string(what) + " of " + std::to_string(count) + " records at " + std::to_string(offset) +
            " runs past the end of the " + std::to_string(m_bytes.size()) + "-byte file";
    return false;
}

bool BigArchiveReader::ReadEntryTable(uint32_t offset, uint32_t count, std::string& error) {
    if (count == UINT32_MAX || !TableFits(offset, count + 1, 8, "entry table", error)) return false;
    LittleEndianReader reader(m_bytes.data(), m_bytes.size());
    reader.Seek(offset);
    std::vector<uint32_t> offsets(count + 1ull);
    m_entries.resize(count);
    for (uint32_t i = 0; i <= count; ++i) {
        const uint32_t typeWord = reader.U32();
        offsets[i] = reader.U32();
        if (i < count) m_entries[i].typeWord = typeWord;
    }
    for (uint32_t i = 0; i < count; ++i) {
        ArchiveEntryInfo& entry = m_entries[i];
        entry.index = i;
        entry.offset = offsets[i];
        entry.inBounds = offsets[i] <= offsets[i + 1] && offsets[i + 1] <= m_bytes.size();
        entry.size = entry.inBounds ? offsets[i + 1] - offsets[i] : 0;
    }
    return true;
}

bool BigArchiveReader::ReadIdTable(uint32_t offset, uint32_t count, std::string& error) {
    const uint32_t recordSize = m_form == IdTableForm::Ranges ? 8 : 4;
    if (!TableFits(offset, count, recordSize, "id table", error)) return false;
    LittleEndianReader reader(m_bytes.data(), m_bytes.size());
    reader.Seek(offset);
    for (uint32_t record = 0; record < count; ++record) {
        if (m_form == IdTableForm::List) {
            const uint32_t id = reader.U32();
            if (id <= BigArchiveWriter::kMaxId && m_entryOfId[id] == kNoEntry) m_entryOfId[id] = record;
            continue;
        }
        const uint32_t firstId = reader.U32();
        const uint32_t idsInRange = reader.U16();
        const uint32_t firstEntry = reader.U16();
        // Overlapping ranges: the first one in table order wins.
        for (uint32_t k = 0; k < idsInRange && firstId + static_cast<uint64_t>(k) <= BigArchiveWriter::kMaxId;
             ++k) {
            if (m_entryOfId[firstId + k] == kNoEntry) m_entryOfId[firstId + k] = firstEntry + k;
        }
    }
    return true;
}

void BigArchiveReader::AssignIds() {
    for (uint32_t id = 0; id <= BigArchiveWriter::kMaxId; ++id) {
        const uint32_t index = m_entryOfId[id];
        if (index >= m_entries.size() || m_entries[index].hasId) continue;
        m_entries[index].hasId = true;
        m_entries[index].id = id;
    }
}

const ArchiveEntryInfo* BigArchiveReader::Find(uint32_t id) const {
    if (m_entryOfId.empty()) return nullptr;
    const uint32_t index = m_entryOfId[id & BigArchiveWriter::kMaxId];
    return index < m_entries.size() ? &m_entries[index] : nullptr;
}

std::vector<uint8_t> BigArchiveReader::RawBytes(const ArchiveEntryInfo& entry) const {
    if (!entry.inBounds) return {};
    return std::vector<uint8_t>(m_bytes.begin() + entry.offset, m_bytes.begin() + entry.offset + entry.size);
}

bool BigArchiveReader::Decode(const ArchiveEntryInfo& entry, DecodedEntry& out, std::string& error) const {
    if (!entry.inBounds) {
        error = "entry " + std::to_string(entry.index) + " lies outside the file";
        return false;
    }
    if (!ArchiveEntryCodec::Decode(m_bytes.data() + entry.offset, entry.size, out, error)) {
        error = "entry " + std::to_string(entry.index) + ": " + error;
        return false;
    }
    return true;
}
