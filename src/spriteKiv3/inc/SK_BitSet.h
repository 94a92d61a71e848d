#ifndef SK_BITSET_H
#define SK_BITSET_H

#include "EngineTypes.h"
#include "SK_Array.h"

class CInputStream;

// A fixed number of bits, least significant bit of each byte first, that
// keeps the count of its set bits.
class SK_BitSet {
public:
    // All clear. False when memory runs out (the set is then empty).
    bool Init(int32_t bitCount);
    // Reads (bitCount + 7) / 8 bytes; bits past bitCount in the last byte
    // are ignored.
    bool Read(int32_t bitCount, CInputStream& stream);

    // False for a bit outside the set.
    bool Get(int32_t n) const;
    void Set(int32_t n, bool on);

    int32_t GetBitCount() const { return m_bitCount; }
    int32_t GetSetCount() const { return m_setCount; }
    int32_t GetClearCount() const { return m_bitCount - m_setCount; }
    int32_t GetByteCount() const { return static_cast<int32_t>(m_bits.Count()); }

private:
    SK_Array<uint8_t> m_bits;
    int32_t m_bitCount = 0;
    int32_t m_setCount = 0;
};

#endif
