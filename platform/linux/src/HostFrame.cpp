#include "HostFrame.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

int32_t HostFrame::BytesPerPixel(uint32_t format) {
    switch (format) {
        case kR5G6B5:
            return 2;
        case kX8R8G8B8:
        case kA8R8G8B8:
            return 4;
        default:
            return 0;
    }
}

bool HostFrame::Fits(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
    const int32_t bytesPerPixel = BytesPerPixel(format);
    if (bytesPerPixel == 0 || pixels == nullptr || width < 1 || width > kMaxSide || height < 1 || height > kMaxSide) {
        return false;
    }
    return std::abs(pitch) >= width * bytesPerPixel;
}

bool HostFrame::Assign(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
    if (!Fits(pixels, width, height, pitch, format)) return false;
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(BytesPerPixel(format));
    m_bytes.resize(rowBytes * static_cast<size_t>(height));
    const uint8_t* top = static_cast<const uint8_t*>(pixels);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = top + static_cast<ptrdiff_t>(y) * pitch;
        std::memcpy(&m_bytes[static_cast<size_t>(y) * rowBytes], row, rowBytes);
    }
    m_width = width;
    m_height = height;
    m_format = format;
    return true;
}

uint32_t HostFrame::PixelAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    const int32_t bytesPerPixel = BytesPerPixel(m_format);
    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(Pitch()) + static_cast<size_t>(x * bytesPerPixel);
    uint32_t value = 0;
    for (int32_t i = bytesPerPixel - 1; i >= 0; --i) value = (value << 8) | m_bytes[at + static_cast<size_t>(i)];
    return value;
}
