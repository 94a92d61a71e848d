#ifndef RUNTIMETESTSUPPORT_H
#define RUNTIMETESTSUPPORT_H

#include <string>

#include "AssertCounter.h"
#include "JString.h"

// The debug text of a failed runtime check at source:line.
inline std::string CheckSite(const char* source, int line) {
    return "File: " + std::string(source) + ", Line: " + std::to_string(line);
}

// The string's units as a standard UTF-16 string, for comparisons.
inline std::u16string Units(const JString& text) {
    return text.length() == 0 ? std::u16string() : std::u16string(text.getBuffer(), text.length());
}

#endif
