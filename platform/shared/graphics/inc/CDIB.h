#ifndef CDIB_H
#define CDIB_H

#include "CClass.h"

class CInputStream;

// A BMP image (14-byte file header, info header of at least 40 bytes) as read
// from a stream or laid over a block in memory: its headers, its palette (or
// bit-field masks) and its rows, addressed from the top row down through a
// negative stride.
class CDIB : public CClass {
public:
    static constexpr uint32_t kFileHeaderSize = 14;
    static constexpr uint32_t kInfoHeaderSize = 40;
    static constexpr uint32_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
    static constexpr uint32_t kCompressionNone = 0;
    static constexpr uint32_t kCompressionBitFields = 3;

    struct Header {
        uint8_t signature[2];
        uint32_t fileSize;
        uint32_t pixelOffset;
        uint32_t infoSize;
        int32_t width;
        int32_t height;
        uint16_t planes;
        uint16_t bitCount;
        uint32_t compression;
        uint32_t imageSize;
        int32_t xResolution;
        int32_t yResolution;
        int32_t colorsUsed;
        int32_t colorsImportant;
        // infoSize + 14: where the palette starts in the file.
        uint32_t paletteOffset;
        uint32_t paletteBytes;
    };

    CDIB();
    // Lays the object over a BMP held in memory, without copying it. The
    // flag must be 0 (the block stays the caller's). A block whose headers
    // or offsets do not fit leaves the object empty.
    CDIB(const uint8_t* data, uint32_t size, uint32_t flag);
    ~CDIB() override;

    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;

    // Reads the 54 header bytes and derives the palette size. False for
    // anything that is not a BMP this engine can address: no bytes, no "BM",
    // a short stream, a zero file size, a size of 0 or less (top-down rows
    // are not supported), an info header under 40 bytes, or more colours
    // than the bit count can index.
    static bool ParseHeader(CInputStream* stream, Header* header);
    // Bytes of one stored row (padded to 4), or 0 when they overflow 32 bits.
    static uint32_t RowBytes(int32_t width, uint32_t bitCount);

    // Replaces the content with a whole BMP from the stream; `resourceType`
    // is not used. False leaves the object empty.
    bool ReadFromStream(CInputStream* stream, uint32_t resourceType);
    // Frees what the object owns and empties it (headers included).
    void Release();

    const Header& GetHeader() const { return m_header; }
    int32_t GetWidth() const { return m_header.width; }
    int32_t GetHeight() const { return m_header.height; }
    uint32_t GetBitCount() const { return m_header.bitCount; }
    int32_t GetStride() const { return m_stride; }
    // The top row of the image.
    const uint8_t* GetPixels() const { return m_pixels; }
    const uint8_t* GetPalette() const { return m_palette; }
    uint32_t GetPaletteSize() const { return m_paletteSize; }
    bool IsEmpty() const { return m_pixels == nullptr; }

private:
    // True when the palette and the rows the header describes lie inside a
    // block of `size` bytes.
    bool FitsInBlock(uint32_t size) const;
    // A layout the object can address: sizes that fit 32 bits, and a
    // compression that leaves the rows as plain pixels.
    bool HasAddressableLayout() const;
    bool ReadPalette(CInputStream* stream);
    bool ReadRows(CInputStream* stream);

    uint32_t m_ownsBuffers = 0;
    Header m_header;
    int32_t m_stride = 0;
    const uint8_t* m_palette = nullptr;
    uint32_t m_paletteSize = 0;
    // The top row: the last row stored in the file.
    const uint8_t* m_pixels = nullptr;
    // What the object allocated (null over a caller's block).
    uint8_t* m_ownedPalette = nullptr;
    uint8_t* m_ownedRows = nullptr;
};

#endif
