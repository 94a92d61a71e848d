#include "BlitDecode.h"

#include <cstddef>

#include "BlitFormats.h"
#include "CInputStream.h"

namespace {

const BlitDecodeDesc& Desc(const void* desc) { return *static_cast<const BlitDecodeDesc*>(desc); }

constexpr uint32_t kOpaqueAlpha = 0xFF;

// A row's bytes, read through the stream in blocks: a call per pixel byte
// would cost more than the decode itself.
class RowBytes {
public:
    explicit RowBytes(CInputStream* stream) : m_stream(stream) {}
    // The row holds `bytes` bytes; exactly that many are taken from it.
    void StartRow(uint32_t bytes) {
        m_rowLeft = bytes;
        m_next = 0;
        m_fill = 0;
    }
    uint8_t Next() {
        if (m_next == m_fill) Fill();
        return m_block[m_next++];
    }

private:
    static constexpr uint32_t kBlockBytes = 1024;

    void Fill() {
        m_fill = m_rowLeft < kBlockBytes ? m_rowLeft : kBlockBytes;
        m_stream->Read(m_block, m_fill);
        m_rowLeft -= m_fill;
        m_next = 0;
    }

    CInputStream* m_stream;
    uint32_t m_rowLeft = 0;
    uint32_t m_next = 0;
    uint32_t m_fill = 0;
    uint8_t m_block[kBlockBytes];
};

// Sources: Next() reads one pixel of the row. Indexed sources answer the
// palette index, r8g8b8 answers the colour itself as an x8r8g8b8 value.
class SourceR8G8B8 {
public:
    static constexpr bool kIndexed = false;
    explicit SourceR8G8B8(CInputStream* stream) : m_bytes(stream) {}
    void StartRow(int32_t width) { m_bytes.StartRow(static_cast<uint32_t>(width) * 3); }
    uint32_t Next() {
        const uint32_t blue = m_bytes.Next();
        const uint32_t green = m_bytes.Next();
        const uint32_t red = m_bytes.Next();
        return red << 16 | green << 8 | blue;
    }

private:
    RowBytes m_bytes;
};

class SourceP256 {
public:
    static constexpr bool kIndexed = true;
    explicit SourceP256(CInputStream* stream) : m_bytes(stream) {}
    void StartRow(int32_t width) { m_bytes.StartRow(static_cast<uint32_t>(width)); }
    uint32_t Next() { return m_bytes.Next(); }

private:
    RowBytes m_bytes;
};

// Two indices per byte, high nibble first; a row of odd width leaves the low
// nibble of its last byte unread.
class SourceP16 {
public:
    static constexpr bool kIndexed = true;
    explicit SourceP16(CInputStream* stream) : m_bytes(stream) {}
    void StartRow(int32_t width) {
        m_bytes.StartRow((static_cast<uint32_t>(width) + 1) / 2);
        m_highNext = true;
    }
    uint32_t Next() {
        if (m_highNext) m_byte = m_bytes.Next();
        const uint32_t index = m_highNext ? m_byte >> 4 : m_byte & 0x0Fu;
        m_highNext = !m_highNext;
        return index;
    }

private:
    RowBytes m_bytes;
    uint32_t m_byte = 0;
    bool m_highNext = true;
};

// Destinations: Write(pixel, value) where value is the x8r8g8b8 colour, or
// the palette index for the kWritesIndex destinations.
struct DestR5G6B5 {
    static constexpr uint32_t kBytes = 2;
    static constexpr bool kWritesIndex = false;
    static void Write(uint8_t* p, uint32_t c) { BlitFormatR5G6B5::Store(p, BlitFormatR5G6B5::Pack(RgbOfWord(c))); }
};

// A 16-bit format with alpha, written opaque.
template <const PixelLayout& Layout>
struct DestOpaque16 {
    static constexpr uint32_t kBytes = 2;
    static constexpr bool kWritesIndex = false;
    static void Write(uint8_t* p, uint32_t c) {
        const BlitRgb rgb = RgbOfWord(c);
        PixelChannels::Store16(p, Layout.Packed(kOpaqueAlpha, rgb.r, rgb.g, rgb.b));
    }
};

using DestA1R5G5B5 = DestOpaque16<pixel_layout::Of(RSBFormat_A1R5G5B5)>;
using DestR5G5B5A1 = DestOpaque16<pixel_layout::kR5G5B5A1>;
using DestA4R4G4B4 = DestOpaque16<pixel_layout::Of(RSBFormat_A4R4G4B4)>;

struct DestX14R6G6B6 {
    static constexpr uint32_t kBytes = 4;
    static constexpr bool kWritesIndex = false;
    static void Write(uint8_t* p, uint32_t c) {
        BlitFormatX14R6G6B6::Store(p, BlitFormatX14R6G6B6::Pack(RgbOfWord(c)));
    }
};

struct DestX8R8G8B8 {
    static constexpr uint32_t kBytes = 4;
    static constexpr bool kWritesIndex = false;
    static void Write(uint8_t* p, uint32_t c) {
        BlitFormatX8R8G8B8::Store(p, BlitFormatX8R8G8B8::Pack(RgbOfWord(c)));
    }
};

struct DestP256 {
    static constexpr uint32_t kBytes = 1;
    static constexpr bool kWritesIndex = true;
    static void Write(uint8_t* p, uint32_t index) { *p = static_cast<uint8_t>(index); }
};

uint8_t* PixelAt(const BlitDecodeDesc& d, int32_t x, int32_t y, uint32_t bytes) {
    int32_t column = 0;
    int32_t row = 0;
    if (d.transpose == 0) {
        column = d.mirrorX != 0 ? d.width - 1 - x : x;
        row = d.mirrorY != 0 ? d.height - 1 - y : y;
    } else {
        column = d.mirrorX != 0 ? d.height - 1 - y : y;
        row = d.mirrorY != 0 ? d.width - 1 - x : x;
    }
    return d.destPixels + static_cast<ptrdiff_t>(column) * bytes + static_cast<ptrdiff_t>(row) * d.destStride;
}

template <typename Source, typename Dest, bool Keyed>
void Decode(const BlitDecodeDesc& d) {
    // Index-to-index copies never look at the palette, which may be absent.
    constexpr bool kNeedsColour = Keyed || !Dest::kWritesIndex;
    const uint32_t key = d.colorKey & kColorKeyMaskRGB24;
    const uint32_t skip = d.skipCount > 0 ? static_cast<uint32_t>(d.skipCount) : 0u;
    Source source(d.stream);
    for (int32_t y = 0; y < d.height; ++y) {
        source.StartRow(d.width);
        for (int32_t x = 0; x < d.width; ++x) {
            const uint32_t value = source.Next();
            uint32_t colour = value;
            if constexpr (kNeedsColour && Source::kIndexed) colour = d.palette[value];
            if (Keyed && (colour & kColorKeyMaskRGB24) == key) continue;
            Dest::Write(PixelAt(d, x, y, Dest::kBytes), Dest::kWritesIndex ? value : colour);
        }
        d.stream->Skip(skip);
    }
}

}  // namespace

void Decode_R8G8B8_R5G6B5(const void* desc) { Decode<SourceR8G8B8, DestR5G6B5, false>(Desc(desc)); }
void Decode_R8G8B8_R5G5B5A1(const void* desc) { Decode<SourceR8G8B8, DestR5G5B5A1, true>(Desc(desc)); }
void Decode_R8G8B8_X8R8G8B8(const void* desc) { Decode<SourceR8G8B8, DestX8R8G8B8, false>(Desc(desc)); }
void Decode_P16_R5G6B5(const void* desc) { Decode<SourceP16, DestR5G6B5, false>(Desc(desc)); }
void Decode_P16_A1R5G5B5(const void* desc) { Decode<SourceP16, DestA1R5G5B5, true>(Desc(desc)); }
void Decode_P16_R5G5B5A1(const void* desc) { Decode<SourceP16, DestR5G5B5A1, true>(Desc(desc)); }
void Decode_P16_X14R6G6B6(const void* desc) { Decode<SourceP16, DestX14R6G6B6, false>(Desc(desc)); }
void Decode_P16_X8R8G8B8(const void* desc) { Decode<SourceP16, DestX8R8G8B8, false>(Desc(desc)); }
void Decode_P16_P256(const void* desc) { Decode<SourceP16, DestP256, false>(Desc(desc)); }
void Decode_P256_R5G6B5(const void* desc) { Decode<SourceP256, DestR5G6B5, false>(Desc(desc)); }
void Decode_P256_A1R5G5B5(const void* desc) { Decode<SourceP256, DestA1R5G5B5, true>(Desc(desc)); }
void Decode_P256_R5G5B5A1(const void* desc) { Decode<SourceP256, DestR5G5B5A1, true>(Desc(desc)); }
void Decode_P256_A4R4G4B4(const void* desc) { Decode<SourceP256, DestA4R4G4B4, true>(Desc(desc)); }
void Decode_P256_X14R6G6B6(const void* desc) { Decode<SourceP256, DestX14R6G6B6, false>(Desc(desc)); }
void Decode_P256_X8R8G8B8(const void* desc) { Decode<SourceP256, DestX8R8G8B8, false>(Desc(desc)); }
void Decode_P256_P256(const void* desc) { Decode<SourceP256, DestP256, false>(Desc(desc)); }
