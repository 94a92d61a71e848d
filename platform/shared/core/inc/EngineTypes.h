#ifndef ENGINETYPES_H
#define ENGINETYPES_H

#include <cstddef>
#include <cstdint>

// One unit of the engine's wide text: UTF-16, 16 bits on every host. The C
// library's wchar_t is 32 bits here, so nothing in the engine uses it.
typedef char16_t WChar;

#endif
