#ifndef BIGENDIANWRITER_H
#define BIGENDIANWRITER_H

#include <cstdint>
#include <vector>

// Appends big-endian fields to a growing byte vector: the byte order of the
// level streams.
class BigEndianWriter {
public:
    explicit BigEndianWriter(std::vector<uint8_t>& out) : m_out(out) {}

    void U8(uint8_t value) { m_out.push_back(value); }
    void I8(int8_t value) { m_out.push_back(static_cast<uint8_t>(value)); }
    void U16(uint16_t value);
    void I16(int16_t value) { U16(static_cast<uint16_t>(value)); }
    void Bytes(const std::vector<uint8_t>& bytes);
    void SignedBytes(const std::vector<int8_t>& bytes);

private:
    std::vector<uint8_t>& m_out;
};

#endif
