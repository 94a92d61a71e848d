#ifndef CALLABLETYPE_H
#define CALLABLETYPE_H

#include <clang-c/Index.h>

// Whether a value of this type is, or holds, something a host calls: a
// function, a class with a call operator (std::function, a lambda's
// closure), or a type that leads to one (see HeldTypes): a pointer or
// reference to one (a member function too), an array of them, a container
// or smart pointer of them.
bool IsCallableType(CXType type);

#endif
