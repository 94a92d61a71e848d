#ifndef CBIGFILERESOURCEINPUTSTREAM_H
#define CBIGFILERESOURCEINPUTSTREAM_H

#include "CArrayInputStream.h"
#include "CFileInputStream.h"
#include "CInputStream.h"
#include "CZipInputStream.h"

class CAggregateResource;
class CBigFileReader;

// A stream over one entry of the archive or of a pack in memory. It parses
// the entry's header (u16 header size, u8 flags with bit 7 = deflated, u8,
// header size - 4 skipped bytes) and then delivers exactly the payload,
// inflating it on the fly when it is deflated (u32 unpacked size, u32 packed
// size, zlib data). The inner streams are little-endian; this stream's own
// swap flag governs its typed reads.
class CBigFileResourceInputStream : public CInputStream {
public:
    static constexpr uint32_t kMinHeaderSize = 4;
    static constexpr uint8_t kDeflatedFlag = 0x80;
    static constexpr uint32_t kDeflatedPrefixSize = 8;
    // Deflate expands data by at most about 1032 times (plus a few bytes of
    // framing), so an entry claiming more is refused before a loader sizes
    // a block by the claim. The archive tool refuses the same claims.
    static constexpr uint64_t kMaxInflateRatio = 1032;
    static constexpr uint64_t kInflateSlack = 64;

    CBigFileResourceInputStream();
    explicit CBigFileResourceInputStream(uint32_t swapFlag);
    ~CBigFileResourceInputStream() override = default;

    // With allowInflate false a deflated entry delivers its raw payload (the
    // two size words and the deflate data). Open each entry on a fresh or
    // closed stream.
    bool OpenEntry(CBigFileReader* reader, uint32_t id, bool allowInflate);
    bool OpenFromPack(const CAggregateResource* pack, uint32_t id, bool allowInflate);
    void Close() { Reset(); }
    // Closes the inner streams and forgets the entry; the error flag stays.
    void Reset();

    uint32_t Available() override;
    void Skip(uint32_t n) override;
    void Read(void* dst, uint32_t n) override;

    uint32_t GetEntryId() const { return m_entryId; }
    bool IsCompressed() const { return m_compressed != 0; }

private:
    bool ParseEntryHeader(uint32_t id, CInputStream& source, uint32_t entrySize, bool allowInflate);
    bool OpenInflater(CInputStream& source, uint32_t payloadSize);
    // The error flag follows the inner stream's after each transfer.
    void TakeActiveError();

    CArrayInputStream m_arrayStream;
    CFileInputStream m_fileStream;
    CZipInputStream m_zipStream;
    uint32_t m_entryId = 0;
    CInputStream* m_active = nullptr;
    uint32_t m_position = 0;
    uint8_t m_compressed = 0;
};

#endif
