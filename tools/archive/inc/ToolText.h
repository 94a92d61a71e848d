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
    // Where a '#' outside quotes starts a comment.
    enum class Comments { kAnywhere, kAtWordStart };

    // Splits at spaces, tabs and carriage returns; "double quotes" keep
    // spaces in a word. False on an unclosed quote.
    static bool SplitWords(const std::string& line, std::vector<std::string>& words,
                           Comments comments = Comments::kAnywhere);
    // "0x" and eight upper-case hex digits.
    static std::string Hex32(uint32_t value);
};

#endif
