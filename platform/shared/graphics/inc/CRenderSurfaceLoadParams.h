#ifndef CRENDERSURFACELOADPARAMS_H
#define CRENDERSURFACELOADPARAMS_H

#include "EngineTypes.h"

class CInputStream;

// How a pixel buffer loads an image from a stream: where the image is, how
// it is keyed and oriented, and which plane format each file format becomes.
struct CRenderSurfaceLoadParams {
    // Stream type of a BMP image.
    static constexpr uint32_t kTypeBMP = 0xB717945F;
    static constexpr uint32_t kDefaultColorKey = 0xFFFF00FF;
    static constexpr int32_t kFormatMapSize = 10;

    struct FormatPair {
        uint32_t source;
        uint32_t destination;
    };

    uint8_t colorKeyPresent;
    uint8_t swapAxes;
    uint8_t mirrorX;
    uint8_t mirrorY;
    CInputStream* stream;
    uint32_t type;
    // a8r8g8b8; only red, green and blue are compared.
    uint32_t colorKey;
    // Unused pairs are 0.
    FormatPair formatMap[kFormatMapSize];

    // Clears every field.
    void Init();
    // The destination of the first pair whose source is `source`, or 0.
    uint32_t MapFormat(uint32_t source) const;
};

#endif
