#ifndef CTRIANGLEMESH_H
#define CTRIANGLEMESH_H

#include <cstdint>

#include "CVector3d.h"

class CPlane;
class CTriangle3d;

// A read-only view of an indexed triangle mesh: a vertex array and an array
// of triangles, three 32-bit vertex indices each. The caller owns both arrays.
// Every query walks the triangles from index 0 and reports the first that
// answers; triangles naming a vertex outside the array are reported and
// skipped.
class CTriangleMesh {
public:
    // An empty mesh.
    CTriangleMesh();
    CTriangleMesh(const CVector3d* vertices, int32_t vertexCount, const uint32_t* triangles,
                  int32_t triangleCount);

    void Set(const CVector3d* vertices, int32_t vertexCount, const uint32_t* triangles, int32_t triangleCount);

    int32_t GetVertexCount() const { return m_vertexCount; }
    int32_t GetTriangleCount() const { return m_triangleCount; }
    // Vertex i; null (reported) when i is out of range.
    const CVector3d* GetVertex(int32_t i) const;
    // The three vertex indices of triangle i; null (reported) when out of range.
    const uint32_t* GetTriangle(int32_t i) const;
    // The vertex named by the k-th index of triangle i; null (reported) when
    // i, k or the index is out of range.
    const CVector3d* GetTriangleVertex(int32_t i, int32_t k) const;

    // First triangle the sphere touches.
    bool FindSphere(const CVector3d& centre, int32_t radius, int32_t& index) const;
    // First triangle the segment p-q meets.
    bool FindSegment(const CVector3d& p, const CVector3d& q, int32_t& index) const;
    // First triangle that meets the triangle a, b, c.
    bool FindTriangle(const CVector3d& a, const CVector3d& b, const CVector3d& c, int32_t& index) const;
    // First triangle the plane cuts or contains.
    bool FindPlane(const CPlane& plane, int32_t& index) const;

    // The sphere starts at centre and moves by end - start. True when it meets
    // a triangle during the motion; t (in [0, 1.0] of the motion) is the
    // earliest contact over all triangles and index the triangle it belongs to
    // (the lowest index among equal times). Nothing is written on false.
    bool SweepSphere(const CVector3d& centre, int32_t radius, const CVector3d& start, const CVector3d& end,
                     int32_t& t, int32_t& index) const;
    // The same for the capsule of radius radius around centre0-centre1.
    bool SweepSphereSegment(const CVector3d& centre0, const CVector3d& centre1, int32_t radius,
                            const CVector3d& start, const CVector3d& end, int32_t& t, int32_t& index) const;

private:
    // Triangle i built from its three vertices; false when one is missing.
    bool BuildTriangle(int32_t i, CTriangle3d& triangle) const;
    template <class Test>
    bool FindFirst(Test test, int32_t& index) const;
    template <class GapAt>
    bool FindEarliest(GapAt gapAt, int32_t radius, int32_t& t, int32_t& index) const;

    int32_t m_vertexCount;
    int32_t m_triangleCount;
    const CVector3d* m_vertices;
    const uint32_t* m_triangles;
};

#endif
