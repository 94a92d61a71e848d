#ifndef CTEXTURE_H
#define CTEXTURE_H

#include "CClass.h"

class CInputStream;

// One uncompressed image: a 36-byte description in the style of a GL texture
// (format, type, bits per pixel, size) and the pixel bytes. Rows are packed,
// in stored order; 24- and 32-bit pixels hold blue, green, red, alpha.
//
// Every texture that holds pixels keeps width * height * (bits / 8) within
// its data size, so the pixel walks below never leave the block.
class CTexture : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x622F3249;
    // Resource type key of Targa images; LoadTGA reads any other type as a
    // stored texture block.
    static constexpr uint32_t kTargaTypeKey = 0xB71782EE;
    static constexpr uint32_t kHeaderBytes = 36;

    // Format words.
    static constexpr uint32_t kFormatRGB = 0x1907;
    static constexpr uint32_t kFormatRGBA = 0x1908;
    static constexpr uint32_t kFormatLuminance = 0x1909;
    // Type words.
    static constexpr uint32_t kTypeUnsignedByte = 0x1401;
    static constexpr uint32_t kTypeR5G6B5 = 0x8363;
    static constexpr uint32_t kTypeA1R5G5B5 = 0x8024;
    static constexpr uint32_t kTypeR5G5B5A1 = 0x8034;
    static constexpr uint32_t kTypeR4G4B4A4 = 0x8033;
    static constexpr uint32_t kTypeA4R4G4B4 = 0x8023;

    // The description, in host order; stored little-endian, word by word.
    struct Header {
        uint32_t format;
        uint32_t type;
        uint32_t bitsPerPixel;
        uint32_t internalFormat;
        uint32_t reserved0;  // carried, never interpreted
        uint32_t reserved1;
        uint32_t width;
        uint32_t height;
        uint32_t size;
    };

    CTexture();
    // Copies the header and the pixels (see Create).
    CTexture(const Header& header, const void* pixels, uint32_t rowStride);
    CTexture(const CTexture& other);
    CTexture& operator=(const CTexture&) = delete;
    ~CTexture() override;

    // Replaces the content with a copy of the header and `size` pixel bytes:
    // zeros when pixels is null, height rows of width * bytes per pixel at
    // rowStride apart when that is not 0, else one piece. A header that is
    // not IsConsistent is refused.
    bool Create(const Header& header, const void* pixels, uint32_t rowStride);
    void Reset();

    // A Targa image when type is kTargaTypeKey, else a stored texture block
    // (header, then `size` pixel bytes). A failed load leaves it empty.
    bool LoadTGA(CInputStream& stream, uint32_t type);
    // Writes the stored texture block.
    bool Save(const WChar* path) const;

    // Copies between the image and a caller's buffer; srcStride or dstStride
    // 0 means rows of w pixels. An empty rectangle, or one outside the
    // image, is refused.
    bool SetSubImage(int32_t x, int32_t y, int32_t w, int32_t h, const void* src, uint32_t srcStride);
    bool GetSubImage(int32_t x, int32_t y, int32_t w, int32_t h, void* dst, uint32_t dstStride) const;

    // Channel reorders of 24- and 32-bit images; byte 3 is never touched.
    bool SwapBytes01();
    bool SwapRedBlue();
    bool SwapBytes12();
    // (b0, b1, b2) becomes (b2, b0, b1).
    bool RotateBytes();

    // 24- or 32-bit byte images to 16 bits per pixel.
    bool ConvertTo565();
    bool ConvertToA1R5G5B5();
    bool ConvertToR5G5B5A1();
    bool ConvertToR4G4B4A4();
    bool ConvertToA4R4G4B4();

    uint32_t GetWidth() const;
    uint32_t GetHeight() const;
    uint32_t GetDataSize() const;
    const Header* GetHeader() const { return m_header; }
    uint8_t* GetPixels() { return m_pixels; }
    const uint8_t* GetPixels() const { return m_pixels; }
    bool HasSeparateHeader() const { return m_separateHeader != 0; }

    // width * height * (bits per pixel / 8), in 64 bits; UINT64_MAX when the
    // pixel count alone passes 32 bits.
    static uint64_t PixelBytes(const Header& header);
    // 8, 16, 24 or 32 bits per pixel, and pixels that fit the size.
    static bool IsConsistent(const Header& header);
    // Reads the nine words little-endian; zeros after a stream error.
    static void ReadHeader(CInputStream& stream, Header& header);
    static void EncodeHeader(const Header& header, uint8_t out[kHeaderBytes]);

protected:
    explicit CTexture(uint32_t classKey);

    // Takes ownership of a block (MemAllocArray) whose pixels start at
    // `pixels`, and of a separate header (MemAlloc) when `separateHeader`.
    void Adopt(uint8_t* block, uint8_t* pixels, Header* header, bool separateHeader);
    const uint8_t* GetBlock() const { return m_block; }
    // A block of `bytes` (at least one byte), or null when the engine heap
    // cannot hold it.
    static uint8_t* AllocateBlock(uint64_t bytes);
    // Opens the path for writing through the file manager and writes the
    // two parts; true only when the file opened and every byte went out.
    static bool WriteFile(const WChar* path, const uint8_t* head, uint32_t headBytes, const uint8_t* body,
                          uint32_t bodyBytes);

private:
    typedef uint16_t (*PackPixel)(uint32_t r, uint32_t g, uint32_t b, uint32_t a);

    bool Init(const Header& header, const void* pixels, uint32_t rowStride);
    bool LoadTargaImage(CInputStream& stream, uint32_t available);
    bool LoadTextureBlock(CInputStream& stream, uint32_t available);
    // Bytes per pixel of a 24- or 32-bit image, else 0.
    uint32_t ByteImageStep() const;
    bool SwapChannels(uint32_t first, uint32_t second, bool otherDepthsResult);
    bool ConvertTo16(uint32_t format, uint32_t type, PackPixel pack);
    bool IsSubRectInside(int32_t x, int32_t y, int32_t w, int32_t h) const;

    uint8_t m_separateHeader = 0;
    uint8_t* m_block = nullptr;
    uint8_t* m_pixels = nullptr;
    Header* m_header = nullptr;
};

#endif
