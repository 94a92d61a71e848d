// Stored texture blocks through CTexture::LoadTGA. An accepted block is read
// in full, copied out as a whole sub-image, reordered and converted, so that
// the sanitizer sees any header that claims more pixels than were stored.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "CArrayInputStream.h"
#include "CTexture.h"
#include "FuzzCheck.h"

namespace {

uint32_t Sum(const uint8_t* bytes, size_t n) {
    uint32_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum += bytes[i];
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    CArrayInputStream stream;
    stream.Open(data, static_cast<uint32_t>(size));
    CTexture texture;
    if (!texture.LoadTGA(stream, 0)) {
        Check(texture.GetHeader() == nullptr);
        return 0;
    }
    const CTexture::Header* header = texture.GetHeader();
    Check(header->size <= size - CTexture::kHeaderBytes);
    Check(CTexture::PixelBytes(*header) <= header->size);
    volatile uint32_t sink = Sum(texture.GetPixels(), header->size);

    std::vector<uint8_t> whole(static_cast<size_t>(CTexture::PixelBytes(*header)));
    const int32_t width = static_cast<int32_t>(header->width);
    const int32_t height = static_cast<int32_t>(header->height);
    if (width >= 0 && height >= 0 && texture.GetSubImage(0, 0, width, height, whole.data(), 0)) {
        sink = sink + Sum(whole.data(), whole.size());
        Check(texture.SetSubImage(0, 0, width, height, whole.data(), 0));
    }

    bool (CTexture::*const walks[])() = {&CTexture::SwapBytes01,       &CTexture::SwapRedBlue,
                                         &CTexture::SwapBytes12,       &CTexture::RotateBytes,
                                         &CTexture::ConvertTo565,      &CTexture::ConvertToA1R5G5B5,
                                         &CTexture::ConvertToR5G5B5A1, &CTexture::ConvertToR4G4B4A4,
                                         &CTexture::ConvertToA4R4G4B4};
    for (auto walk : walks) {
        CTexture copy(texture);
        (copy.*walk)();
        if (copy.GetHeader() != nullptr) sink = sink + Sum(copy.GetPixels(), copy.GetHeader()->size);
    }
    return 0;
}
