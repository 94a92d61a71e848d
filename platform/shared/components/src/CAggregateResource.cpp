#include "CAggregateResource.h"

#include "CArrayInputStream.h"
#include "CAssert.h"
#include "CMemory.h"

CAggregateResource::~CAggregateResource() { Clear(); }

void CAggregateResource::Clear() {
    FreeMemory(m_data);
    MemFreeArray(m_ids);
    MemFreeArray(m_offsets);
    MemFreeArray(m_words);
    m_data = nullptr;
    m_ids = nullptr;
    m_offsets = nullptr;
    m_words = nullptr;
    m_entryCount = 0;
    m_dataSize = 0;
}

bool CAggregateResource::Load(CInputStream& stream, uint32_t) {
    Clear();
    const bool loaded = LoadBlock(stream) && ParseTable();
    // A failed load leaves no half-parsed pack behind.
    if (!loaded) Clear();
    return loaded;
}

bool CAggregateResource::LoadBlock(CInputStream& stream) {
    const uint32_t size = stream.Available();
    if (size == 0) return false;
    m_data = static_cast<uint8_t*>(MemAllocRaw(size));
    if (m_data == nullptr) return false;
    m_dataSize = size;
    stream.Read(m_data, size);
    return !stream.HasError();
}

bool CAggregateResource::ParseTable() {
    CArrayInputStream table;
    table.Open(m_data, m_dataSize);
    if (table.Available() < kCountFieldsSize) {
        DebugPrintf("CAggregateResource: %u-byte pack has no table\n", m_dataSize);
        return false;
    }
    const uint16_t flags = table.ReadUInt16();
    const uint16_t count = table.ReadUInt16();
    const bool read = count == 0 || ReadTable(table, flags, count);
    if (!read || table.HasError()) {
        DebugPrintf("CAggregateResource: pack table of %u entries does not fit its %u-byte block\n", count,
                    m_dataSize);
        return false;
    }
    return true;
}

uint32_t CAggregateResource::TableBytesAfterCount(uint16_t flags, uint16_t count) {
    const bool consecutive = (flags & kConsecutiveIdsFlag) != 0;
    const uint32_t perEntry = (consecutive ? 0 : 2) + ((flags & kWideOffsetsFlag) != 0 ? 4 : 2) +
                              ((flags & kEntryWordsFlag) != 0 ? 4 : 0);
    return (consecutive ? 2 : 0) + count * perEntry + 4;
}

bool CAggregateResource::ReadTable(CArrayInputStream& table, uint16_t flags, uint16_t count) {
    // Refused before anything is allocated or read, so that a corrupt count
    // costs nothing.
    if (TableBytesAfterCount(flags, count) > table.Available()) return false;
    m_ids = static_cast<uint32_t*>(MemAllocArrayOf(count, sizeof(uint32_t)));
    m_offsets = static_cast<uint32_t*>(MemAllocArrayOf(count + 1u, sizeof(uint32_t)));
    if (m_ids == nullptr || m_offsets == nullptr) return false;
    const bool consecutive = (flags & kConsecutiveIdsFlag) != 0;
    const uint32_t baseId = consecutive ? table.ReadUInt16() : 0;
    for (uint32_t i = 0; i < count; ++i) {
        m_ids[i] = consecutive ? baseId + i : table.ReadUInt16();
        m_offsets[i] = (flags & kWideOffsetsFlag) != 0 ? table.ReadUInt32() : table.ReadUInt16();
    }
    m_offsets[count] = table.ReadUInt32();
    if ((flags & kEntryWordsFlag) != 0) {
        m_words = static_cast<uint32_t*>(MemAllocArrayOf(count, sizeof(uint32_t)));
        if (m_words == nullptr) return false;
        for (uint32_t i = 0; i < count; ++i) m_words[i] = table.ReadUInt32();
    }
    m_entryCount = count;
    return true;
}

int32_t CAggregateResource::FindIndex(uint32_t id) const {
    const uint32_t key = id & kIdMask;
    for (uint32_t i = 0; i < m_entryCount; ++i) {
        if ((m_ids[i] & kIdMask) == key) return static_cast<int32_t>(i);
    }
    return -1;
}

uint32_t CAggregateResource::GetEntryWord(uint32_t id) const {
    const int32_t index = FindIndex(id);
    return index >= 0 && m_words != nullptr ? m_words[index] : 0;
}

int32_t CAggregateResource::FindReadableIndex(uint32_t id) const {
    const int32_t index = FindIndex(id);
    if (index < 0) return -1;
    const uint32_t start = m_offsets[index];
    const uint32_t end = m_offsets[index + 1];
    if (start <= end && end <= m_dataSize) return start < end ? index : -1;
    DebugPrintf("CAggregateResource: entry %u spans %u..%u outside the %u-byte pack\n", id & kIdMask, start, end,
                m_dataSize);
    return -1;
}

uint32_t CAggregateResource::GetEntrySize(uint32_t id) const {
    const int32_t index = FindReadableIndex(id);
    return index >= 0 ? m_offsets[index + 1] - m_offsets[index] : 0;
}

bool CAggregateResource::CopyEntry(uint32_t id, void* destination) const {
    const int32_t index = FindReadableIndex(id);
    if (index < 0 || destination == nullptr) return false;
    MemCopy(destination, m_data + m_offsets[index], m_offsets[index + 1] - m_offsets[index]);
    return true;
}

bool CAggregateResource::OpenEntryStream(uint32_t id, CArrayInputStream& stream) const {
    const int32_t index = FindReadableIndex(id);
    if (index < 0) return false;
    return stream.Open(m_data + m_offsets[index], m_offsets[index + 1] - m_offsets[index]);
}
