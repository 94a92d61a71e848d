#include "CBigFileResourceInputStream.h"

#include "CAggregateResource.h"
#include "CAssert.h"
#include "CBigFileReader.h"
#include "CMemory.h"

CBigFileResourceInputStream::CBigFileResourceInputStream() { Reset(); }

CBigFileResourceInputStream::CBigFileResourceInputStream(uint32_t swapFlag) : CInputStream(swapFlag) { Reset(); }

void CBigFileResourceInputStream::Reset() {
    m_arrayStream.Close();
    m_fileStream.Close();
    m_zipStream.Reset();
    m_entryId = 0;
    m_active = nullptr;
    m_position = 0;
    SetSize(0);
    m_compressed = 0;
}

bool CBigFileResourceInputStream::OpenEntry(CBigFileReader* reader, uint32_t id, bool allowInflate) {
    SetError();
    const bool opened = reader != nullptr && reader->OpenEntryOn(id, m_fileStream) &&
                        ParseEntryHeader(id, m_fileStream, reader->GetEntrySize(id), allowInflate);
    if (opened) {
        ClearError();
    } else {
        DebugPrintf("CBigFileResourceInputStream: archive entry %u cannot be opened\n", id);
        Reset();
    }
    return opened;
}

bool CBigFileResourceInputStream::OpenFromPack(const CAggregateResource* pack, uint32_t id, bool allowInflate) {
    SetError();
    const bool opened = pack != nullptr && pack->OpenEntryStream(id, m_arrayStream) &&
                        ParseEntryHeader(id, m_arrayStream, pack->GetEntrySize(id), allowInflate);
    if (opened) {
        ClearError();
    } else {
        DebugPrintf("CBigFileResourceInputStream: pack entry %u cannot be opened\n", id);
        Reset();
    }
    return opened;
}

bool CBigFileResourceInputStream::ParseEntryHeader(uint32_t id, CInputStream& source, uint32_t entrySize,
                                                   bool allowInflate) {
    if (entrySize < kMinHeaderSize || source.Available() < kMinHeaderSize) return false;
    const uint16_t headerSize = source.ReadUInt16();
    const uint8_t entryFlags = source.ReadUInt8();
    source.Skip(1);
    // A header shorter than its own four bytes would make the payload run
    // past the end of the entry.
    if (entrySize <= headerSize || headerSize < kMinHeaderSize) {
        DebugPrintf("CBigFileResourceInputStream: entry %u of %u bytes has a %u-byte header\n", id, entrySize,
                    headerSize);
        return false;
    }
    if (headerSize > kMinHeaderSize) source.Skip(headerSize - kMinHeaderSize);
    if (source.HasError()) return false;
    m_entryId = id;
    m_active = &source;
    m_position = 0;
    m_compressed = (entryFlags & kDeflatedFlag) != 0 ? 1 : 0;
    SetSize(entrySize - headerSize);
    if (m_compressed == 0 || !allowInflate) return true;
    return OpenInflater(source, entrySize - headerSize);
}

bool CBigFileResourceInputStream::OpenInflater(CInputStream& source, uint32_t payloadSize) {
    if (payloadSize <= kDeflatedPrefixSize) {
        DebugPrintf("CBigFileResourceInputStream: deflated entry %u is too short for its sizes\n", m_entryId);
        return false;
    }
    const uint32_t unpackedSize = source.ReadUInt32();
    uint32_t packedSize = source.ReadUInt32();
    if (source.HasError()) return false;
    // The inflater must never read into the next entry.
    const uint32_t packedRoom = payloadSize - kDeflatedPrefixSize;
    if (packedSize > packedRoom) {
        DebugPrintf("CBigFileResourceInputStream: entry %u claims %u packed bytes in %u\n", m_entryId, packedSize,
                    packedRoom);
        packedSize = packedRoom;
    }
    if (unpackedSize > packedSize * kMaxInflateRatio + kInflateSlack) {
        DebugPrintf("CBigFileResourceInputStream: entry %u cannot inflate to %u bytes from %u packed bytes\n",
                    m_entryId, unpackedSize, packedSize);
        return false;
    }
    if (!m_zipStream.Open(&source, packedSize, unpackedSize)) return false;
    m_active = &m_zipStream;
    SetSize(unpackedSize);
    return true;
}

uint32_t CBigFileResourceInputStream::Available() {
    return HasError() || m_active == nullptr ? 0 : GetSize() - m_position;
}

void CBigFileResourceInputStream::TakeActiveError() {
    if (m_active->HasError()) {
        SetError();
    } else {
        ClearError();
    }
}

void CBigFileResourceInputStream::Skip(uint32_t n) {
    if (n == 0) return;
    if (Available() < n) {
        SetError();
        return;
    }
    m_active->Skip(n);
    m_position += n;
    TakeActiveError();
}

void CBigFileResourceInputStream::Read(void* dst, uint32_t n) {
    if (dst == nullptr || n == 0) return;
    if (Available() < n) {
        SetError();
    } else {
        m_active->Read(dst, n);
        m_position += n;
        TakeActiveError();
    }
    if (!HasError()) return;
    MemSet(dst, 0, n);
    DebugPrintf("CBigFileResourceInputStream: read of %u bytes failed in entry %u at %u of %u\n", n, m_entryId,
                m_position, GetSize());
    ASSERT(!HasError());
}
