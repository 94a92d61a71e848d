#ifndef FUZZERCALLS_H
#define FUZZERCALLS_H

#include <clang-c/Index.h>

#include <set>
#include <string>

// The declarations a source file calls, each as the compiler resolved the
// call: a function or constructor called, a member function called through
// an object (the declaration the object's static type finds, so a virtual
// called through a base is the base's), an operator used, a function or
// data member named (a callable data member is used by being named). Only
// the code of the unit's main file counts, not that of what it includes.
//
// Constructions the source does not spell as calls count too: a class of
// the source's own that derives from a class, or holds a member of one,
// runs that class's constructor that takes no arguments; std::make_unique
// and std::make_shared of a class run its constructor that takes their
// arguments' types (libclang does not show the library's body).
class FuzzerCalls {
public:
    explicit FuzzerCalls(CXCursor unit);

    bool Calls(const std::string& usr) const { return m_called.count(usr) != 0; }

private:
    static CXChildVisitResult Visit(CXCursor cursor, CXCursor parent, CXClientData self);
    void Read(CXCursor cursor);
    void NoteReference(CXCursor reference);
    void NoteForwardedConstruction(CXCursor maker);
    void NoteDefaultConstruction(CXType type);

    std::set<std::string> m_called;
};

#endif
