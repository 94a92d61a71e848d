#ifndef MKCONTENTCLI_H
#define MKCONTENTCLI_H

#include <string>
#include <vector>

// The content compiler's command line:
//   mkcontent [--no-compress] CONTENT_DIR OUT_DIR   compile, check and write
//   mkcontent --check CONTENT_DIR                   compile and check only
//   mkcontent --dump ARCHIVE                        list an archive
//   mkcontent --help
// Returns the exit status: 0 done, 1 bad input or failure, 2 bad usage.
class MkContentCli {
public:
    static int Run(const std::vector<std::string>& arguments, std::string& out, std::string& err);
    static std::string Usage();

private:
    static int Compile(const std::string& contentDirectory, const std::string* outDirectory, bool deflate,
                       std::string& out, std::string& err);
};

#endif
