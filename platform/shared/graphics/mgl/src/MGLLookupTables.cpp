#include "MGLLookupTables.h"

#include <cmath>

#include "CMathFixed.h"

namespace {

constexpr float kTwoTo30 = 1073741824.0f;
constexpr int32_t kRecipMantissaLimit = 32767;
constexpr int32_t kQuarterTurn = 256;
// A quarter turn in 256 steps, in radians, as the handset accumulated it.
constexpr float kCosStepDegrees = 0.3515625f;
constexpr float kRadiansPerDegree = 0.017453289f;
constexpr double kOne = 65536.0;

}  // namespace

MGLLookupTables::MGLLookupTables() {
    BuildReciprocals();
    BuildCosines();
    BuildSquareRoots();
}

void MGLLookupTables::BuildReciprocals() {
    m_recipTable4[0] = 0;
    m_recipTable[0] = 0;
    m_recipShiftTable[0] = 0;
    for (int32_t i = 1; i < kTableSize; ++i) {
        const int32_t r = static_cast<int32_t>(kTwoTo30 / static_cast<float>(i));
        // Doublings of 32767 needed to reach r: the bits to drop.
        int32_t dropped = 0;
        while ((int64_t{kRecipMantissaLimit} << dropped) < r) ++dropped;
        m_recipTable4[i] = r;
        m_recipTable[i] = static_cast<uint16_t>(dropped == 0 ? r : ((r >> (dropped - 1)) + 1) >> 1);
        m_recipShiftTable[i] = static_cast<uint8_t>(kRecipFullShift - dropped);
    }
}

void MGLLookupTables::BuildCosines() {
    float x = 0.0f;
    const float step = kCosStepDegrees * kRadiansPerDegree;
    for (int32_t i = 0; i < kCosEntries; ++i) {
        const int32_t value = static_cast<int32_t>(kOne * std::cos(static_cast<double>(x)));
        m_cosTable[i] = static_cast<uint16_t>(value & 0xFFFF);
        x += step;
    }
}

void MGLLookupTables::BuildSquareRoots() {
    for (int32_t i = 0; i < kTableSize; ++i) {
        m_sqrtTable[i] = static_cast<int32_t>(std::sqrt(static_cast<float>(i)) * 65536.0f);
    }
}

void MGLLookupTables::SinCos(int32_t angle, int32_t* cosine, int32_t* sine) const {
    const int32_t index = angle & (kQuarterTurn - 1);
    const int32_t quadrant = (angle >> 8) & 3;
    const int32_t c = index == 0 ? CMathFixed::ONE : m_cosTable[index];
    const int32_t s = m_cosTable[kQuarterTurn - index];
    switch (quadrant) {
        case 0:
            *cosine = c;
            *sine = s;
            break;
        case 1:
            *cosine = -s;
            *sine = c;
            break;
        case 2:
            *cosine = -c;
            *sine = -s;
            break;
        default:
            *cosine = s;
            *sine = -c;
            break;
    }
}

