#ifndef MGLSHADERSTATE_H
#define MGLSHADERSTATE_H

#include <cstddef>
#include <cstdint>

// One ready-made pixel-pipeline state: a 2960-byte image of 740
// little-endian words, stored and loaded byte for byte. Word 0 leads (nothing
// reads it), words 1-608 are the span code (entry at byte 4), words 609-739
// are the key words 0-130 that describe what the code expects.
struct MGLShaderState {
    static constexpr uint32_t kBytes = 2960;
    static constexpr uint32_t kCodeOffset = 4;
    static constexpr uint32_t kKeyOffset = 2436;
    static constexpr uint32_t kCodeBytes = kKeyOffset - kCodeOffset;
    static constexpr int32_t kKeyCount = 131;

    // Keys the renderer reads.
    static constexpr int32_t kKeyShader28 = 28;
    static constexpr int32_t kKeyDepthScaledMask = 29;
    static constexpr int32_t kKeyHasDepthInterpolant = 31;
    static constexpr int32_t kKeyDepthInterpolant = 32;
    static constexpr int32_t kKeyInterpolants = 37;
    static constexpr int32_t kKeyExtraInterpolants = 38;
    static constexpr int32_t kKeyFillMode = 42;
    // Key 32 holds the depth interpolant's index plus this.
    static constexpr int32_t kDepthInterpolantBias = 128;
    // The six keys a state is selected by, in the order they are compared.
    static constexpr int32_t kSelectionKeys[6] = {0, 91, 115, 2, 31, 5};

    uint8_t bytes[kBytes] = {};

    // Key word n; 0 for n outside 0..130.
    uint32_t GetKey(int32_t n) const;
    const uint8_t* Code() const { return bytes + kCodeOffset; }

    // States live on the engine heap; a failed allocation yields null.
    static void* operator new(size_t size) noexcept;
    static void operator delete(void* block) noexcept;
};

static_assert(sizeof(MGLShaderState) == MGLShaderState::kBytes);
static_assert(MGLShaderState::kKeyOffset + 4 * MGLShaderState::kKeyCount == MGLShaderState::kBytes);

#endif
