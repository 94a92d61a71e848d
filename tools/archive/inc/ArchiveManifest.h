#ifndef ARCHIVEMANIFEST_H
#define ARCHIVEMANIFEST_H

#include "BigArchiveWriter.h"
#include "ResourcePackWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// A text description of an archive, one statement a line ('#' starts a
// comment; numbers are decimal or 0x-prefixed hexadecimal; a path may be
// double-quoted and is relative to the manifest's folder):
//
//   ranges                                   id table as ranges (default: list)
//   entry  ID TYPE PATH [deflate] [header=N]
//   pack   ID TYPE [deflate] [header=N] [ids=auto|listed|consecutive]
//          [offsets=auto|16|32] [words=yes|no]
//   member ID TYPE PATH [deflate] [header=N]   (inside a pack)
//   end                                      closes the pack
class ArchiveManifest {
public:
    bool Load(const std::string& path, std::string& error);
    bool Parse(const std::string& text, const std::string& baseDirectory, std::string& error);

    // Reads every file the manifest names and builds the archive.
    bool Build(std::vector<uint8_t>& out, std::string& error) const;

    IdTableForm Form() const { return m_form; }

private:
    struct Item {
        uint32_t id = 0;
        uint32_t typeWord = 0;
        std::string path;  // empty for a pack
        bool deflate = false;
        uint16_t headerSize = 4;
        PackOptions pack;
        std::vector<Item> members;
    };

    bool ParseLine(const std::vector<std::string>& words, std::string& error);
    bool ParseItem(const std::vector<std::string>& words, bool isFile, Item& item, std::string& error) const;
    bool ParseOption(const std::string& word, bool isFile, Item& item, std::string& error) const;
    bool EncodeItem(const Item& item, std::vector<uint8_t>& entry, std::string& error) const;
    bool EncodePack(const Item& item, std::vector<uint8_t>& block, std::string& error) const;

    IdTableForm m_form = IdTableForm::List;
    std::string m_baseDirectory;
    std::vector<Item> m_items;
    bool m_inPack = false;
};

#endif
