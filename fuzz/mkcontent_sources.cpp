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
#include "FuzzCheck.h"
#include "ImageScript.h"
#include "SoundScript.h"
#include "SourceText.h"
#include "SpriteDataWriter.h"
#include "SpriteScript.h"
#include "StringTableSource.h"

namespace {

const char* const kNames[] = {"palette.txt", "font.fnt",  "images.img",   "strings.txt",    "sounds.snd",
                              "sprites.spr", "device.conf", "softkey.conf", "properties.dat"};

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
