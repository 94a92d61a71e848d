#include "BigArchiveWriter.h"

#include "ArchiveEntryCodec.h"
#include "LittleEndianWriter.h"
#include "ToolFiles.h"

#include <algorithm>

bool BigArchiveWriter::Add(uint32_t id, uint32_t typeWord, std::vector<uint8_t> entry, std::string& error) {
    if (id > kMaxId) {
        error = "archive id " + std::to_string(id) + " does not fit in 15 bits";
        return false;
    }
    const bool duplicate = std::any_of(m_entries.begin(), m_entries.end(),
                                       [id](const Entry& entry) { return entry.id == id; });
    if (duplicate) {
        error = "archive id " + std::to_string(id) + " appears twice";
        return false;
    }
    m_entries.push_back(Entry{id, typeWord, std::move(entry)});
    return true;
}

bool BigArchiveWriter::AddPayload(uint32_t id, uint32_t typeWord, const std::vector<uint8_t>& payload,
                                  bool deflate, uint16_t headerSize, std::string& error) {
    std::vector<uint8_t> entry;
    if (!ArchiveEntryCodec::Encode(payload, deflate, headerSize, entry, error)) {
        error = "entry " + std::to_string(id) + ": " + error;
        return false;
    }
    return Add(id, typeWord, std::move(entry), error);
}

std::vector<BigArchiveWriter::Range> BigArchiveWriter::MakeRanges() const {
    std::vector<Range> ranges;
    for (size_t index = 0; index < m_entries.size(); ++index) {
        const uint32_t id = m_entries[index].id;
        const bool extends = !ranges.empty() && ranges.back().firstId + ranges.back().count == id;
        if (extends) {
            ++ranges.back().count;
        } else {
            ranges.push_back(Range{id, 1, static_cast<uint16_t>(index)});
        }
    }
    return ranges;
}

void BigArchiveWriter::WriteIdTable(std::vector<uint8_t>& out) const {
    LittleEndianWriter writer(out);
    if (m_form == IdTableForm::List) {
        for (const Entry& entry : m_entries) writer.U32(entry.id);
        return;
    }
    for (const Range& range : MakeRanges()) {
        writer.U32(range.firstId);
        writer.U16(range.count);
        writer.U16(range.firstEntry);
    }
}

bool BigArchiveWriter::Build(std::vector<uint8_t>& out, std::string& error) {
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
    std::vector<uint8_t> idTable;
    WriteIdTable(idTable);
    const uint32_t idRecordSize = m_form == IdTableForm::List ? 4 : 8;
    const uint32_t idCount = static_cast<uint32_t>(idTable.size() / idRecordSize);
    const uint32_t entryCount = static_cast<uint32_t>(m_entries.size());
    const uint64_t entryTableOffset = kHeaderSize + idTable.size();
    uint64_t dataSize = 0;
    for (const Entry& entry : m_entries) dataSize += entry.bytes.size();
    if (entryTableOffset + (entryCount + 1ull) * 8 + dataSize > UINT32_MAX) {
        error = "archive would be larger than 4 GiB";
        return false;
    }

    out.clear();
    LittleEndianWriter writer(out);
    writer.U32(kMagic);
    writer.U8(1);  // layout version, for people reading the file
    writer.U8(0);
    writer.U8(m_form == IdTableForm::Ranges ? kRangesFlag : 0);
    writer.U8(0);
    writer.U32(kHeaderSize);
    writer.U32(idCount);
    writer.U32(static_cast<uint32_t>(entryTableOffset));
    writer.U32(entryCount);
    writer.U32(0);
    writer.U32(0);
    writer.Bytes(idTable);

    uint32_t offset = static_cast<uint32_t>(entryTableOffset + (entryCount + 1ull) * 8);
    for (const Entry& entry : m_entries) {
        writer.U32(entry.typeWord);
        writer.U32(offset);
        offset += static_cast<uint32_t>(entry.bytes.size());
    }
    writer.U32(0);
    writer.U32(offset);
    for (const Entry& entry : m_entries) writer.Bytes(entry.bytes);
    return true;
}

bool BigArchiveWriter::WriteFile(const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    return Build(bytes, error) && ToolFiles::Write(path, bytes, error);
}
