#ifndef REFERENCE565_H
#define REFERENCE565_H

// Reference arithmetic for r5g6b5 frames, written from the format with plain
// integer arithmetic: channels widen by bit replication, blends are
// (s × a + d × (255 − a)) / 256 per 8-bit channel, packing truncates.

#include <cstdint>

namespace ref565 {

inline uint32_t Channel(uint32_t v, int shift, int bits) { return v / (1u << shift) % (1u << bits); }
inline uint32_t Widen(uint32_t c, int bits) { return bits == 5 ? c * 8 + c / 4 : c * 4 + c / 16; }
inline uint32_t Mix(uint32_t s, uint32_t d, uint32_t a) { return (s * a + d * (255 - a)) / 256; }
inline uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) { return r / 8 * 2048 + g / 4 * 32 + b / 8; }
inline uint32_t FromRgb(uint32_t rgb) { return Pack(rgb / 65536 % 256, rgb / 256 % 256, rgb % 256); }

// A 565 source pixel blended onto a 565 destination.
inline uint32_t Blend565(uint32_t source, uint32_t dest, uint32_t alpha) {
    return Pack(Mix(Widen(Channel(source, 11, 5), 5), Widen(Channel(dest, 11, 5), 5), alpha),
                Mix(Widen(Channel(source, 5, 6), 6), Widen(Channel(dest, 5, 6), 6), alpha),
                Mix(Widen(Channel(source, 0, 5), 5), Widen(Channel(dest, 0, 5), 5), alpha));
}

// An a8r8g8b8 colour blended by its own alpha onto a 565 destination.
inline uint32_t BlendColor(uint32_t argb, uint32_t dest) {
    const uint32_t a = argb / 16777216;
    return Pack(Mix(argb / 65536 % 256, Widen(Channel(dest, 11, 5), 5), a),
                Mix(argb / 256 % 256, Widen(Channel(dest, 5, 6), 6), a),
                Mix(argb % 256, Widen(Channel(dest, 0, 5), 5), a));
}

}  // namespace ref565

#endif
