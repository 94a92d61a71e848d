#include "HostText.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

char32_t NextUtf16Character(const char16_t* text, size_t& at) {
    const char16_t unit = text[at++];
    if (!IsHighSurrogate(unit) || !IsLowSurrogate(text[at])) return unit;
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[at++] - 0xDC00);
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c < 0xE000; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
}

std::string HostTextToUtf8(const char16_t* text) {
    std::string out;
    if (text == nullptr) return out;
    for (size_t at = 0; text[at] != 0;) {
        const char32_t c = NextUtf16Character(text, at);
        AppendUtf8(out, IsSurrogate(c) ? kReplacement : c);
    }
    return out;
}
