#include "ClangAccess.h"

#include <algorithm>

std::string TakeText(CXString text) {
    const char* chars = clang_getCString(text);
    std::string copy = chars != nullptr ? chars : "";
    clang_disposeString(text);
    return copy;
}

std::string UsrOf(CXCursor cursor) { return TakeText(clang_getCursorUSR(clang_getCanonicalCursor(cursor))); }

std::string DisplayNameOf(CXCursor cursor) { return TakeText(clang_getCursorDisplayName(cursor)); }

std::string SpellingOf(CXCursor cursor) { return TakeText(clang_getCursorSpelling(cursor)); }

std::string FileOf(CXCursor cursor) {
    CXFile file = nullptr;
    clang_getExpansionLocation(clang_getCursorLocation(cursor), &file, nullptr, nullptr, nullptr);
    return file != nullptr ? TakeText(clang_getFileName(file)) : std::string();
}

std::vector<CXCursor> ChildrenOf(CXCursor cursor) {
    std::vector<CXCursor> children;
    clang_visitChildren(
        cursor,
        [](CXCursor child, CXCursor, CXClientData data) {
            static_cast<std::vector<CXCursor>*>(data)->push_back(child);
            return CXChildVisit_Continue;
        },
        &children);
    return children;
}

CXCursor TemplateOf(CXCursor declaration) {
    for (CXCursor pattern = clang_getSpecializedCursorTemplate(declaration); !clang_Cursor_isNull(pattern);
         pattern = clang_getSpecializedCursorTemplate(declaration)) {
        declaration = pattern;
    }
    return declaration;
}

std::vector<std::string> TokensOf(CXCursor cursor) {
    CXTranslationUnit unit = clang_Cursor_getTranslationUnit(cursor);
    CXToken* tokens = nullptr;
    unsigned count = 0;
    clang_tokenize(unit, clang_getCursorExtent(cursor), &tokens, &count);
    std::vector<std::string> spellings;
    for (unsigned i = 0; i < count; ++i) spellings.push_back(TakeText(clang_getTokenSpelling(unit, tokens[i])));
    clang_disposeTokens(unit, tokens, count);
    return spellings;
}

bool IsDeleted(CXCursor function) {
    const std::vector<std::string> tokens = TokensOf(function);
    const size_t count = tokens.size();
    return count >= 2 && tokens[count - 2] == "=" && tokens[count - 1] == "delete";
}

// libclang 14 shows a variable template, a specialisation of one and a
// concept alike: as an unexposed declaration with a name and no parts (an
// extern "C" block has no name). A concept's name follows the word concept;
// one a macro made is taken for a variable, which at worst asks for an
// entry in the list.
bool IsVariableTemplate(CXCursor declaration) {
    if (clang_getCursorKind(declaration) != CXCursor_UnexposedDecl) return false;
    const std::string name = SpellingOf(declaration);
    if (name.empty()) return false;
    const std::vector<std::string> tokens = TokensOf(declaration);
    const auto named = std::find(tokens.begin(), tokens.end(), name);
    return named == tokens.begin() || named == tokens.end() || *(named - 1) != "concept";
}

bool TakesNoArguments(CXCursor function) {
    const int count = clang_Cursor_getNumArguments(function);
    if (count <= 0) return true;
    // Defaults follow the parameters without one: the first decides.
    for (CXCursor part : ChildrenOf(clang_Cursor_getArgument(function, 0))) {
        if (clang_isExpression(clang_getCursorKind(part)) != 0) return true;
    }
    return false;
}
