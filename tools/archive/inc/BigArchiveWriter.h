#ifndef BIGARCHIVEWRITER_H
#define BIGARCHIVEWRITER_H

#include <cstdint>
#include <string>
#include <vector>

// The two forms of an archive's id table: a sorted list with one id per
// entry, or ranges of consecutive ids mapped to consecutive entries.
enum class IdTableForm { List, Ranges };

// Builds a resource archive: a 32-byte header, the id table, the entry table
// (a type word and an offset per entry, plus one record marking the end) and
// the entries, ordered by id.
class BigArchiveWriter {
public:
    static constexpr uint32_t kHeaderSize = 32;
    static constexpr uint8_t kRangesFlag = 0x80;
    static constexpr uint32_t kMaxId = 0x7FFF;
    // The first, uninterpreted header word: lets a person recognise the file.
    static constexpr uint32_t kMagic = 0x4749424D;  // "MBIG"

    explicit BigArchiveWriter(IdTableForm form) : m_form(form) {}

    // `entry` is a whole encoded entry (see ArchiveEntryCodec). Ids are
    // 15-bit, because the engine looks only at the low 15 bits of an id.
    bool Add(uint32_t id, uint32_t typeWord, std::vector<uint8_t> entry, std::string& error);
    // Encodes the payload as an entry, then adds it.
    bool AddPayload(uint32_t id, uint32_t typeWord, const std::vector<uint8_t>& payload, bool deflate,
                    uint16_t headerSize, std::string& error);

    bool Build(std::vector<uint8_t>& out, std::string& error);
    bool WriteFile(const std::string& path, std::string& error);

private:
    struct Entry {
        uint32_t id;
        uint32_t typeWord;
        std::vector<uint8_t> bytes;
    };
    struct Range {
        uint32_t firstId;
        uint16_t count;
        uint16_t firstEntry;
    };

    std::vector<Range> MakeRanges() const;
    void WriteIdTable(std::vector<uint8_t>& out) const;

    IdTableForm m_form;
    std::vector<Entry> m_entries;
};

#endif
