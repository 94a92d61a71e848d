#include "BlitCopy.h"

#include <cstddef>
#include <cstring>
#include <algorithm>

#include "BlitFormats.h"
#include "CColor.h"

int32_t GetBlitStartAndSteps(uint32_t bytesPerPixel, const BlitCopyDesc* desc, int32_t* xStep, int32_t* yStep) {
    const int32_t bytes = static_cast<int32_t>(bytesPerPixel);
    int32_t start = 0;
    if (desc->flipX != 0) {
        *xStep = -bytes;
        start = bytes * (desc->width - 1);
    } else {
        *xStep = bytes;
    }
    if (desc->flipY != 0) {
        start += desc->sourceStride * (desc->height - 1);
        *yStep = -desc->sourceStride;
    } else {
        *yStep = desc->sourceStride;
    }
    return start;
}

namespace {

const BlitCopyDesc& Desc(const void* desc) { return *static_cast<const BlitCopyDesc*>(desc); }

// Calls rowOp(first source pixel to read, first destination pixel, width) for
// every row. Destination rows are always written left to right. A rectangle
// of no area touches nothing.
template <uint32_t SourceBytes, typename RowOp>
void ForEachRow(const BlitCopyDesc& d, RowOp rowOp) {
    if (d.width < 1 || d.height < 1) return;
    int32_t xStep = 0;
    int32_t yStep = 0;
    const uint8_t* first = d.sourcePixels + GetBlitStartAndSteps(SourceBytes, &d, &xStep, &yStep);
    const size_t width = static_cast<size_t>(d.width);
    for (int32_t row = 0; row < d.height; ++row) {
        rowOp(first + static_cast<ptrdiff_t>(row) * yStep, d.destPixels + static_cast<ptrdiff_t>(row) * d.destStride,
              width);
    }
}

// Calls op(source pixel, destination pixel) for every pixel, reading each
// source row in the direction flip x asks for.
template <uint32_t SourceBytes, uint32_t DestBytes, typename PixelOp>
void ForEachPixel(const BlitCopyDesc& d, PixelOp op) {
    const bool mirrored = d.flipX != 0;
    ForEachRow<SourceBytes>(d, [mirrored, op](const uint8_t* s, uint8_t* t, size_t width) {
        if (mirrored) {
            for (size_t i = 0; i < width; ++i) op(s - i * SourceBytes, t + i * DestBytes);
        } else {
            for (size_t i = 0; i < width; ++i) op(s + i * SourceBytes, t + i * DestBytes);
        }
    });
}

// The bytes a block of rows spans, from its first row's start, `stride`
// apart, `rowBytes` long.
struct ByteSpan {
    uintptr_t first;
    uintptr_t end;
};

ByteSpan RowsSpan(const uint8_t* firstRow, int32_t stride, int32_t height, size_t rowBytes) {
    const ptrdiff_t last = static_cast<ptrdiff_t>(stride) * (height - 1);
    const uintptr_t start = reinterpret_cast<uintptr_t>(firstRow);
    return {start + static_cast<uintptr_t>(std::min<ptrdiff_t>(last, 0)),
            start + static_cast<uintptr_t>(std::max<ptrdiff_t>(last, 0)) + rowBytes};
}

// Unmirrored rows of a block with pixels, no byte read being written: the
// rows may be copied in any order of their pixels.
bool ForwardRowsApart(const BlitCopyDesc& d, uint32_t bytes) {
    if (d.flipX != 0 || d.width < 1 || d.height < 1) return false;
    const size_t rowBytes = static_cast<size_t>(d.width) * bytes;
    const ByteSpan read = RowsSpan(d.sourcePixels, d.sourceStride, d.height, rowBytes);
    const ByteSpan written = RowsSpan(d.destPixels, d.destStride, d.height, rowBytes);
    return read.end <= written.first || written.end <= read.first;
}

// Rows up to this long are copied by moves expanded in place: for them the
// call to the library's copy costs more than the copy (tile rows). Longer
// rows go to the library's copy, whose wider moves are faster.
constexpr size_t kInlineRowBytes = 128;

// A row of whole Unit-byte pixels, up to 2 Step bytes. One longer than Step
// is copied as a move of Step bytes from each end, the two overlapping
// instead of leaving a tail; a shorter one halves the step, down to one
// pixel. The moves' sizes are known when compiling, so they are expanded in
// place.
template <size_t Step, size_t Unit>
void CopyShortRow(const uint8_t* __restrict s, uint8_t* __restrict t, size_t bytes) {
    if (bytes > Step) {
        std::memcpy(t, s, Step);
        std::memcpy(t + bytes - Step, s + bytes - Step, Step);
    } else if constexpr (Step > Unit) {
        CopyShortRow<Step / 2, Unit>(s, t, bytes);
    } else {
        std::memcpy(t, s, Unit);
    }
}

template <uint32_t Bytes>
void CopyRow(const uint8_t* __restrict s, uint8_t* __restrict t, size_t width) {
    const size_t bytes = width * Bytes;
    if (bytes > kInlineRowBytes) {
        std::memcpy(t, s, bytes);
        return;
    }
    CopyShortRow<kInlineRowBytes / 2, Bytes>(s, t, bytes);
}

// Whole pixels, ignored bits included.
template <uint32_t Bytes>
void CopyPixels(const BlitCopyDesc& d) {
    if (ForwardRowsApart(d, Bytes)) {
        ForEachRow<Bytes>(d, CopyRow<Bytes>);
        return;
    }
    if (d.flipX == 0) {
        ForEachRow<Bytes>(d, [](const uint8_t* s, uint8_t* t, size_t width) { std::memmove(t, s, width * Bytes); });
        return;
    }
    ForEachPixel<Bytes, Bytes>(d, [](const uint8_t* s, uint8_t* t) { std::memcpy(t, s, Bytes); });
}

template <typename Format>
void CopyKeyedRow(const uint8_t* __restrict s, uint8_t* __restrict t, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        const uint32_t value = Format::Load(s + i * Format::kBytes);
        Format::Store(t + i * Format::kBytes, Format::IsKey(value) ? Format::Load(t + i * Format::kBytes) : value);
    }
}

// Keyed pixels leave the destination as it was. Written as a select of the
// old value, so that a row runs without branches; rows apart in memory
// spare each row its overlap test.
template <typename Format>
void CopyKeyed(const BlitCopyDesc& d) {
    if (ForwardRowsApart(d, Format::kBytes)) {
        ForEachRow<Format::kBytes>(d, CopyKeyedRow<Format>);
        return;
    }
    ForEachPixel<Format::kBytes, Format::kBytes>(d, [](const uint8_t* s, uint8_t* t) {
        const uint32_t value = Format::Load(s);
        Format::Store(t, Format::IsKey(value) ? Format::Load(t) : value);
    });
}

template <typename Format>
void CopyKeyedBlended(const BlitCopyDesc& d) {
    const uint32_t alpha = d.alpha;
    if (alpha == 0) return;
    ForEachPixel<Format::kBytes, Format::kBytes>(d, [alpha](const uint8_t* s, uint8_t* t) {
        const uint32_t source = Format::Load(s);
        const uint32_t dest = Format::Load(t);
        const uint32_t blended = Format::Pack(BlendRgb(Format::Channels(source), Format::Channels(dest), alpha));
        Format::Store(t, Format::IsKey(source) ? dest : blended);
    });
}

// Palette sources: each index byte is looked up in the descriptor's palette.
template <typename Format, typename EntryOp>
void ForEachEntry(const BlitCopyDesc& d, EntryOp op) {
    const uint32_t* palette = d.palette;
    ForEachPixel<1, Format::kBytes>(d, [palette, op](const uint8_t* s, uint8_t* t) { op(palette[*s], t); });
}

template <typename Format>
void CopyEntries(const BlitCopyDesc& d) {
    ForEachEntry<Format>(d, [](uint32_t entry, uint8_t* t) { Format::Store(t, Format::Pack(RgbOfWord(entry))); });
}

template <typename Format>
void CopyEntriesKeyed(const BlitCopyDesc& d) {
    ForEachEntry<Format>(d, [](uint32_t entry, uint8_t* t) {
        if (!IsKeyedEntry(entry)) Format::Store(t, Format::Pack(RgbOfWord(entry)));
    });
}

// Blends each entry's colour with alpha(entry); an alpha of 0 skips the pixel.
template <typename Format, typename AlphaOf>
void BlendEntries(const BlitCopyDesc& d, AlphaOf alphaOf) {
    ForEachEntry<Format>(d, [alphaOf](uint32_t entry, uint8_t* t) {
        const uint32_t alpha = alphaOf(entry);
        if (alpha != 0) Format::Store(t, Format::Pack(BlendRgb(RgbOfWord(entry), Format::Read(t), alpha)));
    });
}

template <typename Format>
void CopyEntriesKeyedBlended(const BlitCopyDesc& d) {
    const uint32_t alpha = d.alpha;
    if (alpha == 0) return;
    BlendEntries<Format>(d, [alpha](uint32_t entry) { return IsKeyedEntry(entry) ? 0u : alpha; });
}

template <typename Format>
bool RowsHoldKey(const uint8_t* pixels, int32_t pitch, uint32_t width, uint32_t height) {
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<intptr_t>(y) * pitch;
        for (uint32_t x = 0; x < width; ++x) {
            if (Format::IsKey(Format::Load(row + x * Format::kBytes))) return true;
        }
    }
    return false;
}

bool RowsIndexKey(const uint8_t* pixels, int32_t pitch, uint32_t width, uint32_t height, const uint32_t* palette) {
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<intptr_t>(y) * pitch;
        for (uint32_t x = 0; x < width; ++x) {
            if (IsKeyedEntry(palette[row[x]])) return true;
        }
    }
    return false;
}

}  // namespace

bool BlitBlockMayHoldKey(uint32_t format, const uint8_t* pixels, int32_t pitch, uint32_t width, uint32_t height,
                         const uint32_t* palette) {
    if (pixels == nullptr) return true;
    switch (format) {
        case RSBFormat_R5G6B5: return RowsHoldKey<BlitFormatR5G6B5>(pixels, pitch, width, height);
        case RSBFormat_X14R6G6B6: return RowsHoldKey<BlitFormatX14R6G6B6>(pixels, pitch, width, height);
        case RSBFormat_X8R8G8B8: return RowsHoldKey<BlitFormatX8R8G8B8>(pixels, pitch, width, height);
        case RSBFormat_P256X8R8G8B8:
            return palette == nullptr || RowsIndexKey(pixels, pitch, width, height, palette);
        default: return true;
    }
}

void Blit_R5G6B5(const void* desc) { CopyPixels<2>(Desc(desc)); }
void Blit_R5G6B5_ColorKey(const void* desc) { CopyKeyed<BlitFormatR5G6B5>(Desc(desc)); }
void Blit_R5G6B5_ColorKeyAlpha(const void* desc) { CopyKeyedBlended<BlitFormatR5G6B5>(Desc(desc)); }
void Blit_X14R6G6B6(const void* desc) { CopyPixels<4>(Desc(desc)); }
void Blit_X14R6G6B6_ColorKey(const void* desc) { CopyKeyed<BlitFormatX14R6G6B6>(Desc(desc)); }
void Blit_X14R6G6B6_ColorKeyAlpha(const void* desc) { CopyKeyedBlended<BlitFormatX14R6G6B6>(Desc(desc)); }
void Blit_X8R8G8B8(const void* desc) { CopyPixels<4>(Desc(desc)); }
void Blit_X8R8G8B8_ColorKey(const void* desc) { CopyKeyed<BlitFormatX8R8G8B8>(Desc(desc)); }
void Blit_X8R8G8B8_ColorKeyAlpha(const void* desc) { CopyKeyedBlended<BlitFormatX8R8G8B8>(Desc(desc)); }
void Blit_P256_R5G6B5(const void* desc) { CopyEntries<BlitFormatR5G6B5>(Desc(desc)); }
void Blit_P256_R5G6B5_ColorKey(const void* desc) { CopyEntriesKeyed<BlitFormatR5G6B5>(Desc(desc)); }
void Blit_P256_R5G6B5_ColorKeyAlpha(const void* desc) { CopyEntriesKeyedBlended<BlitFormatR5G6B5>(Desc(desc)); }
void Blit_P256_X14R6G6B6(const void* desc) { CopyEntries<BlitFormatX14R6G6B6>(Desc(desc)); }
void Blit_P256_X14R6G6B6_ColorKey(const void* desc) { CopyEntriesKeyed<BlitFormatX14R6G6B6>(Desc(desc)); }
void Blit_P256_X14R6G6B6_ColorKeyAlpha(const void* desc) {
    CopyEntriesKeyedBlended<BlitFormatX14R6G6B6>(Desc(desc));
}
void Blit_P256_X8R8G8B8(const void* desc) { CopyEntries<BlitFormatX8R8G8B8>(Desc(desc)); }
void Blit_P256_X8R8G8B8_ColorKey(const void* desc) { CopyEntriesKeyed<BlitFormatX8R8G8B8>(Desc(desc)); }
void Blit_P256_X8R8G8B8_ColorKeyAlpha(const void* desc) { CopyEntriesKeyedBlended<BlitFormatX8R8G8B8>(Desc(desc)); }

void Blit_A1R5G5B5_R5G6B5_AlphaTest(const void* desc) {
    ForEachPixel<2, 2>(Desc(desc), [](const uint8_t* s, uint8_t* t) {
        if ((PixelChannels::Load16(s) & 0x8000u) == 0) return;
        BlitFormatR5G6B5::Store(t, BlitFormatR5G6B5::Pack({GetRed_X1R5G5B5(s), GetGreen_X1R5G5B5(s),
                                                           GetBlue_X1R5G5B5(s)}));
    });
}

void Blit_Copy16(const void* desc) { CopyPixels<2>(Desc(desc)); }

void Blit_A4R4G4B4_R5G6B5_Alpha(const void* desc) {
    ForEachPixel<2, 2>(Desc(desc), [](const uint8_t* s, uint8_t* t) {
        const uint32_t alpha = GetAlpha_A4R4G4B4(s);
        if (alpha == 0) return;
        const BlitRgb source = {GetRed_A4R4G4B4(s), GetGreen_A4R4G4B4(s), GetBlue_A4R4G4B4(s)};
        BlitFormatR5G6B5::Store(t, BlitFormatR5G6B5::Pack(BlendRgb(source, BlitFormatR5G6B5::Read(t), alpha)));
    });
}

void Blit_R5G6B5_X8R8G8B8(const void* desc) {
    ForEachPixel<2, 4>(Desc(desc), [](const uint8_t* s, uint8_t* t) {
        BlitFormatX8R8G8B8::Store(t, BlitFormatX8R8G8B8::Pack(BlitFormatR5G6B5::Read(s)));
    });
}

void Blit_R8G8B8_X8R8G8B8(const void* desc) {
    ForEachPixel<3, 4>(Desc(desc), [](const uint8_t* s, uint8_t* t) {
        BlitFormatX8R8G8B8::Store(t, BlitFormatX8R8G8B8::Pack({GetRed_R8G8B8(s), GetGreen_R8G8B8(s),
                                                               GetBlue_R8G8B8(s)}));
    });
}

void Blit_Copy32(const void* desc) { CopyPixels<4>(Desc(desc)); }

void Blit_Copy16_Single(const void* desc) {
    ForEachPixel<2, 2>(Desc(desc),
                       [](const uint8_t* s, uint8_t* t) { BlitFormatR5G6B5::Store(t, BlitFormatR5G6B5::Load(s)); });
}

void Blit_Copy16_Single2(const void* desc) { Blit_Copy16_Single(desc); }

void Blit_P256_R5G6B5_Alias(const void* desc) { Blit_P256_R5G6B5(desc); }

void Blit_P256_R5G6B5_AlphaTest(const void* desc) {
    ForEachEntry<BlitFormatR5G6B5>(Desc(desc), [](uint32_t entry, uint8_t* t) {
        if ((entry >> 24) != 0) BlitFormatR5G6B5::Store(t, BlitFormatR5G6B5::Pack(RgbOfWord(entry)));
    });
}

void Blit_P256_R5G6B5_PaletteAlpha(const void* desc) {
    BlendEntries<BlitFormatR5G6B5>(Desc(desc), [](uint32_t entry) { return entry >> 24; });
}

void Blit_P256_R5G6B5_Alpha(const void* desc) {
    const uint32_t alpha = Desc(desc).alpha;
    if (alpha == 0) return;
    BlendEntries<BlitFormatR5G6B5>(Desc(desc), [alpha](uint32_t) { return alpha; });
}
