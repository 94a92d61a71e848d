#ifndef PUBLICOPERATIONS_H
#define PUBLICOPERATIONS_H

#include <set>
#include <string>
#include <vector>

#include "CppTokens.h"

// The public operations a header declares, each named with the classes and
// namespaces around it (MGLContext::Reset, MGLContext::Life::Ended,
// BuildMipChain). What counts:
// - functions declared in a public section of a class or struct (a struct
//   and a union open public), static ones, overrides and templates
//   included; the overloads of a name count once;
// - constructors, named Class::Class, and operators (Class::operator==);
// - the members of a type nested in a public section, as public as its own
//   sections say; nothing of a private or protected section;
// - functions declared at namespace scope, a named namespace's qualified.
// What does not: destructors (ending an object is what deleting it does,
// counted with whatever makes it), deleted functions, data members and
// constants, types, enumerators, friends, aliases, and a member defined
// outside its class (its declaration inside is what counts).
class PublicOperations {
public:
    explicit PublicOperations(const CppTokens& tokens);

    const std::set<std::string>& Names() const { return m_names; }

private:
    struct Scope {
        std::string prefix;     // "MGLContext::" inside MGLContext
        std::string className;  // empty outside a class
        bool visible = true;    // every enclosing section public
    };

    const std::string& At(size_t at) const;
    size_t ReadBlock(size_t at, const Scope& scope, bool openPublic);
    size_t ReadNamespace(size_t at, const Scope& scope);
    size_t ReadClass(size_t at, const Scope& scope, bool visible);
    size_t ReadDeclaration(size_t at, const Scope& scope, bool visible);
    void NoteFunction(size_t operatorAt, size_t nameParen, const Scope& scope);
    size_t SkipBalanced(size_t at) const;
    size_t SkipAngles(size_t at) const;
    size_t SkipStatement(size_t at) const;

    const std::vector<std::string>& m_tokens;
    std::set<std::string> m_names;
};

#endif
