#include "CDrawUtil.h"

#include "CAssert.h"
#include "CGraphics.h"
#include "CGraphics2d_Lite.h"
#include "CRenderSurface.h"

#include <algorithm>

namespace {

constexpr int32_t kVertexBytes = 4;


int32_t ToFixed(int32_t pixels) { return static_cast<int32_t>(static_cast<uint32_t>(pixels) << 16); }

}  // namespace

void CDrawUtil::DrawVertexPairs(const int16_t* vertices, int32_t vertexCount, uint32_t color, uint32_t mode) {
    const CGraphics* device = CGraphics::GetInstance();
    ASSERT(device != nullptr && device->GetCurrentSurface() != nullptr);
    CGraphics2d_Lite* renderer = CGraphics2d_Lite::GetInstance();
    if (renderer == nullptr) return;
    renderer->PushState(CGraphics2d_Lite::kGroupColorKey);
    renderer->Disable(CGraphics2d_Lite::kCapColorKey);
    renderer->SetColor(color);
    renderer->VertexPointer(2, CGraphics2d_Lite::kVertexInt16, kVertexBytes, vertices);
    renderer->DrawArrays(mode, 0, vertexCount);
    renderer->PopState(CGraphics2d_Lite::kGroupColorKey);
}

void CDrawUtil::DrawPrimitive(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color, uint32_t mode) {
    const int16_t vertices[4] = {static_cast<int16_t>(x1), static_cast<int16_t>(y1), static_cast<int16_t>(x2),
                                 static_cast<int16_t>(y2)};
    DrawVertexPairs(vertices, 2, color, mode);
}

// The line routines stop one pixel short of the end point; a second,
// one-pixel line at the end point completes it. A line of no length is the
// one pixel already.
void CDrawUtil::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color) {
    if (x1 == x2 && y1 == y2) {
        DrawPrimitive(x1, y1, x2, y2, color, CGraphics2d_Lite::kDrawLines);
        return;
    }
    const int16_t end[2] = {static_cast<int16_t>(x2), static_cast<int16_t>(y2)};
    const int16_t vertices[8] = {static_cast<int16_t>(x1), static_cast<int16_t>(y1), end[0], end[1],
                                 end[0],                   end[1],                   end[0], end[1]};
    DrawVertexPairs(vertices, 4, color, CGraphics2d_Lite::kDrawLines);
}

void CDrawUtil::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color) {
    DrawPrimitive(x1, y1, x2, y2, color, CGraphics2d_Lite::kDrawRectangles);
}

void CDrawUtil::FillRect(const CRect& rect, uint32_t color) {
    FillRect(rect.x, rect.y, rect.x + rect.width, rect.y + rect.height, color);
}

void CDrawUtil::DrawRectFrame(const CRect& rect, uint32_t color, int32_t thickness, uint32_t skippedEdges) {
    CRect edge;
    if ((skippedEdges & kEdgeTop) == 0) {
        edge.SetFromInts(rect.x, rect.y, rect.width, thickness);
        FillRect(edge, color);
    }
    if ((skippedEdges & kEdgeBottom) == 0) {
        edge.SetFromInts(rect.x, rect.y + rect.height - thickness, rect.width, thickness);
        FillRect(edge, color);
    }
    if ((skippedEdges & kEdgeLeft) == 0) {
        edge.SetFromInts(rect.x, rect.y, thickness, rect.height);
        FillRect(edge, color);
    }
    if ((skippedEdges & kEdgeRight) == 0) {
        edge.SetFromInts(rect.x + rect.width - thickness, rect.y, thickness, rect.height);
        FillRect(edge, color);
    }
}

// Each tile is drawn at its own position: the translation moves from one
// tile to the next, inside a pushed matrix that restores the caller's.
void CDrawUtil::DrawTiledImage(CRenderSurface* image, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    CGraphics2d_Lite* renderer = CGraphics2d_Lite::GetInstance();
    if (image == nullptr || renderer == nullptr) return;
    uint32_t tileWidth = 0;
    uint32_t tileHeight = 0;
    if (!image->GetSize(&tileWidth, &tileHeight) || tileWidth == 0 || tileHeight == 0) return;
    renderer->PushMatrix();
    int32_t atX = 0;
    int32_t atY = 0;
    for (int64_t y = y0; y < y1; y += tileHeight) {
        for (int64_t x = x0; x < x1; x += tileWidth) {
            renderer->Translate(ToFixed(static_cast<int32_t>(x) - atX), ToFixed(static_cast<int32_t>(y) - atY));
            atX = static_cast<int32_t>(x);
            atY = static_cast<int32_t>(y);
            CRect source;
            source.SetFromInts(0, 0, static_cast<int>(std::min<int64_t>(tileWidth, x1 - x)),
                               static_cast<int>(std::min<int64_t>(tileHeight, y1 - y)));
            renderer->DrawImage(image, 0, &source);
        }
    }
    renderer->PopMatrix();
}
