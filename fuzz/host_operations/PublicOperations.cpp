#include "PublicOperations.h"

#include "CallableType.h"
#include "ClangAccess.h"
#include "HeldTypes.h"
#include "OperationName.h"

namespace {

bool IsClass(CXCursorKind kind) {
    return kind == CXCursor_ClassDecl || kind == CXCursor_StructDecl || kind == CXCursor_UnionDecl ||
           kind == CXCursor_ClassTemplate || kind == CXCursor_ClassTemplatePartialSpecialization;
}

bool IsFunction(CXCursorKind kind) {
    return kind == CXCursor_FunctionDecl || kind == CXCursor_FunctionTemplate || kind == CXCursor_CXXMethod ||
           kind == CXCursor_Constructor || kind == CXCursor_ConversionFunction;
}

bool IsAlias(CXCursorKind kind) { return kind == CXCursor_TypedefDecl || kind == CXCursor_TypeAliasDecl; }

// In a header of the program's own: not the standard library's or the
// system's, and not the unit's main file, which only includes the headers.
bool InHeaderOfOurs(CXCursor cursor) {
    const CXSourceLocation where = clang_getCursorLocation(cursor);
    return clang_Location_isInSystemHeader(where) == 0 && clang_Location_isFromMainFile(where) == 0 &&
           !FileOf(cursor).empty();
}

bool DefinedInHeaderOfOurs(CXCursor reference) {
    const CXCursor definition = clang_getCursorDefinition(clang_getCursorReferenced(reference));
    return !clang_Cursor_isNull(definition) && InHeaderOfOurs(definition);
}

bool IsFinal(CXCursor definition) {
    for (CXCursor part : ChildrenOf(definition)) {
        if (clang_getCursorKind(part) == CXCursor_CXXFinalAttr) return true;
    }
    return false;
}

bool HostSees(CXCursor member, bool derivable) {
    const CX_CXXAccessSpecifier access = clang_getCXXAccessSpecifier(member);
    return access == CX_CXXPublic || (access == CX_CXXProtected && derivable);
}

void CollectOverridden(CXCursor method, std::vector<std::string>& usrs) {
    CXCursor* overridden = nullptr;
    unsigned count = 0;
    clang_getOverriddenCursors(method, &overridden, &count);
    for (unsigned i = 0; i < count; ++i) {
        usrs.push_back(UsrOf(overridden[i]));
        CollectOverridden(overridden[i], usrs);
    }
    clang_disposeOverriddenCursors(overridden);
}

CXCursor BaseClassOf(CXCursor baseSpecifier) {
    return clang_getCursorDefinition(clang_getTypeDeclaration(clang_getCursorType(baseSpecifier)));
}

bool PubliclyDerives(CXCursor definition, const std::string& baseUsr) {
    for (CXCursor part : ChildrenOf(definition)) {
        if (clang_getCursorKind(part) != CXCursor_CXXBaseSpecifier || clang_getCXXAccessSpecifier(part) != CX_CXXPublic) {
            continue;
        }
        const CXCursor base = BaseClassOf(part);
        if (clang_Cursor_isNull(base)) continue;
        if (UsrOf(base) == baseUsr || PubliclyDerives(base, baseUsr)) return true;
    }
    return false;
}

// Whether `method` overrides a public declaration of a class that
// `definition` derives from publicly, at every step of the way.
bool OverridesPubliclyInherited(CXCursor method, CXCursor definition) {
    CXCursor* overridden = nullptr;
    unsigned count = 0;
    clang_getOverriddenCursors(method, &overridden, &count);
    bool inherited = false;
    for (unsigned i = 0; i < count && !inherited; ++i) {
        const CXCursor base = clang_getCursorSemanticParent(overridden[i]);
        inherited = clang_getCXXAccessSpecifier(overridden[i]) == CX_CXXPublic &&
                    PubliclyDerives(definition, UsrOf(base));
    }
    clang_disposeOverriddenCursors(overridden);
    return inherited;
}

}  // namespace

PublicOperations::PublicOperations(CXCursor unit) { ReadScope(unit); }

void PublicOperations::ReadScope(CXCursor scope) {
    for (CXCursor member : ChildrenOf(scope)) {
        if (InHeaderOfOurs(member)) ReadScopeMember(member);
    }
}

// A member of a namespace, of an extern "C" block or of the unit itself. A
// member function defined outside its class was read with the class.
void PublicOperations::ReadScopeMember(CXCursor member) {
    const CXCursorKind kind = clang_getCursorKind(member);
    if (IsVariableTemplate(member)) {
        Note(member);
    } else if (kind == CXCursor_Namespace || kind == CXCursor_LinkageSpec || kind == CXCursor_UnexposedDecl) {
        ReadScope(member);
    } else if (IsFunction(kind) && !IsClass(clang_getCursorKind(clang_getCursorSemanticParent(member)))) {
        NoteFunction(member);
    } else if (kind == CXCursor_VarDecl) {
        NoteIfCallable(member);
    } else if (IsClass(kind)) {
        Reach(member);
    } else if (IsAlias(kind)) {
        ReachAliased(member);
    }
}

// A class a host can name: its members are read once, from its definition,
// when that stands in a header of ours.
void PublicOperations::Reach(CXCursor type) {
    const CXCursor definition = clang_getCursorDefinition(type);
    if (clang_Cursor_isNull(definition) || !InHeaderOfOurs(definition)) return;
    if (!m_readClasses.insert(UsrOf(definition)).second) return;
    ReadClass(definition);
}

void PublicOperations::ReachAliased(CXCursor alias) {
    const CXType type = clang_getCanonicalType(clang_getTypedefDeclUnderlyingType(alias));
    Reach(TemplateOf(clang_getTypeDeclaration(type)));
}

void PublicOperations::ReadClass(CXCursor definition) {
    const bool derivable = !IsFinal(definition);
    for (CXCursor member : ChildrenOf(definition)) {
        const CXCursorKind kind = clang_getCursorKind(member);
        if (kind == CXCursor_FriendDecl) {
            ReadFriend(member, definition);
        } else if (kind == CXCursor_CXXBaseSpecifier) {
            if (clang_getCXXAccessSpecifier(member) == CX_CXXPublic) Reach(BaseClassOf(member));
        } else {
            ReadMember(member, HostSees(member, derivable));
        }
    }
    ReadOverridesThroughBases(definition);
}

void PublicOperations::ReadMember(CXCursor member, bool hostSees) {
    if (!hostSees) return;
    const CXCursorKind kind = clang_getCursorKind(member);
    if (IsFunction(kind)) {
        NoteFunction(member);
    } else if (kind == CXCursor_FieldDecl || kind == CXCursor_VarDecl) {
        NoteIfCallable(member);
    } else if (IsClass(kind)) {
        Reach(member);
    } else if (IsAlias(kind)) {
        ReachAliased(member);
    } else if (kind == CXCursor_UsingDeclaration) {
        ReadUsing(member);
    } else if (IsVariableTemplate(member)) {
        Note(member);
    }
}

// A friend function is a host's to call wherever it is defined. A friend
// class that no header of ours defines is whatever class of that name a
// host defines.
void PublicOperations::ReadFriend(CXCursor friendDeclaration, CXCursor owner) {
    for (CXCursor befriended : ChildrenOf(friendDeclaration)) {
        const CXCursorKind kind = clang_getCursorKind(befriended);
        if (IsFunction(kind)) {
            NoteFunction(befriended);
        } else if ((kind == CXCursor_TypeRef || IsClass(kind)) && !DefinedInHeaderOfOurs(befriended)) {
            const std::string name = DisplayNameOf(clang_getCursorReferenced(befriended));
            m_operations[UsrOf(owner) + " friend " + name] = {
                OperationName(owner) + "::(friend " + name + ")", FileOf(friendDeclaration), {}};
        }
    }
}

// A using-declaration names one declaration, or refers to the set of
// overloads it brings in.
void PublicOperations::ReadUsing(CXCursor usingDeclaration) {
    const CXCursor named = clang_getCursorReferenced(usingDeclaration);
    if (clang_getCursorKind(named) != CXCursor_OverloadedDeclRef) {
        ReadBrought(named);
        return;
    }
    const unsigned count = clang_getNumOverloadedDecls(named);
    for (unsigned i = 0; i < count; ++i) ReadBrought(clang_getOverloadedDecl(named, i));
}

// A member of a class template's specialisation is read as the template's.
// Constructors brought in are inherited, copy and move ones never.
void PublicOperations::ReadBrought(CXCursor brought) {
    brought = TemplateOf(brought);
    if (clang_CXXConstructor_isCopyConstructor(brought) != 0 || clang_CXXConstructor_isMoveConstructor(brought) != 0) {
        return;
    }
    const CXCursorKind kind = clang_getCursorKind(brought);
    if (IsFunction(kind)) NoteFunction(brought);
    if (IsClass(kind)) Reach(brought);
}

// A virtual a class keeps private still runs when a host calls what it
// overrides through a public base.
void PublicOperations::ReadOverridesThroughBases(CXCursor definition) {
    for (CXCursor member : ChildrenOf(definition)) {
        if (clang_getCursorKind(member) != CXCursor_CXXMethod || clang_CXXMethod_isVirtual(member) == 0) continue;
        if (OverridesPubliclyInherited(member, definition)) Note(member);
    }
}

// What a function returns is the host's to call too, whatever class it is
// (one defined in the function, reached only through a deduced type, or a
// private one).
void PublicOperations::NoteFunction(CXCursor function) {
    if (clang_getCursorKind(function) != CXCursor_FunctionTemplate && IsDeleted(function)) return;
    Note(function);
    ReachHeld(clang_getCursorResultType(function));
}

void PublicOperations::ReachHeld(CXType type) {
    const CXType canonical = clang_getCanonicalType(type);
    if (canonical.kind == CXType_Record) Reach(TemplateOf(clang_getTypeDeclaration(canonical)));
    for (CXType held : HeldTypes(type)) ReachHeld(held);
}

void PublicOperations::NoteIfCallable(CXCursor data) {
    if (IsCallableType(clang_getCursorType(data))) Note(data);
}

void PublicOperations::Note(CXCursor declaration) {
    const std::string usr = UsrOf(declaration);
    if (m_operations.count(usr) != 0) return;
    Operation operation{OperationName(declaration), FileOf(declaration), {}};
    CollectOverridden(declaration, operation.overridden);
    m_operations.emplace(usr, std::move(operation));
}
