#include "HeldTypes.h"

namespace {

// An alias or a qualified name taken off one layer at a time, so that a
// pointer's or an array's parts keep the arguments written to them.
CXType Unaliased(CXType type) {
    for (;;) {
        if (type.kind == CXType_Elaborated) {
            type = clang_Type_getNamedType(type);
        } else if (type.kind == CXType_Typedef) {
            type = clang_getTypedefDeclUnderlyingType(clang_getTypeDeclaration(type));
        } else {
            return type;
        }
    }
}

void AddTemplateArguments(CXType type, std::vector<CXType>& held) {
    const int count = clang_Type_getNumTemplateArguments(type);
    for (int i = 0; i < count; ++i) {
        const CXType argument = clang_Type_getTemplateArgumentAsType(type, static_cast<unsigned>(i));
        if (argument.kind != CXType_Invalid) held.push_back(argument);
    }
}

// What a pointer, a reference or an array leads to, when the type is one.
bool AddPart(CXType type, std::vector<CXType>& held) {
    switch (type.kind) {
        case CXType_Pointer:
        case CXType_LValueReference:
        case CXType_RValueReference:
        case CXType_MemberPointer:
            held.push_back(clang_getPointeeType(type));
            return true;
        case CXType_ConstantArray:
        case CXType_IncompleteArray:
            held.push_back(clang_getArrayElementType(type));
            return true;
        default:
            return false;
    }
}

}  // namespace

std::vector<CXType> HeldTypes(CXType type) {
    std::vector<CXType> held;
    AddTemplateArguments(type, held);
    // Other sugar (a deduced type, a decltype) shows its parts only as the
    // type it stands for.
    const CXType unaliased = Unaliased(type);
    if (!AddPart(unaliased, held)) AddPart(clang_getCanonicalType(unaliased), held);
    return held;
}
