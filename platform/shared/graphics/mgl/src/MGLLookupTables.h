#ifndef MGLLOOKUPTABLES_H
#define MGLLOOKUPTABLES_H

#include <bit>
#include <cstdint>

#include "CFixedWide.h"

// A divisor turned into a multiplier: x / v is FixedMulShift(entry, x, shift)
// in 16.16.
struct MGLReciprocal {
    int32_t entry;
    int32_t shift;
};

// How many times `limit` must double before it is no longer below `value`,
// 0 for a zero limit; `limitBits` is the limit's bit length, which callers
// that reach one table many times take once. The limit doubles in 64 bits
// (a 32-bit one would wrap before passing a value near the top of the
// range); the bit lengths give the count to within one: the limit shifted
// to the value's length is at least half of it, and once more passes it.
inline int32_t DoublingsToReach(uint64_t limit, int32_t limitBits, uint32_t value) {
    if (limit == 0 || limit >= value) return 0;
    const int32_t valueBits = static_cast<int32_t>(std::bit_width(value));
    // A loop rather than a conditional move: the branch is predicted, and
    // the pixels' divides that wait on the count go ahead without it.
    int32_t k = valueBits > limitBits ? valueBits - limitBits : 0;
    while ((limit << k) < value) ++k;
    return k;
}

// Where a value falls in a table whose last index is `limit`: the value
// itself when it is within reach, else the value halved `doublings` times,
// rounding to nearest.
struct MGLTableIndex {
    uint32_t index;
    int32_t doublings;
};

// The value halved `doublings` times, rounding to nearest.
inline uint32_t HalvedIndex(uint32_t value, int32_t doublings) {
    return doublings > 0 ? ((value >> (doublings - 1)) + 1) >> 1 : value;
}

inline MGLTableIndex TableIndexOf(uint64_t limit, uint32_t value) {
    const int32_t k = DoublingsToReach(limit, static_cast<int32_t>(std::bit_width(limit)), value);
    return MGLTableIndex{HalvedIndex(value, k), k};
}

// x divided by the value the reciprocal was taken of.
inline int32_t ApplyReciprocal(int32_t x, MGLReciprocal reciprocal) {
    return FixedMulShift(reciprocal.entry, x, reciprocal.shift);
}

// The renderer's lookup tables: reciprocals, the cosine of a quarter turn and
// square roots. They are built once, in single precision as on the handset,
// so every value matches its stored counterpart bit for bit; no floating
// point is used after construction. The renderer context owns them and maps
// them where span code can read them.
class MGLLookupTables {
public:
    static constexpr int32_t kTableSize = 4096;
    static constexpr int32_t kTableSizeM1 = kTableSize - 1;
    static constexpr int32_t kCosEntries = 257;
    // Angles are in 1/1024 of a turn.
    static constexpr int32_t kAnglesPerTurn = 1024;

    MGLLookupTables();

    // Cosine and sine of an angle in 1/1024 of a turn, in 16.16.
    void SinCos(int32_t angle, int32_t* cosine, int32_t* sine) const;

    // The table reciprocal of v: entry of the magnitude's table slot (a large
    // magnitude is first scaled down by a power of two, rounding), its sign
    // that of v, with the matching shift (at most 30). 0 gives entry 0.
    // Inline: every projected vertex and every triangle takes one.
    MGLReciprocal Reciprocal(int32_t v) const {
        const uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
        const MGLTableIndex at = TableIndexOf(kTableSizeM1, magnitude);
        int32_t entry = m_recipTable4[at.index];
        int32_t shift = kRecipBaseShift + at.doublings;
        if (shift > kRecipFullShift) {
            entry >>= shift - kRecipFullShift;
            shift = kRecipFullShift;
        }
        return {v < 0 ? -entry : entry, shift};
    }

    // 2^30 / i, truncated; entry 0 is 0.
    const int32_t* RecipTable4() const { return m_recipTable4; }
    // recipTable4 rounded to 15 significant bits, and 30 minus the bits dropped.
    const uint16_t* RecipTable() const { return m_recipTable; }
    const uint8_t* RecipShiftTable() const { return m_recipShiftTable; }
    // Low 16 bits of 65536 cos(i quarter turns / 256); entry 0 holds 0.
    const uint16_t* CosTable() const { return m_cosTable; }
    // sqrt(i) in 16.16.
    const int32_t* SqrtTable() const { return m_sqrtTable; }

private:
    static constexpr int32_t kRecipFullShift = 30;
    // The reciprocal's shift is 14 plus the divisor's scale, capped at 30.
    static constexpr int32_t kRecipBaseShift = 14;

    void BuildReciprocals();
    void BuildCosines();
    void BuildSquareRoots();

    int32_t m_recipTable4[kTableSize];
    uint16_t m_recipTable[kTableSize];
    uint8_t m_recipShiftTable[kTableSize];
    uint16_t m_cosTable[kCosEntries];
    int32_t m_sqrtTable[kTableSize];
};

#endif
