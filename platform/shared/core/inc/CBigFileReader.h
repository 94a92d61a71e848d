#ifndef CBIGFILEREADER_H
#define CBIGFILEREADER_H

#include "CClass.h"

class CFileInputStream;
class ICFile;

// The resource archive: opened once, it keeps the id table and the entry
// table in memory and positions its file on any entry by resource id.
//
// File layout, all little-endian: a 32-byte header (u32, u8, u8, u8 flags
// whose bit 7 selects the range form of the id table, a skipped byte, u32 id
// table offset, u32 id table count, u32 entry table offset, u32 entry count,
// two u32), the id table (ranges {u32 first id, u16 count, u16 first entry}
// or an ascending list of u32 ids whose index is the entry index), and the
// entry table of count + 1 records {u32 type word, u32 offset}: entry i runs
// from offset i to offset i + 1.
//
// A table that does not fit in the file makes Open fail; an entry whose
// range runs backwards or past the end of the file is treated as absent.
class CBigFileReader : public CClass {
public:
    static constexpr uint32_t kClassKey = 0xAA37812D;
    static constexpr uint32_t kIdMask = 0x7FFF;
    static constexpr uint8_t kRangesFlag = 0x80;
    static constexpr uint32_t kHeaderSize = 32;

    CBigFileReader() : CClass(kClassKey) {}
    ~CBigFileReader() override;

    CBigFileReader(const CBigFileReader&) = delete;
    CBigFileReader& operator=(const CBigFileReader&) = delete;

    bool Open(const WChar* fileName);
    void Close();

    // The entry index of the id (only its low 15 bits count), or -1.
    int32_t FindEntry(uint32_t id) const;
    bool SeekToEntry(uint32_t id);
    uint32_t GetEntrySize(uint32_t id) const;
    // The entry's resource type word; 0 when there is no such entry.
    uint32_t GetEntryTypeWord(uint32_t id) const;
    // Positions the file on the entry and attaches the stream to it; the
    // stream borrows the reader's file, so one entry is read at a time.
    bool OpenEntryOn(uint32_t id, CFileInputStream& stream);
    // Reads up to `maximum` bytes of the entry; true when all of those came.
    bool ReadEntry(uint32_t id, void* destination, uint32_t maximum);
    // True when every entry of the table lies inside the file: an archive
    // cut short (an interrupted copy) fails it, and no entry needs reading.
    bool EntriesInsideFile() const;

private:
    struct Range {
        uint32_t firstId;
        uint16_t count;
        uint16_t firstEntry;
    };
    struct Entry {
        uint32_t typeWord;
        uint32_t offset;
    };

    bool ReadHeader(uint8_t& flags, uint32_t& idTableOffset, uint32_t& entryTableOffset);
    // Reads count records of recordSize bytes at offset into a new block.
    uint8_t* ReadTable(uint32_t offset, uint32_t count, uint32_t recordSize, const char* what);
    bool LoadIdTable(bool ranges, uint32_t offset);
    bool LoadEntryTable(uint32_t offset);
    // The index of an entry whose range lies inside the file, or -1.
    int32_t FindIntactEntry(uint32_t id) const;
    bool EntryInsideFile(uint32_t index) const;
    int32_t FindInRanges(uint32_t key) const;
    // Binary search of the ascending list; ids compare as unsigned words.
    int32_t FindInList(uint32_t key) const;

    ICFile* m_file = nullptr;
    uint32_t m_fileSize = 0;
    uint32_t m_idCount = 0;
    uint32_t m_entryCount = 0;
    uint32_t* m_idList = nullptr;
    Range* m_ranges = nullptr;
    Entry* m_entries = nullptr;
};

#endif
