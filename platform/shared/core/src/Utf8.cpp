#include "Utf8.h"

namespace {

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// Decodes the character at src[i]. Returns the bytes it takes, or 0 when the
// sequence is malformed or cut off by the end of the input.
uint32_t DecodeOne(const uint8_t* src, uint32_t n, uint32_t i, WChar& unit) {
    const uint8_t lead = src[i];
    const uint32_t remaining = n - i;
    switch (lead >> 4) {
        case 12:
        case 13:
            if (remaining < 2 || !IsContinuation(src[i + 1])) return 0;
            unit = static_cast<WChar>((lead & 0x1F) << 6 | (src[i + 1] & 0x3F));
            return 2;
        case 14:
            if (remaining < 3 || !IsContinuation(src[i + 1]) || !IsContinuation(src[i + 2])) return 0;
            unit = static_cast<WChar>((lead & 0x0F) << 12 | (src[i + 1] & 0x3F) << 6 | (src[i + 2] & 0x3F));
            return 3;
        default:
            if (lead >= 0x80) return 0;  // stray continuation byte or 4-byte lead
            unit = lead;
            return 1;
    }
}

uint32_t EncodedLength(WChar unit) {
    if (unit < 0x80) return 1;
    if (unit < 0x800) return 2;
    return 3;
}

void EncodeOne(WChar unit, uint8_t* out) {
    switch (EncodedLength(unit)) {
        case 1: out[0] = static_cast<uint8_t>(unit); break;
        case 2:
            out[0] = static_cast<uint8_t>(0xC0 | (unit >> 6 & 0x1F));
            out[1] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
            break;
        default:
            out[0] = static_cast<uint8_t>(0xE0 | unit >> 12);
            out[1] = static_cast<uint8_t>(0x80 | (unit >> 6 & 0x3F));
            out[2] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
            break;
    }
}

}  // namespace

int32_t Utf8ToWide(const uint8_t* src, uint32_t n, WChar* dst, uint32_t cap) {
    if (src == nullptr || dst == nullptr || cap == 0) return 0;
    uint32_t i = 0;
    uint32_t o = 0;
    while (i < n && o < cap - 1) {
        const uint32_t used = DecodeOne(src, n, i, dst[o]);
        if (used == 0) {
            o = 0;
            break;
        }
        i += used;
        ++o;
    }
    dst[o] = 0;
    return static_cast<int32_t>(o);
}

int32_t WideToUtf8(const WChar* src, uint32_t n, uint8_t* dst, uint32_t cap) {
    if (src == nullptr || dst == nullptr || cap == 0) return 0;
    uint32_t o = 0;
    for (uint32_t i = 0; i < n && src[i] != 0; ++i) {
        const uint32_t length = EncodedLength(src[i]);
        if (length > cap - 1 - o) break;
        EncodeOne(src[i], dst + o);
        o += length;
    }
    dst[o] = 0;
    return static_cast<int32_t>(o);
}

int32_t Utf8LengthOfWide(const WChar* src, uint32_t n) {
    if (src == nullptr) return 0;
    uint32_t length = 0;
    for (uint32_t i = 0; i < n && src[i] != 0; ++i) length += EncodedLength(src[i]);
    return static_cast<int32_t>(length);
}

int32_t Utf8CharCount(const uint8_t* src, uint32_t n) {
    if (src == nullptr) return 0;
    uint32_t i = 0;
    uint32_t count = 0;
    WChar unit = 0;
    while (i < n) {
        const uint32_t used = DecodeOne(src, n, i, unit);
        if (used == 0) return 0;
        i += used;
        ++count;
    }
    return static_cast<int32_t>(count);
}
