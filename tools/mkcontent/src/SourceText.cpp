#include "SourceText.h"

#include "ToolFiles.h"
#include "ToolText.h"

std::string SourcePlace::Describe() const {
    return line > 0 ? file + ":" + std::to_string(line) : file;
}

bool SourceText::Load(const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ToolFiles::Read(path, bytes, error)) return false;
    SetText(path, std::string(bytes.begin(), bytes.end()));
    return true;
}

void SourceText::SetText(const std::string& name, const std::string& text) {
    m_name = name;
    m_lines.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        m_lines.push_back(line);
        start = end + 1;
    }
}

bool SourceText::Line(size_t index, SourceLine& line, std::string& error) const {
    line.place = PlaceOf(index);
    line.raw = m_lines[index];
    if (!SplitWords(line.raw, line.words)) return Fail(line.place, "a quote is not closed", error);
    return true;
}

bool SourceText::Fail(const SourcePlace& place, const std::string& message, std::string& error) {
    error = place.Describe() + ": " + message;
    return false;
}

bool SourceText::SplitWords(const std::string& text, std::vector<std::string>& words) {
    return ToolText::SplitWords(text, words, ToolText::Comments::kAtWordStart);
}
