#ifndef TOOLTEXT_H
#define TOOLTEXT_H

#include <cstdint>
#include <string>
#include <vector>

// Text helpers shared by the data tools' command lines and manifests.
class ToolText {
public:
    // Decimal or 0x-prefixed hexadecimal, the whole text, at most 32 bits.
    static bool ParseU32(const std::string& text, uint32_t& value);
    // Splits at spaces and tabs; "double quotes" keep spaces in a word; a '#'
    // outside quotes starts a comment. False on an unclosed quote.
    static bool SplitWords(const std::string& line, std::vector<std::string>& words);
    // "0x" and eight upper-case hex digits.
    static std::string Hex32(uint32_t value);
};

#endif
