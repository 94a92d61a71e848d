#include "SK_BitSet.h"

#include "CAssert.h"
#include "CInputStream.h"

bool SK_BitSet::Init(int32_t bitCount) {
    m_bitCount = 0;
    m_setCount = 0;
    if (bitCount < 0 || !m_bits.Allocate(static_cast<uint32_t>((bitCount + 7) / 8))) return false;
    m_bitCount = bitCount;
    return true;
}

bool SK_BitSet::Read(int32_t bitCount, CInputStream& stream) {
    if (!Init(bitCount)) return false;
    if (m_bits.Count() != 0) stream.Read(m_bits.Data(), m_bits.Count());
    for (int32_t n = 0; n < m_bitCount; ++n) {
        if (Get(n)) ++m_setCount;
    }
    return true;
}

bool SK_BitSet::Get(int32_t n) const {
    if (n < 0 || n >= m_bitCount) return false;
    return (m_bits[static_cast<uint32_t>(n / 8)] >> (n % 8) & 1) != 0;
}

void SK_BitSet::Set(int32_t n, bool on) {
    ASSERT(n >= 0 && n < m_bitCount);
    if (n < 0 || n >= m_bitCount || Get(n) == on) return;
    uint8_t& byte = m_bits[static_cast<uint32_t>(n / 8)];
    const uint8_t mask = static_cast<uint8_t>(1u << (n % 8));
    byte = on ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
    m_setCount += on ? 1 : -1;
}
