#include "CHud.h"

#include "CGame.h"
#include "CGameProgress.h"
#include "CGameWorld.h"
#include "CSpriteInstance.h"
#include "CStates.h"
#include "JFont.h"
#include "JGraphics.h"
#include "JImage.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000;
constexpr uint32_t kNoticeOuter = kOpaque | 0x5E5C58;
constexpr uint32_t kNoticeInner = kOpaque | 0x670E01;
constexpr uint32_t kOutline = kOpaque | 0xF2B700;
constexpr uint32_t kWhite = kOpaque | 0xFFFFFF;
constexpr uint32_t kBarColour = kOpaque | 0xA22600;
constexpr uint32_t kRed = kOpaque | 0xFF0000;
constexpr uint32_t kBlack = kOpaque;
constexpr uint32_t kNoBarColour = kOpaque | 0x00DEFF;
constexpr uint32_t kBorderColour = kOpaque | 0x0000F3;
// The panel behind a page of text in play, in the dialogue box's colours.
constexpr uint32_t kBackingEdge = kOpaque | 0x34496A;
constexpr uint32_t kBackingFill = kOpaque | 0x141C2C;
constexpr int32_t kBackingMargin = 6;

// Anchors of text and image drawing.
constexpr int32_t kTopLeft = 0x14;
constexpr int32_t kTopCentre = 0x11;
constexpr int32_t kTopRight = 0x18;
constexpr int32_t kBottomLeft = 0x24;
constexpr int32_t kBottomRight = 0x28;
constexpr int32_t kBottomCentre = 0x21;
constexpr int32_t kCentre = 0x03;
constexpr int32_t kRightMiddle = 0x0A;
constexpr int32_t kLeftMiddle = 0x06;
constexpr int32_t kFlipVertical = 1;
constexpr int32_t kMirror = 2;

constexpr int32_t kNoticeTopMin = 8;
constexpr int32_t kSideFrameHeight = 125;
constexpr int32_t kFramedBarX = 50;
constexpr int32_t kFramedCapX = 40;
constexpr int32_t kImageRowBarInset = 30;
constexpr int32_t kBarSideMargin = 60;
constexpr int32_t kFramedBarMargin = 80;
constexpr int32_t kFramedBarDrop = 4;
constexpr int32_t kRowFrameTileDrop = 7;
constexpr int32_t kArrowGap = 20;
constexpr int32_t kArrowRise = 60;
constexpr int32_t kTextArrowLeft = 28;
constexpr int32_t kTextArrowRows = 4;
constexpr int32_t kLoadingBarMargin = 38;
constexpr int32_t kLoadingBarDrop = 15;
constexpr int32_t kLoadingLabelRise = 10;
constexpr int32_t kDialogueBottom = 25;
// The dialogue frame's borders, above and below its inside.
constexpr int32_t kDialogueTopBorder = 4;
constexpr int32_t kDialogueBottomBorder = 2;
constexpr int32_t kPortraitDrop = 5;
// From the top of the speaker's name to the top of the text.
constexpr int32_t kNameRise = 18;
constexpr int32_t kHeadingGap = 20;
constexpr int32_t kNarrator = 9;
constexpr int32_t kCentredSpeaker = 10;
// Speakers the play world's tables hold: 0 to 10.
constexpr int32_t kSpeakerSlots = 11;
constexpr int32_t kFirstShieldSpeaker = 2;
constexpr int32_t kLastShieldSpeaker = 5;

// Play border images.
constexpr int32_t kBottomLeftCorner = 0;
constexpr int32_t kBottomRightCorner = 1;
constexpr int32_t kBottomEdge = 2;
constexpr int32_t kTopLeftCorner = 3;
constexpr int32_t kTopRightCorner = 4;
constexpr int32_t kSideEdge = 5;
constexpr int32_t kTopEdge = 6;
constexpr int32_t kEmblemNarrator = 7;
constexpr int32_t kEmblemPlain = 8;
constexpr int32_t kEmblemShield = 9;

// A missing picture measures 0 and draws nothing; tiles of width 0 are
// never repeated.
bool Usable(const JImage* image) { return image != nullptr && image->getWidth() > 0 && image->getHeight() > 0; }
int32_t WidthOf(const JImage* image) { return image != nullptr ? image->getWidth() : 0; }
int32_t HeightOf(const JImage* image) { return image != nullptr ? image->getHeight() : 0; }

void Draw(JImage* image, JGraphics& g, int32_t x, int32_t y, int32_t anchor, int32_t transform = 0) {
    if (image != nullptr) image->draw(g, x, y, anchor, transform);
}

// Tiles from x to the right over `length` pixels, the last one cut to what
// is left, drawn in one call with `pieces` as room for them.
void TileAcross(JImage* tile, JGraphics& g, int32_t x, int32_t y, int32_t length,
                std::vector<CGraphics2d_Lite::ImagePiece>& pieces) {
    if (!Usable(tile)) return;
    const int32_t w = tile->getWidth();
    pieces.clear();
    for (int32_t done = 0; done < length; done += w) {
        const int32_t piece = length - done < w ? length - done : w;
        tile->addPiece(pieces, 0, 0, piece, tile->getHeight(), x + done, y);
    }
    if (!pieces.empty()) tile->drawPieces(g, pieces);
}

void TileDown(JImage* tile, JGraphics& g, int32_t x, int32_t y, int32_t length, int32_t width) {
    if (!Usable(tile)) return;
    const int32_t h = tile->getHeight();
    for (int32_t done = 0; done < length; done += h) {
        const int32_t piece = length - done < h ? length - done : h;
        tile->drawRegion(g, 0, 0, width, piece, 0, x, y + done, kTopLeft);
    }
}

JImage* BorderImage(JImage** set, int32_t index) { return set != nullptr ? set[index] : nullptr; }

}  // namespace

void CHud::Paint(JGraphics& g) {
    if (PaintInterlude(g)) return;
    if (!laidOut) return;
    if (noticeBox) {
        PaintNoticeBox(g);
        return;
    }
    PaintStill(g);
    PaintMoving(g);
}

// The interlude's picture holds the whole screen while the level behind it
// loads and waits, whatever page the loading left up.
bool CHud::PaintInterlude(JGraphics& g) {
    const CGameProgress* progress = m_links.progress;
    if (progress == nullptr || progress->interludeShown == 0) return false;
    resetClip(g);
    g.setColor(kBlack);
    g.fillRect(0, 0, m_screenWidth, m_screenHeight);
    Draw(progress->interludeImage, g, 0, 0, kTopLeft);
    return true;
}

void CHud::PaintStill(JGraphics& g) {
    PaintTitle(g);
    if (mode != kLoading && mode != kImage && drawFrame) {
        g.setColor(kOutline);
        g.drawRect(boxX, boxY, boxWidth - 1, boxHeight - 1);
        g.setColor(kWhite);
    }
    if (mode != kDialogue && mode != kPlayText && mode != kFullScreenSprite) g.setClip(boxX, boxY, boxWidth, boxHeight);
    if (clearScreen) {
        g.setColor(kBlack);
        g.fillRect(0, 0, m_screenWidth, m_screenHeight);
    }
    if (mode == kMenu) PaintRowFrames(g);
}

void CHud::PaintMoving(JGraphics& g) {
    PaintContent(g);
    // What is drawn after the HUD (soft keys, buttons) sees the whole screen.
    resetClip(g);
}

void CHud::PaintContent(JGraphics& g) {
    switch (mode) {
        case kMenu:
            PaintSelectionBar(g);
            PaintRows(g, boxY);
            break;
        case kMessage:
        case kPagedText:
            PaintRows(g, boxY);
            break;
        case kLoading:
            PaintLoading(g);
            break;
        case kImage:
            Draw(image, g, boxX, boxY, kTopLeft);
            break;
        case kDialogue:
            PaintDialogue(g);
            break;
        case kPlayText:
            PaintPlayText(g);
            break;
        case kFullScreenSprite: {
            CSpriteInstance* sprite = m_links.world != nullptr ? m_links.world->fullScreenSprite : nullptr;
            if (sprite == nullptr) break;
            g.setColor(kBlack);
            g.fillRect(0, 0, m_screenWidth, m_screenHeight);
            sprite->Paint(g, m_screenWidth / 2, m_screenHeight / 2);
            break;
        }
        default:
            break;
    }
}

void CHud::PaintNoticeBox(JGraphics& g) {
    const int32_t fh = FontHeight();
    const int32_t th = titleLineCount * fh;
    int32_t top = (m_screenHeight - th) / 2;
    if (top < kNoticeTopMin) top = kNoticeTopMin;
    g.setColor(kNoticeOuter);
    g.fillRect(3, top - 5, m_screenWidth - 6, th + 10);
    g.setColor(kNoticeInner);
    g.fillRect(5, top - 3, m_screenWidth - 10, th + 6);
    if (font == nullptr) return;
    for (int32_t i = 0; i < titleLines.size(); ++i) {
        font->drawString(g, titleLines.elementAt(i), m_screenWidth / 2, top, kTopCentre);
        top += fh;
    }
}

void CHud::PaintTitle(JGraphics& g) {
    int32_t y = boxY;
    if (imageRows && !framedRows) {
        resetClip(g);
        y = menuTitleY;
    }
    if ((title.length() == 0 && subtitle.length() == 0) || font == nullptr) return;
    if (textTitleTop >= 0) {
        PaintTitleAsText(g);
        return;
    }
    const int32_t fh = FontHeight();
    int32_t top = y;
    if (subtitle.length() > 0) {
        // Its last line stands where a one-line subtitle does, just above y.
        top = y - subtitleLines.size() * fh;
        for (int32_t i = 0; i < subtitleLines.size(); ++i) {
            font->drawString(g, subtitleLines.elementAt(i), boxX + boxWidth / 2, top + i * fh, kTopCentre);
        }
    }
    for (int32_t i = 0; i < titleLines.size(); ++i) {
        const int32_t lineY = top - fh + i * fh;
        if (centred == 0) {
            font->drawString(g, titleLines.elementAt(i), boxX, lineY, kTopLeft);
        } else {
            font->drawString(g, titleLines.elementAt(i), boxX + boxWidth / 2, lineY, kTopCentre);
        }
    }
}

void CHud::PaintTitleAsText(JGraphics& g) {
    resetClip(g);
    const int32_t fh = FontHeight();
    int32_t y = textTitleTop;
    for (int32_t i = 0; i < titleLines.size(); ++i, y += fh) {
        font->drawString(g, titleLines.elementAt(i), m_screenWidth / 2, y, kTopCentre);
    }
    if (subtitle.length() == 0) return;
    y += fh;
    const int32_t left = (m_screenWidth - textTitleWidth) / 2;
    for (int32_t i = 0; i < subtitleLines.size(); ++i, y += fh) {
        font->drawString(g, subtitleLines.elementAt(i), left, y, kTopLeft);
    }
}

void CHud::PaintRowFrames(JGraphics& g) {
    if (framedRows) {
        PaintFramedRows(g);
    } else if (sideFrame) {
        PaintSideFrame(g, menuX, menuY, kSideFrameHeight);
    }
}

void CHud::PaintSelectionBar(JGraphics& g) {
    const bool framedStyle = imageRows && framedRows;
    const bool imageRowStyle = imageRows && !framedRows;
    if (!imageBar) {
        g.setColor(kNoBarColour);
        return;
    }
    resetClip(g);
    if (!Usable(barTile)) {
        PaintPlainBar(g, framedStyle, imageRowStyle);
        return;
    }
    int32_t x = boxX;
    int32_t y = rowsTop + selected * barHeight - scroll;
    if (framedStyle) {
        x = kFramedBarX;
        y = rowsTop + (rowHeight - barHeight) / 2 + kFramedBarDrop + selected * rowHeight - scroll;
    } else if (imageRowStyle) {
        x = menuX + kImageRowBarInset;
    }
    if (soundQuestion) {
        g.setColor(kRed);
        g.fillRect(x, y, sideWidth - kBarSideMargin, barHeight);
        return;
    }
    JImage* cap = framedStyle ? barCapFramed : barCap;
    const int32_t capWidth = WidthOf(cap);
    const int32_t left = framedStyle ? kFramedCapX : x;
    const int32_t length =
        framedStyle ? m_screenWidth - kFramedBarMargin - 2 * capWidth : sideWidth - kBarSideMargin - 2 * capWidth;
    Draw(cap, g, left, y, kTopLeft);
    TileAcross(barTile, g, left + capWidth, y, length, m_tilePieces);
    Draw(cap, g, left + capWidth + (length > 0 ? length : 0), y, kTopLeft, kMirror);
}

void CHud::PaintPlainBar(JGraphics& g, bool framedStyle, bool imageRowStyle) {
    int32_t x = boxX;
    if (framedStyle) x = 0;
    if (imageRowStyle) x = menuX;
    const int32_t y = rowsTop + selected * rowHeight - scroll;
    g.setColor(soundQuestion ? kRed : kBarColour);
    g.fillRect(x, y, m_screenWidth - 2 * x, rowHeight);
}

void CHud::PaintRows(JGraphics& g, int32_t startY) {
    if (lines.size() == 0 || font == nullptr) return;
    const int32_t fh = FontHeight();
    int32_t y = startY;
    if (!imageRows && autoScroll) y = startY + boxHeight - creditDelay;
    int32_t rh = fh;
    if (imageRows && !framedRows) {
        rh = barHeight;
        y = rowsTop + (barHeight - fh) / 2;
    } else if (imageRows) {
        rh = rowHeight;
        y = rowsTop + rowHeight / 2;
    }
    if (rh <= 0) return;
    const int32_t first = scroll / rh;
    y -= scroll % rh;
    int32_t end = first + visibleLines < lineCount ? first + visibleLines : lineCount;
    if (scroll % rh > 0) ++end;
    if (end > lines.size()) end = lines.size();
    for (int32_t i = first; i < end; ++i) {
        if (mode == kMenu) {
            font->drawString(g, lines.elementAt(i), m_screenWidth / 2, y, centred);
        } else if (m_pageText == PageText::kCentredLines) {
            font->drawString(g, lines.elementAt(i), boxX + boxWidth / 2, y, kTopCentre);
        } else {
            font->drawString(g, lines.elementAt(i), boxX, y, kTopLeft);
        }
        y += rh;
    }
    if (ShowsScrollArrows()) PaintTextArrows(g);
}

// The arrows stand under the text's box, which clips the rows: they are
// drawn on the whole screen.
void CHud::PaintTextArrows(JGraphics& g) {
    resetClip(g);
    const int32_t cx = m_screenWidth / 2;
    const int32_t y = m_screenHeight - kArrowRise;
    g.setColor(kWhite);
    for (int32_t i = 0; i < kTextArrowRows; ++i) {
        if (scroll > 0) g.drawRect(cx - kTextArrowLeft + 4 - i, y + i, 2 * i, 1);
        if (scroll < textHeight - boxHeight) g.drawRect(cx + kArrowGap + 4 - i, y + 3 - i, 2 * i, 1);
    }
}

void CHud::PaintFramedRows(JGraphics& g) {
    resetClip(g);
    for (int32_t i = 0; i < visibleLines; ++i) PaintRowFrame(g, 0, rowsTop + i * rowHeight);
    if (visibleLines >= lineCount || scrollArrow == nullptr) return;
    const int32_t cx = m_screenWidth / 2;
    Draw(scrollArrow, g, cx - scrollArrow->getWidth() - kArrowGap, m_screenHeight - kArrowRise, kTopLeft);
    Draw(scrollArrow, g, cx + kArrowGap, m_screenHeight - kArrowRise, kTopLeft, kFlipVertical);
}

void CHud::PaintRowFrame(JGraphics& g, int32_t x, int32_t y) {
    const int32_t endWidth = WidthOf(rowFrameLeft);
    const int32_t length = m_screenWidth - 2 * endWidth;
    Draw(rowFrameLeft, g, x, y, kTopLeft);
    TileAcross(rowFrameTile, g, x + endWidth, y + kRowFrameTileDrop, length, m_tilePieces);
    Draw(rowFrameLeft, g, x + endWidth + (length > 0 ? length : 0), y, kTopLeft, kMirror);
}

void CHud::PaintSideFrame(JGraphics& g, int32_t x, int32_t y, int32_t height) {
    resetClip(g);
    Draw(sideTop, g, x, y, kTopLeft);
    const int32_t length = height - HeightOf(sideTop) - HeightOf(sideBottom);
    TileDown(sideTile, g, x, y + HeightOf(sideTop), length, sideWidth);
    Draw(sideBottom, g, x, y + HeightOf(sideTop) + (length > 0 ? length : 0), kTopLeft);
}

void CHud::PaintLoading(JGraphics& g) {
    resetClip(g);
    CStates* states = CGame::GetStateMachine();
    if (states != nullptr) {
        states->PaintMenuFrame(g, paintBackground ? 0 : 1);
        JImage* side = states->frameEdge;
        if (side != nullptr) {
            Draw(side, g, 10 - side->getWidth(), 0, kTopLeft);
            Draw(side, g, m_screenWidth - 10, 0, kTopLeft);
        }
    }
    rowsTop = (m_screenHeight / 6) * 5 - rowHeight;
    if (Usable(rowFrameTile)) PaintRowFrame(g, 0, rowsTop);
    const int32_t barWidth = m_screenWidth - 2 * kLoadingBarMargin;
    int32_t fill = (barWidth / 100) * percent;
    if (sweepLeft < 0) {
        sweepLeft = barWidth % 100;
        sweepStep = 0;
    } else if (sweepLeft > 0) {
        fill += sweepStep;
        ++sweepStep;
        --sweepLeft;
    } else {
        fill += barWidth % 100;
    }
    const int32_t barHeightShown = Usable(rowFrameTile) ? rowFrameTile->getHeight() - kLoadingBarDrop : 0;
    g.setColor(kBlack);
    g.fillRect(kLoadingBarMargin, rowsTop + kLoadingBarDrop, barWidth, barHeightShown);
    g.setColor(kRed);
    g.fillRect(kLoadingBarMargin, rowsTop + kLoadingBarDrop, fill, barHeightShown);
    if (font == nullptr) return;
    JString label = loadingLabel;
    for (int32_t i = 0; i <= percent % 3; ++i) label += JString(".");
    font->drawString(g, label, m_screenWidth / 2 - font->stringWidth(loadingLabel) / 2, rowsTop - kLoadingLabelRise,
                     kTopLeft);
}

JImage* CHud::SpeakerPortrait() const {
    const CGameWorld* world = m_links.world;
    if (speaker < 0 || speaker >= kSpeakerSlots) return nullptr;
    if (world == nullptr || world->speakerPortraits == nullptr) return speakerImage;
    return world->speakerPortraits[speaker];
}

JString CHud::SpeakerName() const {
    const CGameWorld* world = m_links.world;
    if (speaker < 0 || speaker >= kSpeakerSlots || world == nullptr || world->speakerNames == nullptr) return JString();
    return world->speakerNames[speaker];
}

int32_t CHud::NameHeadingHeight() const {
    if (speaker == kNoSpeaker || font == nullptr || SpeakerName().length() == 0) return 0;
    return FontHeight() + kHeadingGap;
}

void CHud::PaintDialogue(JGraphics& g) {
    g.setColor(kBlack);
    for (int32_t y = 0; y < m_screenHeight; y += 2) g.drawLine(0, y, m_screenWidth, y);
    const int32_t fy = m_screenHeight - kDialogueBottom - dialogHeight;
    resetClip(g);
    JImage* portrait = SpeakerPortrait();
    if (portrait != nullptr) {
        if (speaker == kCentredSpeaker) {
            Draw(portrait, g, m_screenWidth / 2, fy - (fy - portrait->getHeight()) / 2, kBottomCentre);
        } else {
            Draw(portrait, g, 0, fy + kPortraitDrop, kBottomLeft);
        }
    }
    const int32_t leftWidth = WidthOf(dialogLeft);
    const int32_t length = m_screenWidth - leftWidth - WidthOf(dialogRight);
    Draw(dialogLeft, g, 0, fy, kTopLeft);
    TileAcross(dialogTile, g, leftWidth, fy, length, m_tilePieces);
    Draw(dialogRight, g, leftWidth + (length > 0 ? length : 0), fy, kTopLeft);
    const JString name = SpeakerName();
    const bool named = name.length() > 0 && speaker != kNarrator && font != nullptr;
    const int32_t textTop = DialogueTextTop(fy, named);
    if (named) font->drawString(g, name + JString(":"), boxX, textTop - kNameRise, kTopLeft);
    g.setClip(boxX, textTop, boxWidth, visibleLines * FontHeight());
    PaintRows(g, textTop);
}

// The name and a full page of lines stand in the middle of the frame's
// inside, with as much room above as below; a shorter page begins where a
// full one does.
int32_t CHud::DialogueTextTop(int32_t frameTop, bool named) const {
    const int32_t fh = FontHeight();
    const int32_t rise = named ? kNameRise : 0;
    const int32_t inside = dialogHeight - kDialogueTopBorder - kDialogueBottomBorder;
    const int32_t block = rise + (fh > 0 ? boxHeight / fh * fh : 0);
    return frameTop + kDialogueTopBorder + (inside - block) / 2 + rise;
}

void CHud::PaintPlayText(JGraphics& g) {
    PaintTextBacking(g);
    PaintPlayBorder(g);
    const int32_t heading = NameHeadingHeight();
    if (heading > 0) font->drawString(g, SpeakerName() + JString(":"), boxX, boxY, kTopLeft);
    const int32_t textTop = boxY + heading;
    g.setClip(boxX, textTop, boxWidth, boxY + boxHeight - textTop);
    PaintRows(g, textTop);
}

// The level's picture behind the page would show through the letters. A
// page without text, whose box was never fitted to lines, has none.
void CHud::PaintTextBacking(JGraphics& g) {
    if (lineCount <= 0) return;
    g.setColor(kBackingEdge);
    g.fillRect(boxX - kBackingMargin, boxY - kBackingMargin, boxWidth + 2 * kBackingMargin,
               boxHeight + 2 * kBackingMargin);
    g.setColor(kBackingFill);
    g.fillRect(boxX - kBackingMargin + 1, boxY - kBackingMargin + 1, boxWidth + 2 * kBackingMargin - 2,
               boxHeight + 2 * kBackingMargin - 2);
}

void CHud::PaintPlayBorder(JGraphics& g) {
    JImage** set = m_links.world != nullptr ? m_links.world->borderImages : nullptr;
    if (set == nullptr) return;
    const int32_t w = m_screenWidth;
    const int32_t h = m_screenHeight;
    const int32_t w0 = WidthOf(set[kBottomLeftCorner]);
    const int32_t w3 = WidthOf(set[kTopLeftCorner]);
    const int32_t h0 = HeightOf(set[kBottomLeftCorner]);
    const int32_t h3 = HeightOf(set[kTopLeftCorner]);
    const int32_t h4 = HeightOf(set[kTopRightCorner]);
    const int32_t w2 = WidthOf(set[kBottomEdge]);
    const int32_t w6 = WidthOf(set[kTopEdge]);
    const int32_t h5 = HeightOf(set[kSideEdge]);
    g.setColor(kBorderColour);
    if (w2 > 0) {
        const int32_t count = (w - w0 - WidthOf(set[kBottomRightCorner])) / w2 + 1;
        for (int32_t i = 0; i < count; ++i) Draw(set[kBottomEdge], g, w0 + i * w2, h, kBottomLeft);
    }
    if (w6 > 0) {
        const int32_t count = (w - w3 - WidthOf(set[kTopRightCorner])) / w6 + 1;
        for (int32_t i = 0; i < count; ++i) Draw(set[kTopEdge], g, w3 + i * w6, 0, kTopLeft);
    }
    if (h5 > 0) {
        const int32_t leftCount = (h - h3 - h0) / h5 + 1;
        for (int32_t i = 0; i < leftCount; ++i) Draw(set[kSideEdge], g, 0, h3 + i * h5, kTopLeft);
        const int32_t rightCount = (h - h4 - HeightOf(set[kBottomRightCorner])) / h5 + 1;
        for (int32_t i = 0; i < rightCount; ++i) Draw(set[kSideEdge], g, w, h4 + i * h5, kTopRight);
    }
    Draw(set[kBottomLeftCorner], g, 0, h, kBottomLeft);
    Draw(set[kBottomRightCorner], g, w, h, kBottomRight);
    Draw(set[kTopLeftCorner], g, 0, 0, kTopLeft);
    Draw(set[kTopRightCorner], g, w, 0, kTopRight);
    if (speaker == kNoSpeaker) return;
    PaintEmblem(g, set);
    // The speaker stands on the panel's top left corner, by the words.
    if (speaker != kNarrator) Draw(SpeakerPortrait(), g, boxX - kBackingMargin, boxY - kBackingMargin, kBottomLeft);
}

void CHud::PaintEmblem(JGraphics& g, JImage** set) {
    const int32_t cx = m_screenWidth / 2;
    const int32_t cy = m_screenHeight / 2;
    if (speaker == kNarrator) {
        Draw(BorderImage(set, kEmblemNarrator), g, cx, cy, kCentre);
        return;
    }
    const bool shield = speaker >= kFirstShieldSpeaker && speaker <= kLastShieldSpeaker;
    JImage* emblem = BorderImage(set, shield ? kEmblemShield : kEmblemPlain);
    Draw(emblem, g, cx, cy, kRightMiddle);
    Draw(emblem, g, cx, cy, kLeftMiddle, kMirror);
}
