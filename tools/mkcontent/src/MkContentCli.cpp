#include "MkContentCli.h"

#include "ArchiveDump.h"
#include "CompiledContent.h"
#include "ContentArchive.h"
#include "ContentCompiler.h"
#include "ContentValidator.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

}  // namespace

std::string MkContentCli::Usage() {
    return "usage:\n"
           "  mkcontent [--no-compress] CONTENT_DIR OUT_DIR\n"
           "      compiles CONTENT_DIR/content.txt and what it names, checks it against the\n"
           "      rules the engine relies on, and writes mchvx2.big and the configuration\n"
           "      files into OUT_DIR (each through a temporary file: nothing partial)\n"
           "  mkcontent --check CONTENT_DIR\n"
           "      compiles and checks only\n"
           "  mkcontent --dump ARCHIVE\n"
           "      lists every entry of an archive: id, type, size and contents (texts,\n"
           "      key sets, image attributes, bitmap sizes, sound lengths)\n"
           "  mkcontent --help\n"
           "Errors name the source file and line; the exit status is then 1.\n"
           "content/README.md describes the source formats.\n";
}

int MkContentCli::Run(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
    if (arguments.size() == 1 && arguments[0] == "--help") {
        out = Usage();
        return kDone;
    }
    if (arguments.size() == 2 && arguments[0] == "--dump") {
        std::string error;
        if (!ArchiveDump::Dump(arguments[1], out, error)) {
            err = "mkcontent: " + error + "\n";
            return kFailed;
        }
        return kDone;
    }
    if (arguments.size() == 2 && arguments[0] == "--check") return Compile(arguments[1], nullptr, true, out, err);
    const bool deflate = arguments.empty() || arguments[0] != "--no-compress";
    const size_t first = deflate ? 0 : 1;
    if (arguments.size() == first + 2 && arguments[first].compare(0, 2, "--") != 0) {
        return Compile(arguments[first], &arguments[first + 1], deflate, out, err);
    }
    err = Usage();
    return kBadUsage;
}

int MkContentCli::Compile(const std::string& contentDirectory, const std::string* outDirectory, bool deflate,
                          std::string& out, std::string& err) {
    CompiledContent content;
    ContentCompiler compiler;
    std::string error;
    const bool done = compiler.Compile(contentDirectory, content, error) && ContentValidator::Check(content, error) &&
                      (outDirectory == nullptr || ContentArchive::WriteAll(content, deflate, *outDirectory, error));
    if (!done) {
        err = "mkcontent: " + error + "\n";
        return kFailed;
    }
    out = "mkcontent: " + std::to_string(content.entries.size() + content.tables.size() + 1) + " entries, " +
          std::to_string(content.configs.size()) + " configuration files\n";
    return kDone;
}
