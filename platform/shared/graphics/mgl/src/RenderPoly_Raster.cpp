#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "CAssert.h"
#include "CFixedWide.h"
#include "CMathFixed.h"
#include "MGLBufferOps.h"
#include "MGLFillSpans.h"
#include "MGLFixed.h"
#include "MGLSpanInterpreter.h"
#include "MGLSpans.h"
#include "MGLContextCore.h"
#include "RenderPolyPipeline.h"

namespace {

constexpr int32_t ONE = CMathFixed::ONE;
constexpr int32_t kRowCentre = 0x8000;
constexpr int32_t kMaxInterpolants = static_cast<int32_t>(MGLRecord::kInterpolantWords);
constexpr int32_t kWhite = 255;

// A count the record holds, within 0 .. hi whatever wrote it.
int32_t Bounded(int32_t v, int32_t hi) { return CMathFixed::Clamp(v, 0, hi); }

int32_t FirstRow(int32_t y) { return WrapAdd(y, 32767) >> 16; }
int32_t EndRow(int32_t y) { return WrapAdd(y, 32768) >> 16; }

// From the start of an edge to the centre of row y.
int32_t Prestep(int32_t y, int32_t startY) { return WrapSub(WrapShiftLeft(y, 16) | kRowCentre, startY); }

// An edge's height in 16.16 pixels, at least one row. (Clamped without a
// branch: whether an edge is shorter than a row varies from one to the next.)
int32_t EdgeHeight(const int32_t* a, const int32_t* b) {
    const int64_t h = int64_t{b[RenderPoly::kWordPixelY]} - a[RenderPoly::kWordPixelY];
    return static_cast<int32_t>(std::min(std::max(h, int64_t{ONE}), int64_t{INT32_MAX}));
}

// The second and third corners of a polygon less its first, in 16.16 pixels.
struct CornerDeltas {
    int32_t dx1, dy1, dx2, dy2;
};

CornerDeltas CornerDeltasOf(const MGLVertexList& list) {
    const int32_t* p = list.v[0];
    const int32_t* q = list.v[1];
    const int32_t* r = list.v[2];
    return CornerDeltas{WrapSub(q[RenderPoly::kWordPixelX], p[RenderPoly::kWordPixelX]),
                        WrapSub(q[RenderPoly::kWordPixelY], p[RenderPoly::kWordPixelY]),
                        WrapSub(r[RenderPoly::kWordPixelX], p[RenderPoly::kWordPixelX]),
                        WrapSub(r[RenderPoly::kWordPixelY], p[RenderPoly::kWordPixelY])};
}

// Walks the rows of a convex polygon from its top vertex: the left chain
// backwards through the list, the right chain forwards; `setup` starts an
// edge (left or right) at row y, `row` handles row y and steps to the next.
// A `row` that says false ends the walk there (which then says false too);
// one that says nothing cannot end it, which keeps the walk's own counts in
// registers across the row.
template <typename Setup, typename Row>
bool WalkChains(const MGLVertexList& list, int32_t top, int32_t y, Setup setup, Row row) {
    const int32_t count = list.count;
    int32_t leftEnd = y - 1;
    int32_t rightEnd = y - 1;
    int32_t left = top;
    int32_t right = top;
    int32_t edgesLeft = count;
    while (edgesLeft > 0) {
        while (leftEnd <= y && edgesLeft > 0) {
            const int32_t next = left == 0 ? count - 1 : left - 1;
            --edgesLeft;
            setup(true, y, list.v[left], list.v[next]);
            leftEnd = EndRow(list.v[next][RenderPoly::kWordPixelY]);
            left = next;
        }
        while (rightEnd <= y && edgesLeft > 0) {
            const int32_t next = right + 1 == count ? 0 : right + 1;
            --edgesLeft;
            setup(false, y, list.v[right], list.v[next]);
            rightEnd = EndRow(list.v[next][RenderPoly::kWordPixelY]);
            right = next;
        }
        while (y < leftEnd && y < rightEnd) {
            if constexpr (std::is_void_v<std::invoke_result_t<Row&, int32_t>>) {
                row(y);
            } else if (!row(y)) {
                return false;
            }
            ++y;
        }
    }
    return true;
}

// Fills a fan's triangles one by one (or the whole polygon, when asked);
// false once a fill says the draw ended. Inline in the fill of every
// polygon: called, it cost small triangles a few per cent.
template <typename FillTriangle>
bool FillFan(const MGLVertexList& list, bool whole, FillTriangle fill) {
    if (list.count < 3) return true;
    if (whole || list.count == 3) return fill(list);
    MGLVertexList triangle;
    triangle.count = 3;
    triangle.v[0] = list.v[0];
    for (int32_t i = 2; i < list.count; ++i) {
        triangle.v[1] = list.v[i - 1];
        triangle.v[2] = list.v[i];
        if (!fill(triangle)) return false;
    }
    return true;
}

}  // namespace

bool RenderPoly::BindNativeSpan(NativeSpan span, const MGLNativeSpanLayout& layout) {
    Pipeline& pipe = *m_pipeline;
    if (!pipe.MayReplaceRoutine("native span")) return false;
    if (pipe.ContextEnded()) {
        DebugPrintf("RenderPoly: no native span is bound once the context ended");
        return false;
    }
    const int64_t interpolants = layout.numInterpolants;
    const int64_t extra = layout.numExtraInterpolants;
    const bool fits = span && layout.fillMode >= MGLContext::kFillPolygonFirst &&
                      layout.fillMode <= MGLContext::kFillTriangleLast && interpolants >= 0 && extra >= 0 &&
                      interpolants + extra <= kMaxInterpolants &&
                      (layout.fillMode > MGLContext::kFillPolygonLast ||
                       interpolants <= MGLContext::kMaxEdgeInterpolants) &&
                      layout.depthInterpolant >= -1 && layout.depthInterpolant < interpolants;
    pipe.m_context.BindShaderState(nullptr);
    if (!fits) {
        DebugPrintf("RenderPoly: a native span of %d + %d interpolants, depth %d and fill mode %d cannot be bound",
                    layout.numInterpolants, layout.numExtraInterpolants, layout.depthInterpolant, layout.fillMode);
        pipe.m_nativeSpan = nullptr;
        pipe.m_portableSpan = nullptr;
        pipe.m_portableRows = nullptr;
        return false;
    }
    MGLRecord& s = pipe.m_context.Record();
    s.spanCodeDirect = 1;
    s.numInterpolants = layout.numInterpolants;
    s.numExtraInterpolants = layout.numExtraInterpolants;
    s.depthInterpolant = layout.depthInterpolant;
    s.depthScaledMask = layout.depthScaledMask;
    s.fillMode = layout.fillMode;
    // The fill calls its own forms of the portable spans: its steps run no
    // host code, so their walks ask nothing after each.
    const auto* routine = span.target<PortableSpan>();
    const bool textured = routine != nullptr && *routine == SpanTexturedPerspective;
    const bool flat = routine != nullptr && *routine == SpanFlatDepth;
    // The fill calls forms of its own, whose steps run no host code: its
    // draw brought the target to its surface already.
    pipe.m_portableSpan = textured ? span_detail::FillSpanTexturedPerspective
                                   : (flat ? span_detail::FillSpanFlatDepth : nullptr);
    pipe.m_portableRows = textured ? span_detail::FillRowsTexturedPerspective
                                   : (flat ? span_detail::FillRowsFlatDepth : nullptr);
    pipe.m_nativeSpan = std::move(span);
    return true;
}

// A direct call runs the native routine; ARM span code never runs as
// machine code here, so without a native routine the interpreter runs it.
bool RenderPoly::Pipeline::CallSpan(uint32_t r1, uint32_t r2) {
    if (m_context.Record().spanCodeDirect != 0 && m_portableSpan != nullptr) {
        m_portableSpan(m_context, r1, r2);
        return true;
    }
    if (m_context.Record().spanCodeDirect != 0 && m_nativeSpan) return CallOut(m_nativeSpan, m_context, r1, r2);
    InterpretSpan(r1, r2);
    return true;
}

// Each row runs on what the polygon's fill was given and earlier rows left,
// so a row may use what others did not; code that spends it all (a loop
// that never ends) ends the call instead of stalling the frame.
void RenderPoly::Pipeline::InterpretSpan(uint32_t r1, uint32_t r2) {
    const uint8_t* code = m_context.SpanCode();
    DrawLayout& l = m_layout;
    if (code == nullptr || l.spanBudgetSpent) return;
    const uint32_t budget = static_cast<uint32_t>(l.spanBudget < UINT32_MAX ? l.spanBudget : UINT32_MAX);
    MGLSpanInterpreter interpreter(Core().GuestMemory(), budget);
    const MGLSpanRunEnd end = interpreter.Run(code, MGLShaderState::kCodeBytes, Core().RecordGuestAddress(), r1, r2);
    l.spanBudget -= interpreter.InstructionsRun();
    if (end != MGLSpanRunEnd::BudgetSpent) return;
    l.spanBudgetSpent = true;
    DebugPrintf("RenderPoly: span code spent the draw call's budget; the rest of the call is not drawn");
}

// Between the rows of one fill nothing but the span runs; the portable
// spans leave the texture unit and its buffer as they are, so their
// sampler lasts the fill. The context is let go of it even when the fill
// ended because host code deleted this RenderPoly.
bool RenderPoly::Pipeline::Fill(const MGLVertexList& list) {
    MGLContext& context = m_context;
    const MGLContext::Life& contextLife = *m_contextLife;
    MGLContextCore::Of(context).KeepSpanSampler(m_portableSpan != nullptr);
    bool goesOn = true;
    switch (m_fillStage) {
        case FillStage::Polygon: goesOn = ScanConvertPolygon(list); break;
        case FillStage::TriangleFan:
            goesOn = FillFan(list, context.Record().wholePolygons != 0,
                             [this](const MGLVertexList& triangle) { return RasterizeTriangle(triangle); });
            break;
        case FillStage::Outline: DrawPolygonOutline(list, kWhite, kWhite, kWhite); break;
        case FillStage::None: break;
    }
    if (!contextLife.Ended()) MGLContextCore::Of(context).KeepSpanSampler(false);
    return goesOn;
}

// The top kept in locals, so that the choice is a select rather than a
// branch: which vertex is on top varies from polygon to polygon.
int32_t RenderPoly::Pipeline::TopVertex(const MGLVertexList& list) {
    int32_t top = 0;
    int32_t topY = list.v[0][kWordPixelY];
    for (int32_t i = 1; i < list.count; ++i) {
        const int32_t y = list.v[i][kWordPixelY];
        const bool higher = y < topY;
        top = higher ? i : top;
        topY = higher ? y : topY;
    }
    return top;
}

void RenderPoly::Pipeline::RowEnds::SetUp(const MGLLookupTables& tables, bool left, int32_t y, const int32_t* a,
                                          const int32_t* b) {
    const int32_t side = left ? 0 : 1;
    slope[side] = EdgeSlope(tables, WrapSub(b[kWordPixelX], a[kWordPixelX]), EdgeHeight(a, b));
    x[side] = WrapAdd(a[kWordPixelX], FixedMul16(Prestep(y, a[kWordPixelY]), slope[side]));
}

// Interpreted span code of a fill is given, before the fill's first row,
// the budget of all the rows it hands to span code: each row's share for
// its pixels between the ends the fill computes itself, since span code
// may write the edge records. Code whose set-up outweighs a narrow first
// row then draws whenever the polygon as a whole pays for it.
void RenderPoly::Pipeline::AddSpanBudget(const MGLVertexList& list, int32_t top, int32_t y0) {
    if (m_context.SpanCode() == nullptr) return;
    const int32_t width = m_context.TargetWidth();
    const MGLLookupTables& tables = m_context.Tables();
    RowEnds ends;
    int64_t budget = 0;
    auto setup = [&](bool left, int32_t y, const int32_t* a, const int32_t* b) { ends.SetUp(tables, left, y, a, b); };
    auto row = [&](int32_t y) {
        if (y >= m_layout.firstRow && y < m_layout.endRow) {
            const int32_t first = CMathFixed::Clamp(FirstRow(ends.Left()), 0, width);
            const int32_t last = CMathFixed::Clamp(EndRow(ends.Right()), 0, width);
            budget += kSpanBudgetPerRow + kSpanBudgetPerPixel * (last > first ? last - first : 0);
        }
        ends.Step();
    };
    WalkChains(list, top, y0, setup, row);
    m_layout.spanBudget += budget;
}

// The row pointers are guest addresses, stepped in wrapping 32-bit
// arithmetic; rows outside the planes are never dereferenced.
void RenderPoly::Pipeline::StartRows(int32_t y) {
    MGLRecord& s = m_context.Record();
    s.destptr = s.destbase + static_cast<uint32_t>(y) * static_cast<uint32_t>(s.deststride);
    s.zptr = s.zbase + static_cast<uint32_t>(y) * static_cast<uint32_t>(s.zstride);
}

void RenderPoly::Pipeline::NextRow() {
    MGLRecord& s = m_context.Record();
    s.destptr += static_cast<uint32_t>(s.deststride);
    s.zptr += static_cast<uint32_t>(s.zstride);
}

// delta / height through the 2.30 reciprocal of the height.
int32_t RenderPoly::Pipeline::EdgeSlope(const MGLLookupTables& tables, int32_t delta, int32_t height) {
    const MGLTableIndex at = TableIndexOf(MGLLookupTables::kTableSizeM1, static_cast<uint32_t>(height));
    const int32_t k = at.doublings;
    const int64_t entry = tables.RecipTable4()[at.index];
    // Edges taller than the table's reach keep their slope instead of losing it.
    const int64_t inverse = k <= 16 ? entry << (16 - k) : entry >> (k - 16);
    return FixedMul30(static_cast<int32_t>(inverse), delta);
}

void RenderPoly::Pipeline::SetupEdge(int32_t y, const int32_t* a, const int32_t* b, int32_t* edge,
                                     int32_t* step) const {
    const int32_t h = EdgeHeight(a, b);
    const int32_t prestep = Prestep(y, a[kWordPixelY]);
    auto start = [&](int32_t word) {
        const int32_t slope = EdgeSlope(m_context.Tables(), WrapSub(b[word], a[word]), h);
        edge[word] = WrapAdd(a[word], FixedMul16(prestep, slope));
        step[word] = slope;
    };
    start(kWordPixelX);
    const int32_t interpolants = Bounded(m_layout.interpolants, MGLContext::kMaxEdgeInterpolants);
    for (int32_t i = 0; i < interpolants; ++i) start(kWordInterpolants + i);
}

bool RenderPoly::Pipeline::ScanConvertPolygon(const MGLVertexList& list) {
    if (list.count < 1) return true;
    MGLRecord& s = m_context.Record();
    const int32_t top = TopVertex(list);
    const int32_t y0 = FirstRow(list.v[top][kWordPixelY]);
    StartRows(y0);
    AddSpanBudget(list, top, y0);
    const int32_t interpolants = Bounded(m_layout.interpolants, MGLContext::kMaxEdgeInterpolants);
    const uint32_t leftGuest = Core().RecordGuestAddress() + static_cast<uint32_t>(offsetof(MGLRecord, le));
    const uint32_t rightGuest = Core().RecordGuestAddress() + static_cast<uint32_t>(offsetof(MGLRecord, re));
    auto setup = [&](bool left, int32_t y, const int32_t* a, const int32_t* b) {
        SetupEdge(y, a, b, left ? s.le : s.re, left ? s.dl : s.dr);
    };
    auto step = [interpolants](int32_t* edge, const int32_t* delta) {
        edge[kWordPixelX] = WrapAdd(edge[kWordPixelX], delta[kWordPixelX]);
        for (int32_t i = 0; i < interpolants; ++i) {
            edge[kWordInterpolants + i] = WrapAdd(edge[kWordInterpolants + i], delta[kWordInterpolants + i]);
        }
    };
    auto row = [&](int32_t y) {
        if (y >= m_layout.firstRow && y < m_layout.endRow) {
            const int32_t xl = s.le[kWordPixelX];
            const int32_t xr = s.re[kWordPixelX];
            if (!CallSpan(xr < xl ? rightGuest : leftGuest, xr < xl ? leftGuest : rightGuest)) return false;
        }
        NextRow();
        step(s.le, s.dl);
        step(s.re, s.dr);
        return true;
    };
    return WalkChains(list, top, y0, setup, row);
}

bool RenderPoly::Pipeline::RasterizeTriangle(const MGLVertexList& list) {
    if (list.count < 3) return true;
    MGLRecord& s = m_context.Record();
    const CornerDeltas d = CornerDeltasOf(list);
    const int32_t area = WrapSub(FixedMul24(d.dx1, d.dy2), FixedMul24(d.dx2, d.dy1));
    if (area == 0) return true;
    if (s.cullEnable == 1 && ((area > 0 && s.cullSense == 1) || (area < 0 && s.cullSense == 0))) return true;
    const int32_t top = TopVertex(list);
    const int32_t y0 = FirstRow(list.v[top][kWordPixelY]);
    StartRows(y0);
    SetUpPlaneTerms(list, y0, area);
    AddSpanBudget(list, top, y0);
    // Neither a portable span nor the fill writes the switch between rows.
    if (m_portableRows == nullptr || s.spanCodeDirect == 0) return WalkRowCalls(list, top, y0);
    // The rows go to the renderer's own routine for a triangle's rows,
    // which runs no host code: nothing ends this walk.
    const MGLLookupTables& tables = m_context.Tables();
    RowEnds ends;
    RowBatch batch;
    const int32_t firstRow = m_layout.firstRow;
    const int32_t endRow = m_layout.endRow;
    auto setup = [&](bool left, int32_t y, const int32_t* a, const int32_t* b) { ends.SetUp(tables, left, y, a, b); };
    auto row = [&](int32_t y) {
        if (y >= firstRow && y < endRow) {
            if (batch.Full()) FlushRows(batch);
            batch.Add(ends.Left(), ends.Right());
        } else {
            FlushRows(batch);
            StepRow();
        }
        ends.Step();
    };
    WalkChains(list, top, y0, setup, row);
    FlushRows(batch);
    return true;
}

// A row at a time, to span code or a host span, which may end the draw.
bool RenderPoly::Pipeline::WalkRowCalls(const MGLVertexList& list, int32_t top, int32_t y0) {
    const MGLLookupTables& tables = m_context.Tables();
    RowEnds ends;
    const int32_t firstRow = m_layout.firstRow;
    const int32_t endRow = m_layout.endRow;
    auto setup = [&](bool left, int32_t y, const int32_t* a, const int32_t* b) { ends.SetUp(tables, left, y, a, b); };
    auto row = [&](int32_t y) {
        if (y >= firstRow && y < endRow &&
            !CallSpan(static_cast<uint32_t>(ends.Left()), static_cast<uint32_t>(ends.Right()))) {
            return false;
        }
        StepRow();
        ends.Step();
        return true;
    };
    return WalkChains(list, top, y0, setup, row);
}

void RenderPoly::Pipeline::FlushRows(RowBatch& batch) {
    if (batch.count == 0) return;
    const MGLRowStep step = RowStepOf();
    m_portableRows(m_context, MGLSpanRows{batch.left, batch.right, batch.count, StepRowOf, this, &step});
    batch.count = 0;
}

// What StepRow does to the record.
MGLRowStep RenderPoly::Pipeline::RowStepOf() const {
    const DrawLayout& l = m_layout;
    return MGLRowStep{l.interpolants + l.extraInterpolants, l.perspective ? l.interpolants : 0, l.depthInterpolant};
}

void RenderPoly::Pipeline::StepRow() {
    NextRow();
    StepPlaneTerms();
}

void RenderPoly::Pipeline::StepRowOf(void* poly) { static_cast<Pipeline*>(poly)->StepRow(); }

// The plane of each interpolant over the first three vertices: its change
// per pixel and per row, and its value at pixel (0, 0).
void RenderPoly::Pipeline::SetUpPlaneTerms(const MGLVertexList& list, int32_t y0, int32_t area) {
    MGLRecord& s = m_context.Record();
    const int32_t* p = list.v[0];
    const int32_t* q = list.v[1];
    const int32_t* r = list.v[2];
    const auto [dx1, dy1, dx2, dy2] = CornerDeltasOf(list);
    const MGLReciprocal inverse = Core().Reciprocal(Magnitude(area));
    const int32_t n = m_layout.interpolants;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t a0 = p[kWordInterpolants + i];
        const int32_t da1 = WrapSub(q[kWordInterpolants + i], a0);
        const int32_t da2 = WrapSub(r[kWordInterpolants + i], a0);
        int32_t dx = ApplyReciprocal(WrapSub(FixedMul24(da1, dy2), FixedMul24(da2, dy1)), inverse);
        int32_t dy = ApplyReciprocal(WrapSub(FixedMul24(da2, dx1), FixedMul24(da1, dx2)), inverse);
        if (area < 0) {
            dx = WrapNeg(dx);
            dy = WrapNeg(dy);
        }
        s.intp_dx[i] = dx;
        s.intp_dy[i] = dy;
        s.intp_y[i] = WrapSub(a0, WrapAdd(FixedMul16(dx, p[kWordPixelX]), FixedMul16(dy, p[kWordPixelY])));
    }
    SetUpGradients(y0);
}

// The level-of-detail terms (affine) or the perspective terms of span code,
// then every plane moved to the centre of pixel (0, y0).
void RenderPoly::Pipeline::SetUpGradients(int32_t y0) {
    MGLRecord& s = m_context.Record();
    const int32_t n = m_layout.interpolants;
    const int32_t total = n + m_layout.extraInterpolants;
    const int32_t d = m_layout.depthInterpolant;
    const bool perspective = m_layout.perspective;
    const bool depthValid = d >= 0;
    // The span divides the scaled interpolants by the depth offset, depth
    // less cfz0: the terms of the texel step are built from that plane, or
    // the step would shrink with the distance from the near plane.
    const int32_t depthOffset = depthValid ? WrapSub(s.intp_y[d], s.cfz0) : 0;
    const int32_t depthDx = depthValid ? s.intp_dx[d] : 0;
    const int32_t depthDy = depthValid ? s.intp_dy[d] : 0;
    for (int32_t i = 0; i < n; ++i) {
        if (i == d) continue;
        const int32_t dx = s.intp_dx[i];
        const int32_t dy = s.intp_dy[i];
        if (!perspective) {
            const int32_t largest = Magnitude(dx) > Magnitude(dy) ? Magnitude(dx) : Magnitude(dy);
            s.K1[i] = MGLContextCore::ComputeLod(largest);
            continue;
        }
        if (!depthValid) {
            s.K1[i] = s.K2x[i] = s.K3y[i] = 0;
            continue;
        }
        const int32_t c = s.intp_y[i];
        const int32_t k1 = WrapSub(FixedMul16(dx, depthDy), FixedMul16(dy, depthDx));
        const int32_t h = k1 >> 1;
        s.K1[i] = k1;
        s.K2x[i] = WrapSub(WrapAdd(h, FixedMul16(dx, depthOffset)), FixedMul16(c, depthDx));
        s.K3y[i] = WrapSub(WrapSub(FixedMul16(dy, depthOffset), h), FixedMul16(c, depthDy));
    }
    for (int32_t i = 0; i < total; ++i) {
        const int32_t centre = WrapAdd(s.intp_dy[i], s.intp_dx[i]) >> 1;
        s.intp_y[i] = WrapAdd(s.intp_y[i], WrapAdd(WrapMul(y0, s.intp_dy[i]), centre));
    }
    if (!perspective) return;
    for (int32_t i = 0; i < n; ++i) {
        if (i != d) s.K2x[i] = WrapAdd(s.K2x[i], WrapMul(y0, s.K1[i]));
    }
}

void RenderPoly::Pipeline::StepPlaneTerms() {
    MGLRecord& s = m_context.Record();
    const int32_t n = m_layout.interpolants;
    const int32_t total = n + m_layout.extraInterpolants;
    for (int32_t i = 0; i < total; ++i) s.intp_y[i] = WrapAdd(s.intp_y[i], s.intp_dy[i]);
    if (!m_layout.perspective) return;
    for (int32_t i = 0; i < n; ++i) {
        if (i != m_layout.depthInterpolant) s.K2x[i] = WrapAdd(s.K2x[i], s.K1[i]);
    }
}

void RenderPoly::Pipeline::DrawPolygonOutline(const MGLVertexList& list, int32_t r, int32_t g, int32_t b) {
    BufferTable* table = m_context.Buffers();
    if (table == nullptr || list.count < 1) return;
    const int32_t slot = m_context.Record().colorBuffer;
    const int32_t* prev = list.v[list.count - 1];
    for (int32_t i = 0; i < list.count; ++i) {
        const int32_t* v = list.v[i];
        DrawBufferLine(*table, slot, prev[kWordPixelX] >> 16, prev[kWordPixelY] >> 16, v[kWordPixelX] >> 16,
                       v[kWordPixelY] >> 16, kWhite, r, g, b);
        prev = v;
    }
}
