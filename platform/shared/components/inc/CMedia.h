#ifndef CMEDIA_H
#define CMEDIA_H

#include "CBinary.h"

class CInputStream;

// A sound: a binary of its own class. Ogg Vorbis sounds are decoded to raw 16-bit
// PCM here, once, so that playback only copies samples; any other sound
// keeps its stored bytes and type.
class CMedia : public CBinary {
public:
    static constexpr uint32_t kClassKey = 0x027B32F1;

    static constexpr uint32_t kOggVorbisType = 0x32FD99E1;
    static constexpr uint32_t kRawPcmType = 0xFD94B3C1;

    CMedia() : CBinary(kClassKey) {}

    static bool Load(CBinary& binary, CInputStream& stream, uint32_t typeKey);
    bool Load(CInputStream& stream, uint32_t typeKey) { return Load(*this, stream, typeKey); }

private:
    static bool LoadOggVorbis(CBinary& binary, CInputStream& stream, uint32_t size);
};

#endif
