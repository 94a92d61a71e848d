#include <cstring>

#include "CAssert.h"
#include "CFixedWide.h"
#include "CGraphics.h"
#include "CMathFixed.h"
#include "MGLFixed.h"
#include "MGLContextCore.h"
#include "RenderPolyPipeline.h"

namespace {

constexpr int32_t kMaxStride = RenderPoly::kWordInterpolants + MGLRecord::kInterpolantWords;
// Host line routines receive colours as this format.
constexpr uint32_t kLineColorFormat = 0xC4404;
constexpr int32_t kOutXBits = MGLContext::kOutRight | MGLContext::kOutLeft;
constexpr int32_t kOutYBits = MGLContext::kOutTop | MGLContext::kOutBottom;
constexpr int32_t kOutZBits = MGLContext::kOutNear | MGLContext::kOutFar;

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

// An exact quotient with 32 fraction bits. The table reciprocal keeps 12
// significant bits and a 16.16 parameter 16, which puts the cut of a long
// edge (corners near the ends of the 16.16 range) units away from the bound
// it was cut at; with 32 bits it lands on it.
int64_t RenderPoly::Pipeline::ClipParameter(int64_t num, int64_t den) const {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    if (den == 0 || num <= 0) return 0;
    if (num >= den) return kClipParameterOne;
    return static_cast<int64_t>((static_cast<__int128>(num) << 32) / den);
}

// Differences are taken in 64 bits: with t between 0 and 1 the result lies
// between the two values, however far apart they are.
void RenderPoly::Pipeline::Interpolate(int32_t* out, const int32_t* from, const int32_t* to, int64_t t,
                                       bool withZ) const {
    auto lerp = [&](int32_t w) {
        const int64_t delta = int64_t{to[w]} - from[w];
        out[w] = static_cast<int32_t>(from[w] + static_cast<int64_t>((static_cast<__int128>(t) * delta) >> 32));
    };
    const int32_t stride = Stride();
    for (int32_t w = kWordInterpolants; w < stride; ++w) lerp(w);
    lerp(kWordX);
    lerp(kWordY);
    if (withZ) lerp(kWordZ);
    lerp(kWordInputW);
    lerp(kWordW);
}

// Both ends are cut from copies of the segment as it came in, so an end
// moved first does not shift the other's crossing.
void RenderPoly::Pipeline::ClipEdgeNearFar(int32_t* a, int32_t* b) {
    const MGLRecord& s = m_context.Record();
    const size_t bytes = static_cast<size_t>(Stride()) * sizeof(int32_t);
    int32_t ca[kMaxStride];
    int32_t cb[kMaxStride];
    std::memcpy(ca, a, bytes);
    std::memcpy(cb, b, bytes);
    const bool perspective = s.projection_matrix_mode == 0;
    const int32_t za = ca[kWordZ];
    const int32_t zb = cb[kWordZ];
    auto cut = [&](int32_t* end, const int32_t* from, const int32_t* to, int64_t dFrom, int64_t dTo, int32_t z) {
        Interpolate(end, from, to, ClipParameter(dFrom, dFrom - dTo), false);
        end[kWordZ] = z;
        if (perspective) end[kWordW] = WrapNeg(z);
    };
    const int32_t na = FixedMul16(ca[kWordInputW], s.ccz1);
    const int32_t nb = FixedMul16(cb[kWordInputW], s.ccz1);
    const int64_t dna = int64_t{na} - za;
    const int64_t dnb = int64_t{nb} - zb;
    if (za >= na) cut(a, ca, cb, dna, dnb, na);
    if (zb >= nb) cut(b, cb, ca, dnb, dna, nb);
    const int32_t fa = FixedMul16(ca[kWordInputW], s.ccz0);
    const int32_t fb = FixedMul16(cb[kWordInputW], s.ccz0);
    const int64_t dfa = int64_t{fa} - za;
    const int64_t dfb = int64_t{fb} - zb;
    if (za < fa) cut(a, ca, cb, dfa, dfb, fa);
    if (zb < fb) cut(b, cb, ca, dfb, dfa, fb);
}

void RenderPoly::Pipeline::ClipLineXY(int32_t* a, int32_t* b, int32_t c, int32_t lo, int32_t hi) {
    const size_t bytes = static_cast<size_t>(Stride()) * sizeof(int32_t);
    int32_t ca[kMaxStride];
    int32_t cb[kMaxStride];
    std::memcpy(ca, a, bytes);
    std::memcpy(cb, b, bytes);
    const int64_t dha = int64_t{FixedMul16(ca[kWordW], hi)} - ca[c];
    const int64_t dhb = int64_t{FixedMul16(cb[kWordW], hi)} - cb[c];
    const int64_t dla = int64_t{FixedMul16(ca[kWordW], lo)} - ca[c];
    const int64_t dlb = int64_t{FixedMul16(cb[kWordW], lo)} - cb[c];
    if (dha <= 0) Interpolate(a, ca, cb, ClipParameter(dha, dha - dhb), true);
    if (dhb <= 0) Interpolate(b, cb, ca, ClipParameter(dhb, dhb - dha), true);
    if (dla > 0) Interpolate(a, ca, cb, ClipParameter(dla, dla - dlb), true);
    if (dlb > 0) Interpolate(b, cb, ca, ClipParameter(dlb, dlb - dla), true);
}

// True when something of the segment is left inside the x/y bounds (and
// before the near and far planes when asked).
bool RenderPoly::Pipeline::ClipLine(int32_t* a, int32_t* b, bool withNearFar) {
    const MGLRecord& s = m_context.Record();
    if ((a[kWordOutcode] & b[kWordOutcode] & kOutcodeMask) != 0) return false;
    const int32_t either = a[kWordOutcode] | b[kWordOutcode];
    if (withNearFar && (either & kOutZBits) != 0) ClipEdgeNearFar(a, b);
    if ((either & kOutXBits) != 0) ClipLineXY(a, b, kWordX, s.ccx0, s.ccx1);
    MGLContextCore::ComputeOutcodeXY(m_context.Record(), a);
    MGLContextCore::ComputeOutcodeXY(m_context.Record(), b);
    if ((a[kWordOutcode] & b[kWordOutcode] & kOutcodeMask) != 0) return false;
    if ((either & kOutYBits) == 0) return true;
    ClipLineXY(a, b, kWordY, s.ccy0, s.ccy1);
    MGLContextCore::ComputeOutcodeXY(m_context.Record(), a);
    MGLContextCore::ComputeOutcodeXY(m_context.Record(), b);
    return (a[kWordOutcode] & b[kWordOutcode] & kOutcodeMask) == 0;
}

bool RenderPoly::Pipeline::SetUpLine(MGLLineRecord& record) {
    const MGLRecord& s = m_context.Record();
    if (Core().PlaneOf(MGLContext::Plane::Colour).pixels == nullptr) return false;
    // The surface's pitch, not the record's: the routine steps rows with it.
    record.destStride = Core().PlaneOf(MGLContext::Plane::Colour).pitch;
    record.firstPixel = nullptr;
    record.colorFormat = kLineColorFormat;
    record.packedColorField = &record.packedColor;
    record.dx = 0;
    record.dy = 0;
    record.packedColor = CGraphics::PackColor(static_cast<uint8_t>(s.drawColor[0]), static_cast<uint8_t>(s.drawColor[1]),
                                              static_cast<uint8_t>(s.drawColor[2]), static_cast<uint8_t>(s.drawColor[3]));
    record.bytesPerPixel = static_cast<int32_t>(Core().PlaneOf(MGLContext::Plane::Colour).format & 31u);
    return true;
}

void RenderPoly::Pipeline::LinePixel(const int32_t* v, int32_t* x, int32_t* y) const {
    const MGLRecord& s = m_context.Record();
    const MGLReciprocal r = Core().Reciprocal(v[kWordW]);
    *x = WrapAdd(s.cfx0, FixedMul16(ApplyReciprocal(v[kWordX], r), s.cfx1));
    *y = WrapAdd(s.cfy0, FixedMul16(ApplyReciprocal(v[kWordY], r), s.cfy1));
}

// Whole-pixel ends, clamped to the scissor (3D) or to the clip bounds in
// whole pixels (2D, where they are 16.16); right and bottom exclusive.
// Neither bound need lie inside the colour plane (a viewport past the
// target, a routine that bound a smaller one, span code that wrote the
// scissor), so the far end is clamped to the plane as well: a routine that
// goes from the first pixel to it stays in the plane. The record is made
// for each segment: the routine is host code, and may have bound another
// target (or none) since the last one.
bool RenderPoly::Pipeline::FinishLine(const int32_t* a, const int32_t* b, bool screenBounds, const LineRoutine& line) {
    MGLLineRecord record;
    if (!SetUpLine(record)) return true;
    const MGLRecord& s = m_context.Record();
    int32_t ax, ay, bx, by;
    if (screenBounds && s.screenSpace != 0) {
        ax = a[kWordX];
        ay = a[kWordY];
        bx = b[kWordX];
        by = b[kWordY];
    } else {
        LinePixel(a, &ax, &ay);
        LinePixel(b, &bx, &by);
    }
    const int32_t x0 = screenBounds ? s.ccx0 >> 16 : s.scissorx0;
    const int32_t x1 = (screenBounds ? s.ccx1 >> 16 : s.scissorx1) - 1;
    const int32_t y0 = screenBounds ? s.ccy0 >> 16 : s.scissory0;
    const int32_t y1 = (screenBounds ? s.ccy1 >> 16 : s.scissory1) - 1;
    const int32_t xa = Clamp(ax >> 16, x0, x1);
    const int32_t ya = Clamp((WrapAdd(ay, 32767) >> 16) - 1, y0, y1);
    const int32_t xb = Clamp(Clamp(bx >> 16, x0, x1), 0, Core().PlaneOf(MGLContext::Plane::Colour).width - 1);
    const int32_t yb = Clamp(Clamp(by >> 16, y0, y1), 0, Core().PlaneOf(MGLContext::Plane::Colour).height - 1);
    record.dx = WrapSub(xb, xa);
    record.dy = WrapSub(yb, ya);
    record.firstPixel = m_context.PlaneSpan(MGLContext::Plane::Colour, xa, ya, 1);
    return CallOut(line, std::as_const(record), xa, ya);
}

void RenderPoly::DrawLines3D(int32_t pairCount, const LineRoutine& line) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    ASSERT(static_cast<bool>(line));
    if (call.Ended() || !line || pairCount < 0) return;
    int32_t* first = pipe.TakeVertices(int64_t{pairCount} * 2);
    if (first == nullptr) return;
    const Matrix3x4 top = pipe.m_context.ModelviewStack().Top();
    for (int32_t k = 0; k < pairCount; ++k) {
        int32_t* a = pipe.PoolVertex(first, 2 * k);
        int32_t* b = pipe.PoolVertex(first, 2 * k + 1);
        FetchVertex(pipe.m_positionFetcher, a, static_cast<uint32_t>(2 * k));
        FetchVertex(pipe.m_positionFetcher, b, static_cast<uint32_t>(2 * k + 1));
        pipe.Transform3D(a, top);
        pipe.Transform3D(b, top);
        if (pipe.ClipLine(a, b, true) && !pipe.FinishLine(a, b, false, line)) return;
    }
}

void RenderPoly::DrawLines2D(int32_t first, int32_t count, const LineRoutine& line, uint32_t flipY) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    ASSERT(static_cast<bool>(line));
    if (call.Ended() || !line || first < 0 || count < 0) return;
    const int32_t elements = count & ~1;
    if (int64_t{first} + elements > INT32_MAX) return;
    int32_t* pool = pipe.TakeVertices(elements);
    if (pool == nullptr) return;
    const Matrix2x3 top = pipe.m_context.Stack2d().Top();
    for (int32_t k = 0; 2 * k < elements; ++k) {
        int32_t* a = pipe.PoolVertex(pool, 2 * k);
        int32_t* b = pipe.PoolVertex(pool, 2 * k + 1);
        FetchVertex(pipe.m_positionFetcher, a, static_cast<uint32_t>(first + 2 * k));
        FetchVertex(pipe.m_positionFetcher, b, static_cast<uint32_t>(first + 2 * k + 1));
        pipe.Transform2D(a, top, flipY);
        pipe.Transform2D(b, top, flipY);
        if (pipe.ClipLine(a, b, false) && !pipe.FinishLine(a, b, true, line)) return;
    }
}
