#ifndef CCRC32_H
#define CCRC32_H

#include "CSingleton.h"

// The engine's CRC-32: polynomial 0x04C11DB7, not reflected, initial value
// and final XOR all ones (the nine digits 123456789 give 0xFC891918). Record
// files carry it, so the parameters are part of the file formats.
class CCrc32 : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x02744002;
    static constexpr uint32_t kPolynomial = 0x04C11DB7;

    CCrc32();
    ~CCrc32() override = default;

    // Builds the tables on first use.
    uint32_t Compute(const void* bytes, uint32_t length);
    void BuildTable();

private:
    // Table 0 is the byte-at-a-time table; table k holds the CRC of a byte
    // followed by k zero bytes, so 16 bytes are folded per step. Entry 1 of
    // table 0 is the polynomial once built and 0 before: the built mark.
    static constexpr uint32_t kSlices = 16;
    // Where the processor multiplies polynomials, runs of 64 bytes or more
    // are folded with it, 64 bytes a step.
    static constexpr uint32_t kMinFoldedBlocks = 4;

    uint32_t UpdateBytewise(uint32_t crc, const uint8_t* bytes, uint32_t length) const;
    uint32_t UpdateSliced(uint32_t crc, const uint8_t* bytes, uint32_t blocks) const;

    uint32_t m_table[kSlices][256];
    // x^(d + 64) and x^d modulo the polynomial, for folding distances d of
    // 512 and 128 bits.
    uint32_t m_fold512[2];
    uint32_t m_fold128[2];
};

#endif
