#include "TextLayout.h"

#include "JFont.h"

namespace {

constexpr WChar kSpace = u' ';
constexpr WChar kNewline = u'\n';
// Units up to this one are dropped by the trim of each line.
constexpr WChar kLastBlank = 0x20;

// Index of the last newline of the run that starts at the first newline at
// or after pos, or -1.
int32_t LineEnd(const JString& text, int32_t pos) {
    int32_t newline = text.indexOf(kNewline, pos);
    if (newline < 0) return -1;
    while (newline + 1 < text.length() && text.charAt(newline + 1) == kNewline) ++newline;
    return newline;
}

// Units the trim dropped at the start of the line that begins at pos.
int32_t LeadingBlanks(const JString& text, int32_t pos, int32_t end) {
    int32_t blanks = 0;
    while (pos + blanks < end && text.charAt(pos + blanks) <= kLastBlank) ++blanks;
    return blanks;
}

// Cuts an over-wide unit at its longest prefix that fits; the next line
// goes on right after that prefix, behind any blanks the trim dropped, so
// no character is repeated. Unchanged when not even one character fits.
void CutToFit(const JString& text, JString& line, int32_t& end, int32_t pos, int32_t maxWidth, const JFont& font) {
    for (int32_t k = line.length() - 1; k >= 1; --k) {
        const JString prefix = line.substring(0, k);
        if (font.stringWidth(prefix) <= maxWidth) {
            line = prefix;
            end = pos + LeadingBlanks(text, pos, end) + k;
            return;
        }
    }
}

}  // namespace

bool isWideChar(WChar unit) {
    return (unit >= 0x2E80 && unit < 0xAC01) || (unit >= 0xF900 && unit < 0xFB01) || (unit >= 0xFF00 && unit < 0xFFE1);
}

int32_t findLineBreak(const JString& text, int32_t start) {
    const int32_t length = text.length();
    if (start >= length) return length;
    if (start < 0) start = 0;
    if (isWideChar(text.charAt(start))) return start + 1;
    int32_t space = text.indexOf(kSpace, start);
    int32_t scanFrom = start + 1;
    // A space that opens the text ends no unit.
    if (space == 0) {
        space = text.indexOf(kSpace, 1);
        scanFrom = 2;
    }
    const int32_t limit = space >= 0 ? space + 1 : length;
    for (int32_t i = scanFrom; i < limit; ++i) {
        if (isWideChar(text.charAt(i))) return i;
    }
    return limit;
}

JVector<JString> wrapText(const JString& text, int32_t maxWidth, const JFont& font) {
    JVector<JString> lines;
    const int32_t length = text.length();
    int32_t pos = 0;
    do {
        const int32_t newline = LineEnd(text, pos);
        int32_t end = pos;
        int32_t previousEnd = pos;
        JString line;
        JString previous;
        bool tooWide = false;
        for (;;) {
            previousEnd = end;
            previous = line;
            end = findLineBreak(text, end);
            if (newline >= 0 && newline < end) end = newline;
            line = text.substring(pos, end).trim();
            if (line.length() > 0 && font.stringWidth(line) > maxWidth) {
                tooWide = true;
                break;
            }
            if (end == newline) {
                end = newline + 1;
                break;
            }
            if (end >= length) break;
        }
        if (tooWide) {
            if (previousEnd != pos) {
                end = previousEnd;
                line = previous;
            } else {
                CutToFit(text, line, end, pos, maxWidth, font);
            }
        }
        lines.addElement(line);
        pos = end;
    } while (pos < length);
    return lines;
}

JVector<JString> wrapText(const WChar* text, int32_t maxWidth, const JFont& font) {
    return wrapText(JString(text), maxWidth, font);
}

JString replaceFirst(const JString& source, const JString& pattern, const JString& replacement) {
    const int32_t at = source.indexOf(pattern, 0);
    if (at == -1) return source;
    return source.substring(0, at) + replacement.toUpperCase() + source.substring(at + pattern.length(), -1);
}

JString formatText(const JString& text, const JVector<JString>& args) {
    JString result = text;
    for (int32_t i = 0; i < args.size(); ++i) {
        const JString placeholder = JString(u"%") + i + JString(u"S");
        result = replaceFirst(result, placeholder, args[i]);
    }
    return result;
}
