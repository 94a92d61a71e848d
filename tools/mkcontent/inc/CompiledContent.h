#ifndef COMPILEDCONTENT_H
#define COMPILEDCONTENT_H

#include "ContentEntry.h"
#include "LevelContent.h"
#include "SourceText.h"
#include "SpriteContent.h"

#include <cstdint>
#include <string>
#include <vector>

// The texts of one language; the directory lists the tables in order, and
// the game selects table 0.
struct StringTable {
    uint32_t handle = 0;
    std::string language;  // the directory's attribute bytes
    std::string name;
    SourcePlace place;
    std::vector<ContentEntry> texts;
};

// A file that lies beside the archive.
struct ConfigFile {
    std::string name;
    std::vector<uint8_t> bytes;
    SourcePlace place;
};

struct FontResources {
    uint32_t dataHandle = 0;
    uint32_t imageHandle = 0;
    SourcePlace place;
};

// Everything a content tree compiles to, each piece with its source.
struct CompiledContent {
    std::vector<ContentEntry> entries;  // archive entries but the string tables and the directory
    std::vector<StringTable> tables;
    std::vector<ConfigFile> configs;
    std::vector<FontResources> fonts;
    std::vector<SpriteContent> sprites;
    // The levels in manifest order, and the dialogue key set's texts.
    std::vector<CompiledLevel> levels;
    std::vector<uint32_t> dialogueTexts;
    std::vector<SourcePlace> dialoguePlaces;
    SourcePlace levelsPlace;
    std::string manifest;

    const ContentEntry* Find(uint32_t archiveId) const;
};

#endif
