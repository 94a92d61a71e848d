#ifndef WINCETYPES_H
#define WINCETYPES_H

// The handset platform's basic integer types, declared once for every
// stand-in header.

#include <cstdint>

typedef int32_t BOOL;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t HRESULT;

#endif
