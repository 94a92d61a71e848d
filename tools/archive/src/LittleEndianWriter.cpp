#include "LittleEndianWriter.h"

void LittleEndianWriter::U16(uint16_t value) {
    m_out.push_back(static_cast<uint8_t>(value));
    m_out.push_back(static_cast<uint8_t>(value >> 8));
}

void LittleEndianWriter::U32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        m_out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void LittleEndianWriter::Bytes(const std::vector<uint8_t>& bytes) {
    m_out.insert(m_out.end(), bytes.begin(), bytes.end());
}

void LittleEndianWriter::Zeros(size_t count) { m_out.insert(m_out.end(), count, 0); }

void LittleEndianWriter::PatchU32(size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        m_out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}
