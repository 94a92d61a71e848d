#ifndef CDRAWUTIL_H
#define CDRAWUTIL_H

#include "CRect.h"

class CRenderSurface;

// Solid lines and rectangles, rectangle frames and tiled images, each drawn
// through the 2D renderer on the device's current surface. Colours are
// packed a8r8g8b8; the renderer's alpha and blend state applies, its colour
// key does not (primitives are drawn with it off), and the colour stays the
// renderer's current colour afterwards.
class CDrawUtil {
public:
    // Edges of DrawRectFrame; a set bit skips that edge.
    static constexpr uint32_t kEdgeTop = 1;
    static constexpr uint32_t kEdgeBottom = 2;
    static constexpr uint32_t kEdgeLeft = 4;
    static constexpr uint32_t kEdgeRight = 8;

    CDrawUtil() = delete;

    // Mode 1: a line from the first point towards the second, which is not
    // drawn; mode 3: the rectangle between the two corners.
    static void DrawPrimitive(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color, uint32_t mode);
    // A line that includes both end points.
    static void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color);
    // The rectangle from corner (x1, y1) up to, not including, (x2, y2).
    static void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color);
    static void FillRect(const CRect& rect, uint32_t color);
    // The four edges, each `thickness` wide, as filled rectangles.
    static void DrawRectFrame(const CRect& rect, uint32_t color, int32_t thickness, uint32_t skippedEdges);
    // Covers (x0, y0)-(x1, y1), relative to the current translation, with
    // copies of the image; the last row and column are cut.
    static void DrawTiledImage(CRenderSurface* image, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

private:
    // Vertex pairs, each pair one primitive, in a single draw call.
    static void DrawVertexPairs(const int16_t* vertices, int32_t vertexCount, uint32_t color, uint32_t mode);
};

#endif
