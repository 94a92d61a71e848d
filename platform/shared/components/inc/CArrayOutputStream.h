#ifndef CARRAYOUTPUTSTREAM_H
#define CARRAYOUTPUTSTREAM_H

#include "COutputStream.h"

// Output stream into a caller-owned buffer of fixed capacity. Bytes that do
// not fit are dropped and set the error flag.
class CArrayOutputStream : public COutputStream {
public:
    CArrayOutputStream() = default;
    explicit CArrayOutputStream(uint32_t swapFlag) : COutputStream(swapFlag) {}
    ~CArrayOutputStream() override = default;

    // Null data with a non-zero capacity fails and sets the error flag.
    bool Open(void* data, uint32_t capacity);
    void Close();

    void Write(const void* src, uint32_t n) override;

    // Writes a big-endian 16-bit byte count and the text as UTF-8 (no
    // terminator). When the whole text does not fit, the characters that fit
    // whole are written, the count says how many bytes they took, and the
    // error flag is set. Returns the bytes of text written.
    int32_t WriteUTF(const WChar* text, uint32_t count);

    uint32_t GetPosition() const { return m_position; }
    uint32_t GetCapacity() const { return m_capacity; }

private:
    // Encodes the whole characters of the text that fit in `room` bytes at
    // the position, advances past them and returns their byte count.
    uint32_t EncodeFitting(const WChar* text, uint32_t count, uint32_t room);

    uint8_t* m_data = nullptr;
    uint32_t m_capacity = 0;
    uint32_t m_position = 0;
};

#endif
