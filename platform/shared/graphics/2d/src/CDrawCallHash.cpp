#include "CDrawCallHash.h"

#include <cstring>

namespace {

constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

}  // namespace

// The multiply carries each bit upwards and the shift brings the high half
// back down, so that no two changed bits of successive words cancel.
void CDrawCallHash::Fold(uint64_t word) {
    uint64_t mixed = (m_value ^ word) * kMultiplier;
    mixed ^= mixed >> 32;
    m_value = mixed;
}

void CDrawCallHash::FoldBytes(const void* bytes, size_t count) {
    const auto* at = static_cast<const uint8_t*>(bytes);
    size_t left = count;
    for (; left >= sizeof(uint64_t); left -= sizeof(uint64_t), at += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, at, sizeof word);
        Fold(word);
    }
    uint64_t tail = 0;
    if (left > 0) std::memcpy(&tail, at, left);
    Fold(tail ^ static_cast<uint64_t>(count) << 56);
}
