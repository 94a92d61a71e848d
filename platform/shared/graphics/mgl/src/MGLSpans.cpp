#include "MGLSpans.h"

#include <cstring>

#include "CColor.h"
#include "CFixedWide.h"
#include "MGLContext.h"
#include "MGLFixed.h"
#include "MGLTextureSampler.h"

namespace {

constexpr uint32_t kDepthBytes = 4;
constexpr int32_t kMaxInterpolants = static_cast<int32_t>(MGLRecord::kInterpolantWords);
constexpr int32_t kMinAlpha = 15;
constexpr int32_t kU = 1;
constexpr int32_t kV = 2;
constexpr int32_t kLodShift = 4;

// The row segment a span writes, in host memory.
struct SpanRow {
    uint8_t* colour = nullptr;
    uint8_t* depth = nullptr;  // null: no depth work
    int32_t xs = 0;
    int32_t count = 0;
    uint32_t format = 0;
    int32_t bpp = 0;
    int32_t zbpp = 0;
};

uint32_t LoadWord(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void StoreWord(uint8_t* p, uint32_t v) { std::memcpy(p, &v, sizeof v); }

void StoreHalf(uint8_t* p, uint32_t v) {
    const uint16_t h = static_cast<uint16_t>(v);
    std::memcpy(p, &h, sizeof h);
}

int32_t Interpolants(const MGLRecord& s) {
    return s.numInterpolants < 0 ? 0 : (s.numInterpolants > kMaxInterpolants ? kMaxInterpolants : s.numInterpolants);
}

// Columns, row pointers and the interpolants at the first pixel. False when
// nothing of the row is drawn: no columns left, or a row outside the planes.
bool SetUpRow(MGLContext& context, int32_t x0, int32_t x1, SpanRow& row) {
    MGLRecord& s = context.Record();
    if (context.PlanePixels(MGLContext::Plane::Colour) == nullptr) return false;
    row.format = context.PlaneFormat(MGLContext::Plane::Colour);
    row.bpp = static_cast<int32_t>(row.format & 31u);
    int32_t xs = WrapAdd(x0, 32767) >> 16;
    int32_t xe = WrapAdd(x1, 32768) >> 16;
    if (xs < s.scissorx0) xs = s.scissorx0;
    if (xe > s.scissorx1) xe = s.scissorx1;
    if (xs >= xe || row.bpp == 0) return false;
    row.xs = xs;
    row.count = xe - xs;
    MGLGuestMemory& memory = context.GuestMemory();
    const uint32_t colourAt = s.destptr + static_cast<uint32_t>(xs) * static_cast<uint32_t>(row.bpp);
    row.colour = memory.ToHost(colourAt, static_cast<size_t>(row.count) * static_cast<size_t>(row.bpp));
    if (row.colour == nullptr) return false;
    if (context.PlanePixels(MGLContext::Plane::Depth) != nullptr) {
        row.zbpp = static_cast<int32_t>(context.PlaneFormat(MGLContext::Plane::Depth) & 31u);
        if (row.zbpp < static_cast<int32_t>(kDepthBytes)) return false;
        const uint32_t depthAt = s.zptr + static_cast<uint32_t>(xs) * static_cast<uint32_t>(row.zbpp);
        const size_t bytes = static_cast<size_t>(row.count - 1) * static_cast<size_t>(row.zbpp) + kDepthBytes;
        row.depth = memory.ToHost(depthAt, bytes);
        if (row.depth == nullptr) return false;
    }
    const int32_t n = Interpolants(s);
    for (int32_t i = 0; i < n; ++i) s.intp[i] = WrapAdd(s.intp_y[i], WrapMul(xs, s.intp_dx[i]));
    return true;
}

// The depth test of one pixel: passes without a depth plane or test.
bool DepthPasses(const MGLRecord& s, const SpanRow& row, const uint8_t* depth, int32_t value) {
    if (row.depth == nullptr || s.depthTest == 0) return true;
    return static_cast<uint32_t>(value) > LoadWord(depth);
}

void WriteDepth(const MGLRecord& s, const SpanRow& row, uint8_t* depth, int32_t value) {
    if (row.depth != nullptr && s.depthWrite != 0) StoreWord(depth, static_cast<uint32_t>(value));
}

// The flat colour of the draw colour in the target format; false for a
// format without a flat rule.
bool FlatPixel(const MGLRecord& s, uint32_t format, uint32_t* pixel) {
    const uint32_t r = static_cast<uint32_t>(s.drawColor[1]);
    const uint32_t g = static_cast<uint32_t>(s.drawColor[2]);
    const uint32_t b = static_cast<uint32_t>(s.drawColor[3]);
    if (format == RSBFormat_R5G6B5) {
        *pixel = ((b & 0xFFu) >> 3) | ((g & 0xFCu) << 3) | ((r & 0xF8u) << 8);
        return true;
    }
    if (format == RSBFormat_X8R8G8B8) {
        *pixel = b | g << 8 | r << 16 | 0xFF000000u;
        return true;
    }
    return false;
}

// A fixed colour (channels 0..65535) stored in the target format; nothing
// for a format without a rule.
void StoreTexel(uint8_t* at, uint32_t format, const RSBFormat_ARGB_fixed& c) {
    const uint32_t r = static_cast<uint32_t>(c.r);
    const uint32_t g = static_cast<uint32_t>(c.g);
    const uint32_t b = static_cast<uint32_t>(c.b);
    switch (format) {
        case RSBFormat_R5G6B5: StoreHalf(at, (r & 0xF800u) | ((g >> 10) << 5) | (b >> 11)); break;
        case RSBFormat_X8R8G8B8: StoreWord(at, ((r >> 8) << 16) | (g & 0xFF00u) | (b >> 8)); break;
        case RSBFormat_X14R6G6B6: StoreWord(at, ((r >> 10) << 12) | ((g >> 10) << 6) | (b >> 10)); break;
        default: break;
    }
}

int32_t Magnitude(int32_t v) {
    const int64_t m = v < 0 ? -int64_t{v} : int64_t{v};
    return m > INT32_MAX ? INT32_MAX : static_cast<int32_t>(m);
}

// u, v and the level of detail of one pixel from the perspective terms: the
// interpolants were scaled by the depth offset at the vertices, and are
// divided back by it here through the reciprocal table.
void PerspectivePixel(const MGLContext& context, int32_t* u, int32_t* v, int32_t* lod) {
    const MGLRecord& s = context.Record();
    const uint32_t z = s.intp[0] <= 0 ? 1u : static_cast<uint32_t>(WrapSub(s.intp[0], s.cfz0));
    // The limit doubles in 64 bits: a 32-bit one would wrap before passing
    // a depth offset near the top of the range, and never end.
    uint64_t limit = static_cast<uint64_t>(s.recipTableSizeM1 > 0 ? s.recipTableSizeM1 : MGLLookupTables::kTableSizeM1);
    int32_t k = 0;
    while (limit < z) {
        limit <<= 1;
        ++k;
    }
    const uint32_t index = k > 0 ? ((z >> (k - 1)) + 1) >> 1 : z;
    int32_t r = context.Tables().RecipTable4()[index > MGLLookupTables::kTableSizeM1 ? MGLLookupTables::kTableSizeM1 : index];
    int32_t shift = k + 10;
    if (shift > 30) {
        r >>= shift - 30;
        shift = 30;
    }
    *u = FixedMulShift(r, s.intp[kU], shift);
    *v = FixedMulShift(r, s.intp[kV], shift);
    int32_t r2 = FixedMulShift(r, r, shift);
    int32_t m = Magnitude(s.K2x[kV]);
    for (const int32_t term : {s.K2x[kU], s.K3ys[kV], s.K3ys[kU]}) m = Magnitude(term) > m ? Magnitude(term) : m;
    // K2x / z^2 is the texel step scaled by 2^36 (the scaled interpolants
    // carry 2^-20, the K terms 2^-16) and r2 / 2^shift is 2^40 / z^2: four
    // more bits give the step in 16.16 texels, as the affine mode measures it.
    shift += kLodShift;
    if (shift > 30) {
        r2 >>= shift - 30;
        shift = 30;
    }
    *lod = MGLContext::ComputeLod(FixedMulShift(m, r2, shift));
}

}  // namespace

void SpanFlatDepth(MGLContext& context, uint32_t x0, uint32_t x1) {
    SpanRow row;
    if (!SetUpRow(context, static_cast<int32_t>(x0), static_cast<int32_t>(x1), row)) return;
    const MGLRecord& s = context.Record();
    uint32_t pixel = 0;
    const bool hasColour = FlatPixel(s, row.format, &pixel);
    int32_t depth = s.intp[0];
    const int32_t step = s.intp_dx[0];
    uint8_t* colourAt = row.colour;
    uint8_t* depthAt = row.depth;
    for (int32_t i = 0; i < row.count; ++i) {
        if (DepthPasses(s, row, depthAt, depth)) {
            WriteDepth(s, row, depthAt, depth);
            if (hasColour && row.bpp == 2) StoreHalf(colourAt, pixel);
            if (hasColour && row.bpp == 4) StoreWord(colourAt, pixel);
        }
        colourAt += row.bpp;
        if (depthAt != nullptr) depthAt += row.zbpp;
        depth = WrapAdd(depth, step);
    }
}

void SpanTexturedPerspective(MGLContext& context, uint32_t x0, uint32_t x1) {
    SpanRow row;
    if (!SetUpRow(context, static_cast<int32_t>(x0), static_cast<int32_t>(x1), row)) return;
    MGLRecord& s = context.Record();
    const int32_t n = Interpolants(s);
    const bool perspective = s.perspectiveGradients != 0;
    if (perspective) {
        for (int32_t i = 0; i < n; ++i) {
            if (i != s.depthInterpolant) s.K3ys[i] = WrapSub(s.K3y[i], WrapMul(row.xs, s.K1[i]));
        }
    }
    MGLTextureSampler sampler(context, 0);
    const int32_t maxLod = WrapShiftLeft(WrapSub(s.texture_units[0].b.maxD, 1), 16);
    uint8_t* colourAt = row.colour;
    uint8_t* depthAt = row.depth;
    for (int32_t i = 0; i < row.count; ++i) {
        if (DepthPasses(s, row, depthAt, s.intp[0])) {
            int32_t u, v, lod;
            if (perspective) {
                PerspectivePixel(context, &u, &v, &lod);
            } else {
                u = s.intp[kU];
                v = s.intp[kV];
                lod = s.K1[kU] > s.K1[kV] ? s.K1[kU] : s.K1[kV];
            }
            if (lod > maxLod) lod = maxLod;
            RSBFormat_ARGB_fixed texel = {0, 0, 0, 0};
            sampler.Sample(u, v, lod, &texel);
            if (texel.a >= kMinAlpha) {
                WriteDepth(s, row, depthAt, s.intp[0]);
                StoreTexel(colourAt, row.format, texel);
            }
        }
        colourAt += row.bpp;
        if (depthAt != nullptr) depthAt += row.zbpp;
        for (int32_t j = 0; j < n; ++j) s.intp[j] = WrapAdd(s.intp[j], s.intp_dx[j]);
        if (!perspective) continue;
        for (int32_t j = 0; j < n; ++j) {
            if (j != s.depthInterpolant) s.K3ys[j] = WrapSub(s.K3ys[j], s.K1[j]);
        }
    }
}
