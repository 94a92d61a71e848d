#include "CMath.h"

#include <array>
#include <bit>
#include <cmath>

namespace {

// Entry i is floor(16 * sqrt(i)), that is floor(sqrt(256 * i)), built with
// integers only so the table is exact.
constexpr std::array<uint8_t, 256> MakeSeedTable() {
    std::array<uint8_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t root = 0;
        while ((root + 1) * (root + 1) <= 256 * i) ++root;
        table[i] = static_cast<uint8_t>(root);
    }
    return table;
}

constexpr std::array<uint8_t, 256> kSeed = MakeSeedTable();

// First estimate for 256 <= x < 65536, at most one above the root.
uint32_t SeedBelow16Bits(uint32_t x) {
    if (x < 1024) return (kSeed[x >> 2] >> 3) + 1u;
    if (x < 4096) return (kSeed[x >> 4] >> 2) + 1u;
    if (x < 16384) return (kSeed[x >> 6] >> 1) + 1u;
    return kSeed[x >> 8] + 1u;
}

// Estimate for x >= 65536 from the table entry of its top 7 or 8 bits (an
// even shift k keeps the root exact: sqrt(x) ~ sqrt(x >> k) << k/2), within
// about 1.6 % of the root and never 0.
uint32_t SeedAbove16Bits(uint32_t x) {
    const uint32_t k = static_cast<uint32_t>(32 - std::countl_zero(x) - 7) & ~1u;
    return static_cast<uint32_t>(kSeed[x >> k]) << (k / 2 - 4);
}

}  // namespace

namespace CMath {

int32_t Sqrt(int32_t value) {
    if (value < 0) return 0;
    const uint32_t x = static_cast<uint32_t>(value);
    if (x < 256) return kSeed[x] >> 4;
    if (x < 65536) {
        const uint32_t s = SeedBelow16Bits(x);
        return static_cast<int32_t>(s * s > x ? s - 1 : s);
    }
    // One Newton step leaves the estimate a few units from the root; a
    // division costs far more than the multiplications that settle it.
    uint32_t s = SeedAbove16Bits(x);
    s = (s + 1 + x / s) >> 1;
    while (s * s > x) --s;
    while ((s + 1) * (s + 1) <= x) ++s;
    return static_cast<int32_t>(s);
}

int32_t SqrtWide(int64_t value) {
    if (value <= INT32_MAX) return Sqrt(static_cast<int32_t>(value));
    // Rounded from the floating root, then settled to the exact floor.
    const uint64_t x = static_cast<uint64_t>(value);
    uint64_t s = static_cast<uint64_t>(std::sqrt(static_cast<long double>(x)));
    while (s * s > x) --s;
    while ((s + 1) * (s + 1) <= x) ++s;
    return static_cast<int32_t>(s);
}

}  // namespace CMath
