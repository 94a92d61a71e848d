#include "MGLContextCore.h"
#include "MGLFixed.h"
#include "RenderPolyPipeline.h"

namespace {

// Interpolants DrawScreenRect fills from its two attribute arrays.
constexpr int32_t kScreenRectAttrA = 1;
constexpr int32_t kScreenRectAttrB = 2;
constexpr int32_t kRectCorners = 4;
constexpr uint32_t kFlipByte = 0xFF;

}  // namespace

void RenderPoly::Pipeline::Transform2D(int32_t* vertex, const Matrix2x3& top, uint32_t flipY) {
    top.TransformToVertex(vertex);
    if ((flipY & kFlipByte) != 0) {
        vertex[kWordY] = WrapSub(WrapShiftLeft(m_context.Record().destheight, 16), vertex[kWordY]);
    }
    MGLContextCore::ComputeOutcodeXY(m_context.Record(), vertex);
}

// The 2D stages are chosen even when the pool has no room.
void RenderPoly::DrawScreenRect(int32_t w, int32_t h, const int32_t attrA[4], const int32_t attrB[4], bool flipY) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended()) return;
    SetScreenSpace(true);
    SetWholePolygons(true);
    pipe.SelectPolygonStages2D();
    int32_t* first = pipe.TakeVertices(kRectCorners);
    if (first == nullptr) return;
    const Matrix2x3 top = pipe.m_context.Stack2d().Top();
    const int32_t corners[kRectCorners][2] = {{0, 0}, {0, h}, {w, h}, {w, 0}};
    // Attributes only go to interpolants the vertex has.
    const int32_t interpolants = pipe.Stride() - kWordInterpolants;
    for (int32_t j = 0; j < kRectCorners; ++j) {
        int32_t* vertex = pipe.PoolVertex(first, j);
        vertex[0] = corners[j][0];
        vertex[1] = corners[j][1];
        pipe.Transform2D(vertex, top, flipY ? 1u : 0u);
        if (attrA != nullptr && interpolants > kScreenRectAttrA) vertex[kWordInterpolants + kScreenRectAttrA] = attrA[j];
        if (attrB != nullptr && interpolants > kScreenRectAttrB) vertex[kWordInterpolants + kScreenRectAttrB] = attrB[j];
        pipe.m_poly.v[j] = vertex;
    }
    pipe.m_poly.count = kRectCorners;
    // The last step of the draw: whether it ended under it changes nothing.
    pipe.SubmitPolygon(pipe.m_poly);
}

void RenderPoly::DrawPolygon2D(int32_t first, int32_t count, uint32_t flipY) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    if (call.Ended() || first < 0 || count < 3 || count > MGLVertexList::kCapacity || int64_t{first} + count > INT32_MAX) return;
    int32_t* pool = pipe.TakeVertices(count);
    if (pool == nullptr) return;
    SetScreenSpace(true);
    SetWholePolygons(true);
    pipe.SelectPolygonStages2D();
    const Matrix2x3 top = pipe.m_context.Stack2d().Top();
    for (int32_t j = 0; j < count; ++j) {
        int32_t* vertex = pipe.PoolVertex(pool, j);
        FetchVertex(pipe.m_positionFetcher, vertex, static_cast<uint32_t>(first + j));
        pipe.Transform2D(vertex, top, flipY);
        pipe.m_poly.v[j] = vertex;
    }
    pipe.m_poly.count = count;
    pipe.SubmitPolygon(pipe.m_poly);  // the last step, as above
}

// Element pairs P, Q give the rectangle (P.x, Q.y), P, (Q.x, P.y), Q. An
// odd last element has no partner and is left out.
void RenderPoly::DrawRects2D(int32_t first, int32_t count, uint32_t flipY) {
    Pipeline& pipe = *m_pipeline;
    Pipeline::DrawCall call(pipe);
    const int32_t elements = count & ~1;
    if (call.Ended() || first < 0 || elements <= 0 || int64_t{first} + elements > INT32_MAX) return;
    int32_t* pool = pipe.TakeVertices(int64_t{elements} * 2);
    if (pool == nullptr) return;
    SetScreenSpace(true);
    SetWholePolygons(true);
    pipe.SelectPolygonStages2D();
    const Matrix2x3 top = pipe.m_context.Stack2d().Top();
    for (int32_t k = 0; 2 * k < elements; ++k) {
        int32_t* corner[kRectCorners];
        for (int32_t j = 0; j < kRectCorners; ++j) corner[j] = pipe.PoolVertex(pool, kRectCorners * k + j);
        FetchVertex(pipe.m_positionFetcher, corner[1], static_cast<uint32_t>(first + 2 * k));
        FetchVertex(pipe.m_positionFetcher, corner[3], static_cast<uint32_t>(first + 2 * k + 1));
        corner[0][0] = corner[1][0];
        corner[0][1] = corner[3][1];
        corner[2][0] = corner[3][0];
        corner[2][1] = corner[1][1];
        for (int32_t j = 0; j < kRectCorners; ++j) {
            pipe.Transform2D(corner[j], top, flipY);
            pipe.m_poly.v[j] = corner[j];
        }
        pipe.m_poly.count = kRectCorners;
        if (!pipe.SubmitPolygon(pipe.m_poly)) return;
    }
}
