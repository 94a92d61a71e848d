#include "OperationName.h"

#include "ClangAccess.h"

namespace {

bool NamesScope(CXCursorKind kind) {
    return kind == CXCursor_Namespace || kind == CXCursor_ClassDecl || kind == CXCursor_StructDecl ||
           kind == CXCursor_UnionDecl || kind == CXCursor_ClassTemplate ||
           kind == CXCursor_ClassTemplatePartialSpecialization;
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
