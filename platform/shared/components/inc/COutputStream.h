#ifndef COUTPUTSTREAM_H
#define COUTPUTSTREAM_H

#include "EngineTypes.h"

// Sink of bytes with the same conventions as CInputStream: little-endian
// typed values unless the swap flag is set, and a sticky error flag that
// stays set until the implementation is opened again.
class COutputStream {
public:
    COutputStream() = default;
    // The flag's low byte becomes the swap flag.
    explicit COutputStream(uint32_t swapFlag);
    virtual ~COutputStream() = default;

    COutputStream(const COutputStream&) = delete;
    COutputStream& operator=(const COutputStream&) = delete;

    virtual void Write(const void* src, uint32_t n) = 0;

    bool HasError() const { return m_error != 0; }
    void SetSwapBytes(uint32_t flag) { m_swapBytes = static_cast<uint8_t>(flag); }
    bool GetSwapBytes() const { return m_swapBytes != 0; }

    void WriteUInt8(uint8_t value);
    void WriteInt8(int8_t value);
    void WriteUInt16(uint16_t value);
    void WriteInt16(int16_t value);
    void WriteUInt32(uint32_t value);
    void WriteInt32(int32_t value);
    void WriteUInt64(uint64_t value);
    void WriteInt64(int64_t value);

protected:
    void SetError() { m_error = 1; }
    void ClearError() { m_error = 0; }

private:
    // Lays out the low n (2 to 8) bytes of the value little-endian,
    // reverses them when the swap flag is set, and writes them.
    void WriteOrdered(uint64_t value, uint32_t n);

    uint8_t m_swapBytes = 0;
    uint8_t m_error = 0;
};

#endif
