#include "CGenUtil.h"

#include "CAssert.h"

#include <zlib.h>

namespace {

// The value of a hexadecimal digit, or -1 for any other character.
int32_t HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int32_t FixedChannel(uint32_t channel) { return static_cast<int32_t>((channel & 0xFFu) * 257u); }

}  // namespace

uint32_t CGenUtil::ParseHex(const char* text) {
    uint32_t value = 0;
    if (text == nullptr) return value;
    for (const char* c = text; *c != '\0'; ++c) {
        const int32_t digit = HexDigitValue(*c);
        if (digit < 0) break;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return value;
}

int32_t CGenUtil::BinarySearch(const int32_t* values, int32_t count, int32_t value) {
    if (values == nullptr) return -1;
    int32_t low = 0;
    int32_t high = count - 1;
    while (low <= high) {
        const int32_t mid = low + ((high - low) >> 1);
        if (values[mid] == value) return mid;
        if (value < values[mid]) {
            high = mid - 1;
        } else {
            low = mid + 1;
        }
    }
    return -1;
}

void CGenUtil::ClipSpan(int16_t start, int16_t length, int16_t* pos, int16_t* len) {
    const int end = start + length;
    const int incoming = *len;
    int position = *pos;
    int clipped = incoming;
    if (end <= position || position + clipped <= start) {
        *len = 0;
        return;
    }
    if (position + clipped > end) clipped = end - position;
    if (position < start) {
        clipped = clipped + position - start;
        position = start;
    }
    if ((incoming > 0 && clipped < 0) || (incoming < 0 && clipped > 0)) clipped = 0;
    *pos = static_cast<int16_t>(position);
    *len = static_cast<int16_t>(clipped);
}

bool CGenUtil::Uncompress(const uint8_t* src, uint32_t srcLength, uint8_t* dst, uint32_t dstLength) {
    ASSERT(dst != nullptr);
    if (src == nullptr || srcLength == 0) return true;
    if (dst == nullptr) return false;
    uLongf produced = dstLength;
    const int result = uncompress(dst, &produced, src, srcLength);
    return result == Z_OK && produced == dstLength;
}

void MakeColorARGBFixed(RSBFormat_ARGB_fixed* out, uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    if (out == nullptr) return;
    out->a = FixedChannel(a);
    out->r = FixedChannel(r);
    out->g = FixedChannel(g);
    out->b = FixedChannel(b);
}
