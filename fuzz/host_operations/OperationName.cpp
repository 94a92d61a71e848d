#include "OperationName.h"

#include "ClangAccess.h"

namespace {

// A function is a scope too: classes defined in two functions may share a
// name.
bool NamesScope(CXCursorKind kind) {
    return kind == CXCursor_Namespace || kind == CXCursor_ClassDecl || kind == CXCursor_StructDecl ||
           kind == CXCursor_UnionDecl || kind == CXCursor_ClassTemplate ||
           kind == CXCursor_ClassTemplatePartialSpecialization || kind == CXCursor_FunctionDecl ||
           kind == CXCursor_FunctionTemplate || kind == CXCursor_CXXMethod || kind == CXCursor_Constructor ||
           kind == CXCursor_ConversionFunction;
}

std::string ScopeName(CXCursor scope) {
    const std::string name = DisplayNameOf(scope);
    return name.empty() ? "(anonymous)" : name;
}

}  // namespace

std::string ScopeOf(CXCursor declaration) {
    std::string scope;
    for (CXCursor parent = clang_getCursorSemanticParent(declaration);
         !clang_Cursor_isNull(parent) && clang_getCursorKind(parent) != CXCursor_TranslationUnit;
         parent = clang_getCursorSemanticParent(parent)) {
        if (NamesScope(clang_getCursorKind(parent))) scope = ScopeName(parent) + "::" + scope;
    }
    return scope;
}

std::string OperationName(CXCursor declaration) {
    std::string name = ScopeOf(declaration) + DisplayNameOf(declaration);
    if (clang_CXXMethod_isConst(declaration) != 0) name += " const";
    return name;
}
