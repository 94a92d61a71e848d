#include "ContentCompiler.h"

#include "BitmapFile.h"
#include "ConfigFileChecker.h"
#include "ContentArchive.h"
#include "ContentTypes.h"
#include "ImageScript.h"
#include "GameLevelRules.h"
#include "LevelMapSource.h"
#include "LevelMapWriter.h"
#include "LevelScriptSource.h"
#include "LevelScriptWriter.h"
#include "LittleEndianWriter.h"
#include "SoundScript.h"
#include "SourceWords.h"
#include "SpriteDataWriter.h"
#include "SpriteScript.h"
#include "StringTableSource.h"
#include "ToolFiles.h"

#include <map>

namespace {

// Render-surface attribute keys of an image descriptor.
constexpr uint32_t kAttrColourFormat = 6;
constexpr uint32_t kAttrImageEntry = 14;
// Colour format "as the display" with the colour plane requested.
constexpr uint32_t kDisplayFormat = 0xFFFFFFFF;

std::string FileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool ContentCompiler::Compile(const std::string& directory, CompiledContent& out, std::string& error) {
    m_directory = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    m_out = &out;
    out = CompiledContent();
    out.manifest = m_directory + kManifestName;
    SourceText manifest;
    if (!manifest.Load(out.manifest, error)) return false;
    for (size_t i = 0; i < manifest.LineCount(); ++i) {
        SourceLine line;
        if (!manifest.Line(i, line, error)) return false;
        if (!line.words.empty() && !Statement(line, error)) return false;
    }
    AddLevelKeysets();
    return true;
}

bool ContentCompiler::Statement(const SourceLine& line, std::string& error) {
    typedef bool (ContentCompiler::*Compiler)(const SourceLine&, std::string&);
    static const std::map<std::string, Compiler> compilers = {
        {"palette", &ContentCompiler::CompilePalette}, {"bitmaps", &ContentCompiler::CompileBitmaps},
        {"font", &ContentCompiler::CompileFont},       {"images", &ContentCompiler::CompileImages},
        {"strings", &ContentCompiler::CompileStrings}, {"sounds", &ContentCompiler::CompileSounds},
        {"keyset", &ContentCompiler::CompileKeyset},   {"binary", &ContentCompiler::CompileBinary},
        {"config", &ContentCompiler::CompileConfig},   {"sprites", &ContentCompiler::CompileSprites},
        {"dialogue", &ContentCompiler::CompileDialogue}, {"levels", &ContentCompiler::CompileLevels},
        {"level", &ContentCompiler::CompileLevel}};
    const auto compiler = compilers.find(line.words[0]);
    if (compiler == compilers.end()) {
        return SourceText::Fail(line.place, "unknown statement `" + line.words[0] + "`", error);
    }
    return (this->*compiler->second)(line, error);
}

bool ContentCompiler::Load(const SourceLine& line, size_t word, SourceText& source, std::string& error) const {
    if (line.words.size() <= word) return SourceText::Fail(line.place, "`" + line.words[0] + "` needs a file", error);
    std::string reason;
    if (!source.Load(m_directory + line.words[word], reason)) return SourceText::Fail(line.place, reason, error);
    return true;
}

bool ContentCompiler::Handle(const SourceLine& line, size_t word, uint32_t& handle, std::string& error) const {
    int32_t value = 0;
    if (line.words.size() <= word || !SourceWords::ParseInt(line.words[word], value)) {
        return SourceText::Fail(line.place, "`" + line.words[0] + "` needs a handle as word " + std::to_string(word + 1),
                                error);
    }
    handle = static_cast<uint32_t>(value);
    return true;
}

bool ContentCompiler::CompilePalette(const SourceLine& line, std::string& error) {
    SourceText source;
    if (m_havePalette) return SourceText::Fail(line.place, "there is one palette", error);
    m_havePalette = Load(line, 1, source, error) && m_palette.Parse(source, error);
    return m_havePalette;
}

bool ContentCompiler::CompileBitmaps(const SourceLine& line, std::string& error) {
    return Handle(line, 1, m_nextBitmapId, error);
}

bool ContentCompiler::CompileFont(const SourceLine& line, std::string& error) {
    FontResources font;
    SourceText source;
    if (!m_havePalette) return SourceText::Fail(line.place, "the font needs the palette first", error);
    if (!m_font.Empty()) return SourceText::Fail(line.place, "there is one font", error);
    if (!Handle(line, 1, font.dataHandle, error) || !Handle(line, 2, font.imageHandle, error) ||
        !Load(line, 3, source, error) || !m_font.Parse(source, m_palette, error)) {
        return false;
    }
    font.place = {source.Name(), 0};
    m_out->fonts.push_back(font);
    m_out->entries.push_back({font.dataHandle, ContentTypes::kBinary, m_font.FontData(), font.place});
    AddImage(font.imageHandle, m_font.Atlas(), font.place);
    return true;
}

bool ContentCompiler::CompileImages(const SourceLine& line, std::string& error) {
    if (m_font.Empty()) return SourceText::Fail(line.place, "images need the palette and the font first", error);
    SourceText source;
    std::vector<DrawnImage> images;
    ImageScript script(m_palette, m_font);
    if (!Load(line, 1, source, error) || !script.Parse(source, images, error)) return false;
    for (const DrawnImage& image : images) AddImage(image.handle, image.raster, image.place);
    return true;
}

void ContentCompiler::AddImage(uint32_t handle, const Raster& raster, const SourcePlace& place) {
    const uint32_t bitmapId = m_nextBitmapId++;
    m_out->entries.push_back({bitmapId, ContentTypes::kBitmap, BitmapFile::Encode(raster), place});
    ContentEntry descriptor{handle, ContentTypes::kImageDescriptor, {}, place};
    LittleEndianWriter writer(descriptor.payload);
    writer.U32(kAttrColourFormat);
    writer.U32(kDisplayFormat);
    // The bitmap last: the engine opens it while the descriptor is still
    // being read from the same archive file.
    writer.U32(kAttrImageEntry);
    writer.U32(bitmapId);
    m_out->entries.push_back(descriptor);
}

bool ContentCompiler::CompileStrings(const SourceLine& line, std::string& error) {
    StringTable table;
    SourceText source;
    std::map<std::string, std::string> options;
    std::string bad;
    if (!Handle(line, 1, table.handle, error) || !Load(line, 2, source, error)) return false;
    if (!SourceWords::Options(line.words, 3, options, bad) || options.size() != 2 || !options.count("language") ||
        !options.count("name")) {
        return SourceText::Fail(line.place, "expected `strings HANDLE FILE language=XX name=NAME`", error);
    }
    table.language = options["language"];
    table.name = options["name"];
    if (table.language.size() > ContentArchive::kMaxLanguageBytes || table.name.size() > ContentArchive::kMaxNameBytes) {
        return SourceText::Fail(line.place, "a language has at most 4 bytes and a name at most 15", error);
    }
    table.place = line.place;
    StringTableSource strings;
    if (!strings.Parse(source, table.texts, error)) return false;
    m_out->tables.push_back(table);
    return true;
}

bool ContentCompiler::CompileSounds(const SourceLine& line, std::string& error) {
    SourceText source;
    SoundScript sounds;
    return Load(line, 1, source, error) && sounds.Parse(source, m_out->entries, error);
}

bool ContentCompiler::CompileKeyset(const SourceLine& line, std::string& error) {
    ContentEntry keyset{0, ContentTypes::kKeyset, {}, line.place};
    if (!Handle(line, 1, keyset.handle, error)) return false;
    LittleEndianWriter writer(keyset.payload);
    writer.U16(static_cast<uint16_t>(line.words.size() - 2));
    for (size_t word = 2; word < line.words.size(); ++word) {
        uint32_t value = 0;
        if (!Handle(line, word, value, error)) return false;
        writer.U32(value);
    }
    m_out->entries.push_back(keyset);
    return true;
}

bool ContentCompiler::CompileBinary(const SourceLine& line, std::string& error) {
    ContentEntry binary{0, ContentTypes::kBinary, {}, line.place};
    std::string reason;
    if (!Handle(line, 1, binary.handle, error)) return false;
    if (line.words.size() != 3) return SourceText::Fail(line.place, "expected `binary HANDLE FILE`", error);
    if (!ToolFiles::Read(m_directory + line.words[2], binary.payload, reason)) {
        return SourceText::Fail(line.place, reason, error);
    }
    m_out->entries.push_back(binary);
    return true;
}

bool ContentCompiler::CompileConfig(const SourceLine& line, std::string& error) {
    SourceText source;
    if (line.words.size() != 2) return SourceText::Fail(line.place, "expected `config FILE`", error);
    const std::string name = FileName(line.words[1]);
    if (!ConfigFileChecker::IsConfigName(name)) {
        return SourceText::Fail(line.place, name + " is not a file the game reads", error);
    }
    if (!Load(line, 1, source, error) || !ConfigFileChecker::Check(name, source, error)) return false;
    ConfigFile file{name, {}, line.place};
    std::string reason;
    if (!ToolFiles::Read(m_directory + line.words[1], file.bytes, reason)) {
        return SourceText::Fail(line.place, reason, error);
    }
    m_out->configs.push_back(file);
    return true;
}

bool ContentCompiler::CompileSprites(const SourceLine& line, std::string& error) {
    if (m_font.Empty()) return SourceText::Fail(line.place, "sprites need the palette and the font first", error);
    SourceText source;
    SpriteContent sprites;
    SpriteScript script(m_palette, m_font);
    if (!Load(line, 1, source, error) || !script.Parse(source, sprites, error)) return false;
    const spritedata::Ids& ids = sprites.ids;
    std::vector<uint8_t> definition;
    if (!SpriteDataWriter::EncodeDefinition(sprites.definition, &definition, &error)) {
        return SourceText::Fail(sprites.place, error, error);
    }
    m_out->entries.push_back({sprites.keysetHandle, ContentTypes::kKeyset, SpriteDataWriter::EncodeKeyset(ids),
                              sprites.place});
    m_out->entries.push_back({ids.definition, ContentTypes::kBinary, definition, sprites.place});
    const uint16_t imageModules = static_cast<uint16_t>(sprites.definition.imageModules.size());
    for (size_t s = 0; s < sprites.sets.size(); ++s) {
        ContentEntry set{ids.setBase + static_cast<uint32_t>(s), ContentTypes::kBinary, {}, sprites.setPlaces[s]};
        if (!SpriteDataWriter::EncodeSet(sprites.sets[s], imageModules, &set.payload, &error)) {
            return SourceText::Fail(set.origin, error, error);
        }
        m_out->entries.push_back(set);
    }
    for (size_t k = 0; k < sprites.pictures.size(); ++k) {
        m_out->entries.push_back({ids.imageBase + static_cast<uint32_t>(k), ContentTypes::kBitmap,
                                  BitmapFile::Encode(sprites.pictures[k]), sprites.place});
    }
    m_out->sprites.push_back(sprites);
    return true;
}

bool ContentCompiler::CompileDialogue(const SourceLine& line, std::string& error) {
    ContentEntry keyset{0, ContentTypes::kKeyset, {}, line.place};
    SourceText source;
    if (!m_dialogue.Empty()) return SourceText::Fail(line.place, "there is one dialogue table", error);
    if (line.words.size() != 3) return SourceText::Fail(line.place, "expected `dialogue HANDLE FILE`", error);
    if (!Handle(line, 1, keyset.handle, error) || !Load(line, 2, source, error) || !m_dialogue.Parse(source, error)) {
        return false;
    }
    LittleEndianWriter writer(keyset.payload);
    writer.U16(static_cast<uint16_t>(m_dialogue.Texts().size()));
    for (uint32_t text : m_dialogue.Texts()) writer.U32(text);
    m_out->entries.push_back(keyset);
    m_out->dialogueTexts = m_dialogue.Texts();
    m_out->dialoguePlaces = m_dialogue.Places();
    return true;
}

bool ContentCompiler::CompileLevels(const SourceLine& line, std::string& error) {
    std::map<std::string, std::string> options;
    std::string bad;
    int32_t maps = 0;
    int32_t scripts = 0;
    if (m_haveLevels) return SourceText::Fail(line.place, "there is one `levels` statement", error);
    if (line.words.size() < 5 || !Handle(line, 1, m_mapsKeyset, error) || !Handle(line, 2, m_scriptsKeyset, error) ||
        !SourceWords::Options(line.words, 3, options, bad) || !options.count("maps") || !options.count("scripts") ||
        options.size() != 2 + options.count("common") || !SourceWords::ParseInt(options["maps"], maps) ||
        !SourceWords::ParseInt(options["scripts"], scripts)) {
        return SourceText::Fail(line.place, "expected `levels MAPS SCRIPTS maps=H scripts=H [common=FILE]`", error);
    }
    if (options.count("common")) {
        std::string reason;
        if (!m_commonMap.Load(m_directory + options["common"], reason)) return SourceText::Fail(line.place, reason, error);
        m_haveCommonMap = true;
    }
    m_firstMap = static_cast<uint32_t>(maps);
    m_firstScript = static_cast<uint32_t>(scripts);
    m_haveLevels = true;
    m_out->levelsPlace = line.place;
    return true;
}

bool ContentCompiler::CompileLevel(const SourceLine& line, std::string& error) {
    CompiledLevel level;
    SourceText mapSource;
    SourceText scriptSource;
    if (!m_haveLevels || m_dialogue.Empty() || m_out->sprites.empty()) {
        return SourceText::Fail(line.place, "a level comes after `levels`, `dialogue` and `sprites`", error);
    }
    if (line.words.size() != 4 || !SourceWords::ParseInt(line.words[1], level.index) || level.index < 0 ||
        level.index >= GameLevelRules::kLevelCount) {
        return SourceText::Fail(line.place, "expected `level INDEX MAP_FILE SCRIPT_FILE` (INDEX 0 to 8)", error);
    }
    for (const CompiledLevel& known : m_out->levels) {
        if (known.index == level.index) {
            return SourceText::Fail(line.place, "level " + line.words[1] + " is defined already", error);
        }
    }
    level.place = line.place;
    level.mapHandle = m_firstMap + static_cast<uint32_t>(level.index);
    level.scriptHandle = m_firstScript + static_cast<uint32_t>(level.index);
    LevelMapSource maps;
    std::vector<const SourceText*> mapSources;
    if (m_haveCommonMap) mapSources.push_back(&m_commonMap);
    mapSources.push_back(&mapSource);
    if (!Load(line, 2, mapSource, error) || !Load(line, 3, scriptSource, error) ||
        !maps.Parse(mapSources, level.map, error)) {
        return false;
    }
    LevelScriptSource scripts(level.map, m_dialogue);
    if (!scripts.Parse(scriptSource, level.scripts, error)) return false;
    ContentEntry map{level.mapHandle, ContentTypes::kBinary, {}, level.map.place};
    ContentEntry script{level.scriptHandle, ContentTypes::kBinary, {}, level.scripts.place};
    std::string reason;
    if (!LevelMapWriter::Encode(level.map.map, &map.payload, &reason)) {
        return SourceText::Fail(level.map.place, reason, error);
    }
    if (!LevelScriptWriter::Encode(level.scripts.scripts, &script.payload, &reason)) {
        return SourceText::Fail(level.scripts.place, reason, error);
    }
    m_out->entries.push_back(map);
    m_out->entries.push_back(script);
    m_out->levels.push_back(level);
    return true;
}

void ContentCompiler::AddLevelKeysets() {
    if (!m_haveLevels) return;
    std::map<int32_t, const CompiledLevel*> byIndex;
    for (const CompiledLevel& level : m_out->levels) byIndex[level.index] = &level;
    ContentEntry maps{m_mapsKeyset, ContentTypes::kKeyset, {}, m_out->levelsPlace};
    ContentEntry scripts{m_scriptsKeyset, ContentTypes::kKeyset, {}, m_out->levelsPlace};
    LittleEndianWriter mapWriter(maps.payload);
    LittleEndianWriter scriptWriter(scripts.payload);
    mapWriter.U16(static_cast<uint16_t>(byIndex.size()));
    scriptWriter.U16(static_cast<uint16_t>(byIndex.size()));
    for (const auto& level : byIndex) {
        mapWriter.U32(level.second->mapHandle);
        scriptWriter.U32(level.second->scriptHandle);
    }
    m_out->entries.push_back(maps);
    m_out->entries.push_back(scripts);
}
