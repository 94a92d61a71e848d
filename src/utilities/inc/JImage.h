#ifndef JIMAGE_H
#define JIMAGE_H

#include <cstdint>
#include <vector>

#include "CGraphics2d_Lite.h"
#include "CRect.h"

class CRenderSurface;
class CResource;
class JGraphics;

// The image type of the game code: a view of an image resource's render
// surface, optionally a region of it, drawn with anchors and the handset's
// eight transforms (mapped onto the renderer's mirroring and a shift). An
// image loaded by id holds one reference on its resource until it goes.
class JImage {
public:
    // Anchor bits of image and text drawing.
    static constexpr int32_t kAnchorHCenter = 1;
    static constexpr int32_t kAnchorVCenter = 2;
    static constexpr int32_t kAnchorLeft = 4;
    static constexpr int32_t kAnchorRight = 8;
    static constexpr int32_t kAnchorTop = 16;
    static constexpr int32_t kAnchorBottom = 32;
    static constexpr int32_t kAnchorDefault = kAnchorTop | kAnchorLeft;
    // A draw transform of -1 takes the image's default transform.
    static constexpr int32_t kDefaultTransform = -1;

    JImage() = default;
    // A view of a resource the caller holds; the image takes no reference.
    explicit JImage(CResource* resource);
    JImage(uint32_t resourceId, int32_t transform);
    // The same resource and region as other (a reference of its own), with
    // the given default transform; an empty image when other is null.
    JImage(const JImage* other, int32_t transform);
    // The region (x, y, w, h) of other's region, transform 0.
    JImage(const JImage* other, int32_t x, int32_t y, int32_t w, int32_t h);
    ~JImage();

    // Each image holds its own reference; the explicit constructors copy.
    JImage(const JImage&) = delete;
    JImage& operator=(const JImage&) = delete;

    void clear();
    // Takes the resource of the id and the transform. When the resource
    // cannot be had the image keeps what it showed (and the reference it
    // held) and only takes the transform.
    void load(uint32_t resourceId, int32_t transform);
    void setTransform(int32_t t) { transform = t; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    CRenderSurface* getSurface() const { return surface; }

    // The whole region, anchored at (x, y); without a transform, transform 0.
    void draw(JGraphics& g, int32_t x, int32_t y, int32_t anchor, int32_t drawTransform);
    void draw(JGraphics& g, int32_t x, int32_t y, int32_t anchor);
    void drawRegion(JGraphics& g, int32_t srcX, int32_t srcY, int32_t w, int32_t h, int32_t drawTransform, int32_t x,
                    int32_t y, int32_t anchor);
    // The rectangle of the surface, unmirrored, at (x, y).
    void drawTexture(JGraphics& g, int32_t x, int32_t y, const CRect* rect);

    // Many regions of the image drawn in one call, each as drawRegion draws
    // it with transform 0 and the top-left anchor: addPiece appends one to
    // `pieces`, drawPieces draws them in order.
    void addPiece(std::vector<CGraphics2d_Lite::ImagePiece>& pieces, int32_t srcX, int32_t srcY, int32_t w, int32_t h,
                  int32_t x, int32_t y) const;
    void drawPieces(JGraphics& g, const std::vector<CGraphics2d_Lite::ImagePiece>& pieces) const;
    // As drawPieces, for pieces without a keyed pixel.
    void drawOpaquePieces(JGraphics& g, const std::vector<CGraphics2d_Lite::ImagePiece>& pieces) const;
    // Per square of a grid of size x size squares laid from the region's
    // top left, in reading order: true when no pixel of it is the colour
    // key, so that drawing it as a piece writes the whole square. All false
    // when the pixels cannot be read.
    std::vector<bool> opaqueSquares(int32_t size) const;
    // In the same order, the source of each square as addPiece gives it.
    std::vector<CRect> squareSources(int32_t size) const;

private:
    // The surface of the resource of resourceId, taking a reference; null
    // (holding nothing) when there is none.
    static CRenderSurface* acquire(uint32_t id);
    static void giveBack(uint32_t id);
    void showWholeSurface(CRenderSurface* shown);
    void copyView(const JImage& other);
    // The surface rectangle of a region of the view.
    CRect regionSource(int32_t srcX, int32_t srcY, int32_t w, int32_t h) const;

    int32_t width = 0;
    int32_t height = 0;
    int32_t transform = 0;
    uint32_t resourceId = 0;
    CRenderSurface* surface = nullptr;
    CRect sourceRect;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
};

#endif
