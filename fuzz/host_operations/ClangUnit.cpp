#include "ClangUnit.h"

#include "ClangAccess.h"

ClangUnit::ClangUnit(const std::string& path, const std::vector<std::string>& arguments, const std::string* contents)
    : m_index(clang_createIndex(0, 0)) {
    std::vector<const char*> argv;
    argv.reserve(arguments.size());
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    CXUnsavedFile unsaved{path.c_str(), contents != nullptr ? contents->c_str() : nullptr,
                          contents != nullptr ? static_cast<unsigned long>(contents->size()) : 0UL};
    const CXErrorCode result = clang_parseTranslationUnit2(
        m_index, path.c_str(), argv.data(), static_cast<int>(argv.size()), contents != nullptr ? &unsaved : nullptr,
        contents != nullptr ? 1U : 0U, CXTranslationUnit_None, &m_unit);
    if (result != CXError_Success) m_unit = nullptr;
}

ClangUnit::~ClangUnit() {
    if (m_unit != nullptr) clang_disposeTranslationUnit(m_unit);
    clang_disposeIndex(m_index);
}

std::vector<std::string> ClangUnit::Errors() const {
    std::vector<std::string> errors;
    const unsigned count = clang_getNumDiagnostics(m_unit);
    for (unsigned i = 0; i < count; ++i) {
        CXDiagnostic diagnostic = clang_getDiagnostic(m_unit, i);
        if (clang_getDiagnosticSeverity(diagnostic) >= CXDiagnostic_Error) {
            errors.push_back(TakeText(clang_formatDiagnostic(diagnostic, clang_defaultDiagnosticDisplayOptions())));
        }
        clang_disposeDiagnostic(diagnostic);
    }
    return errors;
}
