#include "CInputStream.h"

#include "CAssert.h"

CInputStream::CInputStream(uint32_t swapFlag) : m_swapBytes(static_cast<uint8_t>(swapFlag)) {}

void CInputStream::ReverseBytes(uint8_t* buffer, uint32_t n) {
    ASSERT((n & 1) == 0);
    for (uint32_t i = 0; i < n / 2; ++i) {
        const uint8_t low = buffer[i];
        buffer[i] = buffer[n - 1 - i];
        buffer[n - 1 - i] = low;
    }
}

uint64_t CInputStream::ReadOrdered(uint32_t n) {
    // Read zero-fills on failure, so a failed read assembles to 0 in either
    // byte order without a separate check.
    uint8_t bytes[8] = {};
    Read(bytes, n);
    if (m_swapBytes != 0) {
        ReverseBytes(bytes, n);
    }
    uint64_t value = 0;
    for (uint32_t i = n; i > 0; --i) {
        value = (value << 8) | bytes[i - 1];
    }
    return value;
}

uint8_t CInputStream::ReadUInt8() {
    uint8_t value = 0;
    Read(&value, 1);
    return value;
}

int8_t CInputStream::ReadInt8() {
    return static_cast<int8_t>(ReadUInt8());
}

uint16_t CInputStream::ReadUInt16() {
    return static_cast<uint16_t>(ReadOrdered(2));
}

int16_t CInputStream::ReadInt16() {
    return static_cast<int16_t>(ReadUInt16());
}

uint32_t CInputStream::ReadUInt32() {
    return static_cast<uint32_t>(ReadOrdered(4));
}

int32_t CInputStream::ReadInt32() {
    return static_cast<int32_t>(ReadUInt32());
}

uint64_t CInputStream::ReadUInt64() {
    return ReadOrdered(8);
}

int64_t CInputStream::ReadInt64() {
    return static_cast<int64_t>(ReadUInt64());
}
