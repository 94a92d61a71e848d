#ifndef SK_DRAWCONTEXT_H
#define SK_DRAWCONTEXT_H

#include "EngineTypes.h"

class CGraphics2d_Lite;
class CRenderSurface;

// Where the picture being drawn has its origin on the screen, and the
// drawing of its pieces there through the 2D renderer.
class SK_DrawContext {
public:
    // Also finds the renderer, once per picture.
    void SetOrigin(int16_t x, int16_t y);

    // The whole image at origin + (x, y), flipped by the renderer's flip code.
    void DrawImage(CRenderSurface* image, uint32_t flip, int32_t x, int32_t y) const;
    // A filled rectangle at origin + (x, y), opaque whatever the colour's alpha.
    void FillRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour) const;
    // The outline of a rectangle and both its diagonals.
    void DrawCross(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) const;

    int16_t GetOriginX() const { return m_originX; }
    int16_t GetOriginY() const { return m_originY; }

private:
    int16_t m_originX = 0;
    int16_t m_originY = 0;
    CGraphics2d_Lite* m_renderer = nullptr;
};

#endif
