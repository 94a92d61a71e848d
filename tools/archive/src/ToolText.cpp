#include "ToolText.h"

#include <cstdio>

namespace {

int DigitValue(char c, uint32_t base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value >= 0 && static_cast<uint32_t>(value) < base ? value : -1;
}

}  // namespace

bool ToolText::ParseU32(const std::string& text, uint32_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const uint32_t base = hex ? 16 : 10;
    const size_t start = hex ? 2 : 0;
    if (text.size() <= start) return false;
    uint64_t result = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) return false;
        result = result * base + static_cast<uint32_t>(digit);
        if (result > UINT32_MAX) return false;
    }
    value = static_cast<uint32_t>(result);
    return true;
}

bool ToolText::SplitWords(const std::string& line, std::vector<std::string>& words, Comments comments) {
    words.clear();
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : line) {
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
            continue;
        }
        if (c == '#' && (comments == Comments::kAnywhere || !inWord)) break;
        inWord = true;
        if (c == '"') {
            quoted = true;
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(word);
    return !quoted;
}

std::string ToolText::Hex32(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", value);
    return text;
}
