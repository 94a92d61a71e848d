#include "CSyncRand.h"

#include "CAssert.h"
#include "CMemory.h"

#include <numeric>

CSyncRand::~CSyncRand() { Release(); }

bool CSyncRand::Init(const uint8_t* seed, uint8_t byteCount, uint8_t bitsPerValue) {
    const uint32_t totalBits = 8u * byteCount;
    ASSERT(seed != nullptr);
    ASSERT(bitsPerValue < totalBits);
    if (seed == nullptr || bitsPerValue >= totalBits) return false;
    uint8_t* copy = static_cast<uint8_t*>(MemAlloc(byteCount));
    if (copy != nullptr) MemCopy(copy, seed, byteCount);
    Release();
    if (copy == nullptr) return false;
    m_seed = copy;
    m_totalBits = totalBits;
    m_bitsPerValue = bitsPerValue;
    m_range = bitsPerValue >= 32 ? 0 : 1u << bitsPerValue;
    m_bitPos = 0;
    m_drawsLeft = static_cast<int32_t>(totalBits);
    return true;
}

void CSyncRand::SetPosition(uint32_t bit) {
    ASSERT(bit < m_totalBits);
    if (bit < m_totalBits) m_bitPos = bit;
}

uint16_t CSyncRand::NextBits() {
    ASSERT(m_drawsLeft >= 1);
    uint32_t need = m_bitsPerValue;
    uint32_t value = 0;
    uint32_t p = m_bitPos;
    while (need > 0) {
        if (p == m_totalBits) p = 0;
        const uint32_t offset = p % 8u;
        const uint32_t take = need < 8u - offset ? need : 8u - offset;
        need -= take;
        const uint32_t bits = (static_cast<uint32_t>(m_seed[p / 8u]) >> offset) & ((1u << take) - 1u);
        if (need < 32) value |= bits << need;
        p += take;
    }
    m_bitPos = p;
    if (m_drawsLeft > 0) --m_drawsLeft;
    return static_cast<uint16_t>(value);
}

uint32_t CSyncRand::DrawsPerCycle() const {
    // After this many draws the position is back where it started and the
    // values repeat.
    if (m_totalBits == 0) return 1;
    return m_totalBits / std::gcd(m_totalBits, m_bitsPerValue);
}

uint16_t CSyncRand::NextInt(uint16_t n) {
    ASSERT(n >= 1 && (m_range == 0 || n < m_range));
    if (n == 0) return 0;
    // A range of 0 stands for 2^32 (values of 32 bits or more).
    const uint64_t range = m_range == 0 ? (uint64_t{1} << 32) : m_range;
    const uint64_t fullBuckets = range / n;
    // When a whole cycle of draws falls in the rejected bucket, redrawing
    // could never end; the last draw is then taken as it is.
    const uint32_t maxDraws = DrawsPerCycle();
    uint16_t value = NextBits();
    for (uint32_t draws = 1; draws < maxDraws && uint64_t{value} / n == fullBuckets; ++draws) value = NextBits();
    return static_cast<uint16_t>(value % n);
}

void CSyncRand::Release() {
    MemFree(m_seed);
    m_seed = nullptr;
    m_bitPos = 0;
    m_totalBits = 0;
    m_bitsPerValue = 0;
    m_range = 0;
    m_drawsLeft = 0;
}
