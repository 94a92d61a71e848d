#ifndef SOURCETEXT_H
#define SOURCETEXT_H

#include <cstdint>
#include <string>
#include <vector>

// Where a piece of content came from, for messages that send a person to
// the line to fix.
struct SourcePlace {
    std::string file;
    int32_t line = 0;  // 0: the file as a whole

    std::string Describe() const;
};

// One line of a content source, split into words (spaces and tabs separate
// words, "double quotes" keep spaces, '#' at the start of a word begins a
// comment). `raw` keeps the line as written, without its line end.
struct SourceLine {
    SourcePlace place;
    std::string raw;
    std::vector<std::string> words;
};

// A content source file read whole and cut into lines.
class SourceText {
public:
    bool Load(const std::string& path, std::string& error);
    // For sources made in memory (tests, fuzzing).
    void SetText(const std::string& name, const std::string& text);

    const std::string& Name() const { return m_name; }
    size_t LineCount() const { return m_lines.size(); }
    // The line at index i (0-based), split into words. Fails on an unclosed
    // quote.
    bool Line(size_t index, SourceLine& line, std::string& error) const;
    const std::string& Raw(size_t index) const { return m_lines[index]; }
    SourcePlace PlaceOf(size_t index) const { return {m_name, static_cast<int32_t>(index + 1)}; }

    // "file:line: message"
    static bool Fail(const SourcePlace& place, const std::string& message, std::string& error);
    // Words as the archive tool's scripts split them, except that a '#'
    // starts a comment only at the start of a word.
    static bool SplitWords(const std::string& text, std::vector<std::string>& words);

private:
    std::string m_name;
    std::vector<std::string> m_lines;
};

#endif
