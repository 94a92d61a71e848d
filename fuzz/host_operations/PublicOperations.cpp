#include "PublicOperations.h"

#include <array>
#include <algorithm>

namespace {

const std::string kEnd;

// Words before a parenthesis that do not name a function: types of a
// function type (std::function<void(int)>) and specifiers with arguments.
constexpr std::array<const char*, 12> kNotNames = {"void",    "bool",     "int",      "alignas", "decltype",
                                                   "noexcept", "sizeof",  "explicit", "requires", "__attribute__",
                                                   "static_assert", "alignof"};

bool NamesFunction(const std::string& word) {
    return CppTokens::IsIdentifier(word) &&
           std::none_of(kNotNames.begin(), kNotNames.end(), [&](const char* k) { return word == k; });
}

bool IsAccess(const std::string& word) { return word == "public" || word == "private" || word == "protected"; }

// Declarations read past whole: none declares an operation.
bool SkippedWhole(const std::string& word) {
    return word == "using" || word == "typedef" || word == "friend" || word == "static_assert" || word == "enum";
}

}  // namespace

PublicOperations::PublicOperations(const CppTokens& tokens) : m_tokens(tokens.All()) {
    size_t at = 0;
    // A stray '}' (an unbalanced header) ends a block early: read on.
    while (at < m_tokens.size()) at = ReadBlock(at, Scope{}, true) + 1;
}

const std::string& PublicOperations::At(size_t at) const { return at < m_tokens.size() ? m_tokens[at] : kEnd; }

// From `at` up to the '}' that closes the block; returns where that is.
size_t PublicOperations::ReadBlock(size_t at, const Scope& scope, bool openPublic) {
    bool isPublic = openPublic;
    while (at < m_tokens.size() && At(at) != "}") {
        const std::string& word = At(at);
        if (IsAccess(word) && At(at + 1) == ":") {
            isPublic = word == "public";
            at += 2;
        } else if (word == "namespace") {
            at = ReadNamespace(at + 1, scope);
        } else if (word == "template" && At(at + 1) == "<") {
            at = SkipAngles(at + 1);
        } else if (word == "extern" && At(at + 1) == "\"") {
            at += 2;
        } else if (SkippedWhole(word)) {
            at = SkipStatement(at);
        } else if (word == "class" || word == "struct" || word == "union") {
            at = ReadClass(at, scope, scope.visible && isPublic);
        } else if (word == ";") {
            ++at;
        } else {
            at = ReadDeclaration(at, scope, scope.visible && isPublic);
        }
    }
    return at;
}

size_t PublicOperations::ReadNamespace(size_t at, const Scope& scope) {
    Scope inner = scope;
    while (At(at) != "{" && At(at) != ";" && at < m_tokens.size()) {
        if (CppTokens::IsIdentifier(At(at))) inner.prefix += At(at) + "::";
        ++at;
    }
    if (At(at) == ";") return at + 1;  // an alias
    return ReadBlock(at + 1, inner, true) + 1;
}

// A class, struct or union: its body read when it has one, then whatever
// its closing brace is followed by up to the ';'.
size_t PublicOperations::ReadClass(size_t at, const Scope& scope, bool visible) {
    const bool openPublic = At(at) != "class";
    std::string name;
    size_t brace = at + 1;
    for (; brace < m_tokens.size() && At(brace) != "{" && At(brace) != ";"; ++brace) {
        if (At(brace) == "(" || At(brace) == "[") brace = SkipBalanced(brace) - 1;
        if (At(brace) == ":") break;
        if (name.empty() && CppTokens::IsIdentifier(At(brace)) && At(brace) != "final") name = At(brace);
    }
    while (brace < m_tokens.size() && At(brace) != "{" && At(brace) != ";") ++brace;
    if (At(brace) != "{") return ReadDeclaration(at, scope, false);
    const Scope inner{scope.prefix + name + "::", name, visible};
    const size_t close = ReadBlock(brace + 1, inner, openPublic);
    return SkipStatement(close + 1);
}

// One member or namespace-scope declaration, up to its ';' or the end of
// its body. A '{' is a body after a function's parameters, and an
// initialiser after '=', after no parameters yet, or in a constructor's
// list after the member it initialises.
size_t PublicOperations::ReadDeclaration(size_t at, const Scope& scope, bool visible) {
    size_t nameParen = 0;
    size_t operatorAt = 0;
    bool initialised = false;
    bool initList = false;
    bool deleted = false;
    int32_t angles = 0;
    size_t end = at;
    for (; end < m_tokens.size(); ++end) {
        const std::string& word = At(end);
        if (word == ";" || word == "}") break;
        if (word == "operator" && nameParen == 0) {
            operatorAt = end;
            if (At(end + 1) == "(") end += 2;  // operator()
            // The symbol up to its parameters is the name, '<' and '=' too.
            while (At(end + 1) != "(" && end + 1 < m_tokens.size()) ++end;
        } else if (word == "<" && nameParen == 0) {
            ++angles;
        } else if (word == ">" && nameParen == 0 && angles > 0) {
            --angles;
        } else if (word == "=") {
            if (nameParen == 0) initialised = true;
            if (nameParen != 0 && At(end + 1) == "delete") deleted = true;
        } else if (word == ":" && nameParen != 0) {
            initList = true;
        } else if (word == "(" || word == "[") {
            if (word == "(" && nameParen == 0 && angles == 0 && !initialised) nameParen = end;
            end = SkipBalanced(end) - 1;
        } else if (word == "{") {
            const std::string& before = At(end - 1);
            const bool initialiser = nameParen == 0 || initialised ||
                                     (initList && (CppTokens::IsIdentifier(before) || before == ">"));
            end = SkipBalanced(end) - 1;
            if (!initialiser) {
                ++end;
                break;
            }
        }
    }
    if (At(end) == ";") ++end;
    if (visible && !deleted && nameParen > at) NoteFunction(operatorAt, nameParen, scope);
    return std::max(end, at + 1);
}

void PublicOperations::NoteFunction(size_t operatorAt, size_t nameParen, const Scope& scope) {
    if (operatorAt != 0 && operatorAt < nameParen) {
        std::string name = "operator";
        for (size_t i = operatorAt + 1; i < nameParen; ++i) {
            if (CppTokens::IsIdentifier(At(i))) name += " ";
            name += At(i);
        }
        m_names.insert(scope.prefix + name);
        return;
    }
    const std::string& name = At(nameParen - 1);
    const std::string& before = nameParen >= 2 ? At(nameParen - 2) : kEnd;
    if (!NamesFunction(name) || before == "~" || before == "::" || At(nameParen + 1) == "*") return;
    m_names.insert(scope.prefix + name);
}

// From an opening bracket to just past its partner.
size_t PublicOperations::SkipBalanced(size_t at) const {
    const std::string open = At(at);
    const std::string close = open == "(" ? ")" : open == "[" ? "]" : "}";
    int32_t depth = 0;
    for (; at < m_tokens.size(); ++at) {
        if (At(at) == open) ++depth;
        if (At(at) == close && --depth == 0) return at + 1;
    }
    return at;
}

// From a template's '<' to just past its '>'; brackets inside are whole.
size_t PublicOperations::SkipAngles(size_t at) const {
    int32_t depth = 0;
    for (; at < m_tokens.size(); ++at) {
        if (At(at) == "(" || At(at) == "{" || At(at) == "[") at = SkipBalanced(at) - 1;
        if (At(at) == "<") ++depth;
        if (At(at) == ">" && --depth == 0) return at + 1;
    }
    return at;
}

// Up to and past the ';' that ends a statement, its brackets read whole.
size_t PublicOperations::SkipStatement(size_t at) const {
    for (; at < m_tokens.size() && At(at) != ";"; ++at) {
        if (At(at) == "}") return at;
        if (At(at) == "(" || At(at) == "{" || At(at) == "[") at = SkipBalanced(at) - 1;
    }
    return at + 1;
}
