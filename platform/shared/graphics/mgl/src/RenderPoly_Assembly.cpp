#include "RenderPolyPipeline.h"

#include "CAssert.h"
#include "CFixedWide.h"
#include "CMathFixed.h"
#include "MGLContextCore.h"
#include "MGLFixed.h"

namespace {

constexpr int32_t ONE = CMathFixed::ONE;
constexpr int32_t kMaxInterpolants = static_cast<int32_t>(MGLRecord::kInterpolantWords);
// Low byte of the element type: its size in bytes.
constexpr uint32_t kElementSizeMask = 7;

}  // namespace

RenderPoly::RenderPoly(MGLContext& context) : m_pipeline(std::make_unique<Pipeline>(context)) {}

RenderPoly::~RenderPoly() {
    m_pipeline->m_drawState->polyEnded = true;
}

MGLContext* RenderPoly::Context() { return m_pipeline->ContextEnded() ? nullptr : &m_pipeline->m_context; }

CInterpolantFetcher& RenderPoly::PositionFetcher() { return m_pipeline->m_positionFetcher; }

CInterpolantFetcher& RenderPoly::IndexFetcher() { return m_pipeline->m_indexFetcher; }

CInterpolantFetcher& RenderPoly::AttribFetcher(int32_t i) {
    Pipeline& pipe = *m_pipeline;
    const int32_t last = kAttribFetcherCount - 1;
    return pipe.m_attribFetchers[i < 0 || i > last ? last : i];
}

void RenderPoly::SetAttribFetcherCount(int32_t count) {
    Pipeline& pipe = *m_pipeline;
    pipe.m_attribFetcherCount = count < 0 ? 0 : (count > kAttribFetcherCount ? kAttribFetcherCount : count);
    if (!pipe.ContextEnded()) pipe.m_context.Record().attribFetcherCount = pipe.m_attribFetcherCount;
}

// The counts are bounded by the record's arrays, the pool by what the
// context allocated and the rows by the planes, whatever wrote the record.
void RenderPoly::Pipeline::BeginDraw() {
    Core().FollowSurfaces();
    const MGLRecord& s = m_context.Record();
    DrawLayout& l = m_layout;
    l.interpolants = CMathFixed::Clamp(s.numInterpolants, 0, kMaxInterpolants);
    l.extraInterpolants = CMathFixed::Clamp(s.numExtraInterpolants, 0, kMaxInterpolants - l.interpolants);
    l.depthInterpolant = s.depthInterpolant >= 0 && s.depthInterpolant < l.interpolants ? s.depthInterpolant : -1;
    l.depthScaledMask = s.depthScaledMask;
    l.fillMode = s.fillMode;
    l.wireframe = s.wireframe != 0;
    l.perspective = s.perspectiveGradients != 0;
    l.poolUsed = s.vertexPoolUsed;
    l.poolLimit = CMathFixed::Clamp(s.vertexPoolLimit, 0, m_context.PoolWords());
    l.firstRow = s.scissory0 > 0 ? s.scissory0 : 0;
    l.endRow = s.scissory1 < m_context.TargetHeight() ? s.scissory1 : m_context.TargetHeight();
    l.spanBudget = 0;
    l.spanBudgetSpent = false;
}

bool RenderPoly::Pipeline::MayReplaceRoutine(const char* routine) const {
    const bool drawing = m_drawState->open;
    if (drawing) DebugPrintf("RenderPoly: the %s cannot be replaced while a draw is open", routine);
    return !drawing;
}

void RenderPoly::SetScreenSpace(bool flag) {
    if (!m_pipeline->ContextEnded()) m_pipeline->m_context.Record().screenSpace = flag ? 1 : 0;
}

void RenderPoly::SetWholePolygons(bool flag) {
    if (!m_pipeline->ContextEnded()) m_pipeline->m_context.Record().wholePolygons = flag ? 1 : 0;
}

bool RenderPoly::SetVertexHook(VertexHook hook) {
    Pipeline& pipe = *m_pipeline;
    if (!pipe.MayReplaceRoutine("vertex hook")) return false;
    pipe.m_vertexHook = std::move(hook);
    return true;
}

bool RenderPoly::SetPolygonObserver(PolygonObserver observer) {
    Pipeline& pipe = *m_pipeline;
    if (!pipe.MayReplaceRoutine("polygon observer")) return false;
    pipe.m_observer = std::move(observer);
    return true;
}

// `count` vertices from the pool, when they fit strictly below the limit.
int32_t* RenderPoly::Pipeline::TakeVertices(int64_t count) {
    int32_t* pool = m_context.VertexPool();
    DrawLayout& l = m_layout;
    if (pool == nullptr || count < 0 || l.poolUsed < 0) return nullptr;
    const int64_t need = count * Stride();
    if (int64_t{l.poolUsed} + need >= int64_t{l.poolLimit}) return nullptr;
    int32_t* first = pool + l.poolUsed;
    l.poolUsed = static_cast<int32_t>(l.poolUsed + need);
    m_context.Record().vertexPoolUsed = l.poolUsed;
    return first;
}

int32_t* RenderPoly::Pipeline::PoolVertex(int32_t* first, int32_t index) const {
    return first + static_cast<ptrdiff_t>(index) * Stride();
}

void RenderPoly::Pipeline::Transform3D(int32_t* vertex, const Matrix3x4& top) {
    top.TransformToVertex(vertex, top.orthographic);
    MGLContextCore::ComputeOutcode(m_context.Record(), vertex);
}

bool RenderPoly::Pipeline::CallHook(int32_t* vertex, int32_t n) {
    return !m_vertexHook || CallOut(m_vertexHook, vertex, n);
}

bool RenderPoly::Pipeline::SubmitPolygon(MGLVertexList& list) {
    if (m_observer && !CallOut(m_observer, std::as_const(list))) return false;
    return ClipInDraw(list);
}

// The assembled polygon's vertices from `firstNew` on are new: each is
// transformed and handed to the hook with the element it was fetched from;
// then the polygon goes on to the clip stage.
bool RenderPoly::Pipeline::SubmitAssembled(int32_t count, int32_t firstNew, const int32_t* elements,
                                           const Matrix3x4& top) {
    for (int32_t j = firstNew; j < count; ++j) {
        Transform3D(m_poly.v[j], top);
        if (!CallHook(m_poly.v[j], elements[j])) return false;
    }
    m_poly.count = count;
    return SubmitPolygon(m_poly);
}

// A strip's pool vertex filled from element `element`; its input w is
// cleared first, so a stream without one reads as no restart.
int32_t* RenderPoly::Pipeline::FetchStripVertex(int32_t* first, int32_t vertexIndex, int32_t element) {
    int32_t* vertex = PoolVertex(first, vertexIndex);
    vertex[kWordInputW] = 0;
    FetchInDraw(m_positionFetcher, vertex, static_cast<uint32_t>(element));
    return vertex;
}

// A fetch writes `count` words (two in split mode) from its destination
// word on; they must lie inside the vertex.
bool RenderPoly::Pipeline::FetchFits(const CInterpolantFetcher& fetcher, bool split) const {
    if (fetcher.GetData() == nullptr) return false;
    const int32_t words = split ? 2 : fetcher.GetComponents();
    return fetcher.GetOutSlot() + words <= Stride();
}

void RenderPoly::FetchVertex(const CInterpolantFetcher& fetcher, int32_t* vertex, uint32_t n) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended()) return;
    pipe.FetchInDraw(fetcher, vertex, n);
}

void RenderPoly::Pipeline::FetchInDraw(const CInterpolantFetcher& fetcher, int32_t* vertex, uint32_t n) {
    const bool split = fetcher.GetTwoComponentMode() >= 0;
    if (!FetchFits(fetcher, split)) return;
    const uint32_t element = fetcher.LookupIndex(n);
    const uint32_t dest = fetcher.GetOutSlot();
    const uint32_t type = fetcher.GetType();
    const uint8_t* base = static_cast<const uint8_t*>(fetcher.GetData());
    if (!split) {
        CInterpolantFetcher::Fetch(vertex, element, dest, fetcher.GetStride(), base, type, fetcher.GetComponents(),
                                   fetcher.GetShift());
        return;
    }
    CInterpolantFetcher::Fetch(vertex, element, dest, fetcher.GetStride(), base, type, 1, fetcher.GetShift());
    CInterpolantFetcher::Fetch(vertex, element, dest + 1, fetcher.GetStride(), base + (type & kElementSizeMask), type,
                               1, fetcher.GetSecondShift());
    if (fetcher.HasTransform()) ApplyTextureMatrix(vertex + dest);
}

void RenderPoly::Pipeline::ApplyTextureMatrix(int32_t* words) {
    const Matrix3x4 t = m_context.TextureStack().Top();
    const int32_t u = words[0];
    const int32_t v = words[1];
    words[0] = WrapAdd(Dot2x16(u, t.r.At(0, 0), v, t.r.At(0, 1)), t.t[0]);
    words[1] = WrapAdd(Dot2x16(u, t.r.At(1, 0), v, t.r.At(1, 1)), t.t[1]);
}

void RenderPoly::FetchAttributes(int32_t* vertex, uint32_t n) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended()) return;
    for (int32_t i = 0; i < pipe.m_attribFetcherCount; ++i) pipe.FetchInDraw(pipe.m_attribFetchers[i], vertex, n);
}

void RenderPoly::TransformVertexArray(int32_t* vertices, int32_t n) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended()) return;
    const int32_t stride = pipe.Stride() + pipe.m_layout.extraInterpolants;
    const Matrix3x4 top = pipe.m_context.ModelviewStack().Top();
    for (int32_t i = 0; i < n; ++i) pipe.Transform3D(vertices + static_cast<ptrdiff_t>(i) * stride, top);
}

void RenderPoly::DrawPolygons(int32_t n, int32_t vertexCount, int32_t polygonCount) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended() || n < 3 || n > MGLVertexList::kCapacity || polygonCount < 0) return;
    if (int64_t{n} * polygonCount != vertexCount) return;
    int32_t* first = pipe.TakeVertices(vertexCount);
    if (first == nullptr) return;
    SetWholePolygons(false);
    pipe.SelectPolygonStages3D();
    const Matrix3x4 top = pipe.m_context.ModelviewStack().Top();
    int32_t elements[MGLVertexList::kCapacity];
    for (int32_t p = 0; p < polygonCount; ++p) {
        for (int32_t j = 0; j < n; ++j) {
            const int32_t k = p * n + j;
            elements[j] = k;
            pipe.m_poly.v[j] = pipe.PoolVertex(first, k);
            pipe.FetchInDraw(pipe.m_positionFetcher, pipe.m_poly.v[j], static_cast<uint32_t>(k));
        }
        if (!pipe.SubmitAssembled(n, 0, elements, top)) return;
    }
}

// Input w is set to 1.0 before the fetch, so a three-component stream leaves
// no stale word for the near and far tests.
void RenderPoly::DrawIndexedPolygons(int32_t n, int32_t vertexCount, int32_t polygonCount) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended() || n < 3 || n > MGLVertexList::kCapacity || polygonCount < 0 || vertexCount < 0) return;
    int32_t* first = pipe.TakeVertices(vertexCount);
    if (first == nullptr) return;
    SetWholePolygons(false);
    pipe.SelectPolygonStages3D();
    const int32_t stride = pipe.Stride();
    for (int32_t i = 0; i < vertexCount; ++i) {
        int32_t* vertex = pipe.PoolVertex(first, i);
        vertex[kWordInputW] = ONE;
        pipe.FetchInDraw(pipe.m_positionFetcher, vertex, static_cast<uint32_t>(i));
    }
    const Matrix3x4 top = pipe.m_context.ModelviewStack().Top();
    for (int32_t row = 0; row < 3; ++row) {
        FixedTransformArray(first, vertexCount, stride, kWordX + row, top.r.At(row, 0), top.r.At(row, 1),
                            top.r.At(row, 2), top.t[row]);
    }
    for (int32_t i = 0; i < vertexCount; ++i) {
        int32_t* vertex = pipe.PoolVertex(first, i);
        vertex[kWordW] = top.orthographic != 0 ? ONE : WrapNeg(vertex[kWordZ]);
        MGLContextCore::ComputeOutcode(pipe.m_context.Record(), vertex);
    }
    for (int32_t p = 0; p < polygonCount; ++p) {
        bool inRange = true;
        for (int32_t j = 0; j < n && inRange; ++j) {
            const uint32_t index = pipe.m_indexFetcher.LookupIndex(static_cast<uint32_t>(p * n + j));
            inRange = index < static_cast<uint32_t>(vertexCount);
            if (inRange) pipe.m_poly.v[j] = pipe.PoolVertex(first, static_cast<int32_t>(index));
        }
        if (!inRange) continue;
        for (int32_t j = 0; j < n; ++j) {
            if (!pipe.CallHook(pipe.m_poly.v[j], p * n + j)) return;
        }
        pipe.m_poly.count = n;
        if (!pipe.SubmitPolygon(pipe.m_poly)) return;
    }
}

// Each element is fetched into one pool vertex. A start or restart takes
// two more elements; when the stream has no two more, the strip ends there.
void RenderPoly::DrawTriangleStrip(int32_t count) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended() || count < 3) return;
    int32_t* first = pipe.TakeVertices(count);
    if (first == nullptr) return;
    SetWholePolygons(false);
    pipe.SelectPolygonStages3D();
    const Matrix3x4 top = pipe.m_context.ModelviewStack().Top();
    const bool fan = pipe.m_context.Record().stripFan == 1;
    int32_t i = 0;
    int32_t next = 0;
    while (i < count) {
        int32_t* v = pipe.FetchStripVertex(first, next, i);
        i += 1;
        int32_t firstNew = 2;
        if (v[kWordInputW] < 0 || i < 3) {
            if (i + 2 > count) break;
            pipe.m_poly.v[0] = v;
            pipe.m_poly.v[1] = pipe.FetchStripVertex(first, next + 1, i);
            pipe.m_poly.v[2] = pipe.FetchStripVertex(first, next + 2, i + 1);
            i += 2;
            next += 3;
            firstNew = 0;
        } else {
            if (!fan) pipe.m_poly.v[0] = pipe.m_poly.v[1];
            pipe.m_poly.v[1] = pipe.m_poly.v[2];
            pipe.m_poly.v[2] = v;
            next += 1;
        }
        const int32_t elements[3] = {i - 3, i - 2, i - 1};
        if (!pipe.SubmitAssembled(3, firstNew, elements, top)) return;
    }
}

void RenderPoly::DrawQuadStrip(int32_t count) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended() || count < 4) return;
    int32_t* first = pipe.TakeVertices(count);
    if (first == nullptr) return;
    SetWholePolygons(false);
    pipe.SelectPolygonStages3D();
    const Matrix3x4 top = pipe.m_context.ModelviewStack().Top();
    int32_t a = 0;
    int32_t b = 1;
    int32_t i = 0;
    while (i + 1 < count) {
        int32_t* va = pipe.FetchStripVertex(first, a, i);
        int32_t* vb = pipe.FetchStripVertex(first, b, i + 1);
        const int32_t inputW = va[kWordInputW];
        i += 2;
        int32_t firstNew = 2;
        if (inputW < 0 || i < 4) {
            if (i + 2 > count) break;
            pipe.m_poly.v[0] = va;
            a += 2;
            va = pipe.FetchStripVertex(first, a, i);
            pipe.m_poly.v[1] = vb;
            b += 2;
            vb = pipe.FetchStripVertex(first, b, i + 1);
            i += 2;
            firstNew = 0;
        } else {
            pipe.m_poly.v[0] = pipe.m_poly.v[3];
            pipe.m_poly.v[1] = pipe.m_poly.v[2];
        }
        pipe.m_poly.v[2] = vb;
        pipe.m_poly.v[3] = va;
        a += 2;
        b += 2;
        // The quad runs even, odd, odd, even: its last two corners are the
        // new pair's second element, then its first.
        const int32_t elements[4] = {i - 4, i - 3, i - 1, i - 2};
        if (!pipe.SubmitAssembled(4, firstNew, elements, top)) return;
    }
}
