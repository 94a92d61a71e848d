#include "COutputStream.h"

#include "CInputStream.h"

COutputStream::COutputStream(uint32_t swapFlag) : m_swapBytes(static_cast<uint8_t>(swapFlag)) {}

void COutputStream::WriteOrdered(uint64_t value, uint32_t n) {
    uint8_t bytes[8];
    for (uint32_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
    if (m_swapBytes != 0) {
        CInputStream::ReverseBytes(bytes, n);
    }
    Write(bytes, n);
}

void COutputStream::WriteUInt8(uint8_t value) {
    Write(&value, 1);
}

void COutputStream::WriteInt8(int8_t value) {
    WriteUInt8(static_cast<uint8_t>(value));
}

void COutputStream::WriteUInt16(uint16_t value) {
    WriteOrdered(value, 2);
}

void COutputStream::WriteInt16(int16_t value) {
    WriteUInt16(static_cast<uint16_t>(value));
}

void COutputStream::WriteUInt32(uint32_t value) {
    WriteOrdered(value, 4);
}

void COutputStream::WriteInt32(int32_t value) {
    WriteUInt32(static_cast<uint32_t>(value));
}

void COutputStream::WriteUInt64(uint64_t value) {
    WriteOrdered(value, 8);
}

void COutputStream::WriteInt64(int64_t value) {
    WriteUInt64(static_cast<uint64_t>(value));
}
