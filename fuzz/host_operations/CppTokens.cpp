#include "CppTokens.h"

#include <cctype>

namespace {

bool IdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

// Whether a '#' at `at` starts a directive: only blanks before it on its line.
bool StartsDirective(const std::string& text, size_t at) {
    while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t')) --at;
    return at == 0 || text[at - 1] == '\n';
}

}  // namespace

CppTokens::CppTokens(const std::string& text) { Read(text); }

bool CppTokens::IsIdentifier(const std::string& token) {
    return !token.empty() && (std::isalpha(static_cast<unsigned char>(token[0])) != 0 || token[0] == '_');
}

void CppTokens::Read(const std::string& text) {
    size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            ++at;
        } else if (c == '/' && at + 1 < text.size() && (text[at + 1] == '/' || text[at + 1] == '*')) {
            at = SkipComment(text, at);
        } else if (c == '#' && StartsDirective(text, at)) {
            at = SkipPreprocessorLine(text, at);
        } else if (c == '"' || c == '\'') {
            m_tokens.emplace_back("\"");
            at = SkipLiteral(text, at);
        } else if (IdentifierChar(c)) {
            const size_t start = at;
            while (at < text.size() && IdentifierChar(text[at])) ++at;
            m_tokens.push_back(text.substr(start, at - start));
        } else {
            const std::string pair = text.substr(at, 2);
            const bool joined = pair == "::" || pair == "->";
            m_tokens.push_back(joined ? pair : std::string(1, c));
            at += joined ? 2 : 1;
        }
    }
}

size_t CppTokens::SkipComment(const std::string& text, size_t at) const {
    if (text[at + 1] == '/') {
        const size_t end = text.find('\n', at);
        return end == std::string::npos ? text.size() : end;
    }
    const size_t end = text.find("*/", at + 2);
    return end == std::string::npos ? text.size() : end + 2;
}

// A digit separator (1'000) is read as a literal too: the tokens after it
// are only numbers, which no rule reads.
size_t CppTokens::SkipLiteral(const std::string& text, size_t at) const {
    const char quote = text[at];
    for (++at; at < text.size() && text[at] != quote; ++at) {
        if (text[at] == '\\') ++at;
    }
    return at + 1;
}

// Up to the end of the line, lines ending in a backslash continued.
size_t CppTokens::SkipPreprocessorLine(const std::string& text, size_t at) {
    while (at < text.size() && text[at] != '\n') {
        if (text[at] == '\\' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
        ++at;
    }
    return at;
}
