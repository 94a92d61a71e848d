#ifndef CRENDERSURFACEATTRIBUTE_H
#define CRENDERSURFACEATTRIBUTE_H

#include "EngineTypes.h"

// Keys of the (key, value) pairs from which render surfaces are created; a
// pair with key 0 ends a list. Values of keys 11, 12 and 14 are pointers.
enum CRenderSurfaceAttributeKey : uint32_t {
    kSurfaceAttrEnd = 0,
    kSurfaceAttrWidth = 1,
    kSurfaceAttrHeight = 2,
    kSurfaceAttrDoubleBuffered = 3,   // 8-bit boolean
    kSurfaceAttrCapability = 4,       // 8-bit boolean
    kSurfaceAttrExtendedColor = 5,    // 8-bit boolean: the colour plane keeps sub-planes
    kSurfaceAttrColorFormat = 6,      // pixel-format id; 0 lets the surface choose
    kSurfaceAttrDepthFormat = 7,
    kSurfaceAttrStencilFormat = 8,
    kSurfaceAttrColorKey = 9,         // a8r8g8b8; red, green and blue are compared
    kSurfaceAttrKeepPalettes = 10,    // 8-bit boolean
    kSurfaceAttrPalette = 11,         // 256 a8r8g8b8 colours, not owned
    kSurfaceAttrForwardTarget = 12,   // the object to forward to
    kSurfaceAttrForwardClassKey = 13, // class key of that object
    kSurfaceAttrImageStream = 14,     // CInputStream holding the image
    kSurfaceAttrImageType = 15,       // type key of that stream
    kSurfaceAttrOrientation = 16,     // 0 to 6
};

// One pair of an attribute list held in memory. Stored lists keep 32-bit
// values; the value slot is pointer-wide because three keys carry pointers.
struct CRenderSurfaceAttribute {
    uint32_t key;
    uintptr_t value;
};

#endif
