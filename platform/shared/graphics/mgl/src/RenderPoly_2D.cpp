#include "MGLContextCore.h"
#include "MGLFixed.h"
#include "RenderPoly.h"

namespace {

// Interpolants DrawScreenRect fills from its two attribute arrays.
constexpr int32_t kScreenRectAttrA = 1;
constexpr int32_t kScreenRectAttrB = 2;
constexpr int32_t kRectCorners = 4;
constexpr uint32_t kFlipByte = 0xFF;

}  // namespace

void RenderPoly::Transform2D(int32_t* vertex, const Matrix2x3& top, uint32_t flipY) {
    top.TransformToVertex(vertex);
    if ((flipY & kFlipByte) != 0) {
        vertex[kWordY] = WrapSub(WrapShiftLeft(m_context.Record().destheight, 16), vertex[kWordY]);
    }
    MGLContextCore::ComputeOutcodeXY(m_context.Record(), vertex);
}

// The 2D stages are chosen even when the pool has no room.
void RenderPoly::DrawScreenRect(int32_t w, int32_t h, const int32_t attrA[4], const int32_t attrB[4], bool flipY) {
    DrawCall call(*this);
    if (call.Ended()) return;
    SetScreenSpace(true);
    SetWholePolygons(true);
    SelectPolygonStages2D();
    int32_t* first = TakeVertices(kRectCorners);
    if (first == nullptr) return;
    const Matrix2x3 top = m_context.Stack2d().Top();
    const int32_t corners[kRectCorners][2] = {{0, 0}, {0, h}, {w, h}, {w, 0}};
    // Attributes only go to interpolants the vertex has.
    const int32_t interpolants = Stride() - kWordInterpolants;
    for (int32_t j = 0; j < kRectCorners; ++j) {
        int32_t* vertex = PoolVertex(first, j);
        vertex[0] = corners[j][0];
        vertex[1] = corners[j][1];
        Transform2D(vertex, top, flipY ? 1u : 0u);
        if (attrA != nullptr && interpolants > kScreenRectAttrA) vertex[kWordInterpolants + kScreenRectAttrA] = attrA[j];
        if (attrB != nullptr && interpolants > kScreenRectAttrB) vertex[kWordInterpolants + kScreenRectAttrB] = attrB[j];
        m_poly.v[j] = vertex;
    }
    m_poly.count = kRectCorners;
    // The last step of the draw: whether it ended under it changes nothing.
    SubmitPolygon(m_poly);
}

void RenderPoly::DrawPolygon2D(int32_t first, int32_t count, uint32_t flipY) {
    DrawCall call(*this);
    if (call.Ended() || first < 0 || count < 3 || count > MGLVertexList::kCapacity || int64_t{first} + count > INT32_MAX) return;
    int32_t* pool = TakeVertices(count);
    if (pool == nullptr) return;
    SetScreenSpace(true);
    SetWholePolygons(true);
    SelectPolygonStages2D();
    const Matrix2x3 top = m_context.Stack2d().Top();
    for (int32_t j = 0; j < count; ++j) {
        int32_t* vertex = PoolVertex(pool, j);
        FetchVertex(m_positionFetcher, vertex, static_cast<uint32_t>(first + j));
        Transform2D(vertex, top, flipY);
        m_poly.v[j] = vertex;
    }
    m_poly.count = count;
    SubmitPolygon(m_poly);  // the last step, as above
}

// Element pairs P, Q give the rectangle (P.x, Q.y), P, (Q.x, P.y), Q. An
// odd last element has no partner and is left out.
void RenderPoly::DrawRects2D(int32_t first, int32_t count, uint32_t flipY) {
    DrawCall call(*this);
    const int32_t elements = count & ~1;
    if (call.Ended() || first < 0 || elements <= 0 || int64_t{first} + elements > INT32_MAX) return;
    int32_t* pool = TakeVertices(int64_t{elements} * 2);
    if (pool == nullptr) return;
    SetScreenSpace(true);
    SetWholePolygons(true);
    SelectPolygonStages2D();
    const Matrix2x3 top = m_context.Stack2d().Top();
    for (int32_t k = 0; 2 * k < elements; ++k) {
        int32_t* corner[kRectCorners];
        for (int32_t j = 0; j < kRectCorners; ++j) corner[j] = PoolVertex(pool, kRectCorners * k + j);
        FetchVertex(m_positionFetcher, corner[1], static_cast<uint32_t>(first + 2 * k));
        FetchVertex(m_positionFetcher, corner[3], static_cast<uint32_t>(first + 2 * k + 1));
        corner[0][0] = corner[1][0];
        corner[0][1] = corner[3][1];
        corner[2][0] = corner[3][0];
        corner[2][1] = corner[1][1];
        for (int32_t j = 0; j < kRectCorners; ++j) {
            Transform2D(corner[j], top, flipY);
            m_poly.v[j] = corner[j];
        }
        m_poly.count = kRectCorners;
        if (!SubmitPolygon(m_poly)) return;
    }
}
