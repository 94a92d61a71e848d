#include "WideStr.h"

#include <cstring>

uint32_t WideStrLen(const WChar* text) {
    uint32_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

WChar* WideStrCopy(WChar* dst, const WChar* src) {
    WChar* out = dst;
    while ((*out++ = *src++) != 0) {
    }
    return dst;
}

WChar* WideStrCat(WChar* dst, const WChar* src) {
    WideStrCopy(dst + WideStrLen(dst), src);
    return dst;
}

const WChar* WideStrChr(const WChar* text, WChar unit) {
    for (;; ++text) {
        if (*text == unit) return text;
        if (*text == 0) return nullptr;
    }
}

WChar* WideStrChr(WChar* text, WChar unit) {
    return const_cast<WChar*>(WideStrChr(static_cast<const WChar*>(text), unit));
}

const WChar* WideStrStr(const WChar* text, const WChar* needle) {
    const uint32_t needleLength = WideStrLen(needle);
    for (; *text != 0 || needleLength == 0; ++text) {
        if (WideStrCompareN(text, needle, needleLength) == 0) return text;
        if (*text == 0) break;
    }
    return nullptr;
}

int32_t WideStrCompareN(const WChar* a, const WChar* b, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return static_cast<int32_t>(a[i]) - static_cast<int32_t>(b[i]);
        if (a[i] == 0) return 0;
    }
    return 0;
}

int32_t WideStrCompare(const WChar* a, const WChar* b) { return WideStrCompareN(a, b, UINT32_MAX); }

int32_t WideStrCompareNoCase(const WChar* a, const WChar* b) {
    for (;; ++a, ++b) {
        const int32_t ua = WideCharToUpper(*a);
        const int32_t ub = WideCharToUpper(*b);
        if (ua != ub) return ua - ub;
        if (ua == 0) return 0;
    }
}

namespace {

// Latin Extended-A alternates upper and lower case in pairs; these ranges
// start with an upper-case letter at an even or an odd code.
bool IsPairedLowerInExtendedA(WChar unit) {
    if ((unit >= 0x100 && unit <= 0x137) || (unit >= 0x14A && unit <= 0x177)) return (unit & 1) == 1;
    if ((unit >= 0x139 && unit <= 0x148) || (unit >= 0x179 && unit <= 0x17E)) return (unit & 1) == 0;
    return false;
}

bool IsPairedUpperInExtendedA(WChar unit) {
    if ((unit >= 0x100 && unit <= 0x137) || (unit >= 0x14A && unit <= 0x177)) return (unit & 1) == 0;
    if ((unit >= 0x139 && unit <= 0x148) || (unit >= 0x179 && unit <= 0x17E)) return (unit & 1) == 1;
    return false;
}

}  // namespace

WChar WideCharToUpper(WChar unit) {
    if (unit >= u'a' && unit <= u'z') return unit - 0x20;
    if (unit < 0xB5) return unit;
    if (unit == 0xB5) return 0x39C;
    if (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) return unit - 0x20;
    if (unit == 0xFF) return 0x178;
    if (unit == 0x131) return u'I';
    if (unit == 0x17F) return u'S';
    if (IsPairedLowerInExtendedA(unit)) return unit - 1;
    if (unit >= 0x3B1 && unit <= 0x3CB && unit != 0x3C2) return unit - 0x20;
    if (unit == 0x3C2) return 0x3A3;
    if (unit >= 0x430 && unit <= 0x44F) return unit - 0x20;
    if (unit >= 0x450 && unit <= 0x45F) return unit - 0x50;
    return unit;
}

WChar WideCharToLower(WChar unit) {
    if (unit >= u'A' && unit <= u'Z') return unit + 0x20;
    if (unit < 0xC0) return unit;
    if (unit <= 0xDE && unit != 0xD7) return unit + 0x20;
    if (unit == 0x178) return 0xFF;
    if (IsPairedUpperInExtendedA(unit)) return unit + 1;
    if (unit >= 0x391 && unit <= 0x3AB && unit != 0x3A2) return unit + 0x20;
    if (unit >= 0x410 && unit <= 0x42F) return unit + 0x20;
    if (unit >= 0x400 && unit <= 0x40F) return unit + 0x50;
    return unit;
}

WChar* WideToUpper(WChar* text) {
    for (WChar* unit = text; *unit != 0; ++unit) *unit = WideCharToUpper(*unit);
    return text;
}

WChar* WideToLower(WChar* text) {
    for (WChar* unit = text; *unit != 0; ++unit) *unit = WideCharToLower(*unit);
    return text;
}

WChar* WideFromAscii(WChar* dst, const char* src) {
    const uint32_t length = static_cast<uint32_t>(std::strlen(src));
    for (uint32_t i = 0; i <= length; ++i) dst[i] = static_cast<uint8_t>(src[i]);
    return dst;
}

char* NarrowFromWide(char* dst, const WChar* src, uint32_t n) {
    if (n == 0) return dst;
    uint32_t i = 0;
    for (; i + 1 < n && src[i] != 0; ++i) {
        dst[i] = src[i] < 0x100 ? static_cast<char>(static_cast<uint8_t>(src[i])) : '?';
    }
    dst[i] = 0;
    return dst;
}
