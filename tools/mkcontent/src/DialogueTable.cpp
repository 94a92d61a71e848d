#include "DialogueTable.h"

#include "SourceWords.h"

namespace {

// Text handles of string table 0: the selected table's category bits.
constexpr uint32_t kTextCategoryMask = 0xFFFF0000;
constexpr uint32_t kTextCategory = 0x21FF0000;
constexpr size_t kMaxTexts = 0x7FFF;

}  // namespace

bool DialogueTable::Parse(const SourceText& source, std::string& error) {
    for (size_t i = 0; i < source.LineCount(); ++i) {
        SourceLine line;
        if (!source.Line(i, line, error)) return false;
        if (line.words.empty()) continue;
        int32_t text = 0;
        if (line.words.size() != 2 || !SourceWords::ParseInt(line.words[1], text) ||
            (static_cast<uint32_t>(text) & kTextCategoryMask) != kTextCategory) {
            return SourceText::Fail(line.place, "expected `NAME 0x21FFxxxx`", error);
        }
        if (m_texts.size() >= kMaxTexts) return SourceText::Fail(line.place, "too many dialogue texts", error);
        if (!m_index.emplace(line.words[0], static_cast<int32_t>(m_texts.size())).second) {
            return SourceText::Fail(line.place, "dialogue " + line.words[0] + " is named already", error);
        }
        m_texts.push_back(static_cast<uint32_t>(text));
        m_places.push_back(line.place);
    }
    if (m_texts.empty()) return SourceText::Fail({source.Name(), 0}, "the dialogue table is empty", error);
    return true;
}

int32_t DialogueTable::IndexOf(const std::string& name) const {
    const auto found = m_index.find(name);
    return found == m_index.end() ? -1 : found->second;
}
