// The content compiler's source parsers on arbitrary text: the first byte
// picks the parser, the rest is the source. Each either refuses with a
// message naming the source, or gives output that keeps its own limits.

#include <cstdint>
#include <string>
#include <vector>

#include "BitmapFont.h"
#include "ColourPalette.h"
#include "CompiledContent.h"
#include "ConfigFileChecker.h"
#include "DialogueTable.h"
#include "FuzzCheck.h"
#include "ImageScript.h"
#include "LevelMapSource.h"
#include "LevelMapWriter.h"
#include "LevelScriptSource.h"
#include "LevelScriptWriter.h"
#include "LevelValidator.h"
#include "SoundScript.h"
#include "SourceText.h"
#include "SpriteDataWriter.h"
#include "SpriteScript.h"
#include "StringTableSource.h"

namespace {

const char* const kNames[] = {"palette.txt", "font.fnt",     "images.img",     "strings.txt", "sounds.snd",
                              "sprites.spr", "device.conf",  "softkey.conf",   "properties.dat", "level.map",
                              "level.scr",   "dialogue.txt"};
constexpr int kMapParser = 9;
constexpr int kScriptParser = 10;
constexpr int kDialogueParser = 11;
constexpr size_t kSpriteSets = 57;

SourceText Source(const std::string& name, const std::string& text) {
    SourceText source;
    source.SetText(name, text);
    return source;
}

const ColourPalette& Palette() {
    static const ColourPalette palette = [] {
        ColourPalette parsed;
        std::string error;
        Check(parsed.Parse(Source("p", "colour white F0F0F0\ncolour ink 101010\ncolour red C02020\n"), error));
        return parsed;
    }();
    return palette;
}

const BitmapFont& Font() {
    static const BitmapFont font = [] {
        BitmapFont parsed;
        std::string error;
        Check(parsed.Parse(Source("f", "metrics ascent=3 descent=1 spacing=1\ncolours ink=white shadow=ink\n"
                                       "glyph A\n.#.\n###\n#.#\n\nglyph 1\n.#\n##\n.#\n"),
                           Palette(), error));
        return parsed;
    }();
    return font;
}

void CheckFont(const SourceText& source, std::string& error) {
    BitmapFont font;
    if (!font.Parse(source, Palette(), error)) return;
    const Raster atlas = font.Atlas();
    Check(atlas.Width() <= 1024 && atlas.Height() <= 1024);
    Check(font.FontData().size() >= 12);
}

void CheckImages(const SourceText& source, std::string& error) {
    ImageScript script(Palette(), Font());
    std::vector<DrawnImage> images;
    if (!script.Parse(source, images, error)) return;
    for (const DrawnImage& image : images) {
        Check(image.raster.Width() > 0 && image.raster.Width() <= 1024);
        Check(image.raster.Height() > 0 && image.raster.Height() <= 1024);
    }
}

void CheckSounds(const SourceText& source, std::string& error) {
    SoundScript script;
    std::vector<ContentEntry> sounds;
    if (!script.Parse(source, sounds, error)) return;
    for (const ContentEntry& sound : sounds) Check(sound.payload.size() % 2 == 0);
}

void CheckSprites(const SourceText& source, std::string& error) {
    SpriteScript script(Palette(), Font());
    SpriteContent sprites;
    if (!script.Parse(source, sprites, error)) return;
    Check(sprites.sets.size() == sprites.definition.setCount);
    Check(sprites.pictures.size() == sprites.definition.imageModules.size());
    for (const spritedata::SpriteSet& set : sprites.sets) Check(!set.animations.empty());
}

// A level the scripts under test are compiled against: two named actors.
const LevelMapContent& ScriptMap() {
    static const LevelMapContent map = [] {
        LevelMapContent parsed;
        std::string error;
        const SourceText source = Source("m", "type solid platform\ncell .\ncell = collide=solid tile=0\n"
                                              "template boss type=41 sprite=41 data=@post\n"
                                              "template mark type=decor sprite=47\n"
                                              "actor B boss name=boss\nactor M mark name=post\nstart P formA\n"
                                              "grid\n....\n.PBM\n====\nend\n");
        LevelMapSource maps;
        Check(maps.Parse({&source}, parsed, error));
        return parsed;
    }();
    return map;
}

const DialogueTable& Dialogue() {
    static const DialogueTable table = [] {
        DialogueTable parsed;
        std::string error;
        Check(parsed.Parse(Source("d", "hello 0x21FF0131\n"), error));
        return parsed;
    }();
    return table;
}

// A map that parses must encode, and the validator must give a verdict.
void CheckMap(const SourceText& source, std::string& error) {
    CompiledLevel level;
    LevelMapSource maps;
    if (!maps.Parse({&source}, level.map, error)) return;
    const leveldata::LevelMap& map = level.map.map;
    Check(map.collision.codes.size() == static_cast<size_t>(map.tiles.width) * map.tiles.height);
    Check(map.templates.size() == level.map.templatePlaces.size());
    Check(map.spawns.size() == level.map.spawnPlaces.size());
    std::vector<uint8_t> bytes;
    std::string reason;
    Check(LevelMapWriter::Encode(map, &bytes, &reason));
    LevelValidator::Check(level, kSpriteSets, reason);
}

void CheckScripts(const SourceText& source, std::string& error) {
    CompiledLevel level;
    level.map = ScriptMap();
    LevelScriptSource scripts(level.map, Dialogue());
    if (!scripts.Parse(source, level.scripts, error)) return;
    Check(level.scripts.scripts.size() == level.scripts.commandPlaces.size());
    std::vector<uint8_t> bytes;
    std::string reason;
    Check(LevelScriptWriter::Encode(level.scripts.scripts, &bytes, &reason));
    LevelValidator::Check(level, kSpriteSets, reason);
}

void CheckOthers(int parser, const SourceText& source, std::string& error) {
    if (parser == 0) {
        ColourPalette palette;
        palette.Parse(source, error);
    } else if (parser == 3) {
        StringTableSource strings;
        std::vector<ContentEntry> texts;
        if (strings.Parse(source, texts, error)) {
            for (const ContentEntry& text : texts) Check((text.handle & 0xFFFF0000u) == 0x21FF0000u);
        }
    } else if (parser == kMapParser) {
        CheckMap(source, error);
    } else if (parser == kScriptParser) {
        CheckScripts(source, error);
    } else if (parser == kDialogueParser) {
        DialogueTable dialogue;
        if (dialogue.Parse(source, error)) Check(!dialogue.Empty());
    } else {
        ConfigFileChecker::Check(source.Name(), source, error);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int parser = data[0] % static_cast<int>(std::size(kNames));
    const SourceText source = Source(kNames[parser], std::string(data + 1, data + size));
    std::string error;
    switch (parser) {
        case 1:
            CheckFont(source, error);
            break;
        case 2:
            CheckImages(source, error);
            break;
        case 4:
            CheckSounds(source, error);
            break;
        case 5:
            CheckSprites(source, error);
            break;
        default:
            CheckOthers(parser, source, error);
            break;
    }
    // A refusal always names the source it comes from.
    Check(error.empty() || error.rfind(kNames[parser], 0) == 0);
    return 0;
}
