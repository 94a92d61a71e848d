#include "CTriangleMesh.h"

#include <cstddef>

#include "CAssert.h"
#include "CFixedWide.h"
#include "CMathFixed.h"
#include "CPlane.h"
#include "CTriangle3d.h"

namespace {

// Times are searched on [0, 1.0] of the motion; a hit is recorded when it is
// earlier than the best so far, which starts beyond any reachable time.
constexpr int32_t kNoHitYet = 0x640000;  // 100.0

// Gaps between the swept shape and triangles some units away pass 16.16.
int64_t SquaredLength(const CVector3d& v) { return CVector3d::DotWide(v, v); }

// The first time in [0, 1.0] at which gapAt(t) <= limit, for a gap that is a
// convex function of t (the squared distance between a convex shape and
// another moving in a straight line). False when the gap stays above limit.
template <class GapAt>
bool EarliestContact(GapAt gapAt, int64_t limit, int32_t& t) {
    if (gapAt(0) <= limit) {
        t = 0;
        return true;
    }
    // Narrow down on the smallest gap until some time is in contact.
    int32_t low = 0;
    int32_t high = CMathFixed::ONE;
    int32_t contact = -1;
    while (contact < 0) {
        const int32_t third = (high - low) / 3;
        const int32_t m1 = low + third;
        const int32_t m2 = high - third;
        const int64_t g1 = gapAt(m1);
        const int64_t g2 = gapAt(m2);
        if (g1 <= limit) {
            contact = m1;
        } else if (g2 <= limit) {
            contact = m2;
        } else if (high - low <= 2) {
            if (gapAt(low + 1) > limit) return false;
            contact = low + 1;
        } else if (g1 < g2) {
            high = m2;
        } else {
            low = m1;
        }
    }
    // Time 0 is clear and `contact` is not: bisect for the first contact.
    low = 0;
    while (contact - low > 1) {
        const int32_t mid = low + (contact - low) / 2;
        if (gapAt(mid) <= limit) {
            contact = mid;
        } else {
            low = mid;
        }
    }
    t = contact;
    return true;
}

}  // namespace

CTriangleMesh::CTriangleMesh() : m_vertexCount(0), m_triangleCount(0), m_vertices(nullptr), m_triangles(nullptr) {}

CTriangleMesh::CTriangleMesh(const CVector3d* vertices, int32_t vertexCount, const uint32_t* triangles,
                             int32_t triangleCount)
    : CTriangleMesh() {
    Set(vertices, vertexCount, triangles, triangleCount);
}

void CTriangleMesh::Set(const CVector3d* vertices, int32_t vertexCount, const uint32_t* triangles,
                        int32_t triangleCount) {
    const bool valid = vertexCount >= 0 && triangleCount >= 0 && (vertexCount == 0 || vertices != nullptr) &&
                       (triangleCount == 0 || triangles != nullptr);
    ASSERT(valid);
    m_vertices = valid ? vertices : nullptr;
    m_vertexCount = valid ? vertexCount : 0;
    m_triangles = valid ? triangles : nullptr;
    m_triangleCount = valid ? triangleCount : 0;
}

const CVector3d* CTriangleMesh::GetVertex(int32_t i) const {
    ASSERT(i >= 0 && i < m_vertexCount);
    if (i < 0 || i >= m_vertexCount) return nullptr;
    return &m_vertices[i];
}

const uint32_t* CTriangleMesh::GetTriangle(int32_t i) const {
    ASSERT(i >= 0 && i < m_triangleCount);
    if (i < 0 || i >= m_triangleCount) return nullptr;
    return &m_triangles[static_cast<std::size_t>(i) * 3];
}

const CVector3d* CTriangleMesh::GetTriangleVertex(int32_t i, int32_t k) const {
    ASSERT(k >= 0 && k < 3);
    const uint32_t* indices = GetTriangle(i);
    if (indices == nullptr || k < 0 || k >= 3) return nullptr;
    const uint32_t vertex = indices[k];
    ASSERT(vertex < static_cast<uint32_t>(m_vertexCount));
    if (vertex >= static_cast<uint32_t>(m_vertexCount)) return nullptr;
    return &m_vertices[vertex];
}

bool CTriangleMesh::BuildTriangle(int32_t i, CTriangle3d& triangle) const {
    const CVector3d* a = GetTriangleVertex(i, 0);
    const CVector3d* b = GetTriangleVertex(i, 1);
    const CVector3d* c = GetTriangleVertex(i, 2);
    if (a == nullptr || b == nullptr || c == nullptr) return false;
    triangle = CTriangle3d(*a, *b, *c);
    return true;
}

template <class Test>
bool CTriangleMesh::FindFirst(Test test, int32_t& index) const {
    for (int32_t i = 0; i < m_triangleCount; ++i) {
        CTriangle3d triangle;
        if (BuildTriangle(i, triangle) && test(triangle)) {
            index = i;
            return true;
        }
    }
    return false;
}

bool CTriangleMesh::FindSphere(const CVector3d& centre, int32_t radius, int32_t& index) const {
    return FindFirst([&](const CTriangle3d& tri) { return tri.TestSphere(centre, radius); }, index);
}

bool CTriangleMesh::FindSegment(const CVector3d& p, const CVector3d& q, int32_t& index) const {
    return FindFirst(
        [&](const CTriangle3d& tri) {
            int32_t t = 0;
            return tri.IntersectSegment(p, q, t);
        },
        index);
}

bool CTriangleMesh::FindTriangle(const CVector3d& a, const CVector3d& b, const CVector3d& c,
                                 int32_t& index) const {
    const CTriangle3d other(a, b, c);
    return FindFirst([&](const CTriangle3d& tri) { return tri.IntersectsTriangle(other); }, index);
}

bool CTriangleMesh::FindPlane(const CPlane& plane, int32_t& index) const {
    return FindFirst([&](const CTriangle3d& tri) { return tri.IntersectsPlane(plane); }, index);
}

template <class GapAt>
bool CTriangleMesh::FindEarliest(GapAt gapAt, int32_t radius, int32_t& t, int32_t& index) const {
    const int64_t limit = FixedMulWide(radius, radius);
    int32_t best = kNoHitYet;
    int32_t bestIndex = -1;
    for (int32_t i = 0; i < m_triangleCount && best > 0; ++i) {
        CTriangle3d triangle;
        int32_t hit = 0;
        if (!BuildTriangle(i, triangle)) continue;
        if (EarliestContact([&](int32_t time) { return gapAt(triangle, time); }, limit, hit) && hit < best) {
            best = hit;
            bestIndex = i;
        }
    }
    if (bestIndex < 0) return false;
    t = best;
    index = bestIndex;
    return true;
}

bool CTriangleMesh::SweepSphere(const CVector3d& centre, int32_t radius, const CVector3d& start,
                                const CVector3d& end, int32_t& t, int32_t& index) const {
    const CVector3d motion = end - start;
    return FindEarliest(
        [&](const CTriangle3d& tri, int32_t time) {
            const CVector3d at = centre + time * motion;
            CVector3d nearest;
            tri.ClosestPoint(at, nearest);
            return SquaredLength(nearest - at);
        },
        radius, t, index);
}

bool CTriangleMesh::SweepSphereSegment(const CVector3d& centre0, const CVector3d& centre1, int32_t radius,
                                       const CVector3d& start, const CVector3d& end, int32_t& t,
                                       int32_t& index) const {
    const CVector3d motion = end - start;
    return FindEarliest(
        [&](const CTriangle3d& tri, int32_t time) {
            const CVector3d offset = time * motion;
            CVector3d onTriangle;
            CVector3d onSegment;
            int32_t along = 0;
            tri.ClosestPointsSegment(centre0 + offset, centre1 + offset, onTriangle, onSegment, along);
            return SquaredLength(onSegment - onTriangle);
        },
        radius, t, index);
}
