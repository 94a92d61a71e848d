#include "CRandGen.h"

#include "CAssert.h"
#include "CRuntime.h"

namespace {
constexpr int32_t kShift = 397;
constexpr uint32_t kUpperBit = 0x80000000u;
constexpr uint32_t kLowerBits = 0x7FFFFFFFu;
constexpr uint32_t kSeedMultiplier = 1812433253u;
}  // namespace

CRandGen::CRandGen() : CSingleton(kClassKey) { Seed(GetUnixTime()); }

void CRandGen::Seed(uint32_t seed) {
    m_state[0] = seed;
    for (int32_t i = 1; i < kStateWords; ++i) {
        const uint32_t previous = m_state[i - 1];
        m_state[i] = kSeedMultiplier * (previous ^ (previous >> 30)) + static_cast<uint32_t>(i);
    }
    m_index = kNeedsTwist;
}

uint32_t CRandGen::Mix(int32_t k, int32_t next, int32_t far) const {
    const uint32_t y = (m_state[k] & kUpperBit) | (m_state[next] & kLowerBits);
    return m_state[far] ^ (y >> 1) ^ m_twist[y & 1u];
}

void CRandGen::Twist() {
    for (int32_t k = 0; k < kStateWords - 1; ++k) m_state[k] = Mix(k, k + 1, (k + kShift) % kStateWords);
    m_state[kStateWords - 1] = Mix(kStateWords - 1, 0, kShift - 1);
    m_index = 0;
}

uint32_t CRandGen::Temper(uint32_t y) {
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

uint32_t CRandGen::Next() {
    if (m_index >= kNeedsTwist) {
        if (m_index == kNeverSeeded) Seed(GetUnixTime());
        Twist();
    }
    return Temper(m_state[m_index++]);
}

uint32_t CRandGen::NextMod(uint32_t n) {
    ASSERT(n != 0);
    if (n == 0) return Next();
    return Next() % n;
}

uint32_t CRandGen::NextInRange(uint32_t low, uint32_t high) {
    ASSERT(low <= high);
    const uint32_t span = high - low + 1u;
    // A span of 0 is the whole 32-bit range, which needs no reduction.
    if (span == 0) return low + Next();
    return low + Next() % span;
}
