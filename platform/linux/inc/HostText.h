#ifndef HOSTTEXT_H
#define HOSTTEXT_H

#include <string>

// UTF-16 text from the program as UTF-8 for the host's logs and windows.
// Surrogate pairs are combined; a lone surrogate becomes U+FFFD. Null
// gives "".
std::string HostTextToUtf8(const char16_t* text);

#endif
