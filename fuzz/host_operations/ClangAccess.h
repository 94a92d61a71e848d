#ifndef CLANGACCESS_H
#define CLANGACCESS_H

#include <clang-c/Index.h>

#include <string>
#include <vector>

// Small readers of libclang's cursors. libclang hands out strings it owns:
// these copy one and release it.
std::string TakeText(CXString text);
// A declaration's unified symbol name, the same for every declaration of
// one entity in any translation unit.
std::string UsrOf(CXCursor cursor);
std::string DisplayNameOf(CXCursor cursor);
std::string SpellingOf(CXCursor cursor);
// Where a declaration stands, as the file a macro that made it was used in.
std::string FileOf(CXCursor cursor);
std::vector<CXCursor> ChildrenOf(CXCursor cursor);
// A function, or a member of a class template, as the template it was made
// from: calls name the specialisation, headers declare the template.
CXCursor TemplateOf(CXCursor declaration);
// The words a declaration is written with, as the source spells them.
std::vector<std::string> TokensOf(CXCursor cursor);
// Declared "= delete": libclang 14 has no query for it.
bool IsDeleted(CXCursor function);
// A variable template or a specialisation of one, which libclang 14 has no
// kind for (nor shows its type).
bool IsVariableTemplate(CXCursor declaration);
// Callable with no arguments: no parameter, or a default for each.
bool TakesNoArguments(CXCursor function);

#endif
