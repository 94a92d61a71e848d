#include <cstring>

#include "CFixedWide.h"
#include "MGLFixed.h"
#include "MGLContextCore.h"
#include "RenderPolyPipeline.h"

namespace {

constexpr int32_t kOutXBits = MGLContext::kOutRight | MGLContext::kOutLeft;
constexpr int32_t kOutYBits = MGLContext::kOutTop | MGLContext::kOutBottom;
constexpr int32_t kOutZBits = MGLContext::kOutNear | MGLContext::kOutFar;
constexpr int32_t kMinPolygon = 3;

// The shift of a product: negative counts shift left, as the scale of a
// small w asks for.
int32_t MulShiftSigned(int32_t a, int32_t b, int32_t n) {
    if (n >= 0) return FixedMulShift(a, b, n);
    const uint64_t product = static_cast<uint64_t>(int64_t{a} * b);
    return static_cast<int32_t>(static_cast<uint32_t>(n <= -64 ? 0 : product << -n));
}

}  // namespace

void RenderPoly::Pipeline::SelectPolygonStages3D() {
    DrawCall call(*this);
    const DrawLayout& l = m_layout;
    if (l.wireframe) {
        m_fillStage = FillStage::Outline;
    } else if (l.fillMode >= MGLContext::kFillPolygonFirst && l.fillMode <= MGLContext::kFillPolygonLast) {
        m_fillStage = FillStage::Polygon;
    } else if (l.fillMode > MGLContext::kFillPolygonLast && l.fillMode <= MGLContext::kFillTriangleLast) {
        m_fillStage = FillStage::TriangleFan;
    }
    m_clipStage = ClipStage::Clip3D;
    m_projectStage = l.perspective ? ProjectStage::VerticesScaled : ProjectStage::Vertices;
}

// The 2D clip stage takes pixel positions from the vertices as they are and
// runs no projection.
void RenderPoly::Pipeline::SelectPolygonStages2D() {
    SelectPolygonStages3D();
    m_clipStage = ClipStage::Clip2D;
    m_projectStage = ProjectStage::None;
}

bool RenderPoly::Pipeline::RunClipStage(MGLVertexList& list) {
    DrawCall call(*this);
    return !call.Ended() && ClipInDraw(list);
}

bool RenderPoly::Pipeline::ClipInDraw(MGLVertexList& list) {
    m_clipStart = m_layout.poolUsed;
    switch (m_clipStage) {
        case ClipStage::Clip3D: return ClipPolygon3D(list);
        case ClipStage::Clip2D: return ClipPolygon2D(list);
        case ClipStage::None: break;
    }
    return true;
}

bool RenderPoly::Pipeline::OutcodesReject(const MGLVertexList& list, int32_t* orCodes) const {
    int32_t all = ~0;
    int32_t any = 0;
    for (int32_t i = 0; i < list.count; ++i) {
        all &= list.v[i][kWordOutcode];
        any |= list.v[i][kWordOutcode];
    }
    *orCodes = any;
    return list.count < kMinPolygon || (all & kOutcodeMask) != 0;
}

bool RenderPoly::Pipeline::ClipPolygon3D(MGLVertexList& list) {
    const MGLRecord& s = m_context.Record();
    int32_t orCodes;
    if (OutcodesReject(list, &orCodes)) return true;
    MGLVertexList* in = &list;
    MGLVertexList* out = &m_clipListA;
    auto advance = [&]() {
        in = out;
        out = out == &m_clipListA ? &m_clipListB : &m_clipListA;
    };
    if ((orCodes & kOutZBits) != 0) {
        if (!ClipNearFar(*in, *out) || out->count < kMinPolygon) return true;
        advance();
    }
    if ((orCodes & kOutXBits) != 0) {
        if (!ClipPlanePair(*in, *out, kWordX, s.ccx0, s.ccx1) || out->count < kMinPolygon) return true;
        advance();
    }
    if ((orCodes & kOutYBits) != 0) {
        if (!ClipPlanePair(*in, *out, kWordY, s.ccy0, s.ccy1) || out->count < kMinPolygon) return true;
        advance();
    }
    if (m_projectStage == ProjectStage::None) return Fill(*in);
    return Fill(Project(*in, m_projectStage == ProjectStage::VerticesScaled));
}

bool RenderPoly::Pipeline::ClipPolygon2D(MGLVertexList& list) {
    const MGLRecord& s = m_context.Record();
    int32_t orCodes;
    if (OutcodesReject(list, &orCodes)) return true;
    MGLVertexList* in = &list;
    MGLVertexList* out = &m_clipListA;
    if ((orCodes & kOutXBits) != 0) {
        if (!ClipPlanePair(*in, *out, kWordX, s.ccx0, s.ccx1) || out->count < kMinPolygon) return true;
        in = out;
        out = &m_clipListB;
    }
    if ((orCodes & kOutYBits) != 0) {
        if (!ClipPlanePair(*in, *out, kWordY, s.ccy0, s.ccy1) || out->count < kMinPolygon) return true;
        in = out;
    }
    for (int32_t i = 0; i < in->count; ++i) {
        in->v[i][kWordPixelX] = in->v[i][kWordX];
        in->v[i][kWordPixelY] = in->v[i][kWordY];
    }
    return Fill(*in);
}

bool RenderPoly::Pipeline::ClipPlanePair(const MGLVertexList& in, MGLVertexList& out, int32_t c, int32_t lo,
                                         int32_t hi) {
    out.count = 0;
    if (in.count < kMinPolygon) return true;
    m_clipScratch.count = 0;
    if (!ClipPass(in, m_clipScratch, ClipBound{c, kWordW, hi, true, false})) return false;
    if (m_clipScratch.count < 2) return true;
    return ClipPass(m_clipScratch, out, ClipBound{c, kWordW, lo, false, false});
}

// Near keeps z below the bound, far keeps it at or above; both bounds scale
// with the input w.
bool RenderPoly::Pipeline::ClipNearFar(const MGLVertexList& in, MGLVertexList& out) {
    const MGLRecord& s = m_context.Record();
    out.count = 0;
    if (in.count < kMinPolygon) return true;
    m_clipScratch.count = 0;
    if (!ClipPass(in, m_clipScratch, ClipBound{kWordZ, kWordInputW, s.ccz1, true, true})) return false;
    if (m_clipScratch.count < 2) return true;
    return ClipPass(m_clipScratch, out, ClipBound{kWordZ, kWordInputW, s.ccz0, false, true});
}

bool RenderPoly::Pipeline::ClipPass(const MGLVertexList& in, MGLVertexList& out, const ClipBound& bound) {
    out.count = 0;
    if (in.count == 0) return true;
    auto limitOf = [&bound](const int32_t* v) { return FixedMul16(v[bound.scaleWord], bound.limit); };
    auto inside = [&bound](const int32_t* v, int32_t limit) {
        return bound.high ? v[bound.coordinate] < limit : v[bound.coordinate] >= limit;
    };
    const int32_t* prev = in.v[in.count - 1];
    int32_t prevLimit = limitOf(prev);
    bool prevInside = inside(prev, prevLimit);
    for (int32_t i = 0; i < in.count; ++i) {
        int32_t* cur = in.v[i];
        const int32_t curLimit = limitOf(cur);
        const bool curInside = inside(cur, curLimit);
        const int64_t dCur = int64_t{curLimit} - cur[bound.coordinate];
        const int64_t dPrev = int64_t{prevLimit} - prev[bound.coordinate];
        if (curInside) {
            if (!prevInside && !EmitClippedVertex(out, cur, prev, dCur, dCur - dPrev, bound, curLimit)) return false;
            if (!out.Append(cur)) return false;
        } else if (prevInside) {
            if (!EmitClippedVertex(out, prev, cur, dPrev, dPrev - dCur, bound, curLimit)) return false;
        }
        prev = cur;
        prevLimit = curLimit;
        prevInside = curInside;
    }
    return true;
}

// A new pool vertex on the edge from a toward b. It starts as a copy of a,
// so no word of it is left over from an earlier draw.
bool RenderPoly::Pipeline::EmitClippedVertex(MGLVertexList& list, const int32_t* a, const int32_t* b, int64_t num,
                                             int64_t den, const ClipBound& bound, int32_t boundValue) {
    if (list.count >= MGLVertexList::kCapacity) return false;
    int32_t* vertex = TakeVertices(1);
    if (vertex == nullptr) return false;
    std::memcpy(vertex, a, static_cast<size_t>(Stride()) * sizeof(int32_t));
    Interpolate(vertex, a, b, ClipParameter(num, den), !bound.nearFar);
    if (bound.nearFar) {
        vertex[kWordZ] = boundValue;
        if (m_context.Record().projection_matrix_mode == 0) vertex[kWordW] = WrapNeg(boundValue);
    }
    return list.Append(vertex);
}

bool RenderPoly::Pipeline::SharedVertex(const int32_t* v) const {
    const uintptr_t pool = reinterpret_cast<uintptr_t>(m_context.VertexPool());
    const uintptr_t at = reinterpret_cast<uintptr_t>(v);
    return at >= pool && at < pool + static_cast<uintptr_t>(m_clipStart) * sizeof(int32_t);
}

// The scaling projection changes interpolants in place; a vertex that other
// polygons of the same call reuse is projected into a copy instead. The list
// itself stays as it is: a strip goes on from its vertices, not the copies.
const MGLVertexList& RenderPoly::Pipeline::Project(const MGLVertexList& list, bool scaled) {
    const bool scales = scaled && m_layout.depthInterpolant >= 0 && m_layout.depthScaledMask != 0;
    m_projectedList.count = list.count;
    for (int32_t i = 0; i < list.count; ++i) {
        int32_t* vertex = list.v[i];
        int32_t* out = vertex;
        if (scales && SharedVertex(vertex)) {
            // Its interpolants are copied as the projection scales them.
            out = m_projected[i];
            std::memcpy(out, vertex, sizeof(int32_t) * kWordInterpolants);
        }
        ProjectVertex(vertex, out, scaled);
        m_projectedList.v[i] = out;
    }
    return m_projectedList;
}

// `out` is v itself, or (for a scaled projection with a depth) a copy of
// v's words before the interpolants, which gets all of v's interpolants.
void RenderPoly::Pipeline::ProjectVertex(const int32_t* v, int32_t* out, bool scaled) const {
    const MGLRecord& s = m_context.Record();
    const MGLReciprocal r = Core().Reciprocal(v[kWordW]);
    out[kWordPixelX] = WrapAdd(s.cfx0, FixedMul16(ApplyReciprocal(v[kWordX], r), s.cfx1));
    out[kWordPixelY] = WrapAdd(s.cfy0, FixedMul16(ApplyReciprocal(v[kWordY], r), s.cfy1));
    const int32_t interpolants = m_layout.interpolants;
    const int32_t d = m_layout.depthInterpolant;
    if (d < 0) return;
    const int32_t depth =
        s.projection_matrix_mode != 0
            ? WrapSub(s.cfz0, FixedMul16(v[kWordZ], FixedMulShift(r.entry, s.cfz1, r.shift)))
            : WrapAdd(s.cfz0, FixedMul16(v[kWordInputW], MulShiftSigned(r.entry, s.cfz1, r.shift - 16)));
    out[kWordDepth] = depth;
    out[kWordInterpolants + d] = depth;
    if (!scaled) return;
    const int32_t offset = WrapSub(depth, s.cfz0);
    // A local: the vertex words written may alias the layout's, as far
    // as the compiler knows.
    const uint32_t scaledMask = m_layout.depthScaledMask;
    auto scale = [&](int32_t i, int32_t value) {
        const bool scalesThis = (scaledMask >> i & 1u) != 0;
        out[kWordInterpolants + i] = scalesThis ? FixedMulShift(value, offset, 20) : value;
    };
    // Every word from v, without asking at each which is the depth's; v
    // holds the depth there only when out is v, so that word is written
    // again from the depth itself.
    for (int32_t i = 0; i < interpolants; ++i) scale(i, v[kWordInterpolants + i]);
    scale(d, depth);
}
