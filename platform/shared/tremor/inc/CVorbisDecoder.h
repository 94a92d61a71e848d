#ifndef CVORBISDECODER_H
#define CVORBISDECODER_H

#include "EngineTypes.h"

class COutputStream;

// The decoder's view of an Ogg Vorbis image held in memory.
struct VorbisMemorySource {
    const uint8_t* data;
    uint64_t size;
    uint64_t position;
};

// Decodes a whole in-memory Ogg Vorbis sound into 16-bit PCM at once, so
// that playback only copies samples. Only mono 8000 Hz streams are accepted:
// the sound output plays everything at that rate.
class CVorbisDecoder {
public:
    static constexpr uint32_t kChannels = 1;
    static constexpr uint32_t kBitsPerSample = 16;
    static constexpr uint32_t kSampleRate = 8000;
    static constexpr uint32_t kWavHeaderSize = 44;

    // On success the caller owns *outBuffer (release with MemFreeArray) of
    // *outSize bytes: the samples alone when raw, else a RIFF/WAVE header and
    // the samples. On failure both outputs are 0.
    static bool DecodeToPcm(const uint8_t* image, uint32_t imageSize, uint8_t** outBuffer, uint32_t* outSize,
                            bool raw);
    static void WriteWavHeader(COutputStream& stream, uint16_t channels, uint16_t bits, uint32_t rate,
                               uint32_t dataSize);

    // Callbacks over a VorbisMemorySource.
    static size_t MemRead(void* destination, size_t elementSize, size_t count, void* source);
    static int MemSeek(void* source, int64_t offset, int origin);
    static int MemClose(void* source);
    static long MemTell(void* source);

private:
    // Bytes of PCM the stream announces, or 0 when that cannot be held or
    // is more than an image of imageSize bytes can carry.
    static uint32_t AnnouncedPcmBytes(void* file, uint32_t imageSize);
    static bool IsSupportedFormat(void* file);
    static bool DecodeInto(void* file, uint8_t* samples, uint32_t pcmBytes);
};

#endif
