#include "OggFixture.h"

#include "ScratchDirectory.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

std::vector<int16_t> OggFixture::Tone(uint32_t frames, uint32_t channels) {
    std::vector<int16_t> samples;
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t value = static_cast<int16_t>(8000.0 * std::sin(i * 0.1));
        samples.insert(samples.end(), channels, value);
    }
    return samples;
}

std::vector<uint8_t> OggFixture::Encode(const std::vector<int16_t>& samples, uint32_t channels, uint32_t rate) {
    const ScratchDirectory scratch("ogg-fixture");
    const std::string raw = scratch.PathOf("tone.raw");
    const std::string ogg = scratch.PathOf("tone.ogg");
    {
        std::ofstream out(raw, std::ios::binary);
        for (const int16_t sample : samples) {
            const char bytes[2] = {static_cast<char>(sample & 0xFF), static_cast<char>((sample >> 8) & 0xFF)};
            out.write(bytes, 2);
        }
    }
    const std::string command = "oggenc -Q -r -B 16 --raw-endianness 0 -C " + std::to_string(channels) + " -R " +
                                std::to_string(rate) + " -q 0 -o '" + ogg + "' '" + raw + "'";
    std::vector<uint8_t> image;
    if (std::system(command.c_str()) == 0) {
        std::ifstream in(ogg, std::ios::binary);
        image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return image;
}
