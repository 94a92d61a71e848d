#ifndef BIGTOOL_H
#define BIGTOOL_H

#include "ArchiveEntryCodec.h"
#include "BigArchiveReader.h"

#include <ostream>
#include <string>
#include <vector>

// The archive tool's command line: create an archive from a manifest or from
// files, list an archive's entries and packs, extract entries. Exit codes:
// 0 done, 1 the work failed (unreadable or broken input), 2 bad usage.
class BigTool {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailure = 1;
    static constexpr int kExitUsage = 2;

    BigTool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // `args` excludes the program name.
    int Run(const std::vector<std::string>& args);

private:
    struct CreateOptions {
        std::string output;
        std::string manifest;
        IdTableForm form = IdTableForm::List;
        bool deflate = false;
        uint32_t typeWord = 0;
        uint32_t firstId = 0;
        uint16_t headerSize = 4;
        std::vector<std::string> files;
    };

    int Create(const std::vector<std::string>& args);
    int List(const std::vector<std::string>& args);
    int Extract(const std::vector<std::string>& args);

    bool ParseCreate(const std::vector<std::string>& args, CreateOptions& options);
    bool ParseNumberOption(const std::vector<std::string>& args, size_t& i, uint32_t& value);
    bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string& value);
    bool BuildFromFiles(const CreateOptions& options, std::vector<uint8_t>& archive, std::string& error);

    // False when the entry, or a member of it, is broken.
    bool ListEntry(const BigArchiveReader& reader, const ArchiveEntryInfo& entry);
    bool ListPackMembers(const std::vector<uint8_t>& block);
    bool ExtractEntry(const BigArchiveReader& reader, const ArchiveEntryInfo& entry, const std::string& directory,
                      std::string& manifest);

    int Usage(const std::string& message);
    // Usage for the parsers, which answer false.
    bool Refuse(const std::string& message);
    int Fail(const std::string& message);
    void PrintHelp();

    std::ostream& m_out;
    std::ostream& m_err;
};

#endif
