#ifndef OPERATIONNAME_H
#define OPERATIONNAME_H

#include <clang-c/Index.h>

#include <string>

// How the not-driven list names a declaration: its classes and namespaces,
// then its name and, for a function, its parameter types as written
// (MGLContext::Init(int32_t), MatrixStackOf<T>::Push(), a const member
// ending in " const", MGLContext::Handle()::Inner::Run() for a class
// defined in a function). An extern "C" block adds nothing to the name.
std::string OperationName(CXCursor declaration);
// The classes, functions and namespaces around a declaration, each
// followed by "::".
std::string ScopeOf(CXCursor declaration);

#endif
