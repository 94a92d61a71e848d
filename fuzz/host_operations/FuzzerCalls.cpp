#include "FuzzerCalls.h"

#include <vector>

#include "ClangAccess.h"
#include "OperationName.h"

namespace {

bool MakesObject(CXCursor function) {
    const std::string name = SpellingOf(function);
    return ScopeOf(function) == "std::" && (name == "make_unique" || name == "make_shared");
}

// A value's type as a parameter sees it, its references and qualifiers
// aside.
std::string PlainTypeOf(CXType type) {
    type = clang_getCanonicalType(type);
    if (type.kind == CXType_LValueReference || type.kind == CXType_RValueReference) {
        type = clang_getCanonicalType(clang_getPointeeType(type));
    }
    // libclang 14 cannot drop qualifiers from a type: its words go instead.
    std::string spelling = TakeText(clang_getTypeSpelling(type));
    for (const std::string qualifier : {"const ", "volatile "}) {
        if (spelling.rfind(qualifier, 0) == 0) spelling.erase(0, qualifier.size());
    }
    return spelling;
}

std::vector<CXCursor> ConstructorsOf(CXCursor definition) {
    std::vector<CXCursor> constructors;
    for (CXCursor member : ChildrenOf(definition)) {
        if (clang_getCursorKind(member) == CXCursor_Constructor) constructors.push_back(member);
    }
    return constructors;
}

bool TakesTypes(CXCursor constructor, const std::vector<std::string>& types) {
    if (clang_Cursor_getNumArguments(constructor) != static_cast<int>(types.size())) return false;
    for (size_t i = 0; i < types.size(); ++i) {
        const CXCursor parameter = clang_Cursor_getArgument(constructor, static_cast<unsigned>(i));
        if (PlainTypeOf(clang_getCursorType(parameter)) != types[i]) return false;
    }
    return true;
}

}  // namespace

FuzzerCalls::FuzzerCalls(CXCursor unit) { clang_visitChildren(unit, &FuzzerCalls::Visit, this); }

CXChildVisitResult FuzzerCalls::Visit(CXCursor cursor, CXCursor, CXClientData self) {
    if (clang_Location_isFromMainFile(clang_getCursorLocation(cursor)) == 0) return CXChildVisit_Continue;
    static_cast<FuzzerCalls*>(self)->Read(cursor);
    return CXChildVisit_Recurse;
}

void FuzzerCalls::Read(CXCursor cursor) {
    const CXCursorKind kind = clang_getCursorKind(cursor);
    if (kind == CXCursor_CallExpr || kind == CXCursor_MemberRefExpr || kind == CXCursor_DeclRefExpr) {
        const CXCursor called = clang_getCursorReferenced(cursor);
        if (clang_Cursor_isNull(called)) return;
        NoteReference(called);
        if (kind == CXCursor_CallExpr && MakesObject(TemplateOf(called))) NoteForwardedConstruction(called);
    } else if (kind == CXCursor_CXXBaseSpecifier || kind == CXCursor_FieldDecl) {
        NoteDefaultConstruction(clang_getCursorType(cursor));
    }
}

void FuzzerCalls::NoteReference(CXCursor reference) { m_called.insert(UsrOf(TemplateOf(reference))); }

// The made class is the maker's first template argument; its arguments'
// types are the maker's parameters'.
void FuzzerCalls::NoteForwardedConstruction(CXCursor maker) {
    const CXType made = clang_Cursor_getTemplateArgumentType(maker, 0);
    std::vector<std::string> types;
    const int count = clang_Cursor_getNumArguments(maker);
    for (int i = 0; i < count; ++i) {
        types.push_back(PlainTypeOf(clang_getCursorType(clang_Cursor_getArgument(maker, static_cast<unsigned>(i)))));
    }
    for (CXCursor constructor : ConstructorsOf(clang_getCursorDefinition(clang_getTypeDeclaration(made)))) {
        if (TakesTypes(constructor, types)) NoteReference(constructor);
    }
}

void FuzzerCalls::NoteDefaultConstruction(CXType type) {
    type = clang_getCanonicalType(type);
    while (type.kind == CXType_ConstantArray) type = clang_getCanonicalType(clang_getArrayElementType(type));
    if (type.kind != CXType_Record) return;
    for (CXCursor constructor : ConstructorsOf(clang_getCursorDefinition(clang_getTypeDeclaration(type)))) {
        if (TakesNoArguments(constructor)) NoteReference(constructor);
    }
}
