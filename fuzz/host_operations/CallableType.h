#ifndef CALLABLETYPE_H
#define CALLABLETYPE_H

#include <clang-c/Index.h>

// Whether a value of this type is something a host calls: a function, a
// pointer or reference to one (a member function too), a class with a call
// operator (std::function, a lambda's closure), or an array of these.
bool IsCallableType(CXType type);

#endif
