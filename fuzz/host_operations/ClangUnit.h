#ifndef CLANGUNIT_H
#define CLANGUNIT_H

#include <clang-c/Index.h>

#include <string>
#include <vector>

// One translation unit as libclang parses it, with the index it lives in;
// both are released with the object. The source is a file on disk, or, when
// `contents` is given, text that stands in for a file of that name.
class ClangUnit {
public:
    ClangUnit(const std::string& path, const std::vector<std::string>& arguments, const std::string* contents);
    ~ClangUnit();
    ClangUnit(const ClangUnit&) = delete;
    ClangUnit& operator=(const ClangUnit&) = delete;

    bool Parsed() const { return m_unit != nullptr; }
    CXCursor Root() const { return clang_getTranslationUnitCursor(m_unit); }
    // The errors the compiler reported: a unit that has any may lack
    // declarations, so nothing read from it can be trusted.
    std::vector<std::string> Errors() const;

private:
    CXIndex m_index;
    CXTranslationUnit m_unit = nullptr;
};

#endif
