#ifndef SHADERSTATEBUILDER_H
#define SHADERSTATEBUILDER_H

// Builds pipeline-state images as a state stream carries them: code words
// from byte 4, key words from byte 2436, all little-endian.

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "MGLShaderState.h"

class ShaderStateBuilder {
public:
    ShaderStateBuilder() : m_image(MGLShaderState::kBytes, 0) {}

    ShaderStateBuilder& Key(int32_t n, uint32_t value) {
        Put(MGLShaderState::kKeyOffset + 4 * static_cast<uint32_t>(n), value);
        return *this;
    }
    ShaderStateBuilder& Keys(std::initializer_list<std::pair<int32_t, uint32_t>> keys) {
        for (const auto& [n, value] : keys) Key(n, value);
        return *this;
    }
    // The six selection keys 0, 91, 115, 2, 31 and 5.
    ShaderStateBuilder& Selection(const int32_t (&keys)[6]) {
        for (int32_t i = 0; i < 6; ++i) Key(MGLShaderState::kSelectionKeys[i], static_cast<uint32_t>(keys[i]));
        return *this;
    }
    ShaderStateBuilder& Code(std::initializer_list<uint32_t> words) { return Code(std::vector<uint32_t>(words)); }
    ShaderStateBuilder& Code(const std::vector<uint32_t>& words) {
        uint32_t at = MGLShaderState::kCodeOffset;
        for (const uint32_t word : words) {
            Put(at, word);
            at += 4;
        }
        return *this;
    }
    ShaderStateBuilder& Lead(uint32_t word) {
        Put(0, word);
        return *this;
    }

    const std::vector<uint8_t>& Image() const { return m_image; }
    MGLShaderState State() const {
        MGLShaderState state;
        for (uint32_t i = 0; i < MGLShaderState::kBytes; ++i) state.bytes[i] = m_image[i];
        return state;
    }

private:
    void Put(uint32_t at, uint32_t value) {
        for (uint32_t i = 0; i < 4; ++i) m_image[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }

    std::vector<uint8_t> m_image;
};

#endif
