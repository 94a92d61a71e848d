#ifndef CONTENTARCHIVE_H
#define CONTENTARCHIVE_H

#include "BigArchiveWriter.h"
#include "CompiledContent.h"

#include <string>
#include <vector>

// Lays compiled content out as the game's archive: every entry, a pack per
// string table and the directory (entry 271) that names the tables.
class ContentArchive {
public:
    static constexpr const char* kArchiveName = "mchvx2.big";
    static constexpr size_t kMaxLanguageBytes = 4;
    static constexpr size_t kMaxNameBytes = 15;

    // Bitmaps and image descriptors are stored as they are (the engine skips
    // inside bitmaps and reads a descriptor while it opens its bitmap);
    // everything else is deflated unless `deflate` is false.
    static bool Fill(const CompiledContent& content, bool deflate, BigArchiveWriter& writer, std::string& error);

    // The directory: no meta handles, the string tables (handle, 4 attribute
    // bytes holding the language, a zero-padded 16-byte UTF-8 name), no packs.
    static std::vector<uint8_t> Directory(const std::vector<StringTable>& tables);

    // Writes the archive and the configuration files into `directory`, each
    // through a temporary file renamed into place, so that a failed run
    // leaves no partial file.
    static bool WriteAll(const CompiledContent& content, bool deflate, const std::string& directory,
                         std::string& error);

private:
    static bool WriteReplacing(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
    static bool Deflates(uint32_t typeWord, bool deflate);
};

#endif
