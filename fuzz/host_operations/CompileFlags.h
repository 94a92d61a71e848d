#ifndef COMPILEFLAGS_H
#define COMPILEFLAGS_H

#include <string>
#include <vector>

// The flags the build compiles a source file with, read from the
// compile_commands.json of its build folder, less what names the compiler,
// the source, the object and the dependency files: what decides how the
// source reads (include folders, definitions, language and target options).
// -Werror goes too: a warning of libclang's changes no declaration.
class CompileFlags {
public:
    CompileFlags(const std::string& buildFolder, const std::string& source);

    bool Found() const { return m_found; }
    const std::vector<std::string>& Arguments() const { return m_arguments; }

private:
    void Keep(const std::vector<std::string>& command, const std::string& source);

    std::vector<std::string> m_arguments;
    bool m_found = false;
};

#endif
