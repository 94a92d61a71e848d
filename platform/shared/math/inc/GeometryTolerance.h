#ifndef GEOMETRYTOLERANCE_H
#define GEOMETRYTOLERANCE_H

#include <cstdint>

// Thresholds below which the geometry tests treat a 16.16 quantity as zero,
// so that they report "no intersection" instead of dividing by noise.

// About 0.001: a segment parallel to a plane, three planes without a common
// point, no relative motion, degenerate segments, lines that share a plane.
inline constexpr int32_t kGeometryTolerance = 65;

// About 0.0001: the squared length of the cross product of two plane normals
// below which the planes count as parallel.
inline constexpr int32_t kParallelPlanesTolerance = 6;

// About 0.001: a point counts as lying on a plane (triangle tests).
inline constexpr int32_t kOnPlaneTolerance = 66;

#endif
