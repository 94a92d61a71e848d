#ifndef HOSTFRAME_H
#define HOSTFRAME_H

#include <cstdint>
#include <vector>

// A copy of one presented frame of the handset's screen, in tight rows from
// the top. The buffer is kept from frame to frame: a frame of the size
// before is copied without allocating.
class HostFrame {
public:
    // Pixel format ids the host can show.
    static constexpr uint32_t kR5G6B5 = 0x21302;
    static constexpr uint32_t kX8R8G8B8 = 0xB0304;
    static constexpr uint32_t kA8R8G8B8 = 0xC4404;
    static constexpr int32_t kMaxSide = 4096;

    // Bytes per pixel of a format above, else 0.
    static int32_t BytesPerPixel(uint32_t format);

    // Whether a frame whose rows are `pitch` bytes apart from the top row at
    // `pixels` (negative for bottom-up storage) can be kept: false for an
    // unknown format, a side outside 1..kMaxSide, no pixels, or rows
    // shorter than a line of pixels.
    static bool Fits(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format);

    // Copies a frame as above. False, leaving the frame as it was, when it
    // does not fit.
    bool Assign(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format);

    bool IsEmpty() const { return m_bytes.empty(); }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    uint32_t Format() const { return m_format; }
    int32_t Pitch() const { return m_width * BytesPerPixel(m_format); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    // The pixel's value as stored (little-endian), 0 outside the frame.
    uint32_t PixelAt(int32_t x, int32_t y) const;

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    uint32_t m_format = 0;
    std::vector<uint8_t> m_bytes;
};

#endif
