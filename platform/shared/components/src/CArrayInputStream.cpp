#include "CArrayInputStream.h"

#include "CAssert.h"
#include "CMemory.h"
#include "Utf8.h"

bool CArrayInputStream::Open(const void* data, uint32_t size) {
    Close();
    if (data == nullptr && size != 0) {
        SetError();
        return false;
    }
    m_data = static_cast<const uint8_t*>(data);
    SetSize(size);
    m_position = 0;
    ClearError();
    return true;
}

void CArrayInputStream::Close() {
    m_data = nullptr;
    SetSize(0);
    m_position = 0;
}

uint32_t CArrayInputStream::Available() {
    if (m_data == nullptr || HasError()) {
        return 0;
    }
    return GetSize() - m_position;
}

void CArrayInputStream::Skip(uint32_t n) {
    if (n == 0) {
        return;
    }
    if (Available() >= n) {
        ASSERT(m_data != nullptr);
        m_position += n;
    } else {
        SetError();
    }
}

void CArrayInputStream::Read(void* dst, uint32_t n) {
    if (dst == nullptr || n == 0) {
        return;
    }
    if (Available() >= n) {
        MemCopy(dst, m_data + m_position, n);
        m_position += n;
    } else {
        SetError();
    }
    if (HasError()) {
        MemSet(dst, 0, n);
    }
    ASSERT(!HasError());
}

int32_t CArrayInputStream::ReadUTF(WChar* dst, uint32_t capacity) {
    // The length field is big-endian whatever order the rest of the data has.
    const bool swap = GetSwapBytes();
    SetSwapBytes(1);
    const uint16_t count = ReadUInt16();
    SetSwapBytes(swap ? 1 : 0);
    return ReadUTFBytes(count, dst, capacity);
}

int32_t CArrayInputStream::ReadUTFBytes(uint32_t count, WChar* dst, uint32_t capacity) {
    if (dst != nullptr && capacity > 0) {
        dst[0] = 0;
    }
    if (Available() < count) {
        SetError();
        return 0;
    }
    const int32_t units = Utf8ToWide(m_data + m_position, count, dst, capacity);
    m_position += count;
    return units;
}
