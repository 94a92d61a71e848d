#include "BigEndianWriter.h"

void BigEndianWriter::U16(uint16_t value) {
    m_out.push_back(static_cast<uint8_t>(value >> 8));
    m_out.push_back(static_cast<uint8_t>(value & 0xFF));
}

void BigEndianWriter::Bytes(const std::vector<uint8_t>& bytes) {
    m_out.insert(m_out.end(), bytes.begin(), bytes.end());
}

void BigEndianWriter::SignedBytes(const std::vector<int8_t>& bytes) {
    for (int8_t value : bytes) I8(value);
}
