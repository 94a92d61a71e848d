#ifndef CINPUTSTREAM_H
#define CINPUTSTREAM_H

#include "EngineTypes.h"

// Source of bytes for every parser of the engine. A read that cannot be
// satisfied sets a sticky error flag and yields zeros, so a parser reads a
// whole record and checks HasError once at the end. Typed values are
// little-endian unless the swap flag is set, in which case they are
// big-endian. Values are assembled from bytes, whatever the host order.
class CInputStream {
public:
    CInputStream() = default;
    // The flag's low byte becomes the swap flag.
    explicit CInputStream(uint32_t swapFlag);
    virtual ~CInputStream() = default;

    CInputStream(const CInputStream&) = delete;
    CInputStream& operator=(const CInputStream&) = delete;

    // Bytes that can still be read; 0 once the error flag is set.
    virtual uint32_t Available() = 0;
    virtual void Skip(uint32_t n) = 0;
    // Copies n bytes to dst; on failure sets the error flag and zero-fills dst.
    virtual void Read(void* dst, uint32_t n) = 0;

    bool HasError() const { return m_error != 0; }
    void SetSwapBytes(uint32_t flag) { m_swapBytes = static_cast<uint8_t>(flag); }
    bool GetSwapBytes() const { return m_swapBytes != 0; }
    // Total byte size of the source, as the implementation set it.
    uint32_t GetSize() const { return m_size; }

    uint8_t ReadUInt8();
    int8_t ReadInt8();
    uint16_t ReadUInt16();
    int16_t ReadInt16();
    uint32_t ReadUInt32();
    int32_t ReadInt32();
    uint64_t ReadUInt64();
    int64_t ReadInt64();

    // Reverses n bytes in place; n is expected to be even.
    static void ReverseBytes(uint8_t* buffer, uint32_t n);

protected:
    void SetError() { m_error = 1; }
    void ClearError() { m_error = 0; }
    void SetSize(uint32_t size) { m_size = size; }

private:
    // Reads n (2 to 8) bytes and assembles them little-endian, after the
    // reversal the swap flag asks for.
    uint64_t ReadOrdered(uint32_t n);

    uint8_t m_swapBytes = 0;
    uint8_t m_error = 0;
    uint32_t m_size = 0;
};

#endif
