#ifndef HOSTTEXT_H
#define HOSTTEXT_H

#include <cstddef>
#include <string>

// UTF-16 text from the program as UTF-8 for the host's logs and windows.
// Surrogate pairs are combined; a lone surrogate becomes U+FFFD. Null
// gives "".
std::string HostTextToUtf8(const char16_t* text);

// The character that starts at text[at], which must not be the terminator,
// and moves `at` past it. A surrogate pair gives the character it stands
// for; a lone surrogate comes back as it is.
char32_t NextUtf16Character(const char16_t* text, size_t& at);

bool IsSurrogate(char32_t c);

// Appends the UTF-8 form of a character up to U+10FFFF.
void AppendUtf8(std::string& out, char32_t c);

#endif
