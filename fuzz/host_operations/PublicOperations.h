#ifndef PUBLICOPERATIONS_H
#define PUBLICOPERATIONS_H

#include <clang-c/Index.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// What a host that includes the headers of a translation unit can call,
// read from the compiler's view of them: every declaration standing in a
// file of the unit that is not a system header (the main file aside) and
// that a host can reach:
// - functions and function templates at namespace scope, in extern "C"
//   blocks too, and friend functions (defined in their class or not);
// - variables at namespace scope whose type is callable (see IsCallableType),
//   and variable templates, whose type libclang 14 does not show (nor does
//   it tie a use to the template: each one is listed);
// - the members of every class a host can name or is handed: one at
//   namespace scope, one nested in a section a host sees, one a public alias
//   or using-declaration names, one a reachable class derives from
//   publicly, one a function it can call returns (through a pointer, a
//   reference or a template's argument too, see HeldTypes; a class defined
//   in the function, named by a deduced type). A host sees a public
//   section, and a protected one of a class it may derive from (not final).
//   Members: functions, constructors, operators, conversions, templates;
//   data members whose type is callable (a pointer or reference to a
//   function, a class with a call operator: std::function, a lambda; or a
//   type holding one, a container or a smart pointer of them) and variable
//   templates; what a public using-declaration brings in; and a hidden
//   virtual that overrides a public one of a public base, which a call
//   through that base runs;
// - a friend class, which may be anything a host defines.
// Destructors (what deleting an object runs, counted with whatever makes
// it) and deleted functions are not operations.
class PublicOperations {
public:
    struct Operation {
        std::string name;  // see OperationName
        std::string file;
        // Every declaration, from its bases, that it overrides.
        std::vector<std::string> overridden;
    };

    explicit PublicOperations(CXCursor unit);

    // Unified symbol name to operation.
    const std::map<std::string, Operation>& All() const { return m_operations; }

private:
    void ReadScope(CXCursor scope);
    void ReadScopeMember(CXCursor member);
    void Reach(CXCursor type);
    void ReachAliased(CXCursor alias);
    void ReadClass(CXCursor definition);
    void ReadMember(CXCursor member, bool hostSees);
    void ReadFriend(CXCursor friendDeclaration, CXCursor owner);
    void ReadUsing(CXCursor usingDeclaration);
    void ReadBrought(CXCursor brought);
    void ReadOverridesThroughBases(CXCursor definition);
    void NoteFunction(CXCursor function);
    void ReachHeld(CXType type);
    void NoteIfCallable(CXCursor data);
    void Note(CXCursor declaration);

    std::set<std::string> m_readClasses;
    std::map<std::string, Operation> m_operations;
};

#endif
