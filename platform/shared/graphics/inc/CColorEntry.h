#ifndef CCOLORENTRY_H
#define CCOLORENTRY_H

#include "CGenUtil.h"

// A colour held in two forms that are always set together: the packed
// a8r8g8b8 word (alpha in bits 24-31) and the fixed record of four 24.8
// channels. The line and fill routines take a pointer to the whole entry as
// an a8r8g8b8 colour, so the packed word comes first.
struct CColorEntry {
    uint32_t packed;
    RSBFormat_ARGB_fixed fixed;

    // Each 8-bit channel becomes c × 257 in the record.
    void SetPacked(uint32_t argb);
    // The packed word follows from the channels by ChannelToByte.
    void SetFixed(const RSBFormat_ARGB_fixed& record);
    void SetChannels(int32_t a, int32_t r, int32_t g, int32_t b);

    // A 24.8 channel as a byte: arithmetic shift right by 8, clamped to 0..255.
    static uint32_t ChannelToByte(int32_t channel) {
        const int32_t value = channel >> 8;
        if (value < 0) return 0;
        return value > 255 ? 255u : static_cast<uint32_t>(value);
    }
    static uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b);
    static uint32_t PackFixed(const RSBFormat_ARGB_fixed& record);
};

#endif
