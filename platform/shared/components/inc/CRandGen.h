#ifndef CRANDGEN_H
#define CRANDGEN_H

#include "CSingleton.h"

// The engine's random-number service: a 32-bit Mersenne Twister (period
// 2^19937 - 1) with the standard seeding and tempering, seeded from the wall
// clock when it is created.
class CRandGen : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x64780132;
    static constexpr int32_t kStateWords = 624;

    CRandGen();

    void Seed(uint32_t seed);
    uint32_t Next();
    // Next() mod n. A modulus of 0 is a caller error; it is reported and the
    // plain Next() is returned.
    uint32_t NextMod(uint32_t n);
    // A value in [low, high]. The full 32-bit span (0, 0xFFFFFFFF) is
    // answered with low + Next(), which covers it exactly.
    uint32_t NextInRange(uint32_t low, uint32_t high);

private:
    static constexpr int32_t kNeedsTwist = kStateWords;
    static constexpr int32_t kNeverSeeded = kStateWords + 1;

    void Twist();
    uint32_t Mix(int32_t k, int32_t next, int32_t far) const;
    static uint32_t Temper(uint32_t y);

    int32_t m_index = kNeverSeeded;
    uint32_t m_twist[2] = {0, 0x9908B0DF};
    uint32_t m_state[kStateWords] = {};
};

#endif
