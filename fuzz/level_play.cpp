// Plays hostile levels: a level map and script as the readers get them,
// loaded through the world's step-wise loader and played for some hundreds
// of frames with keys, painting every frame. Whatever the streams hold,
// loading ends, every frame returns and nothing is touched out of bounds.
//
// Input: u8 level index, then u16 length and bytes of the map stream, u16
// length and bytes of the script stream (big-endian lengths, cut to what
// the input holds), then one byte of keys per frame, repeated.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "LevelPlayHarness.h"

namespace {

constexpr int32_t kFrames = 300;

// The next length-prefixed piece of the input.
std::vector<uint8_t> Piece(const uint8_t*& data, size_t& size) {
    if (size < 2) {
        data += size;
        size = 0;
        return {};
    }
    const size_t length = std::min<size_t>(size - 2, (static_cast<size_t>(data[0]) << 8) | data[1]);
    std::vector<uint8_t> piece(data + 2, data + 2 + length);
    data += 2 + length;
    size -= 2 + length;
    return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static levelplay::PlayStage stage;
    if (size == 0) return 0;
    const uint32_t level = data[0];
    ++data;
    --size;
    const std::vector<uint8_t> map = Piece(data, size);
    const std::vector<uint8_t> scripts = Piece(data, size);
    stage.Play(level, map, scripts, std::vector<uint8_t>(data, data + size), kFrames);
    return 0;
}
