#include "JImage.h"

#include "AppServices.h"
#include "BlitCopy.h"
#include "CAssert.h"
#include "CColor.h"
#include "CRenderSurface.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "JGraphics.h"

namespace {

// How each handset transform is drawn unrotated: the renderer's mirror code
// and a shift of the position by the region's height (x) or width (y).
struct TransformDraw {
    uint32_t mirror;
    bool shiftXByHeight;
    bool shiftYByWidth;
};

constexpr TransformDraw kTransformDraws[] = {
    {JGraphics::kMirrorNone, false, false},       {JGraphics::kMirrorVertical, false, false},
    {JGraphics::kMirrorHorizontal, false, false}, {JGraphics::kMirrorBoth, false, false},
    {JGraphics::kMirrorHorizontal, false, true},  {JGraphics::kMirrorNone, true, false},
    {JGraphics::kMirrorNone, false, true},        {JGraphics::kMirrorHorizontal, true, false},
};
constexpr int32_t kTransformCount = sizeof(kTransformDraws) / sizeof(kTransformDraws[0]);

CRenderSurface* SurfaceOf(CResource* resource) {
    return resource != nullptr ? dynamic_cast<CRenderSurface*>(resource->GetObject()) : nullptr;
}

int32_t SurfaceWidth(const CRenderSurface* surface) {
    uint32_t w = 0;
    uint32_t h = 0;
    return surface != nullptr && surface->GetSize(&w, &h) ? static_cast<int32_t>(w) : 0;
}

int32_t SurfaceHeight(const CRenderSurface* surface) {
    uint32_t w = 0;
    uint32_t h = 0;
    return surface != nullptr && surface->GetSize(&w, &h) ? static_cast<int32_t>(h) : 0;
}

}  // namespace

JImage::JImage(CResource* resource) { showWholeSurface(SurfaceOf(resource)); }

JImage::JImage(uint32_t id, int32_t t) { load(id, t); }

JImage::JImage(const JImage* other, int32_t t) {
    if (other == nullptr) return;
    copyView(*other);
    transform = t;
}

JImage::JImage(const JImage* other, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (other == nullptr) return;
    copyView(*other);
    offsetX += x;
    offsetY += y;
    width = w;
    height = h;
    transform = 0;
}

JImage::~JImage() { giveBack(resourceId); }

CRenderSurface* JImage::acquire(uint32_t id) {
    CResourceManager* manager = GetAppResourceManager();
    if (manager == nullptr) {
        DebugPrintf("JImage: no resource manager for image 0x%08x", id);
        return nullptr;
    }
    CResource* resource = nullptr;
    if (manager->CreateByHandle(id, &resource) == CResourceManager::kFailed || resource == nullptr) return nullptr;
    CRenderSurface* shown = SurfaceOf(resource);
    if (shown == nullptr) {
        DebugPrintf("JImage: resource 0x%08x is not an image", id);
        manager->ReleaseByHandle(id);
    }
    return shown;
}

void JImage::giveBack(uint32_t id) {
    if (id == 0) return;
    if (CResourceManager* manager = GetAppResourceManager()) manager->ReleaseByHandle(id);
}

void JImage::showWholeSurface(CRenderSurface* shown) {
    surface = shown;
    width = SurfaceWidth(shown);
    height = SurfaceHeight(shown);
}

// Shares other's resource with a reference of this image's own.
void JImage::copyView(const JImage& other) {
    if (other.resourceId != 0 && acquire(other.resourceId) != nullptr) resourceId = other.resourceId;
    surface = other.surface;
    width = other.width;
    height = other.height;
    offsetX = other.offsetX;
    offsetY = other.offsetY;
}

void JImage::clear() {
    giveBack(resourceId);
    width = 0;
    height = 0;
    transform = 0;
    resourceId = 0;
    surface = nullptr;
    sourceRect.SetEmpty();
    offsetX = 0;
    offsetY = 0;
}

void JImage::load(uint32_t id, int32_t t) {
    CRenderSurface* shown = acquire(id);
    if (shown != nullptr) {
        giveBack(resourceId);
        resourceId = id;
        showWholeSurface(shown);
    }
    transform = t;
}

void JImage::draw(JGraphics& g, int32_t x, int32_t y, int32_t anchor, int32_t drawTransform) {
    drawRegion(g, 0, 0, width, height, drawTransform, x, y, anchor);
}

void JImage::draw(JGraphics& g, int32_t x, int32_t y, int32_t anchor) { drawRegion(g, 0, 0, width, height, 0, x, y, anchor); }

void JImage::drawRegion(JGraphics& g, int32_t srcX, int32_t srcY, int32_t w, int32_t h, int32_t drawTransform, int32_t x,
                        int32_t y, int32_t anchor) {
    if (drawTransform == kDefaultTransform) drawTransform = transform;
    sourceRect = regionSource(srcX, srcY, w, h);
    if (anchor & kAnchorVCenter) y -= h >> 1;
    if (anchor & kAnchorBottom) y -= h;
    if (anchor & kAnchorHCenter) x -= w >> 1;
    if (anchor & kAnchorRight) x -= w;
    uint32_t mirror = JGraphics::kMirrorNone;
    if (drawTransform >= 0 && drawTransform < kTransformCount) {
        const TransformDraw& way = kTransformDraws[drawTransform];
        mirror = way.mirror;
        if (way.shiftXByHeight) x += h;
        if (way.shiftYByWidth) y += w;
    }
    g.drawImage(surface, x, y, &sourceRect, mirror);
}

// The source is set from its two corners, each narrowed to 16 bits.
CRect JImage::regionSource(int32_t srcX, int32_t srcY, int32_t w, int32_t h) const {
    const int32_t left = offsetX + srcX;
    const int32_t top = offsetY + srcY;
    CRect source;
    source.SetFromInts(left, top, static_cast<int16_t>(left + w) - static_cast<int16_t>(left),
                       static_cast<int16_t>(top + h) - static_cast<int16_t>(top));
    return source;
}

void JImage::addPiece(std::vector<CGraphics2d_Lite::ImagePiece>& pieces, int32_t srcX, int32_t srcY, int32_t w,
                      int32_t h, int32_t x, int32_t y) const {
    pieces.push_back({regionSource(srcX, srcY, w, h), x, y});
}

void JImage::drawPieces(JGraphics& g, const std::vector<CGraphics2d_Lite::ImagePiece>& pieces) const {
    g.drawImagePieces(surface, pieces.data(), static_cast<int32_t>(pieces.size()));
}

void JImage::drawOpaquePieces(JGraphics& g, const std::vector<CGraphics2d_Lite::ImagePiece>& pieces) const {
    g.drawOpaqueImagePieces(surface, pieces.data(), static_cast<int32_t>(pieces.size()));
}

std::vector<CRect> JImage::squareSources(int32_t size) const {
    const int32_t perRow = size > 0 ? width / size : 0;
    const int32_t rows = size > 0 ? height / size : 0;
    std::vector<CRect> sources;
    sources.reserve(static_cast<size_t>(perRow) * static_cast<size_t>(rows));
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t column = 0; column < perRow; ++column) {
            sources.push_back(regionSource(column * size, row * size, size, size));
        }
    }
    return sources;
}

std::vector<bool> JImage::opaqueSquares(int32_t size) const {
    const int32_t perRow = size > 0 ? width / size : 0;
    const int32_t rows = size > 0 ? height / size : 0;
    std::vector<bool> opaque(static_cast<size_t>(perRow) * static_cast<size_t>(rows), false);
    const CRect grid = regionSource(0, 0, perRow * size, rows * size);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    if (opaque.empty() || surface == nullptr || !surface->Lock(&pixels, &pitch, ICRenderSurface::kLockRead, &grid)) {
        return opaque;
    }
    const uint32_t format = surface->GetFormat();
    const intptr_t squareBytes = static_cast<intptr_t>(size) * CColor::BytesPerPixel(format);
    const intptr_t squareRowBytes = static_cast<intptr_t>(size) * pitch;
    for (size_t i = 0; i < opaque.size(); ++i) {
        const intptr_t row = static_cast<intptr_t>(i) / perRow;
        const intptr_t column = static_cast<intptr_t>(i) % perRow;
        const uint8_t* square = pixels + row * squareRowBytes + column * squareBytes;
        opaque[i] = !BlitBlockMayHoldKey(format, square, pitch, static_cast<uint32_t>(size),
                                         static_cast<uint32_t>(size), surface->GetPalette());
    }
    surface->Unlock(ICRenderSurface::kLockRead);
    return opaque;
}

void JImage::drawTexture(JGraphics& g, int32_t x, int32_t y, const CRect* rect) {
    g.drawImage(surface, x, y, rect, JGraphics::kMirrorNone);
}
