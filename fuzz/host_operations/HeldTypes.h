#ifndef HELDTYPES_H
#define HELDTYPES_H

#include <clang-c/Index.h>

#include <vector>

// The types a value of this type leads a host to: what a pointer or a
// reference names, an array's element, and the type arguments written to a
// template (std::vector<std::function<void()>> holds the std::function).
// Arguments a library fills in itself (an allocator, a deleter, a
// comparison) are policies of its own, not values the type holds, and are
// left out where the written type shows them apart.
std::vector<CXType> HeldTypes(CXType type);

#endif
