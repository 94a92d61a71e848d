#include "CDrawCallHash.h"

#include <cstring>

namespace {

constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
constexpr uint64_t kSecondMultiplier = 0xC2B2AE3D27D4EB4Full;
// Folded for a state equal to the last one. The renderer's first state word
// has a low byte of 0, so no state begins with this word.
constexpr uint64_t kSameState = 0x5A5A5A5A5A5A5A5Aull;

// The multiply carries each bit upwards and the shift brings the high half
// back down, so that no two changed bits of successive words cancel.
uint64_t Mix(uint64_t value, uint64_t word, uint64_t multiplier) {
    uint64_t mixed = (value ^ word) * multiplier;
    return mixed ^ mixed >> 32;
}

uint64_t LoadWord(const uint8_t* at) {
    uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

}  // namespace

void CDrawCallHash::Start(Mode mode) {
    m_mode = mode;
    m_value = kSeed;
    m_stateKnown = false;
}

void CDrawCallHash::Fold(uint64_t word) { m_value = Mix(m_value, word, kMultiplier); }

// The count seeds the second lane, so that runs of different lengths
// differ even where their padded tails do not.
void CDrawCallHash::FoldBytes(const void* bytes, size_t count) {
    const auto* at = static_cast<const uint8_t*>(bytes);
    size_t left = count;
    uint64_t first = m_value;
    uint64_t second = m_value ^ count;
    for (; left >= 2 * sizeof(uint64_t); left -= 2 * sizeof(uint64_t), at += 2 * sizeof(uint64_t)) {
        first = Mix(first, LoadWord(at), kMultiplier);
        second = Mix(second, LoadWord(at + sizeof(uint64_t)), kSecondMultiplier);
    }
    if (left > 0) {
        uint8_t tail[2 * sizeof(uint64_t)] = {};
        std::memcpy(tail, at, left);
        first = Mix(first, LoadWord(tail), kMultiplier);
        second = Mix(second, LoadWord(tail + sizeof(uint64_t)), kSecondMultiplier);
    }
    m_value = Mix(first, second, kMultiplier);
}

void CDrawCallHash::FoldState(const uint64_t (&words)[kStateWords]) {
    if (m_stateKnown && std::memcmp(words, m_state, sizeof m_state) == 0) {
        Fold(kSameState);
        return;
    }
    std::memcpy(m_state, words, sizeof m_state);
    m_stateKnown = true;
    for (const uint64_t word : words) Fold(word);
}
