#include "CHud.h"

#include <initializer_list>

#include "JFont.h"
#include "JImage.h"
#include "ResourceText.h"
#include "TextLayout.h"

namespace {

JImage* LoadImage(uint32_t id) { return new JImage(id, 0); }

void DeleteImage(JImage*& owned) {
    delete owned;
    owned = nullptr;
}

}  // namespace

CHud::~CHud() {
    for (JImage** owned : {&barTile, &barCapFramed, &barCap, &rowFrameLeft, &rowFrameTile, &scrollArrow, &sideTop,
                           &sideBottom, &sideTile, &dialogLeft, &dialogTile, &dialogRight}) {
        DeleteImage(*owned);
    }
}

void CHud::SetScreenSize(int32_t width, int32_t height) {
    m_screenWidth = width;
    m_screenHeight = height;
}

int32_t CHud::FontHeight() const { return font != nullptr ? font->getHeight() : 0; }

int32_t CHud::LineWidth(const JString& line) const { return font != nullptr ? font->stringWidth(line) : 0; }

void CHud::SetMode(int32_t newMode) {
    noticeBox = false;
    m_pageText = PageText::kLines;
    textTitleTop = -1;
    textTitleWidth = 0;
    laidOut = false;
    mode = newMode;
    if (!keepBox) {
        // The box that ShowPopup just set stays for this page.
        keepBox = true;
    } else {
        boxX = 0;
        boxY = 0;
        boxWidth = m_screenWidth;
        boxHeight = m_screenHeight;
        placement = 0;
    }
    image = nullptr;
    percent = 0;
    title = JString();
    subtitle = JString();
    titleLines.removeAllElements();
    titleLineCount = 0;
    subtitleLines.removeAllElements();
    if (barTile == nullptr) {
        barTile = LoadImage(kBarTileImage);
        barHeight = barTile->getHeight();
        barCapFramed = LoadImage(kBarCapFramedImage);
        barCap = LoadImage(kBarCapImage);
    }
    if (loadingLabel.length() == 0) loadingLabel = GetUpperText(static_cast<int32_t>(kLoadingText));
}

void CHud::ShowMenu(const JVector<JString>& labels, uint32_t enableMask, const JString& newTitle,
                    const JString& newSubtitle) {
    SetMode(kMenu);
    lines.removeAllElements();
    itemIndexes.removeAllElements();
    const int32_t count = labels.size() < kMaxMenuItems ? labels.size() : kMaxMenuItems;
    for (int32_t i = 0; i < count; ++i) {
        if ((enableMask & (1u << i)) == 0) continue;
        lines.addElement(labels.elementAt(i));
        itemIndexes.addElement(i);
    }
    selected = 0;
    // The selection never reaches into the rows of an earlier page.
    lineCount = lines.size();
    if (newTitle.length() > 0 && newTitle.equals(GetUpperText(static_cast<int32_t>(kNoticeTitleText)))) {
        noticeBox = true;
        SetTitle(newTitle, newSubtitle);
        laidOut = true;
        return;
    }
    SetTitle(newTitle, newSubtitle);
    Layout();
}

void CHud::ShowList(const JString& text, const JString& newTitle, const JString& newSubtitle) {
    ShowMessage(text, newTitle, newSubtitle, PageText::kLines);
}

void CHud::ShowTopics(const JString& text) { ShowMessage(text, JString(), JString(), PageText::kTopics); }

void CHud::ShowPlayPage(const JString& text, Mode playMode) {
    const bool underName = playMode == kPlayText;
    ShowMessage(text, JString(), JString(), underName ? PageText::kSentencePagesUnderName : PageText::kSentencePages);
    mode = playMode;
}

void CHud::ClosePlayPage() {
    if (mode == kDialogue || mode == kPlayText) mode = kClosed;
}

// The sprite is drawn over the whole screen, over play: there is no box
// to clear or frame and nothing to lay out.
void CHud::ShowFullScreenSprite() {
    SetBoxFlags(false, false);
    SetMode(kFullScreenSprite);
    laidOut = true;
}

void CHud::CentreLines() { m_pageText = PageText::kCentredLines; }

void CHud::ShowMessage(const JString& text, const JString& newTitle, const JString& newSubtitle, PageText pageText) {
    SetMode(kMessage);
    lines.removeAllElements();
    lines.addElement(text);
    SetTitle(newTitle, newSubtitle);
    m_pageText = pageText;
    Layout();
}

void CHud::Clear() {
    SetMode(kLoading);
    duration = 0;
    Layout();
    sweepLeft = -1;
}

void CHud::ShowImage(JImage* shown, int32_t ms) {
    SetMode(kImage);
    image = shown;
    duration = ms < 0 ? kForever : ms;
    Layout();
}

void CHud::SetTitle(const JString& newTitle, const JString& newSubtitle) {
    title = newTitle;
    titleLines = WrapTitle(newTitle);
    titleLineCount = titleLines.size();
    subtitle = newSubtitle;
    // A message box's body stands here, and is as long as the text says.
    subtitleLines = WrapTitle(newSubtitle);
}

void CHud::SetTitlesAsText(int32_t top, int32_t width) {
    textTitleTop = top;
    textTitleWidth = width;
    SetTitle(JString(title), JString(subtitle));
}

JVector<JString> CHud::WrapTitle(const JString& text) const {
    const int32_t limit = textTitleWidth > 0 ? textTitleWidth : m_screenWidth - kTitleMargin;
    if (font != nullptr && font->stringWidth(text) > limit) return wrapText(text, limit, *font);
    JVector<JString> whole;
    whole.addElement(text);
    return whole;
}

void CHud::SetBoxFlags(bool clear, bool frame) {
    clearScreen = clear;
    drawFrame = frame;
}

void CHud::SetFrameStyle(bool framed, bool rowsOfImages, bool side, bool background) {
    framedRows = framed;
    imageRows = rowsOfImages;
    sideFrame = side;
    paintBackground = background;
}

void CHud::SetAutoScroll(bool on) {
    autoScroll = on;
    creditDelay = 0;
}

void CHud::LoadFrameImages() {
    if (dialogLeft != nullptr) return;
    dialogLeft = LoadImage(kDialogLeftImage);
    dialogTile = LoadImage(kDialogTileImage);
    dialogRight = LoadImage(kDialogRightImage);
    dialogHeight = dialogTile->getHeight();
    rowFrameLeft = LoadImage(kRowFrameLeftImage);
    rowHeight = rowFrameLeft->getHeight();
    rowFrameTile = LoadImage(kRowFrameTileImage);
    scrollArrow = LoadImage(kScrollArrowImage);
    sideTop = LoadImage(kSideTopImage);
    sideBottom = LoadImage(kSideBottomImage);
    sideTile = LoadImage(kSideTileImage);
}
