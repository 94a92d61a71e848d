#ifndef CTARGA_H
#define CTARGA_H

#include "CTexture.h"

class CTargaHeader;

// A Targa image held as a texture: one block with a copy of the file's
// 18-byte header, two spare bytes and the pixels 20 bytes in (in file row
// and channel order), and a texture description of its own.
class CTarga : public CTexture {
public:
    static constexpr uint32_t kClassKey = 0x02626411;
    static constexpr uint32_t kPixelOffset = 20;

    CTarga() : CTexture(kClassKey) {}
    ~CTarga() override;

    CTarga(const CTarga&) = delete;
    CTarga& operator=(const CTarga&) = delete;

    // Frees the description, then the block.
    virtual void Release();
    // A Targa file from the stream's position. Plain images keep every byte
    // after the header (an image ID included); run-length images are
    // decoded and then held as plain ones.
    virtual bool Load(CInputStream& stream);
    // `header` is an 18-byte Targa header; pixels may be null (zeros), and
    // rowStride 0 means they are packed.
    virtual bool CreateFromMemory(const uint8_t* header, const void* pixels, uint32_t rowStride);
    // The header followed by the image bytes, through the file manager.
    virtual bool Save(const WChar* fileName) const;

    uint32_t GetBlockSize() const { return m_size; }
    // The held copy of the Targa header (the block's first 18 bytes).
    const uint8_t* GetTargaHeader() const;

private:
    // The block with the header copy, and the description; false leaves it empty.
    bool AllocateImage(const CTargaHeader& targa, uint64_t blockSize);

    Header* m_descriptor = nullptr;
    uint32_t m_size = 0;
};

#endif
