#ifndef LITTLEENDIANWRITER_H
#define LITTLEENDIANWRITER_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Appends little-endian fields to a growing byte vector.
class LittleEndianWriter {
public:
    explicit LittleEndianWriter(std::vector<uint8_t>& out) : m_out(out) {}

    void U8(uint8_t value) { m_out.push_back(value); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void Bytes(const std::vector<uint8_t>& bytes);
    void Zeros(size_t count);

    // Overwrites a u32 already written at `offset`.
    void PatchU32(size_t offset, uint32_t value);

    size_t Size() const { return m_out.size(); }

private:
    std::vector<uint8_t>& m_out;
};

#endif
