#ifndef BIGARCHIVEREADER_H
#define BIGARCHIVEREADER_H

#include "ArchiveEntryCodec.h"
#include "BigArchiveWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// One record of the entry table, with the id that reaches it.
struct ArchiveEntryInfo {
    uint32_t index = 0;
    bool hasId = false;  // no id of the table leads to the entry
    uint32_t id = 0;
    uint32_t typeWord = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
    bool inBounds = false;  // the entry's byte range lies inside the file
};

// Reads a whole archive into memory for listing and extraction. The header
// and tables must lie inside the file; entries whose offsets do not are
// listed but cannot be decoded.
class BigArchiveReader {
public:
    bool Load(const std::string& path, std::string& error);
    bool Parse(std::vector<uint8_t> bytes, std::string& error);

    IdTableForm Form() const { return m_form; }
    const std::vector<ArchiveEntryInfo>& Entries() const { return m_entries; }
    // The entry whose id (low 15 bits) is `id`, or null.
    const ArchiveEntryInfo* Find(uint32_t id) const;
    bool Decode(const ArchiveEntryInfo& entry, DecodedEntry& out, std::string& error) const;
    // The entry's bytes, header included; empty when out of bounds.
    std::vector<uint8_t> RawBytes(const ArchiveEntryInfo& entry) const;

private:
    static constexpr uint32_t kNoEntry = UINT32_MAX;

    bool ReadIdTable(uint32_t offset, uint32_t count, std::string& error);
    bool ReadEntryTable(uint32_t offset, uint32_t count, std::string& error);
    static uint32_t SearchList(const std::vector<uint32_t>& ids, uint32_t id);
    void CoverRange(uint32_t firstId, uint32_t idsInRange, uint32_t firstEntry);
    void AssignIds();
    bool TableFits(uint32_t offset, uint32_t count, uint32_t recordSize, const char* what,
                   std::string& error) const;

    std::vector<uint8_t> m_bytes;
    IdTableForm m_form = IdTableForm::List;
    // Entry index of each 15-bit id, or kNoEntry: the lookup the engine does.
    std::vector<uint32_t> m_entryOfId;
    std::vector<ArchiveEntryInfo> m_entries;
};

#endif
