#include "BlitLineFill.h"

#include <cstddef>

#include "BlitFormats.h"
#include "CColor.h"
#include "CRenderSurfaceBuffer.h"

void DrawLine_Setup(int32_t* xEnd, int32_t* yEnd, int32_t* twoDx, int32_t* twoDy, int32_t* xStep, int32_t* yStep,
                    int32_t* dx, int32_t* dy) {
    const auto setupAxis = [](int32_t* end, int32_t* step, int32_t* distance) {
        if (*distance >= 1) {
            *end = *distance - 1;
            *step = 1;
        } else if (*distance == 0) {
            *end = 0;
            *step = 0;
        } else {
            *end = *distance + 1;
            *step = -1;
            *distance = -*distance;
        }
    };
    setupAxis(xEnd, xStep, dx);
    setupAxis(yEnd, yStep, dy);
    *twoDx = 2 * *dx;
    *twoDy = 2 * *dy;
}

namespace {

const BlitSolidDesc& Desc(const void* desc) { return *static_cast<const BlitSolidDesc*>(desc); }

enum class SolidMode { Opaque, AlphaTest, Blend };

// A top byte of 0 instead of the opaque one.
struct FormatRaw32 : BlitFormatX8R8G8B8 {
    static uint32_t Pack(BlitRgb c) { return c.r << 16 | c.g << 8 | c.b; }
};

struct SolidColour {
    BlitRgb rgb;
    uint32_t alpha;
};

SolidColour ConvertSolidColour(const BlitSolidDesc& d) {
    uint8_t word[4] = {0, 0, 0, 0};
    CRenderSurfaceBuffer::ConvertColor(d.colorFormat, d.color, RSBFormat_A8R8G8B8, word);
    return {{GetRed_Pixel32(word), GetGreen_Pixel32(word), GetBlue_Pixel32(word)}, GetAlpha_Pixel32(word)};
}

// Converts and packs the colour once, then hands draw() the operation that
// paints one destination pixel; draws nothing when the mode forbids it.
template <typename Format, SolidMode Mode, typename Draw>
void WithPainter(const BlitSolidDesc& d, Draw draw) {
    const SolidColour colour = ConvertSolidColour(d);
    if (Mode != SolidMode::Opaque && colour.alpha == 0) return;
    if constexpr (Mode == SolidMode::Blend) {
        draw([colour](uint8_t* p) {
            Format::Store(p, Format::Pack(BlendRgb(colour.rgb, Format::Read(p), colour.alpha)));
        });
    } else {
        const uint32_t packed = Format::Pack(colour.rgb);
        draw([packed](uint8_t* p) { Format::Store(p, packed); });
    }
}

template <uint32_t Bytes, typename Paint>
void TraceLine(const BlitSolidDesc& d, Paint paint) {
    int32_t dx = d.firstExtent;
    int32_t dy = d.secondExtent;
    int32_t xEnd = 0;
    int32_t yEnd = 0;
    int32_t twoDx = 0;
    int32_t twoDy = 0;
    int32_t xStep = 0;
    int32_t yStep = 0;
    DrawLine_Setup(&xEnd, &yEnd, &twoDx, &twoDy, &xStep, &yStep, &dx, &dy);
    const auto at = [&d](int32_t x, int32_t y) {
        return d.pixels + static_cast<ptrdiff_t>(x) * Bytes + static_cast<ptrdiff_t>(y) * d.stride;
    };
    int32_t x = 0;
    int32_t y = 0;
    if (dy > dx) {
        int32_t err = twoDx - dy;
        for (;;) {
            paint(at(x, y));
            if (y == yEnd) return;
            if (err >= 0) {
                err -= twoDy;
                x += xStep;
            }
            y += yStep;
            err += twoDx;
        }
    }
    int32_t err = twoDy - dx;
    for (;;) {
        paint(at(x, y));
        if (x == xEnd) return;
        if (err >= 0) {
            err -= twoDx;
            y += yStep;
        }
        x += xStep;
        err += twoDy;
    }
}

template <uint32_t Bytes, typename Paint>
void FillRows(const BlitSolidDesc& d, Paint paint) {
    const int32_t width = d.firstExtent;
    const int32_t height = d.secondExtent;
    // A rectangle of no area touches nothing.
    if (width < 1 || height < 1) return;
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* p = d.pixels + static_cast<ptrdiff_t>(row) * d.stride;
        for (int32_t i = 0; i < width; ++i) paint(p + static_cast<ptrdiff_t>(i) * Bytes);
    }
}

template <typename Format, SolidMode Mode>
void DrawLine(const void* desc) {
    const BlitSolidDesc& d = Desc(desc);
    WithPainter<Format, Mode>(d, [&d](auto paint) { TraceLine<Format::kBytes>(d, paint); });
}

template <typename Format, SolidMode Mode>
void FillRect(const void* desc) {
    const BlitSolidDesc& d = Desc(desc);
    WithPainter<Format, Mode>(d, [&d](auto paint) { FillRows<Format::kBytes>(d, paint); });
}

}  // namespace

void DrawLine_R5G6B5(const void* desc) { DrawLine<BlitFormatR5G6B5, SolidMode::Opaque>(desc); }
void DrawLine_R5G6B5_AlphaTest(const void* desc) { DrawLine<BlitFormatR5G6B5, SolidMode::AlphaTest>(desc); }
void DrawLine_R5G6B5_Blend(const void* desc) { DrawLine<BlitFormatR5G6B5, SolidMode::Blend>(desc); }
void DrawLine_X14R6G6B6(const void* desc) { DrawLine<BlitFormatX14R6G6B6, SolidMode::Opaque>(desc); }
void DrawLine_X14R6G6B6_AlphaTest(const void* desc) { DrawLine<BlitFormatX14R6G6B6, SolidMode::AlphaTest>(desc); }
void DrawLine_X14R6G6B6_Blend(const void* desc) { DrawLine<BlitFormatX14R6G6B6, SolidMode::Blend>(desc); }
void DrawLine_X8R8G8B8(const void* desc) { DrawLine<BlitFormatX8R8G8B8, SolidMode::Opaque>(desc); }
void DrawLine_X8R8G8B8_AlphaTest(const void* desc) { DrawLine<BlitFormatX8R8G8B8, SolidMode::AlphaTest>(desc); }
void DrawLine_X8R8G8B8_Blend(const void* desc) { DrawLine<BlitFormatX8R8G8B8, SolidMode::Blend>(desc); }

void FillRect_R5G6B5(const void* desc) { FillRect<BlitFormatR5G6B5, SolidMode::Opaque>(desc); }
void FillRect_R5G6B5_AlphaTest(const void* desc) { FillRect<BlitFormatR5G6B5, SolidMode::AlphaTest>(desc); }
void FillRect_R5G6B5_Blend(const void* desc) { FillRect<BlitFormatR5G6B5, SolidMode::Blend>(desc); }
void FillRect_X14R6G6B6(const void* desc) { FillRect<BlitFormatX14R6G6B6, SolidMode::Opaque>(desc); }
void FillRect_X14R6G6B6_AlphaTest(const void* desc) { FillRect<BlitFormatX14R6G6B6, SolidMode::AlphaTest>(desc); }
void FillRect_X14R6G6B6_Blend(const void* desc) { FillRect<BlitFormatX14R6G6B6, SolidMode::Blend>(desc); }
void FillRect_X8R8G8B8(const void* desc) { FillRect<BlitFormatX8R8G8B8, SolidMode::Opaque>(desc); }
void FillRect_X8R8G8B8_AlphaTest(const void* desc) { FillRect<BlitFormatX8R8G8B8, SolidMode::AlphaTest>(desc); }
void FillRect_X8R8G8B8_Blend(const void* desc) { FillRect<BlitFormatX8R8G8B8, SolidMode::Blend>(desc); }
void FillRect_X8R8G8B8_Raw(const void* desc) { FillRect<FormatRaw32, SolidMode::Opaque>(desc); }
