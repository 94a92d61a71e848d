#include <algorithm>

#include "CActor.h"
#include "CGame.h"
#include "CGameApp.h"
#include "CGameProgress.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "CRenderSurface.h"
#include "CStates.h"
#include "JGraphics.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000;
constexpr int32_t kAnchorTopLeft = 20;
constexpr int32_t kParallaxDivisor[CGameWorld::kLevelCount] = {3, 3, 1, 1, 1, 1, 1, 1, 1};

// Collision codes the debug overlay shows, and their colours.
struct OverlayColour {
    int32_t code;
    uint32_t argb;
};
constexpr OverlayColour kOverlay[] = {
    {0, 0xFFFF0000}, {1, 0xFF0000FF}, {2, 0xFF00FFFF}, {6, 0xFFFFFF00}, {7, 0xFFFFFFFF}};

// The HUD of play.
constexpr int32_t kTouchOffsetX = -70;
constexpr int32_t kTouchOffsetY = 40;
constexpr int32_t kFormBLevel = 4;
constexpr int32_t kIconX = 5;
constexpr int32_t kIconY = 6;
constexpr int32_t kHealthX = 44;
constexpr int32_t kHealthY = 14;
constexpr int32_t kHealthStep = 4;
constexpr int32_t kHealthBarHeight = 5;
constexpr uint32_t kHealthBarColour = 0xFFDF0000;
constexpr int32_t kSecondRowX = 42;
constexpr int32_t kSecondRowY = 28;
constexpr int32_t kSecondRowStep = 18;
constexpr int32_t kGaugeX = 20;
constexpr int32_t kGaugeLift = 30;
constexpr int32_t kLetterboxGrow = 1;
constexpr int32_t kLetterboxShrink = 2;
constexpr uint32_t kLetterboxTint = 0x0FDAFF;

int32_t FloorMod(int32_t v, int32_t m) { return ((v % m) + m) % m; }
int32_t FloorDiv(int32_t v, int32_t m) { return (v - FloorMod(v, m)) / m; }

// The tile of a cell; tileCount for a cell outside the layer.
int32_t TileAt(const LevelTileLayer& layer, int32_t tileCount, int32_t col, int32_t row) {
    const bool inside = row >= 0 && row < layer.height && col >= 0 && col < layer.width;
    return inside ? layer.At(static_cast<uint32_t>(col), static_cast<uint32_t>(row)) : tileCount;
}

// The cell holds a tile that hides what lies under it.
bool TileHides(const LevelTileLayer& layer, int32_t tileCount, const std::vector<bool>& opaque, int32_t col,
               int32_t row) {
    const int32_t c = TileAt(layer, tileCount, col, row);
    return c < tileCount && static_cast<size_t>(c) < opaque.size() && opaque[static_cast<size_t>(c)];
}

}  // namespace

void CGameWorld::Paint(JGraphics& g) {
    if (subState == kSubStateNormal) {
        PaintPlay(g);
    } else if (subState == kSubStateBlack) {
        g.setColor(kOpaque);
        g.fillRect(0, 0, screenWidth, screenHeight);
    } else {
        fillScreen(g, kOpaque);
    }
}

void CGameWorld::PaintPlay(JGraphics& g) {
    ApplyShakeToCamera();
    const int32_t sx = cameraX;
    const int32_t sy = cameraY;
    // Under background tiles that hide the screen neither the colour nor the
    // picture would show.
    const bool tilesCover = CollectBackgroundTiles(sx, sy);
    const bool pictureShown = !tilesCover && backgroundImage && cameraSpanX != 0 && cameraSpanY != 0;
    // The colour shows only through keyed pixels of the picture or beside it.
    if (!tilesCover && !(pictureShown && BackgroundPictureCoversScreen())) {
        g.setColor(kOpaque | static_cast<uint32_t>(backgroundColour));
        g.fillRect(0, 0, screenWidth, screenHeight);
    }
    if (pictureShown) backgroundImage->draw(g, 0, 0, kAnchorTopLeft);
    if (backgroundTileset) DrawTilePieces(g, *backgroundTileset);
    const int32_t count = drawList ? drawList->size() : 0;
    const int32_t background = std::min(backgroundCount, count);
    for (int32_t i = 0; i < background; ++i) drawList->elementAt(i)->Paint(g, -sx, -sy);
    if (mainTileset) {
        PaintTileLayer(g, mainTileset.get(), mainTileSources, tileLayer, mainTileCount, mainTileOpaque, sx, sy,
                       viewWidth, viewHeight, 0, 0);
    }
    if (debugOverlay != 0) PaintForeground(g, sx, sy, viewWidth, viewHeight);
    const bool finishing = promptStatus == kPromptPassed;
    for (int32_t i = background; i < count; ++i) {
        CActor* a = drawList->elementAt(i);
        if (!(finishing && ActorType::IsLargeEnemy(a->type))) a->Paint(g, -sx, -sy);
    }
    if (fadeMode != kFadeNone) PaintFade(g);
    PaintKeyPrompt(g);
    if (partnerMode != 0) {
        if (partner == nullptr) return;
        if (player != nullptr) player->Paint(g, -sx, -sy);
        partner->Paint(g, -sx, -sy);
    }
    if (finishing) {
        for (int32_t i = 0; i < count; ++i) {
            CActor* a = drawList->elementAt(i);
            if (ActorType::IsLargeEnemy(a->type)) a->Paint(g, -sx, -sy);
        }
        if (player != nullptr) player->Paint(g, -sx, -sy);
    }
    PaintHud(g);
}

bool CGameWorld::BackgroundPictureCoversScreen() const {
    CRenderSurface* surface = backgroundImage->getSurface();
    return backgroundImage->getWidth() >= screenWidth && backgroundImage->getHeight() >= screenHeight &&
           surface != nullptr && surface->IsOpaque();
}

// The shake moves the camera for good; the camera stays inside the level.
void CGameWorld::ApplyShakeToCamera() {
    const CStates* states = GetStates();
    const bool playing = states == nullptr || states->state == CStates::kPlay;
    if (playing && (shakeOffsetX != 0 || shakeOffsetY != 0)) {
        cameraX += shakeOffsetX;
        cameraY += shakeOffsetY;
    }
    cameraX = std::max(cameraX, 0);
    cameraX = std::min(cameraX, mapWidthPx - viewWidth);
    cameraY = std::max(cameraY, 0);
    cameraY = std::min(cameraY, mapHeightPx - viewHeight);
}

// With the layers on one grid, a background tile under a main tile that
// hides it is not drawn: the actors drawn between the layers end under that
// main tile too.
bool CGameWorld::CollectBackgroundTiles(int32_t scrollX, int32_t scrollY) {
    tilePieces.clear();
    opaqueTilePieces.clear();
    if (!backgroundTileset || backgroundLayer.cells.empty()) return false;
    const int32_t divisor = kParallaxDivisor[std::clamp(level, 0, kLevelCount - 1)];
    const bool gapless = CollectTiles(backgroundTileSources, backgroundLayer, backgroundTileCount,
                                      backgroundTileOpaque, scrollX / divisor, scrollY, viewWidth, viewHeight, 0, 0,
                                      divisor == 1);
    return gapless && viewWidth >= screenWidth && viewHeight >= screenHeight;
}

// The layer's tiles go to the renderer in two calls at most.
void CGameWorld::PaintTileLayer(JGraphics& g, JImage* image, const std::vector<CRect>& sources,
                                const LevelTileLayer& layer, int32_t tileCount, const std::vector<bool>& opaque,
                                int32_t scrollX, int32_t scrollY, int32_t right, int32_t bottom, int32_t originX,
                                int32_t originY) {
    CollectTiles(sources, layer, tileCount, opaque, scrollX, scrollY, right, bottom, originX, originY, false);
    if (image != nullptr) DrawTilePieces(g, *image);
}

// The cells of a layer do not overlap: its opaque tiles may go first, in one
// call without the colour-key test.
void CGameWorld::DrawTilePieces(JGraphics& g, const JImage& image) {
    if (!opaqueTilePieces.empty()) image.drawOpaquePieces(g, opaqueTilePieces);
    if (!tilePieces.empty()) image.drawPieces(g, tilePieces);
}

// Cells outside the layer draw nothing, whatever the scroll.
bool CGameWorld::CollectTiles(const std::vector<CRect>& sources, const LevelTileLayer& layer, int32_t tileCount,
                              const std::vector<bool>& opaque, int32_t scrollX, int32_t scrollY, int32_t right,
                              int32_t bottom, int32_t originX, int32_t originY, bool underMainTiles) {
    tilePieces.clear();
    opaqueTilePieces.clear();
    if (sources.empty()) return false;
    const int32_t firstCol = FloorDiv(scrollX, kTileSize);
    const int32_t firstRow = FloorDiv(scrollY, kTileSize);
    const int32_t startX = originX - FloorMod(scrollX, kTileSize);
    const int32_t startY = originY - FloorMod(scrollY, kTileSize);
    bool gapless = true;
    for (int32_t row = firstRow, y = startY; y < bottom; ++row, y += kTileSize) {
        for (int32_t col = firstCol, x = startX; x < right; ++col, x += kTileSize) {
            if (underMainTiles && TileHides(tileLayer, mainTileCount, mainTileOpaque, col, row)) continue;
            const int32_t c = TileAt(layer, tileCount, col, row);
            if (c >= tileCount || static_cast<size_t>(c) >= sources.size()) {
                gapless = false;
                continue;
            }
            const bool hides = static_cast<size_t>(c) < opaque.size() && opaque[static_cast<size_t>(c)];
            gapless = gapless && hides;
            (hides ? opaqueTilePieces : tilePieces).push_back({sources[static_cast<size_t>(c)], x, y});
        }
    }
    return gapless;
}

void CGameWorld::PaintForeground(JGraphics& g, int32_t scrollX, int32_t scrollY, int32_t right, int32_t bottom) {
    const int32_t firstCol = FloorDiv(scrollX, kTileSize);
    const int32_t firstRow = FloorDiv(scrollY, kTileSize);
    for (int32_t row = firstRow, y = -FloorMod(scrollY, kTileSize); y < bottom; ++row, y += kTileSize) {
        if (row < 0 || row >= collisionHeight) continue;
        for (int32_t col = firstCol, x = -FloorMod(scrollX, kTileSize); x < right; ++col, x += kTileSize) {
            if (col < 0 || col >= collisionWidth) continue;
            const int32_t code = collisionLayer[static_cast<size_t>(row * collisionWidth + col)];
            for (const OverlayColour& o : kOverlay) {
                if (o.code != code) continue;
                g.setColor(o.argb);
                g.fillRect(x, y, kTileSize, kTileSize);
            }
        }
    }
}

void CGameWorld::PaintHud(JGraphics& g) {
    PaintTouchControls(g);
    if (hudIcon) hudIcon->draw(g, kIconX, kIconY, kAnchorTopLeft);
    PaintHealthRow(g);
    PaintSecondRow(g);
    PaintPartnerGauge(g);
    PaintLetterbox(g);
}

void CGameWorld::PaintTouchControls(JGraphics& g) {
    const CGame* game = CGame::Get();
    const CGameApp* app = GetGameApp();
    JImage* first = touchImages[0].get();
    JImage* second = touchImages[1].get();
    JImage* third = touchImages[2].get();
    if (first == nullptr || game == nullptr || game->playControlsShown == 0 || !game->touchPicturesShown) return;
    if (app != nullptr && app->GetOverlayMode() != 0) return;
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;
    const int32_t w1 = first->getWidth();
    const int32_t h1 = first->getHeight();
    const CGameProgress* progress = GetProgress();
    const bool formBLevel = progress != nullptr && progress->level == kFormBLevel;
    if (formBLevel) {
        if (second != nullptr) second->draw(g, (w - w1) / 2 + kTouchOffsetX, (h + h1) / 2 + kTouchOffsetY, kAnchorTopLeft);
        return;
    }
    first->draw(g, (w - w1) / 2 + kTouchOffsetX, (h - h1) / 2 + kTouchOffsetY, kAnchorTopLeft);
    if (second == nullptr || third == nullptr) return;
    if (player != nullptr && player->type != ActorType::kPlayerFormA) {
        second->draw(g, (w - w1) / 2 + kTouchOffsetX, (h + h1) / 2 + kTouchOffsetY, kAnchorTopLeft);
        third->draw(g, (w + w1) / 2 - third->getWidth() + kTouchOffsetX, (h + h1) / 2 + kTouchOffsetY,
                    kAnchorTopLeft);
    } else {
        second->draw(g, (w - second->getWidth()) / 2 + kTouchOffsetX, (h + h1) / 2 + kTouchOffsetY, kAnchorTopLeft);
    }
}

void CGameWorld::PaintHealthRow(JGraphics& g) {
    if (player == nullptr) return;
    if (!hudSprite) {
        if (player->hitPoints > 0) {
            g.setColor(kHealthBarColour);
            g.fillRect(kHealthX, kHealthY, player->hitPoints * kHealthStep, kHealthBarHeight);
        }
        return;
    }
    if (player->StateWord(PlayerWord::kPower) < 1) {
        hudSprite->SetAnimation(0, 0, false, false);
        for (int32_t i = 0; i < player->hitPoints; ++i) hudSprite->Paint(g, kHealthX + kHealthStep * i, kHealthY);
    } else {
        hudSprite->SetAnimation(2, 0, true, false);
        hudSprite->Paint(g, kHealthX, kHealthY);
    }
}

void CGameWorld::PaintSecondRow(JGraphics& g) {
    if (variantFlag != 0 || !hudSpriteCopy || player == nullptr) return;
    const int32_t charge = player->StateWord(PlayerWord::kCharge);
    int32_t count = 0;
    if (charge < 1 && player->StateWord(PlayerWord::kReserve) > 0) {
        hudSpriteCopy->SetAnimation(1, 0, false, true);
        count = player->StateWord(PlayerWord::kReserve);
    } else if (charge >= 1) {
        hudSpriteCopy->SetAnimation(3, 0, true, false);
        count = player->StateWord(PlayerWord::kReserveMax);
    }
    for (int32_t i = 0; i < count; ++i) hudSpriteCopy->Paint(g, kSecondRowX + kSecondRowStep * i, kSecondRowY);
}

void CGameWorld::PaintPartnerGauge(JGraphics& g) {
    if (partnerAvailable == 0 || !partnerGaugeSprite) return;
    const int32_t gy = screenHeight - kGaugeLift;
    partnerGaugeSprite->Paint(g, kGaugeX, gy);
    const int32_t w = partnerGaugeSprite->GetBoxWidth();
    const int32_t gauge = player != nullptr ? player->StateWord(PlayerWord::kGauge) : 0;
    const int32_t covered = (PlayerWord::kGaugeMax - gauge) * w / PlayerWord::kGaugeMax;
    if (covered <= 0) return;
    g.setColor(kOpaque);
    g.fillRect(partnerGaugeSprite->GetBoxX() + w + kGaugeX - covered, gy + partnerGaugeSprite->GetBoxY(), covered,
               partnerGaugeSprite->GetBoxHeight() + 1);
}

void CGameWorld::PaintLetterbox(JGraphics& g) {
    if (letterbox == 0) return;
    const int32_t w = screenWidth;
    const int32_t h = screenHeight;
    if (letterboxMode == kLetterboxGrow) {
        letterboxSize = std::min(letterboxSize + (h >> 6), h >> 3);
    } else if (letterboxMode == kLetterboxShrink) {
        letterboxSize -= h >> 6;
        if (letterboxSize < 1) {
            letterboxSize = 0;
            letterbox = 0;
        }
    }
    const uint32_t alpha = BlendColour(0, 255, letterboxSize, h >> 1);
    FillRectAlpha(g, alpha << 24 | kLetterboxTint, 0, letterboxSize, w, h - 2 * letterboxSize);
    if (letterboxSize <= 0) return;
    g.setColor(kOpaque);
    g.fillRect(0, 0, w, letterboxSize);
    g.fillRect(0, h - letterboxSize, w, letterboxSize);
}
