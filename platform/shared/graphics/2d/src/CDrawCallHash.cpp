#include "CDrawCallHash.h"

#include <cstring>

namespace {

constexpr uint64_t kSecondMultiplier = 0xC2B2AE3D27D4EB4Full;
constexpr size_t kLanes = 4;
// Folded for a state equal to the last one. The renderer's first state word
// has a low byte of 0, so no state begins with this word.
constexpr uint64_t kSameState = 0x5A5A5A5A5A5A5A5Aull;

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

// Four lanes, so that the multiplies of long runs overlap; the count seeds
// the last lane, so that runs of different lengths differ even where their
// padded tails do not.
void CDrawCallHash::FoldBytes(const void* bytes, size_t count) {
    static constexpr uint64_t kLaneMultipliers[kLanes] = {kMultiplier, kSecondMultiplier, 0x165667B19E3779F9ull,
                                                          0xD6E8FEB86659FD93ull};
    const auto* at = static_cast<const uint8_t*>(bytes);
    size_t left = count;
    uint64_t lanes[kLanes] = {m_value, ~m_value, m_value ^ kSecondMultiplier, m_value ^ count};
    for (; left >= sizeof lanes; left -= sizeof lanes, at += sizeof lanes) {
        for (size_t lane = 0; lane < kLanes; ++lane) {
            lanes[lane] = Mix(lanes[lane], LoadWord(at + lane * sizeof(uint64_t)), kLaneMultipliers[lane]);
        }
    }
    if (left > 0) {
        uint8_t tail[sizeof lanes] = {};
        std::memcpy(tail, at, left);
        for (size_t lane = 0; lane < kLanes; ++lane) {
            lanes[lane] = Mix(lanes[lane], LoadWord(tail + lane * sizeof(uint64_t)), kLaneMultipliers[lane]);
        }
    }
    m_value = Mix(Mix(lanes[0], lanes[1], kMultiplier), Mix(lanes[2], lanes[3], kSecondMultiplier), kMultiplier);
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
