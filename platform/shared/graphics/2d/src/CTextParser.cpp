#include "CTextParser.h"

#include "CAssert.h"
#include "CFont.h"
#include "WideStr.h"

namespace {

constexpr int32_t kLargestField = 0xFFFF;

}  // namespace

void CTextParser::Reset() {
    m_lineCount = 0;
    m_lines.Clear();
}

uint32_t CTextParser::GetRecord(int32_t index) const {
    if (index < 0 || index >= m_lineCount) return 0;
    uint32_t record = 0;
    m_lines.GetAt(index, &record);
    return record;
}

int32_t CTextParser::GetLineStart(int32_t index) const { return static_cast<int32_t>(GetRecord(index) >> 16); }

int32_t CTextParser::GetLineLength(int32_t index) const { return static_cast<int32_t>(GetRecord(index) & 0xFFFFu); }

const WChar* CTextParser::GetLinePointer(int32_t index) const {
    return m_text != nullptr ? m_text + GetLineStart(index) : nullptr;
}

bool CTextParser::AppendLine(int32_t start, int32_t length, int32_t* result) {
    // Past 16 bits a record can no longer say where its line starts.
    if (start > kLargestField || length > kLargestField) {
        DebugPrintf("CTextParser: text too long to wrap past index %i", start);
        return false;
    }
    *result = m_lines.Add(static_cast<uint32_t>(start) << 16 | static_cast<uint32_t>(length));
    if (*result != CVector::kResultOk) return false;
    ++m_lineCount;
    return true;
}

int32_t CTextParser::Wrap() {
    Reset();
    int32_t result = CVector::kResultOk;
    if (m_font == nullptr || m_text == nullptr || m_width < 1) return result;
    const int32_t count = static_cast<int32_t>(WideStrLen(m_text));
    int32_t position = 0;
    int32_t pendingNewlines = 0;
    while (position < count) {
        if (CFont::GetCharType(m_text[position]) == CFont::kCharNewline) {
            ++pendingNewlines;
            ++position;
            continue;
        }
        for (; pendingNewlines > 0; --pendingNewlines) {
            if (!AppendLine(position, 0, &result)) return result;
        }
        int32_t fitCount = 0;
        m_font->GetStringWidth(m_text + position, count - position, m_width, &fitCount);
        const int32_t length = FindBreak(position, fitCount);
        if (length < 1) break;
        if (!AppendLine(position, length, &result)) return result;
        position += length;
        const int32_t next = CFont::GetCharType(m_text[position]);
        if (next == CFont::kCharSpace || next == CFont::kCharNewline) ++position;
    }
    return result;
}

// Looks from the character just after the fitting run back to the second
// character: the leftmost newline (or the end) wins, else the rightmost
// space, else the line takes every fitting character.
int32_t CTextParser::FindBreak(int32_t start, int32_t fitCount) const {
    ASSERT(m_font != nullptr);
    ASSERT(m_text != nullptr);
    if (m_font == nullptr || m_text == nullptr) return 0;
    int32_t length = fitCount;
    bool chosen = false;
    for (int32_t index = start + fitCount; index > start; --index) {
        const int32_t type = CFont::GetCharType(m_text[index]);
        if (type == CFont::kCharNewline || type == CFont::kCharEnd) {
            length = index - start;
            chosen = true;
        } else if (type == CFont::kCharSpace && !chosen) {
            length = index - start;
            chosen = true;
        }
    }
    return length;
}
