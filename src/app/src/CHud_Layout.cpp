#include "CHud.h"

#include "JFont.h"
#include "JImage.h"
#include "TextLayout.h"

namespace {

// Where the image-row menu's side frame stands above its rows.
constexpr int32_t kSideFrameHeight = 125;
constexpr int32_t kSideFrameDrop = 8;
constexpr int32_t kMenuTitleRise = 30;

struct AxisFlags {
    uint32_t centre;
    uint32_t farEdge;
    uint32_t fromScreen;
    uint32_t fit;
};

constexpr AxisFlags kAxisX = {CHud::kCentreX, CHud::kFarX, CHud::kFromScreenX, CHud::kFitX};
constexpr AxisFlags kAxisY = {CHud::kCentreY, CHud::kFarY, CHud::kFromScreenY, CHud::kFitY};

void PlaceAxis(uint32_t flags, const AxisFlags& axis, int32_t screen, int32_t* position, int32_t* size) {
    if ((flags & axis.fromScreen) != 0) {
        if ((flags & axis.centre) != 0) {
            *size = screen;
        } else if ((flags & axis.farEdge) != 0) {
            *size = *position;
        } else {
            *size = screen - *position;
        }
    }
    if ((flags & axis.centre) != 0) {
        *position -= *size / 2;
    } else if ((flags & axis.farEdge) != 0) {
        *position -= *size;
    }
}

void FitAxis(uint32_t flags, const AxisFlags& axis, int32_t content, int32_t* position, int32_t* size) {
    if ((flags & axis.fit) == 0) return;
    const int32_t old = *size;
    *size = content;
    if ((flags & axis.centre) != 0) {
        *position += (old - content) / 2;
    } else if ((flags & axis.farEdge) != 0) {
        *position += old - content;
    }
}

constexpr WChar kTopicBreak = u'\n';
constexpr WChar kSpace = u' ';

bool EndsSentence(WChar unit) { return unit == u'.' || unit == u'!' || unit == u'?'; }

// Just past the first run of full stops, exclamation or question marks at
// or after start that a space or the text's end follows; the text's end
// when there is none.
int32_t SentenceEnd(const JString& text, int32_t start) {
    for (int32_t i = start; i < text.length(); ++i) {
        if (!EndsSentence(text.charAt(i))) continue;
        int32_t end = i + 1;
        while (end < text.length() && EndsSentence(text.charAt(end))) ++end;
        if (end == text.length() || text.charAt(end) == kSpace) return end;
        i = end - 1;
    }
    return text.length();
}

JString Joined(const JString& first, const JString& second) {
    return first.length() > 0 ? first + JString(" ") + second : second;
}

// Lines from `from` on, as one text again.
JString LinesFrom(const JVector<JString>& lines, int32_t from) {
    JString text;
    for (int32_t i = from; i < lines.size(); ++i) text = Joined(text, lines.elementAt(i));
    return text;
}

void AppendLines(JVector<JString>& to, const JVector<JString>& lines, int32_t count) {
    for (int32_t i = 0; i < count && i < lines.size(); ++i) to.addElement(lines.elementAt(i));
}

// The page's lines, then blank ones up to the page's end.
void AppendPage(JVector<JString>& to, const JVector<JString>& page, int32_t perPage) {
    AppendLines(to, page, perPage);
    for (int32_t i = page.size(); i < perPage; ++i) to.addElement(JString());
}

int32_t Divide(int32_t a, int32_t b) { return b > 0 ? a / b : 0; }

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

}  // namespace

void CHud::ShowPopup(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags) {
    boxX = x;
    boxY = y;
    boxWidth = width;
    boxHeight = height;
    placement = flags;
    PlaceAxis(flags, kAxisX, m_screenWidth, &boxX, &boxWidth);
    PlaceAxis(flags, kAxisY, m_screenHeight, &boxY, &boxHeight);
    keepBox = false;
    laidOut = false;
}

void CHud::FitBox(int32_t contentWidth, int32_t contentHeight) {
    FitAxis(placement, kAxisX, contentWidth, &boxX, &boxWidth);
    FitAxis(placement, kAxisY, contentHeight, &boxY, &boxHeight);
    placement = 0;
}

int32_t CHud::RowHeight() const {
    if (!imageRows) return FontHeight();
    return framedRows ? rowHeight : barHeight;
}

int32_t CHud::WidestLine() const {
    int32_t widest = 0;
    for (int32_t i = 0; i < lineWidths.size(); ++i) {
        if (lineWidths.elementAt(i) > widest) widest = lineWidths.elementAt(i);
    }
    return widest;
}

void CHud::Layout() {
    if (mode == kLoading) FitBox(boxWidth, boxHeight);
    if (mode == kImage) FitBox(image != nullptr ? image->getWidth() : 0, image != nullptr ? image->getHeight() : 0);
    const JString text = mode == kMessage && lines.size() > 0 ? lines.elementAt(0) : JString();
    if (mode == kMenu || text.length() > 0) {
        if (mode == kMessage) lines = WrapMessage(text);
        lineWidths.removeAllElements();
        for (int32_t i = 0; i < lines.size(); ++i) lineWidths.addElement(LineWidth(lines.elementAt(i)));
        lineCount = lines.size();
        page = 0;
        LayoutRows((placement & kFitX) != 0 ? WidestLine() : boxWidth);
    }
    laidOut = true;
}

JVector<JString> CHud::WrapMessage(const JString& text) const {
    if (font == nullptr) {
        JVector<JString> whole;
        whole.addElement(text);
        return whole;
    }
    switch (m_pageText) {
        case PageText::kTopics: return WrapTopics(text);
        case PageText::kSentencePages:
        case PageText::kSentencePagesUnderName: return WrapSentencePages(text);
        default: return wrapText(text, boxWidth, *font);
    }
}

JVector<JString> CHud::WrapTopics(const JString& text) const {
    JVector<JString> wrapped;
    int32_t start = 0;
    while (start < text.length()) {
        int32_t end = text.indexOf(kTopicBreak, start);
        if (end < 0) end = text.length();
        const JString topic = text.substring(start, end).trim();
        start = end + 1;
        if (topic.length() == 0) continue;
        if (wrapped.size() > 0) wrapped.addElement(JString());
        const JVector<JString> topicLines = wrapText(topic, boxWidth, *font);
        for (int32_t i = 0; i < topicLines.size(); ++i) wrapped.addElement(topicLines.elementAt(i));
    }
    return wrapped;
}

JVector<JString> CHud::WrapSentencePages(const JString& text) const {
    const int32_t perPage = Divide(TextRoom(), RowHeight());
    if (perPage <= 0) return wrapText(text, boxWidth, *font);
    JVector<JString> lines;
    JString open;
    for (int32_t start = 0; start < text.length();) {
        const int32_t end = SentenceEnd(text, start);
        const JString sentence = text.substring(start, end).trim();
        start = end;
        if (sentence.length() == 0) continue;
        JString page = Joined(open, sentence);
        JVector<JString> wrapped = wrapText(page, boxWidth, *font);
        if (open.length() > 0 && wrapped.size() > perPage) {
            AppendPage(lines, wrapText(open, boxWidth, *font), perPage);
            page = sentence;
            wrapped = wrapText(page, boxWidth, *font);
        }
        while (wrapped.size() > perPage) {
            AppendLines(lines, wrapped, perPage);
            page = LinesFrom(wrapped, perPage);
            wrapped = wrapText(page, boxWidth, *font);
        }
        open = page;
    }
    if (open.length() > 0) AppendLines(lines, wrapText(open, boxWidth, *font), perPage);
    return lines;
}

bool CHud::ShowsScrollArrows() const {
    const bool textPage = mode == kMessage || mode == kPagedText;
    return laidOut && textPage && !imageRows && !autoScroll && boxHeight < textHeight;
}

int32_t CHud::TextRoom() const {
    return m_pageText == PageText::kSentencePagesUnderName ? boxHeight - NameHeadingHeight() : boxHeight;
}

// A missing font or a missing row image makes rows 0 high: then no row fits,
// and nothing divides by the height.
void CHud::LayoutRows(int32_t contentWidth) {
    const int32_t row = RowHeight();
    scroll = 0;
    textHeight = lineCount * row;
    const int32_t fit = Divide(TextRoom(), row);
    visibleLines = Min(lineCount, fit);
    if (!imageRows) {
        if (autoScroll) creditHeight = lineCount * row;
    } else if (!framedRows) {
        if (visibleLines < fit) rowsTop = (boxY + (fit - visibleLines) * row) / 2;
        if (sideTile != nullptr) {
            sideWidth = sideTile->getWidth();
            menuX = (m_screenWidth - sideWidth) / 2;
        }
        menuY = rowsTop - (kSideFrameHeight - visibleLines * row) / 2 + SideFrameDrop(visibleLines * row);
        menuTitleX = menuX;
        menuTitleY = menuY - kMenuTitleRise;
    } else {
        rowsTop = visibleLines < fit ? kDefaultRowsTop + (fit - visibleLines) * row / 2 : kDefaultRowsTop;
    }
    FitBox(contentWidth, visibleLines * row);
}

// The side frame hangs a little below the middle of its rows, as far as the
// room between its borders and the rows allows: a page of rows that fills
// the frame stays clear of its top border.
int32_t CHud::SideFrameDrop(int32_t rowsHeight) const {
    const int32_t borders = (sideTop != nullptr ? sideTop->getHeight() : 0) +
                            (sideBottom != nullptr ? sideBottom->getHeight() : 0);
    const int32_t room = (kSideFrameHeight - borders - rowsHeight) / 2;
    return room < 0 ? 0 : Min(room, kSideFrameDrop);
}

void CHud::Select(int32_t index) {
    // An empty menu has nothing to select.
    if (mode != kMenu || lineCount <= 0) return;
    selected = ((index % lineCount) + lineCount) % lineCount;
    const int32_t row = RowHeight();
    if (row <= 0 || boxHeight >= textHeight) return;
    const int32_t offset = scroll % row;
    const int32_t top = scroll / row;
    const int32_t part = offset > 0 ? 1 : 0;
    const int32_t k = boxHeight % row < (row - offset) % row ? 2 : 1;
    if (selected < top + part) {
        scroll = selected * row;
    } else if (selected > top + part + visibleLines - k) {
        scroll = (selected + 1) * row - (imageRows && framedRows ? visibleLines * row : boxHeight);
    }
}
