#ifndef CTEXTPARSER_H
#define CTEXTPARSER_H

#include "CVector.h"

class CFont;

// Breaks a wide text into lines that fit a pixel width in a font. Lines end
// before a newline, else before the last space that fits, else after the
// last character that fits; one space or newline is consumed at each break
// and every further newline gives an empty line. Each line is kept as
// start << 16 | length, so texts are wrapped up to index 65535.
class CTextParser : public CClass {
public:
    static constexpr uint32_t kClassKey = 0xF166A300;

    CTextParser() : CClass(kClassKey) {}
    ~CTextParser() override = default;

    CTextParser(const CTextParser&) = delete;
    CTextParser& operator=(const CTextParser&) = delete;

    // Neither the font nor the text is owned; both must outlive the lines.
    void SetFont(const CFont* font) { m_font = font; }
    void SetText(const WChar* text) { m_text = text; }
    void SetWidth(int32_t width) { m_width = width; }

    // Finds the lines; the result is that of the last line append (0 on
    // success). Without font, text or a width of at least 1 there are none.
    // A width too narrow for the next character ends the wrap there.
    int32_t Wrap();
    void Reset();

    int32_t GetLineCount() const { return m_lineCount; }
    // 0 for an index outside the lines.
    int32_t GetLineStart(int32_t index) const;
    int32_t GetLineLength(int32_t index) const;
    // The line's first character; null without a text.
    const WChar* GetLinePointer(int32_t index) const;

    // Length of the line that starts at `start`, of which `fitCount`
    // characters fit the width.
    int32_t FindBreak(int32_t start, int32_t fitCount) const;

private:
    uint32_t GetRecord(int32_t index) const;
    // False when the record cannot be stored (the result code is kept).
    bool AppendLine(int32_t start, int32_t length, int32_t* result);

    const CFont* m_font = nullptr;
    const WChar* m_text = nullptr;
    int32_t m_width = 0;
    int32_t m_lineCount = 0;
    CVector m_lines;
};

#endif
