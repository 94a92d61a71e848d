#ifndef JGRAPHICS_H
#define JGRAPHICS_H

#include <cstdint>

#include "CGraphics2d_Lite.h"
#include "CRect.h"
#include "JSmartObject.h"

class ClipStack;
class CRenderSurface;

// The drawing context of the game code: a current a8r8g8b8 colour and the
// handset-style primitives, all drawn by the application's 2D renderer on
// the current surface. Screen pixels, origin at the top left; lines include
// both end points. Without a renderer (no application) nothing is drawn.
class JGraphics {
public:
    // Mirror codes of drawImage.
    static constexpr uint32_t kMirrorNone = 0;
    static constexpr uint32_t kMirrorHorizontal = 1;
    static constexpr uint32_t kMirrorVertical = 2;
    static constexpr uint32_t kMirrorBoth = 3;

    void setColor(uint32_t argb) { colour = argb; }
    // The alpha byte is 0.
    void setColorRGB(int32_t r, int32_t g, int32_t b);

    void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // The outline covers w + 1 by h + 1 pixels.
    void drawRect(int32_t x, int32_t y, int32_t w, int32_t h);
    // Nothing when w or h is 0; negative sizes are passed on.
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h);
    // The rectangle between the corners, blended with the alpha of the
    // colour word; the renderer's blending state is restored afterwards.
    // The two middle arguments are not used.
    void fillRectBlended(const uint32_t& colourWord, int32_t unusedA, int32_t unusedB, int32_t x1, int32_t y1, int32_t x2,
                         int32_t y2);
    // The same with the colour of element 0 of the array.
    void fillRectBlendedArray(const JSmartObject<int32_t>& colours, int32_t unusedA, int32_t unusedB, int32_t x1,
                              int32_t y1, int32_t x2, int32_t y2);

    void setRendererValue(const CRect& clip);
    // Each value is narrowed to 16 bits.
    void setClip(int32_t x, int32_t y, int32_t w, int32_t h);
    void getClip(CRect& clip) const;

    // The source rectangle of the surface (all of it when null) at (x, y),
    // mirrored by the code. Any translation set on the renderer before is
    // not applied.
    void drawImage(CRenderSurface* surface, int32_t x, int32_t y, const CRect* sourceRect, uint32_t mirror);
    // Pieces of the surface, each drawn unmirrored as drawImage draws it at
    // the piece's position.
    void drawImagePieces(CRenderSurface* surface, const CGraphics2d_Lite::ImagePiece* pieces, int32_t count);
    // As drawImagePieces, for pieces without a keyed pixel: copied whole,
    // without the colour-key test, which would keep every pixel anyway.
    void drawOpaqueImagePieces(CRenderSurface* surface, const CGraphics2d_Lite::ImagePiece* pieces, int32_t count);

private:
    uint32_t colour = 0;
};

// Sets the colour and fills the whole screen.
void fillScreen(JGraphics& g, uint32_t argb);
void resetClip(JGraphics& g);
// Save and restore the clip rectangle on the application's clip stack.
void pushClip(JGraphics& g, ClipStack& stack);
// An empty stack is reported and leaves the clip as it is.
void popClip(JGraphics& g, ClipStack& stack);

#endif
