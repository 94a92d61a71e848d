// Lists every operation a host can call through the headers given (see
// PublicOperations) and fails unless the fuzz target given drives each (its
// source calls that very declaration, see FuzzerCalls) or the not-driven
// list names it with why. It fails too on an entry of the list that names
// no such operation, or one that is driven. Both units are read by libclang
// with the flags the build compiles the fuzz target with: the headers as
// one unit that includes each in turn.
// How overrides are judged: see Verdicts.
//
//   mgl_host_operations_check [--list-undriven | --list-driven]
//     <build folder> <fuzz target source> <not-driven list> <header>...
// --list-undriven prints, as lines for the list with the reason to write,
// the operations neither driven nor listed; --list-driven the driven ones.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ClangUnit.h"
#include "CompileFlags.h"
#include "FuzzerCalls.h"
#include "NotDrivenList.h"
#include "PublicOperations.h"
#include "Verdicts.h"

namespace {

enum class Mode { Check, ListUndriven, ListDriven };

struct Arguments {
    Mode mode = Mode::Check;
    std::string build;
    std::string fuzzer;
    std::string list;
    std::vector<std::string> headers;
};

bool ReadArguments(int argc, char** argv, Arguments& arguments) {
    int at = 1;
    if (at < argc && std::strcmp(argv[at], "--list-undriven") == 0) arguments.mode = Mode::ListUndriven;
    if (at < argc && std::strcmp(argv[at], "--list-driven") == 0) arguments.mode = Mode::ListDriven;
    if (arguments.mode != Mode::Check) ++at;
    if (argc - at < 4) return false;
    arguments.build = argv[at];
    arguments.fuzzer = argv[at + 1];
    arguments.list = argv[at + 2];
    arguments.headers.assign(argv + at + 3, argv + argc);
    return true;
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return static_cast<bool>(file);
}

std::string IncludeEach(const std::vector<std::string>& headers) {
    std::string text;
    for (const std::string& header : headers) text += "#include \"" + header + "\"\n";
    return text;
}

bool ReportErrors(const ClangUnit& unit, const std::string& what) {
    if (!unit.Parsed()) {
        std::fprintf(stderr, "libclang could not read %s\n", what.c_str());
        return true;
    }
    const std::vector<std::string> errors = unit.Errors();
    for (const std::string& error : errors) std::fprintf(stderr, "%s: %s\n", what.c_str(), error.c_str());
    return !errors.empty();
}

void PrintEach(const std::vector<std::string>& lines, const char* format) {
    for (const std::string& line : lines) std::printf(format, line.c_str());
}

int Report(const Verdicts& verdicts, const Arguments& arguments) {
    if (arguments.mode == Mode::ListUndriven) PrintEach(verdicts.Undriven(), "%s: \n");
    if (arguments.mode == Mode::ListDriven) PrintEach(verdicts.Driven(), "%s\n");
    if (arguments.mode != Mode::Check) return 0;
    PrintEach(verdicts.Failures(), "FAIL %s\n");
    std::printf("%zu public operations, %zu driven, %zu failures (list: %s)\n",
                verdicts.OperationCount(), verdicts.Driven().size(), verdicts.Failures().size(),
                arguments.list.c_str());
    return verdicts.Failures().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    if (!ReadArguments(argc, argv, arguments)) {
        std::fprintf(stderr,
                     "usage: %s [--list-undriven | --list-driven] <build folder> <fuzz target source> "
                     "<not-driven list> <header>...\n",
                     argv[0]);
        return 2;
    }
    const CompileFlags flags(arguments.build, arguments.fuzzer);
    std::string listText;
    if (!flags.Found() || !ReadFile(arguments.list, listText)) {
        std::fprintf(stderr, "no compile command for %s in %s, or no list %s\n", arguments.fuzzer.c_str(),
                     arguments.build.c_str(), arguments.list.c_str());
        return 2;
    }
    const std::string includes = IncludeEach(arguments.headers);
    const ClangUnit headers(arguments.build + "/host_operations_headers.cpp", flags.Arguments(), &includes);
    const ClangUnit fuzzer(arguments.fuzzer, flags.Arguments(), nullptr);
    if (ReportErrors(headers, "the headers") || ReportErrors(fuzzer, arguments.fuzzer)) return 2;
    const PublicOperations operations(headers.Root());
    const FuzzerCalls calls(fuzzer.Root());
    const NotDrivenList list(listText);
    const Verdicts verdicts(operations, calls, list);
    return Report(verdicts, arguments);
}
