#ifndef CARRAYINPUTSTREAM_H
#define CARRAYINPUTSTREAM_H

#include "CInputStream.h"

// Input stream over a caller-owned byte buffer, which must outlive it. One
// object may be reopened over many buffers; each Open clears the error flag.
class CArrayInputStream : public CInputStream {
public:
    CArrayInputStream() = default;
    explicit CArrayInputStream(uint32_t swapFlag) : CInputStream(swapFlag) {}
    ~CArrayInputStream() override = default;

    // Null data with a non-zero size fails and sets the error flag; null
    // with size 0 opens an empty stream.
    bool Open(const void* data, uint32_t size);
    // Detaches the buffer; the error flag is kept.
    void Close();

    uint32_t Available() override;
    void Skip(uint32_t n) override;
    void Read(void* dst, uint32_t n) override;

    // A big-endian 16-bit byte count, then that many bytes of UTF-8 decoded
    // into dst (room for `capacity` units with the terminator). Returns the
    // units decoded; malformed text decodes as empty.
    int32_t ReadUTF(WChar* dst, uint32_t capacity);
    int32_t ReadUTFBytes(uint32_t count, WChar* dst, uint32_t capacity);

    uint32_t GetPosition() const { return m_position; }

private:
    const uint8_t* m_data = nullptr;
    uint32_t m_position = 0;
};

#endif
