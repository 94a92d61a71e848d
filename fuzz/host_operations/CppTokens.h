#ifndef CPPTOKENS_H
#define CPPTOKENS_H

#include <string>
#include <vector>

// The tokens of C++ source text that a reader of declarations needs:
// identifiers, numbers and punctuation ("::" and "->" as one token each).
// Comments and preprocessor lines are dropped, and a string or character
// literal becomes the single token "\"".
class CppTokens {
public:
    explicit CppTokens(const std::string& text);

    const std::vector<std::string>& All() const { return m_tokens; }
    static bool IsIdentifier(const std::string& token);

private:
    void Read(const std::string& text);
    size_t SkipComment(const std::string& text, size_t at) const;
    size_t SkipLiteral(const std::string& text, size_t at) const;
    static size_t SkipPreprocessorLine(const std::string& text, size_t at);

    std::vector<std::string> m_tokens;
};

#endif
