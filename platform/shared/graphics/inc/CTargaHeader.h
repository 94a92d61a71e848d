#ifndef CTARGAHEADER_H
#define CTARGAHEADER_H

#include "CTexture.h"

// The 18-byte header of a Targa file and the checks both Targa loaders make
// before they trust it: true-colour or greyscale, plain or run-length, no
// colour map, at least two bytes per pixel, and pixel data that the bytes
// after the header can really provide.
class CTargaHeader {
public:
    static constexpr uint32_t kBytes = 18;

    static constexpr uint8_t kTypeTrueColor = 2;
    static constexpr uint8_t kTypeGrey = 3;
    static constexpr uint8_t kTypeRunLengthTrueColor = 10;
    static constexpr uint8_t kTypeRunLengthGrey = 11;

    // False on a stream error.
    bool Read(CInputStream& stream);
    void Parse(const uint8_t raw[kBytes]);

    // The format checks; a refusal is logged under `who`.
    bool IsSupported(const char* who) const;
    // IsSupported, and `dataBytes` after the header can hold the image:
    // every pixel byte for a plain image, enough packets for a run-length one.
    bool IsLoadable(uint32_t dataBytes, const char* who) const;

    bool IsRunLength() const;
    uint32_t GetBytesPerPixel() const { return m_raw[16] >> 3; }
    uint32_t GetWidth() const;
    uint32_t GetHeight() const;
    // width * height * bytes per pixel; fits 32 bits once IsSupported.
    uint32_t GetImageBytes() const;

    // Plain images: rawBytes are read as they are. Run-length images are
    // decoded into exactly GetImageBytes. False on a stream error or a run
    // that crosses the end of the image.
    bool ReadPixels(CInputStream& stream, uint8_t* dst, uint32_t rawBytes) const;

    // The texture description of the image.
    void Describe(CTexture::Header& header) const;
    // The header as stored; after a run-length decode it describes the
    // plain image that was produced (plain type, no ID field).
    void Encode(uint8_t out[kBytes]) const;

private:
    uint64_t ImageBytes64() const;
    bool DecodeRuns(CInputStream& stream, uint8_t* dst) const;

    uint8_t m_raw[kBytes] = {};
};

#endif
