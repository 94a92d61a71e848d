// Pixel-decode routines on arbitrary streams. The header bytes choose the
// routine, the size (up to 32 x 32), the placement flags and the colour key;
// the palette is built from the input and the rest is the pixel stream. The
// plane and the palette are heap blocks of exactly the size the image needs,
// so that the sanitizer catches any access outside them. Each input is
// decoded twice to check that the result depends on nothing but the input,
// and a stream that did not run dry must be consumed exactly.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "BlitDecode.h"
#include "CArrayInputStream.h"
#include "CBlitUtil.h"
#include "FuzzCheck.h"

namespace {

enum class Source { R888, P16, P256 };

struct Decoder {
    BlitRoutine routine;
    Source source;
    uint32_t destBytes;
};

const Decoder kDecoders[] = {
    {Decode_R8G8B8_R5G6B5, Source::R888, 2}, {Decode_R8G8B8_R5G5B5A1, Source::R888, 2},
    {Decode_R8G8B8_X8R8G8B8, Source::R888, 4}, {Decode_P16_R5G6B5, Source::P16, 2},
    {Decode_P16_A1R5G5B5, Source::P16, 2},     {Decode_P16_R5G5B5A1, Source::P16, 2},
    {Decode_P16_X14R6G6B6, Source::P16, 4},    {Decode_P16_X8R8G8B8, Source::P16, 4},
    {Decode_P16_P256, Source::P16, 1},         {Decode_P256_R5G6B5, Source::P256, 2},
    {Decode_P256_A1R5G5B5, Source::P256, 2},   {Decode_P256_R5G5B5A1, Source::P256, 2},
    {Decode_P256_A4R4G4B4, Source::P256, 2},   {Decode_P256_X14R6G6B6, Source::P256, 4},
    {Decode_P256_X8R8G8B8, Source::P256, 4},   {Decode_P256_P256, Source::P256, 1},
};

constexpr size_t kHeaderBytes = 8;
constexpr size_t kPaletteSeedBytes = 64;

uint32_t RowBytes(Source s, uint32_t width) {
    switch (s) {
        case Source::R888:
            return width * 3;
        case Source::P16:
            return (width + 1) / 2;
        case Source::P256:
            return width;
    }
    return 0;
}

struct Job {
    const Decoder* decoder;
    int32_t width;
    int32_t height;
    int32_t skip;
    uint8_t transpose;
    uint8_t mirrorX;
    uint8_t mirrorY;
    bool bottomUp;
    uint32_t colorKey;
};

// Decodes into a fresh zeroed plane and answers its bytes.
std::vector<uint8_t> Decode(const Job& job, const std::vector<uint32_t>& palette, const uint8_t* pixels,
                            uint32_t size) {
    const int32_t columns = job.transpose != 0 ? job.height : job.width;
    const int32_t rows = job.transpose != 0 ? job.width : job.height;
    const int32_t rowBytes = columns * static_cast<int32_t>(job.decoder->destBytes);
    std::vector<uint8_t> plane(static_cast<size_t>(rowBytes) * static_cast<size_t>(rows));
    uint8_t* origin = plane.data();
    int16_t stride = static_cast<int16_t>(rowBytes);
    if (job.bottomUp && rows > 0) {
        origin += static_cast<size_t>(rowBytes) * static_cast<size_t>(rows - 1);
        stride = static_cast<int16_t>(-rowBytes);
    }

    CArrayInputStream stream;
    stream.Open(pixels, size);
    const BlitDecodeDesc desc = {&stream,    job.skip,    palette.data(), stride,      origin,
                                 job.width,  job.height,  job.colorKey,   1,           job.transpose,
                                 job.mirrorX, job.mirrorY};
    job.decoder->routine(&desc);

    if (!stream.HasError()) {
        const uint32_t expected = (RowBytes(job.decoder->source, static_cast<uint32_t>(job.width)) +
                                   static_cast<uint32_t>(job.skip)) *
                                  static_cast<uint32_t>(job.height);
        Check(stream.GetPosition() == expected);
    }
    return plane;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderBytes + kPaletteSeedBytes) return 0;
    Job job = {};
    job.decoder = &kDecoders[data[0] % (sizeof(kDecoders) / sizeof(kDecoders[0]))];
    job.width = data[1] % 33;
    job.height = data[2] % 33;
    const uint8_t flags = data[3];
    job.transpose = flags & 1;
    job.mirrorX = (flags >> 1) & 1;
    job.mirrorY = (flags >> 2) & 1;
    job.bottomUp = ((flags >> 3) & 1) != 0;
    job.skip = (flags >> 4) % 4;
    job.colorKey = static_cast<uint32_t>(data[4]) | static_cast<uint32_t>(data[5]) << 8 |
                   static_cast<uint32_t>(data[6]) << 16 | static_cast<uint32_t>(data[7]) << 24;

    // Exactly as many entries as the source's indices can reach; r8g8b8
    // sources get none at all.
    const size_t entries = job.decoder->source == Source::P16 ? 16 : job.decoder->source == Source::P256 ? 256 : 0;
    std::vector<uint32_t> palette(entries);
    const uint8_t* seed = data + kHeaderBytes;
    for (size_t i = 0; i < entries; ++i) {
        const size_t at = (i * 4) % kPaletteSeedBytes;
        palette[i] = (static_cast<uint32_t>(seed[at]) | static_cast<uint32_t>(seed[at + 1]) << 8 |
                      static_cast<uint32_t>(seed[at + 2]) << 16 | static_cast<uint32_t>(seed[at + 3]) << 24) ^
                     static_cast<uint32_t>(i);
    }

    const uint8_t* pixels = data + kHeaderBytes + kPaletteSeedBytes;
    const uint32_t pixelBytes = static_cast<uint32_t>(size - kHeaderBytes - kPaletteSeedBytes);
    const std::vector<uint8_t> first = Decode(job, palette, pixels, pixelBytes);
    const std::vector<uint8_t> second = Decode(job, palette, pixels, pixelBytes);
    Check(first == second);
    return 0;
}
