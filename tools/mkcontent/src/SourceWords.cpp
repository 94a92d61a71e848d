#include "SourceWords.h"

#include "ToolText.h"

#include <cstdlib>

bool SourceWords::ParseInt(const std::string& word, int32_t& value) {
    const bool negative = !word.empty() && word[0] == '-';
    uint32_t magnitude = 0;
    if (!ToolText::ParseU32(negative ? word.substr(1) : word, magnitude)) return false;
    const int64_t signedValue = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

bool SourceWords::ParseDecimal(const std::string& word, double& value) {
    if (word.empty()) return false;
    for (const char c : word) {
        if ((c < '0' || c > '9') && c != '.' && c != '-') return false;
    }
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size();
}

bool SourceWords::Options(const std::vector<std::string>& words, size_t first,
                          std::map<std::string, std::string>& options, std::string& bad) {
    options.clear();
    for (size_t i = first; i < words.size(); ++i) {
        const size_t equals = words[i].find('=');
        const std::string name = words[i].substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : words[i].substr(equals + 1);
        if (!options.emplace(name, value).second) {
            bad = name;
            return false;
        }
    }
    return true;
}
