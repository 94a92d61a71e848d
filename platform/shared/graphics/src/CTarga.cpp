#include "CTarga.h"

#include "CAssert.h"
#include "CInputStream.h"
#include "CTargaHeader.h"

#include <new>

CTarga::~CTarga() { Release(); }

void CTarga::Release() {
    MemFree(m_descriptor);
    m_descriptor = nullptr;
    m_size = 0;
    Reset();
}

const uint8_t* CTarga::GetTargaHeader() const {
    // A conversion replaces the block; the Targa header went with it.
    return m_descriptor != nullptr && GetHeader() == m_descriptor ? GetBlock() : nullptr;
}

bool CTarga::AllocateImage(const CTargaHeader& targa, uint64_t blockSize) {
    uint8_t* block = AllocateBlock(blockSize);
    ASSERT(block != nullptr);
    if (block == nullptr) return false;
    Header* descriptor = static_cast<Header*>(MemAlloc(sizeof(Header)));
    if (descriptor == nullptr) {
        MemFreeArray(block);
        return false;
    }
    targa.Encode(block);
    block[CTargaHeader::kBytes] = 0;
    block[CTargaHeader::kBytes + 1] = 0;
    m_descriptor = new (descriptor) Header();
    targa.Describe(*m_descriptor);
    m_size = static_cast<uint32_t>(blockSize);
    Adopt(block, block + kPixelOffset, m_descriptor, false);
    return true;
}

// Plain images keep all the bytes after the header, so their block is the
// stream's size + 2; the description still only covers the image, and a
// stream too short for it is refused.
bool CTarga::Load(CInputStream& stream) {
    const uint32_t available = stream.Available();
    Release();
    if (available == 0) return false;
    CTargaHeader targa;
    if (!targa.Read(stream) || !targa.IsLoadable(available - CTargaHeader::kBytes, "CTarga")) {
        Release();
        return false;
    }
    const uint32_t dataBytes = available - CTargaHeader::kBytes;
    const uint64_t blockSize = targa.IsRunLength() ? static_cast<uint64_t>(kPixelOffset) + targa.GetImageBytes()
                                                    : static_cast<uint64_t>(available) + 2;
    if (!AllocateImage(targa, blockSize)) return false;
    if (!targa.ReadPixels(stream, GetPixels(), dataBytes)) {
        DebugPrintf("CTarga: pixel data is short");
        Release();
        return false;
    }
    return true;
}

bool CTarga::CreateFromMemory(const uint8_t* header, const void* pixels, uint32_t rowStride) {
    Release();
    if (header == nullptr) return false;
    CTargaHeader targa;
    targa.Parse(header);
    if (!targa.IsSupported("CTarga")) return false;
    const uint32_t imageBytes = targa.GetImageBytes();
    if (!AllocateImage(targa, static_cast<uint64_t>(kPixelOffset) + imageBytes)) return false;
    uint8_t* target = GetPixels();
    if (pixels == nullptr) {
        MemSet(target, 0, imageBytes);
    } else if (rowStride != 0) {
        const size_t rowBytes = static_cast<size_t>(targa.GetWidth()) * targa.GetBytesPerPixel();
        const uint8_t* source = static_cast<const uint8_t*>(pixels);
        for (uint32_t row = 0; row < targa.GetHeight(); ++row) {
            MemCopy(target + row * rowBytes, source + static_cast<size_t>(row) * rowStride, rowBytes);
        }
    } else {
        MemCopy(target, pixels, imageBytes);
    }
    return true;
}

bool CTarga::Save(const WChar* fileName) const {
    ASSERT(m_descriptor != nullptr);
    const uint8_t* targaHeader = GetTargaHeader();
    if (targaHeader == nullptr) return false;
    return WriteFile(fileName, targaHeader, CTargaHeader::kBytes, GetPixels(), m_descriptor->size);
}
