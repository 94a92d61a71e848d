#include "CStates.h"

#include <algorithm>
#include <iterator>

#include "AppServices.h"
#include "CGame.h"
#include "CGameProgress.h"
#include "CGraphics.h"
#include "CHud.h"
#include "CRenderSurface.h"
#include "JFont.h"
#include "JGraphics.h"
#include "JImage.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000;
constexpr uint32_t kBlack = kOpaque;
constexpr uint32_t kWhite = kOpaque | 0xFFFFFF;
constexpr uint32_t kIntroBackground = kOpaque | 0x710000;
constexpr int32_t kFrameEdgeInset = 10;
constexpr int32_t kWipeStrips = 10;
constexpr char kNoLoadingText[] = "...";

void DrawImage(JImage* image, JGraphics& g, int32_t x, int32_t y, int32_t anchor, int32_t transform) {
    if (image != nullptr) image->draw(g, x, y, anchor, transform);
}

}  // namespace

void CStates::PaintMenuFrame(JGraphics& g, int32_t mode) {
    const int32_t w = ScreenWidth();
    if (mode == 1) {
        g.setColor(kBlack);
        g.fillRect(0, 0, w, ScreenHeight());
        return;
    }
    if (mode != 0) return;
    const int32_t barHeight = frameBar != nullptr ? frameBar->getHeight() : 0;
    DrawImage(frameHalf, g, HalfWidth(), barHeight, JImage::kAnchorTop | JImage::kAnchorRight, 0);
    DrawImage(frameHalf, g, HalfWidth(), barHeight, JImage::kAnchorDefault, 2);
    DrawImage(frameBar, g, 0, 0, JImage::kAnchorDefault, 0);
    if (frameEdge != nullptr) {
        DrawImage(frameEdge, g, kFrameEdgeInset - frameEdge->getWidth(), 0, JImage::kAnchorDefault, 0);
        DrawImage(frameEdge, g, w - kFrameEdgeInset, 0, JImage::kAnchorDefault, 0);
    }
}

bool CStates::StartRepaint(JGraphics& g) {
    CHud* hud = Hud();
    m_menuPagePaint = kPaintWhole;
    if (hud == nullptr || !ShowsMenuPage()) return false;
    if (m_backdrop.Restore(MenuPage(), hud->title, hud->subtitle, g)) {
        m_menuPagePaint = kPaintMoving;
        return true;
    }
    m_menuPagePaint = kPaintAndKeep;
    return false;
}

bool CStates::StartRehearsal(JGraphics& g) {
    const CHud* hud = Hud();
    m_menuPagePaint = kPaintWhole;
    if (hud == nullptr || !ShowsMenuPage() || !m_backdrop.RestoreClip(MenuPage(), hud->title, hud->subtitle, g)) {
        return false;
    }
    m_menuPagePaint = kPaintMoving;
    return true;
}

bool CStates::ShowsMenuPage() const {
    const CHud* hud = Hud();
    return (state == kMainMenu || state == kOptions || state == kLevelSelect) && hud != nullptr &&
           hud->ShowsMenuPage();
}

CMenuBackdrop::Page CStates::MenuPage() const {
    const CHud* hud = Hud();
    CGraphics* graphics = GetGraphics();
    const CRenderSurface* surface = graphics != nullptr ? graphics->GetCurrentSurface() : nullptr;
    CMenuBackdrop::Page page{};
    page.surface = surface;
    if (surface != nullptr) {
        surface->GetSize(&page.width, &page.height);
        page.format = surface->GetFormat();
    }
    page.clearColour = Game()->clearColour;
    page.state = state;
    page.frameImages[0] = frameHalf;
    page.frameImages[1] = frameBar;
    page.frameImages[2] = frameEdge;
    const JImage* rowImages[] = {hud->rowFrameLeft, hud->rowFrameTile, hud->scrollArrow,
                                 hud->sideTop,      hud->sideTile,     hud->sideBottom};
    std::copy(std::begin(rowImages), std::end(rowImages), page.rowImages);
    page.font = hud->font;
    const int32_t layout[] = {ScreenWidth(),    ScreenHeight(),     hud->clearScreen, hud->drawFrame, hud->centred,
                              hud->imageRows,   hud->framedRows,    hud->sideFrame,   hud->boxX,      hud->boxY,
                              hud->boxWidth,    hud->boxHeight,     hud->menuTitleY,  hud->visibleLines,
                              hud->lineCount,   hud->rowsTop,       hud->rowHeight,   hud->menuX,     hud->menuY,
                              hud->sideWidth};
    std::copy(std::begin(layout), std::end(layout), page.layout);
    return page;
}

void CStates::Paint(JGraphics& g) {
    CHud* hud = Hud();
    CGame* game = Game();
    if (hud == nullptr || game == nullptr) return;
    const int32_t pagePaint = m_menuPagePaint;
    m_menuPagePaint = kPaintWhole;
    if (pagePaint == kPaintMoving) {
        hud->PaintMoving(g);
        return;
    }
    if (hud->clearScreen) PaintMenuFrame(g, 1);
    switch (state) {
        case kFirstFrame:
        case kStartupChecks:
        case kInterfaceSetup:
            PaintLoadingScreen(g);
            break;
        case kLogoSlide:
        case kLogoPieces:
        case kLogoWhole:
            game->repaintPending = 1;
            DrawImage(currentImage, g, logoX, logoY, JImage::kAnchorDefault, 0);
            break;
        case kTitle:
            game->repaintPending = 1;
            DrawImage(logoSheet, g, restX, restY, JImage::kAnchorDefault, 0);
            break;
        case kLogoWipe:
            game->repaintPending = 1;
            PaintLogoWipe(g);
            break;
        case kIntroImage:
            g.setColor(introIndex == 1 ? kWhite : kIntroBackground);
            g.fillRect(0, 0, ScreenWidth(), ScreenHeight());
            break;
        case kMainMenu:
        case kOptions:
        case kLevelSelect:
            PaintMenuFrame(g, 0);
            break;
        case kMessageBox:
            if (m_shownBox.overBlack) {
                g.setColor(kBlack);
                g.fillRect(0, 0, ScreenWidth(), ScreenHeight());
            } else {
                PaintPageBackground(g);
            }
            break;
        default:
            if (state == kPause || state >= kPlayLoad) {
                CGameProgress* progress = Progress();
                if (progress != nullptr) progress->PaintPlay(g);
            } else {
                PaintPageBackground(g);
            }
            break;
    }
    if (pagePaint != kPaintAndKeep) {
        hud->Paint(g);
        return;
    }
    hud->PaintStill(g);
    m_backdrop.Keep(MenuPage(), hud->title, hud->subtitle, g);
    hud->PaintMoving(g);
}

// Text pages and boxes whose frame style asks for it lie on the menu frame.
void CStates::PaintPageBackground(JGraphics& g) {
    const CHud* hud = Hud();
    if (hud->laidOut && hud->paintBackground) PaintMenuFrame(g, 0);
}

void CStates::PaintLoadingScreen(JGraphics& g) {
    resetClip(g);
    fillScreen(g, kBlack);
    g.setColor(kWhite);
    if (font == nullptr) return;
    if (loadingText.length() == 0) loadingText = JString(kNoLoadingText);
    font->drawString(g, loadingText, HalfWidth(), HalfHeight(), JImage::kAnchorHCenter | JImage::kAnchorVCenter);
}

// Ten black strips grow down from the tenths of the logo until they
// cover it.
void CStates::PaintLogoWipe(JGraphics& g) {
    g.setColor(kBlack);
    DrawImage(logoSheet, g, restX, restY, JImage::kAnchorDefault, 0);
    if (logoSheet == nullptr) return;
    const int32_t w = logoSheet->getWidth();
    const int32_t h = logoSheet->getHeight();
    const int32_t n = h * stateTime * 4 / 1000 / 10 / 3;
    for (int32_t i = 0; i < kWipeStrips; ++i) {
        const int32_t top = logoY + h * i / kWipeStrips;
        for (int32_t y = top; y <= top + n; ++y) g.drawLine(logoX, y, logoX + w, y);
    }
}
