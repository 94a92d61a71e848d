#ifndef CONTENTCOMPILER_H
#define CONTENTCOMPILER_H

#include "BitmapFont.h"
#include "ColourPalette.h"
#include "DialogueTable.h"
#include "CompiledContent.h"
#include "Raster.h"
#include "SourceText.h"

#include <cstdint>
#include <string>

// Compiles a content tree. Its manifest, `content.txt`, names every source,
// one statement a line (paths relative to the tree):
//
//   palette FILE                          named colours (first)
//   bitmaps FIRST_ID                      archive ids for the pictures' bitmaps
//   font DATA_HANDLE IMAGE_HANDLE FILE    the bitmap font (before images)
//   images FILE                           image scripts
//   strings TABLE_HANDLE FILE language=XX name=NAME
//   sounds FILE
//   keyset HANDLE VALUE...                a list of handles
//   binary HANDLE FILE                    a file stored as it is
//   config FILE                           a file put beside the archive
//   sprites FILE                          the sprite sets (after the font)
//   dialogue HANDLE FILE                  the dialogue key set: NAME TEXT_ID lines
//   levels MAPS SCRIPTS maps=H scripts=H [common=FILE]
//                                         key sets of the level streams, the
//                                         first ids of the streams, a map
//                                         source every level map begins with
//   level INDEX MAP_FILE SCRIPT_FILE      a level (after `levels`, `dialogue`
//                                         and the sprites)
class ContentCompiler {
public:
    static constexpr uint32_t kDefaultFirstBitmapId = 0x0800;
    static constexpr const char* kManifestName = "content.txt";

    bool Compile(const std::string& directory, CompiledContent& out, std::string& error);

private:
    bool Statement(const SourceLine& line, std::string& error);
    bool Load(const SourceLine& line, size_t word, SourceText& source, std::string& error) const;
    bool Handle(const SourceLine& line, size_t word, uint32_t& handle, std::string& error) const;

    bool CompilePalette(const SourceLine& line, std::string& error);
    bool CompileBitmaps(const SourceLine& line, std::string& error);
    bool CompileFont(const SourceLine& line, std::string& error);
    bool CompileImages(const SourceLine& line, std::string& error);
    bool CompileStrings(const SourceLine& line, std::string& error);
    bool CompileSounds(const SourceLine& line, std::string& error);
    bool CompileKeyset(const SourceLine& line, std::string& error);
    bool CompileBinary(const SourceLine& line, std::string& error);
    bool CompileConfig(const SourceLine& line, std::string& error);
    bool CompileSprites(const SourceLine& line, std::string& error);
    bool CompileDialogue(const SourceLine& line, std::string& error);
    bool CompileLevels(const SourceLine& line, std::string& error);
    bool CompileLevel(const SourceLine& line, std::string& error);
    // The two key sets of the level streams, by level index.
    void AddLevelKeysets();

    // The picture as a bitmap entry of its own and a descriptor at `handle`
    // that makes it an image resource.
    void AddImage(uint32_t handle, const Raster& raster, const SourcePlace& place);

    std::string m_directory;
    CompiledContent* m_out = nullptr;
    ColourPalette m_palette;
    BitmapFont m_font;
    bool m_havePalette = false;
    uint32_t m_nextBitmapId = kDefaultFirstBitmapId;
    DialogueTable m_dialogue;
    bool m_haveLevels = false;
    uint32_t m_mapsKeyset = 0;
    uint32_t m_scriptsKeyset = 0;
    uint32_t m_firstMap = 0;
    uint32_t m_firstScript = 0;
    SourceText m_commonMap;
    bool m_haveCommonMap = false;
};

#endif
