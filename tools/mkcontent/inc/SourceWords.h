#ifndef SOURCEWORDS_H
#define SOURCEWORDS_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Reading the words of a source line: numbers and `name=value` options.
class SourceWords {
public:
    // Decimal with an optional sign, or 0x-prefixed hexadecimal; the whole
    // word, within the 32-bit signed range.
    static bool ParseInt(const std::string& word, int32_t& value);
    // A decimal fraction such as 0.25 or 3; the whole word.
    static bool ParseDecimal(const std::string& word, double& value);

    // Splits the words from `first` on into `name=value` options (a word
    // without '=' is an option with an empty value). False when a name
    // repeats, with the name in `bad`.
    static bool Options(const std::vector<std::string>& words, size_t first, std::map<std::string, std::string>& options,
                        std::string& bad);
};

#endif
