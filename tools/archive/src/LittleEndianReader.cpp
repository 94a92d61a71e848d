#include "LittleEndianReader.h"

bool LittleEndianReader::Have(size_t count) {
    if (m_ok && count <= m_size - m_position) return true;
    m_ok = false;
    return false;
}

uint8_t LittleEndianReader::U8() {
    if (!Have(1)) return 0;
    return m_data[m_position++];
}

uint16_t LittleEndianReader::U16() {
    if (!Have(2)) return 0;
    const uint16_t value = static_cast<uint16_t>(m_data[m_position] | (m_data[m_position + 1] << 8));
    m_position += 2;
    return value;
}

uint32_t LittleEndianReader::U32() {
    if (!Have(4)) return 0;
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(m_data[m_position + i]) << (8 * i);
    }
    m_position += 4;
    return value;
}

void LittleEndianReader::Skip(size_t count) {
    if (Have(count)) m_position += count;
}

void LittleEndianReader::Seek(size_t offset) {
    if (m_ok && offset <= m_size) {
        m_position = offset;
    } else {
        m_ok = false;
    }
}
