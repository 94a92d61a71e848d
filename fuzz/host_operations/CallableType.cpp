#include "CallableType.h"

#include "ClangAccess.h"
#include "HeldTypes.h"

namespace {

bool IsFunctionType(CXType type) {
    return type.kind == CXType_FunctionProto || type.kind == CXType_FunctionNoProto;
}

bool DeclaresCallOperator(CXCursor record) {
    for (CXCursor member : ChildrenOf(record)) {
        const CXCursorKind kind = clang_getCursorKind(member);
        const bool function = kind == CXCursor_CXXMethod || kind == CXCursor_FunctionTemplate;
        if (function && SpellingOf(member) == "operator()") return true;
    }
    return false;
}

// A specialisation made from a template shows no members of its own: the
// templates it comes from are read instead, a partial specialisation (which
// std::function is) before the primary template, which may only be declared.
bool DeclaresCallOperatorOrTemplateDoes(CXCursor record) {
    for (CXCursor made = record; !clang_Cursor_isNull(made); made = clang_getSpecializedCursorTemplate(made)) {
        if (DeclaresCallOperator(made)) return true;
    }
    return false;
}

bool HasCallOperator(CXCursor record) {
    if (clang_Cursor_isNull(record)) return false;
    if (DeclaresCallOperatorOrTemplateDoes(record)) return true;
    for (CXCursor part : ChildrenOf(record)) {
        if (clang_getCursorKind(part) != CXCursor_CXXBaseSpecifier) continue;
        const CXCursor base = clang_getTypeDeclaration(clang_getCursorType(part));
        if (HasCallOperator(clang_getCursorDefinition(base))) return true;
    }
    return false;
}

}  // namespace

bool IsCallableType(CXType type) {
    const CXType canonical = clang_getCanonicalType(type);
    if (IsFunctionType(canonical)) return true;
    if (canonical.kind == CXType_Record && HasCallOperator(clang_getTypeDeclaration(canonical))) return true;
    for (CXType held : HeldTypes(type)) {
        if (IsCallableType(held)) return true;
    }
    return false;
}
