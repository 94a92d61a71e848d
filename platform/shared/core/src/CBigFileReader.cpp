#include "CBigFileReader.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CFileInputStream.h"
#include "CMemory.h"
#include "ICFile.h"
#include "ICFileMgr.h"

namespace {

constexpr uint32_t kRangeRecordSize = 8;
constexpr uint32_t kListRecordSize = 4;
constexpr uint32_t kEntryRecordSize = 8;

uint32_t U32At(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t U16At(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

}  // namespace

CBigFileReader::~CBigFileReader() { Close(); }

void CBigFileReader::Close() {
    delete m_file;
    MemFreeArray(m_idList);
    MemFreeArray(m_ranges);
    MemFreeArray(m_entries);
    m_file = nullptr;
    m_idList = nullptr;
    m_ranges = nullptr;
    m_entries = nullptr;
    m_fileSize = 0;
    m_idCount = 0;
    m_entryCount = 0;
}

bool CBigFileReader::Open(const WChar* fileName) {
    Close();
    ICFileMgr* files = GetFileMgr();
    m_file = files != nullptr && fileName != nullptr ? files->Open(fileName, ICFileMgr::kRead) : nullptr;
    if (m_file == nullptr) {
        DebugPrintf("CBigFileReader: archive could not be opened\n");
        return false;
    }
    uint8_t flags = 0;
    uint32_t idTableOffset = 0;
    uint32_t entryTableOffset = 0;
    if (!ReadHeader(flags, idTableOffset, entryTableOffset)) return false;
    const bool ranges = (flags & kRangesFlag) != 0;
    return (m_idCount == 0 || LoadIdTable(ranges, idTableOffset)) &&
           (m_entryCount == 0 || LoadEntryTable(entryTableOffset));
}

bool CBigFileReader::ReadHeader(uint8_t& flags, uint32_t& idTableOffset, uint32_t& entryTableOffset) {
    CFileInputStream header;
    if (!header.OpenOnFile(m_file)) return false;
    m_fileSize = header.GetSize();
    if (header.Available() < kHeaderSize) {
        DebugPrintf("CBigFileReader: %u-byte file is too short for the archive header\n", m_fileSize);
        return false;
    }
    header.ReadUInt32();
    header.ReadUInt8();
    header.ReadUInt8();
    flags = header.ReadUInt8();
    header.Skip(1);
    idTableOffset = header.ReadUInt32();
    m_idCount = header.ReadUInt32();
    entryTableOffset = header.ReadUInt32();
    m_entryCount = header.ReadUInt32();
    header.ReadUInt32();
    header.ReadUInt32();
    const bool ok = !header.HasError();
    header.Close();
    return ok;
}

uint8_t* CBigFileReader::ReadTable(uint32_t offset, uint32_t count, uint32_t recordSize, const char* what) {
    // In 64 bits, so that a corrupt count cannot wrap into a small table.
    const uint64_t bytes = static_cast<uint64_t>(count) * recordSize;
    if (offset > m_fileSize || bytes > m_fileSize - offset || offset > 0x7FFFFFFFu) {
        DebugPrintf("CBigFileReader: %s of %u records at %u runs past the %u-byte archive\n", what, count, offset,
                    m_fileSize);
        return nullptr;
    }
    uint8_t* table = static_cast<uint8_t*>(MemAllocArray(static_cast<size_t>(bytes)));
    const bool read = table != nullptr && m_file->Seek(static_cast<int32_t>(offset), ICFile::kFromStart) &&
                      m_file->Read(table, static_cast<uint32_t>(bytes)) == bytes;
    if (read) return table;
    DebugPrintf("CBigFileReader: %s could not be read\n", what);
    MemFreeArray(table);
    return nullptr;
}

bool CBigFileReader::LoadIdTable(bool ranges, uint32_t offset) {
    const uint32_t recordSize = ranges ? kRangeRecordSize : kListRecordSize;
    uint8_t* table = ReadTable(offset, m_idCount, recordSize, "id table");
    if (table == nullptr) return false;
    if (ranges) {
        m_ranges = static_cast<Range*>(MemAllocArrayOf(m_idCount, sizeof(Range)));
        for (uint32_t i = 0; m_ranges != nullptr && i < m_idCount; ++i) {
            const uint8_t* record = table + i * kRangeRecordSize;
            m_ranges[i] = Range{U32At(record), U16At(record + 4), U16At(record + 6)};
        }
    } else {
        m_idList = static_cast<uint32_t*>(MemAllocArrayOf(m_idCount, sizeof(uint32_t)));
        for (uint32_t i = 0; m_idList != nullptr && i < m_idCount; ++i) {
            m_idList[i] = U32At(table + i * kListRecordSize);
        }
    }
    MemFreeArray(table);
    return m_ranges != nullptr || m_idList != nullptr;
}

bool CBigFileReader::LoadEntryTable(uint32_t offset) {
    if (m_entryCount == UINT32_MAX) {
        DebugPrintf("CBigFileReader: entry count %u is impossible\n", m_entryCount);
        return false;
    }
    const uint32_t records = m_entryCount + 1;
    uint8_t* table = ReadTable(offset, records, kEntryRecordSize, "entry table");
    if (table == nullptr) return false;
    m_entries = static_cast<Entry*>(MemAllocArrayOf(records, sizeof(Entry)));
    for (uint32_t i = 0; m_entries != nullptr && i < records; ++i) {
        const uint8_t* record = table + i * kEntryRecordSize;
        m_entries[i] = Entry{U32At(record), U32At(record + 4)};
    }
    MemFreeArray(table);
    return m_entries != nullptr;
}

int32_t CBigFileReader::FindInRanges(uint32_t key) const {
    for (uint32_t i = 0; i < m_idCount; ++i) {
        const int32_t delta = static_cast<int32_t>(key - m_ranges[i].firstId);
        if (delta >= 0 && delta < m_ranges[i].count) return m_ranges[i].firstEntry + delta;
    }
    return -1;
}

// Stored ids are whole 32-bit words: compared as signed numbers, a list
// holding ids from 0x80000000 up would not be in order and hide the others.
int32_t CBigFileReader::FindInList(uint32_t key) const {
    int64_t low = 0;
    int64_t high = static_cast<int64_t>(m_idCount) - 1;
    while (low <= high) {
        const int64_t mid = low + ((high - low) >> 1);
        if (m_idList[mid] == key) return static_cast<int32_t>(mid);
        if (key < m_idList[mid]) {
            high = mid - 1;
        } else {
            low = mid + 1;
        }
    }
    return -1;
}

int32_t CBigFileReader::FindEntry(uint32_t id) const {
    const uint32_t key = id & kIdMask;
    if (m_ranges != nullptr) return FindInRanges(key);
    if (m_idList != nullptr) return FindInList(key);
    return -1;
}

int32_t CBigFileReader::FindIntactEntry(uint32_t id) const {
    const int32_t index = FindEntry(id);
    if (index < 0 || static_cast<uint32_t>(index) >= m_entryCount) return -1;
    if (EntryInsideFile(static_cast<uint32_t>(index))) return index;
    DebugPrintf("CBigFileReader: entry %d of id %u spans %u..%u outside the %u-byte archive\n", index,
                id & kIdMask, m_entries[index].offset, m_entries[index + 1].offset, m_fileSize);
    return -1;
}

bool CBigFileReader::EntryInsideFile(uint32_t index) const {
    const uint32_t start = m_entries[index].offset;
    const uint32_t end = m_entries[index + 1].offset;
    return start <= end && end <= m_fileSize;
}

bool CBigFileReader::EntriesInsideFile() const {
    for (uint32_t i = 0; i < m_entryCount; ++i) {
        if (!EntryInsideFile(i)) return false;
    }
    return true;
}

bool CBigFileReader::SeekToEntry(uint32_t id) {
    const int32_t index = m_file != nullptr ? FindIntactEntry(id) : -1;
    if (index < 0) return false;
    return m_file->Seek(static_cast<int32_t>(m_entries[index].offset), ICFile::kFromStart);
}

uint32_t CBigFileReader::GetEntrySize(uint32_t id) const {
    const int32_t index = FindIntactEntry(id);
    return index < 0 ? 0 : m_entries[index + 1].offset - m_entries[index].offset;
}

uint32_t CBigFileReader::GetEntryTypeWord(uint32_t id) const {
    const int32_t index = FindEntry(id);
    return index < 0 || static_cast<uint32_t>(index) >= m_entryCount ? 0 : m_entries[index].typeWord;
}

bool CBigFileReader::OpenEntryOn(uint32_t id, CFileInputStream& stream) {
    return SeekToEntry(id) && stream.OpenOnFile(m_file);
}

bool CBigFileReader::ReadEntry(uint32_t id, void* destination, uint32_t maximum) {
    if (destination == nullptr || !SeekToEntry(id)) return false;
    const uint32_t size = GetEntrySize(id);
    const uint32_t n = size < maximum ? size : maximum;
    return m_file->Read(destination, n) == n;
}
