#include "CColorEntry.h"

void CColorEntry::SetPacked(uint32_t argb) {
    packed = argb;
    MakeColorARGBFixed(&fixed, argb >> 24, argb >> 16, argb >> 8, argb);
}

void CColorEntry::SetFixed(const RSBFormat_ARGB_fixed& record) {
    fixed = record;
    packed = PackFixed(record);
}

void CColorEntry::SetChannels(int32_t a, int32_t r, int32_t g, int32_t b) { SetFixed({a, r, g, b}); }

uint32_t CColorEntry::Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a & 0xFFu) << 24 | (r & 0xFFu) << 16 | (g & 0xFFu) << 8 | (b & 0xFFu);
}

uint32_t CColorEntry::PackFixed(const RSBFormat_ARGB_fixed& record) {
    return Pack(ChannelToByte(record.a), ChannelToByte(record.r), ChannelToByte(record.g), ChannelToByte(record.b));
}
