#ifndef CSYNCRAND_H
#define CSYNCRAND_H

#include "EngineTypes.h"

// Reproducible small random values cut bit by bit out of a seed buffer that
// the caller supplies (for instance one shared between peers, so that both
// draw the same values). Bits are taken from each byte least significant
// first, the first bits taken form the high part of a value, and the seed
// wraps around at its end.
class CSyncRand {
public:
    CSyncRand() = default;
    virtual ~CSyncRand();

    CSyncRand(const CSyncRand&) = delete;
    CSyncRand& operator=(const CSyncRand&) = delete;

    // Copies the seed. False, with nothing changed, when there is no seed or
    // a value would be as wide as the whole seed; false, with the old seed
    // released, when the copy cannot be allocated.
    bool Init(const uint8_t* seed, uint8_t byteCount, uint8_t bitsPerValue);
    // Positions beyond the seed are refused.
    void SetPosition(uint32_t bit);
    // The next bitsPerValue bits as a value; bits that would land at 32 or
    // above fall away, and the result keeps the low 16 bits.
    uint16_t NextBits();
    // A value in [0, n), without bias: draws in the incomplete top bucket are
    // redrawn, for at most one full cycle of the seed.
    uint16_t NextInt(uint16_t n);
    void Release();

private:
    uint32_t DrawsPerCycle() const;

    uint32_t m_bitPos = 0;
    uint32_t m_totalBits = 0;
    uint32_t m_bitsPerValue = 0;
    uint32_t m_range = 0;
    int32_t m_drawsLeft = 0;
    uint8_t* m_seed = nullptr;
};

#endif
