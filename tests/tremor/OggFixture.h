#ifndef OGGFIXTURE_H
#define OGGFIXTURE_H

#include <cstdint>
#include <vector>

// Makes small Ogg Vorbis images at run time with the oggenc encoder (found
// on PATH) from generated 16-bit PCM.
class OggFixture {
public:
    // A quiet sine tone of `frames` frames; every channel carries the same tone.
    static std::vector<int16_t> Tone(uint32_t frames, uint32_t channels);
    // Empty when the encoder is missing or fails.
    static std::vector<uint8_t> Encode(const std::vector<int16_t>& samples, uint32_t channels, uint32_t rate);
};

#endif
