#include "CompileFlags.h"

#include <clang-c/CXCompilationDatabase.h>

#include <memory>
#include <set>

#include "ClangAccess.h"

namespace {

struct DatabaseRelease {
    void operator()(void* database) const { clang_CompilationDatabase_dispose(database); }
};
struct CommandsRelease {
    void operator()(void* commands) const { clang_CompileCommands_dispose(commands); }
};

// Flags that name an output, each followed by its file.
const std::set<std::string> kWithOutput = {"-o", "-MF", "-MT", "-MQ"};
const std::set<std::string> kDropped = {"-c", "-MD", "-MMD", "-Werror"};

}  // namespace

CompileFlags::CompileFlags(const std::string& buildFolder, const std::string& source) {
    CXCompilationDatabase_Error error = CXCompilationDatabase_NoError;
    const std::unique_ptr<void, DatabaseRelease> database(
        clang_CompilationDatabase_fromDirectory(buildFolder.c_str(), &error));
    if (error != CXCompilationDatabase_NoError) return;
    const std::unique_ptr<void, CommandsRelease> commands(
        clang_CompilationDatabase_getCompileCommands(database.get(), source.c_str()));
    if (commands == nullptr || clang_CompileCommands_getSize(commands.get()) == 0) return;
    CXCompileCommand command = clang_CompileCommands_getCommand(commands.get(), 0);
    std::vector<std::string> words;
    const unsigned count = clang_CompileCommand_getNumArgs(command);
    for (unsigned i = 0; i < count; ++i) words.push_back(TakeText(clang_CompileCommand_getArg(command, i)));
    Keep(words, TakeText(clang_CompileCommand_getFilename(command)));
    m_found = true;
}

// The first word is the compiler.
void CompileFlags::Keep(const std::vector<std::string>& command, const std::string& source) {
    for (size_t i = 1; i < command.size(); ++i) {
        const std::string& word = command[i];
        if (kWithOutput.count(word) != 0) {
            ++i;
        } else if (kDropped.count(word) == 0 && word != source) {
            m_arguments.push_back(word);
        }
    }
}
