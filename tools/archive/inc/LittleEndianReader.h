#ifndef LITTLEENDIANREADER_H
#define LITTLEENDIANREADER_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Reads little-endian fields from a byte range it does not own. A read past
// the end yields 0 and marks the reader as failed for good, so a caller reads
// a whole record and checks Ok() once.
class LittleEndianReader {
public:
    LittleEndianReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    void Skip(size_t count);
    void Seek(size_t offset);

    bool Ok() const { return m_ok; }
    size_t Position() const { return m_position; }
    size_t Remaining() const { return m_ok ? m_size - m_position : 0; }

private:
    // True when `count` more bytes are there; otherwise marks the failure.
    bool Have(size_t count);

    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
    bool m_ok = true;
};

#endif
