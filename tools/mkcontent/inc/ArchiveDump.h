#ifndef ARCHIVEDUMP_H
#define ARCHIVEDUMP_H

#include <string>
#include <vector>

class BigArchiveReader;
struct ArchiveEntryInfo;

// Lists an archive for a person: every entry's id, type and size, and what
// it holds in words: image attribute pairs, bitmap sizes, key-set handles,
// sound lengths, the directory's tables and every text of a string table.
class ArchiveDump {
public:
    static bool Dump(const std::string& path, std::string& out, std::string& error);
    static bool DumpBytes(std::vector<uint8_t> bytes, std::string& out, std::string& error);

private:
    static std::string Describe(const BigArchiveReader& archive, const ArchiveEntryInfo& entry);
    static std::string DescribePayload(uint32_t typeWord, const std::vector<uint8_t>& payload);
    static std::string DescribeTable(const std::vector<uint8_t>& block);
    static std::string DescribeDirectory(const std::vector<uint8_t>& payload);
    // The text with line breaks and quotes escaped, in quotes.
    static std::string Quote(const std::vector<uint8_t>& text);
};

#endif
