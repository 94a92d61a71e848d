// Targa files through both loaders (the Targa image and the texture's Targa
// path) and, from their first 18 bytes, through CreateFromMemory. Whatever
// is accepted is read in full, reordered and converted, so that the
// sanitizer sees any description that claims more pixels than the block
// holds.

#include <cstdint>
#include <cstdlib>

#include "CArrayInputStream.h"
#include "CTarga.h"
#include "CTexture.h"
#include "FuzzCheck.h"

namespace {

void ReadAll(const uint8_t* bytes, size_t n) {
    volatile uint32_t sink = 0;
    for (size_t i = 0; i < n; ++i) sink = sink + bytes[i];
}

// Every operation that walks the pixels, on a copy each time.
void Exercise(const CTexture& texture) {
    const CTexture::Header* header = texture.GetHeader();
    Check(header != nullptr && texture.GetPixels() != nullptr);
    ReadAll(texture.GetPixels(), header->size);
    bool (CTexture::*const walks[])() = {&CTexture::SwapBytes01,       &CTexture::SwapRedBlue,
                                         &CTexture::SwapBytes12,       &CTexture::RotateBytes,
                                         &CTexture::ConvertTo565,      &CTexture::ConvertToA1R5G5B5,
                                         &CTexture::ConvertToR5G5B5A1, &CTexture::ConvertToR4G4B4A4,
                                         &CTexture::ConvertToA4R4G4B4};
    for (auto walk : walks) {
        CTexture copy(texture);
        (copy.*walk)();
        if (copy.GetHeader() != nullptr) ReadAll(copy.GetPixels(), copy.GetHeader()->size);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    CArrayInputStream stream;
    stream.Open(data, static_cast<uint32_t>(size));
    CTarga image;
    if (image.Load(stream)) {
        Check(image.GetBlockSize() >= CTarga::kPixelOffset + image.GetHeader()->size);
        ReadAll(image.GetTargaHeader(), image.GetBlockSize());
        Exercise(image);
    } else {
        Check(image.GetHeader() == nullptr && image.GetBlockSize() == 0);
    }

    stream.Open(data, static_cast<uint32_t>(size));
    CTexture texture;
    if (texture.LoadTGA(stream, CTexture::kTargaTypeKey)) {
        Exercise(texture);
    } else {
        Check(texture.GetHeader() == nullptr);
    }

    // Only small headers: a real image of 65535 x 65535 is allowed here.
    if (size >= 18 && data[13] == 0 && data[15] == 0 && image.CreateFromMemory(data, nullptr, 0)) {
        Exercise(image);
    }
    return 0;
}
