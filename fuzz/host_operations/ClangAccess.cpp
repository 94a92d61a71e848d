#include "ClangAccess.h"

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

bool IsDeleted(CXCursor function) {
    CXTranslationUnit unit = clang_Cursor_getTranslationUnit(function);
    CXToken* tokens = nullptr;
    unsigned count = 0;
    clang_tokenize(unit, clang_getCursorExtent(function), &tokens, &count);
    const bool deleted = count >= 2 && TakeText(clang_getTokenSpelling(unit, tokens[count - 2])) == "=" &&
                         TakeText(clang_getTokenSpelling(unit, tokens[count - 1])) == "delete";
    clang_disposeTokens(unit, tokens, count);
    return deleted;
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
