#ifndef COVERAGEREFERENCE_H
#define COVERAGEREFERENCE_H

// Reference coverage computed in double precision, independently of the
// renderer: convex polygons clipped against planes and projected to pixels,
// and a pixel covered when its centre lies inside or on the polygon. Pixels
// whose centre lies within a small distance of an edge are "edge" pixels,
// where fixed-point edges may fall either way.

#include <cmath>
#include <cstdint>
#include <vector>

namespace reference {

struct Point {
    double x, y;
};

struct Point4 {
    double x, y, z;
};

enum class Cover : uint8_t { Out, In, Edge };

// Signed distance of p from the line a-b, positive on the inside of a
// polygon of the given winding.
inline double Distance(const Point& a, const Point& b, const Point& p, double winding) {
    const double ex = b.x - a.x;
    const double ey = b.y - a.y;
    const double length = std::sqrt(ex * ex + ey * ey);
    if (length == 0) return 1e30;
    return winding * (ex * (p.y - a.y) - ey * (p.x - a.x)) / length;
}

inline double Area(const std::vector<Point>& polygon) {
    double area = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return area / 2;
}

inline Cover CoverOf(const std::vector<Point>& polygon, double px, double py, double edge) {
    const double area = Area(polygon);
    if (polygon.size() < 3 || std::fabs(area) < 1e-9) return Cover::Out;
    const double winding = area > 0 ? 1 : -1;
    double nearest = 1e30;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const double d = Distance(polygon[i], polygon[(i + 1) % polygon.size()], Point{px, py}, winding);
        nearest = d < nearest ? d : nearest;
    }
    if (nearest > edge) return Cover::In;
    return nearest < -edge ? Cover::Out : Cover::Edge;
}

// A coverage image: In, Out or Edge per pixel, for a list of polygons drawn
// one over the other.
class Image {
public:
    Image(int32_t width, int32_t height) : m_width(width), m_height(height), m_cover(width * height, Cover::Out) {}

    void Add(const std::vector<Point>& polygon, double edge = 1.0 / 64) {
        for (int32_t y = 0; y < m_height; ++y) {
            for (int32_t x = 0; x < m_width; ++x) {
                const Cover c = CoverOf(polygon, x + 0.5, y + 0.5, edge);
                Cover& at = m_cover[y * m_width + x];
                if (c == Cover::In || (c == Cover::Edge && at == Cover::Out)) at = c;
            }
        }
        MarkShortEdges(polygon);
    }

    // The edge walker steps an edge less than a row tall as if it were one
    // row tall: on a row centre such an edge crosses, its x may be off by up
    // to the edge's width, so the pixels under it go either way.
    void MarkShortEdges(const std::vector<Point>& polygon) {
        for (size_t i = 0; i < polygon.size(); ++i) {
            const Point& a = polygon[i];
            const Point& b = polygon[(i + 1) % polygon.size()];
            const double top = a.y < b.y ? a.y : b.y;
            const double bottom = a.y < b.y ? b.y : a.y;
            if (bottom - top >= 1) continue;
            const int32_t row = static_cast<int32_t>(std::ceil(top - 0.5));
            if (row + 0.5 > bottom || row < 0 || row >= m_height) continue;
            const double left = (a.x < b.x ? a.x : b.x) - 1;
            const double right = (a.x < b.x ? b.x : a.x) + 1;
            for (int32_t x = 0; x < m_width; ++x) {
                if (x + 0.5 >= left && x + 0.5 <= right) m_cover[row * m_width + x] = Cover::Edge;
            }
        }
    }
    Cover At(int32_t x, int32_t y) const { return m_cover[y * m_width + x]; }

private:
    int32_t m_width;
    int32_t m_height;
    std::vector<Cover> m_cover;
};

// Sutherland-Hodgman against one plane: keeps points with f(p) >= 0.
template <typename F>
std::vector<Point4> ClipAgainst(const std::vector<Point4>& in, F f) {
    std::vector<Point4> out;
    for (size_t i = 0; i < in.size(); ++i) {
        const Point4& a = in[i];
        const Point4& b = in[(i + 1) % in.size()];
        const double fa = f(a);
        const double fb = f(b);
        if (fa >= 0) out.push_back(a);
        if ((fa >= 0) != (fb >= 0)) {
            const double t = fa / (fa - fb);
            out.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)});
        }
    }
    return out;
}

// An eye-space polygon (camera looking down -z) clipped to the frustum
// |x|, |y| <= -z, near <= -z <= far, then projected with the viewport
// constants (16.16 values turned into doubles).
inline std::vector<Point> ClipAndProject(std::vector<Point4> polygon, double near, double far, double cfx0,
                                         double cfx1, double cfy0, double cfy1) {
    polygon = ClipAgainst(polygon, [&](const Point4& p) { return -p.z - near; });
    polygon = ClipAgainst(polygon, [&](const Point4& p) { return far + p.z; });
    polygon = ClipAgainst(polygon, [](const Point4& p) { return -p.z - p.x; });
    polygon = ClipAgainst(polygon, [](const Point4& p) { return -p.z + p.x; });
    polygon = ClipAgainst(polygon, [](const Point4& p) { return -p.z - p.y; });
    polygon = ClipAgainst(polygon, [](const Point4& p) { return -p.z + p.y; });
    std::vector<Point> projected;
    for (const Point4& p : polygon) projected.push_back({cfx0 + p.x / -p.z * cfx1, cfy0 + p.y / -p.z * cfy1});
    return projected;
}

// A screen-space polygon clipped to 0 <= x <= width, 0 <= y <= height.
inline std::vector<Point> ClipToScreen(const std::vector<Point>& polygon, double width, double height) {
    std::vector<Point4> p;
    for (const Point& q : polygon) p.push_back({q.x, q.y, 0});
    p = ClipAgainst(p, [](const Point4& v) { return v.x; });
    p = ClipAgainst(p, [&](const Point4& v) { return width - v.x; });
    p = ClipAgainst(p, [](const Point4& v) { return v.y; });
    p = ClipAgainst(p, [&](const Point4& v) { return height - v.y; });
    std::vector<Point> out;
    for (const Point4& v : p) out.push_back({v.x, v.y});
    return out;
}

}  // namespace reference

#endif
