#ifndef CMEDIA_H
#define CMEDIA_H

#include "EngineTypes.h"

class CBinary;
class CInputStream;

// Loads a sound into a binary. Ogg Vorbis sounds are decoded to raw 16-bit
// PCM here, once, so that playback only copies samples; any other sound
// keeps its stored bytes and type.
class CMedia {
public:
    static constexpr uint32_t kOggVorbisType = 0x32FD99E1;
    static constexpr uint32_t kRawPcmType = 0xFD94B3C1;

    static bool Load(CBinary& binary, CInputStream& stream, uint32_t typeKey);

private:
    static bool LoadOggVorbis(CBinary& binary, CInputStream& stream, uint32_t size);
};

#endif
