#ifndef CAGGREGATERESOURCE_H
#define CAGGREGATERESOURCE_H

#include "CClass.h"

class CArrayInputStream;
class CInputStream;

// A resource pack: several entries grouped in one archive entry, loaded
// whole into memory and served from there. The block starts with a table:
// u16 flags (bit 15 ids count up from a base id, bit 14 offsets are 32-bit,
// bit 13 a 32-bit word per entry follows), u16 count, [u16 base id], per
// entry [u16 id] and a u16 or u32 offset, a u32 end offset, [count u32
// words]. Offsets count from the start of the block.
class CAggregateResource : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x521B2402;
    static constexpr uint16_t kConsecutiveIdsFlag = 0x8000;
    static constexpr uint16_t kWideOffsetsFlag = 0x4000;
    static constexpr uint16_t kEntryWordsFlag = 0x2000;
    static constexpr uint32_t kIdMask = 0x7FFF;
    static constexpr uint32_t kPackHandleBit = 0x20000000;
    // The u16 flags and the u16 count.
    static constexpr uint32_t kCountFieldsSize = 4;

    CAggregateResource() : CClass(kClassKey) {}
    ~CAggregateResource() override;

    CAggregateResource(const CAggregateResource&) = delete;
    CAggregateResource& operator=(const CAggregateResource&) = delete;

    // Reads everything the stream has left and parses the table. The type
    // key is not used.
    bool Load(CInputStream& stream, uint32_t typeKey);
    void Clear();

    int32_t FindIndex(uint32_t id) const;
    bool Contains(uint32_t id) const { return FindIndex(id) >= 0; }
    // 0 when absent or when the pack has no words.
    uint32_t GetEntryWord(uint32_t id) const;
    // 0 when absent, and for an entry whose range leaves the block.
    uint32_t GetEntrySize(uint32_t id) const;
    bool CopyEntry(uint32_t id, void* destination) const;
    bool OpenEntryStream(uint32_t id, CArrayInputStream& stream) const;
    static bool IsPackHandle(uint32_t handle) { return (handle & kPackHandleBit) != 0; }

    uint32_t GetEntryCount() const { return m_entryCount; }

private:
    bool LoadBlock(CInputStream& stream);
    bool ParseTable();
    // Bytes of the table behind the flags and the count.
    static uint32_t TableBytesAfterCount(uint16_t flags, uint16_t count);
    bool ReadTable(CArrayInputStream& table, uint16_t flags, uint16_t count);
    // The index of a non-empty entry that lies inside the block, or -1.
    int32_t FindReadableIndex(uint32_t id) const;

    uint32_t m_entryCount = 0;
    uint32_t* m_words = nullptr;
    uint32_t* m_ids = nullptr;
    uint32_t* m_offsets = nullptr;
    uint8_t* m_data = nullptr;
    uint32_t m_dataSize = 0;
};

#endif
