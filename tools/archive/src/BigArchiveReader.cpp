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
    if (count == UINT32_MAX) {
        error = "entry count " + std::to_string(count) + " leaves no room for the closing offset";
        return false;
    }
    if (!TableFits(offset, count + 1, 8, "entry table", error)) return false;
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

// Each 15-bit id gets the entry the engine's lookup gives it, whatever the
// table holds: ranges in table order, the first that covers the id winning,
// with the id's distance from a range's first id taken as a wrapping 32-bit
// difference; or a binary search of the list, ids compared unsigned, which
// for a list out of order finds what that search finds.
bool BigArchiveReader::ReadIdTable(uint32_t offset, uint32_t count, std::string& error) {
    const uint32_t recordSize = m_form == IdTableForm::Ranges ? 8 : 4;
    if (!TableFits(offset, count, recordSize, "id table", error)) return false;
    LittleEndianReader reader(m_bytes.data(), m_bytes.size());
    reader.Seek(offset);
    if (m_form == IdTableForm::List) {
        std::vector<uint32_t> ids(count);
        for (uint32_t& id : ids) id = reader.U32();
        for (uint32_t id = 0; id <= BigArchiveWriter::kMaxId; ++id) m_entryOfId[id] = SearchList(ids, id);
        return true;
    }
    for (uint32_t record = 0; record < count; ++record) {
        const uint32_t firstId = reader.U32();
        const uint32_t idsInRange = reader.U16();
        const uint32_t firstEntry = reader.U16();
        CoverRange(firstId, idsInRange, firstEntry);
    }
    return true;
}

uint32_t BigArchiveReader::SearchList(const std::vector<uint32_t>& ids, uint32_t id) {
    int64_t low = 0;
    int64_t high = static_cast<int64_t>(ids.size()) - 1;
    while (low <= high) {
        const int64_t mid = low + ((high - low) >> 1);
        if (ids[static_cast<size_t>(mid)] == id) return static_cast<uint32_t>(mid);
        if (id < ids[static_cast<size_t>(mid)]) {
            high = mid - 1;
        } else {
            low = mid + 1;
        }
    }
    return kNoEntry;
}

// The ids a range covers are firstId + d (mod 2^32) for d below its count:
// a range starting just below 2^32 wraps onto the lowest ids.
void BigArchiveReader::CoverRange(uint32_t firstId, uint32_t idsInRange, uint32_t firstEntry) {
    for (uint32_t d = 0; d < idsInRange; ++d) {
        const uint32_t id = firstId + d;
        if (id <= BigArchiveWriter::kMaxId && m_entryOfId[id] == kNoEntry) m_entryOfId[id] = firstEntry + d;
    }
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
