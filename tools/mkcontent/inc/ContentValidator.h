#ifndef CONTENTVALIDATOR_H
#define CONTENTVALIDATOR_H

#include "CompiledContent.h"

#include <string>

// The rules the engine relies on without checking them itself, applied to
// compiled content before anything is written. The first broken rule fails
// with the source file and line it comes from:
//   - handles are plain archive handles with unique, non-zero archive ids;
//     no entry is empty (the engine cannot open one)
//   - every fixed resource of the game is there with its type word, and
//     every fixed text in string table 0
//   - image descriptors: at most 12 attribute pairs, no (0,0) terminator, the
//     bitmap entry last and of the bitmap type
//   - bitmaps: 4, 8 or 24 bits, 40-byte header, bottom-up, full palette, and
//     no visible colour that the colour key would make transparent
//   - fonts: glyph codes ascending below 0x8000, every glyph inside the atlas
//   - texts: valid UTF-8, characters up to U+FFFF only, never empty
//   - key sets: a count and exactly that many handles; intro images exist
//   - sounds: whole 16-bit samples
//   - sprites: the sprite data's own rules (indexes, durations, every
//     drawn image module held), sets 0 to 56 with 36 animations or more
//     (the highest the game asks for is 35), two sprites in set 12 (the
//     last level's variant), ids that stay within 15 bits
//   - levels: see LevelSetValidator and LevelValidator
class ContentValidator {
public:
    static bool Check(const CompiledContent& content, std::string& error);

    // For the dump and tests: whether bytes are UTF-8 the engine decodes
    // (1- to 3-byte forms only).
    static bool IsEngineUtf8(const std::vector<uint8_t>& bytes);

private:
    static bool CheckHandles(const CompiledContent& content, std::string& error);
    static bool CheckFixedResources(const CompiledContent& content, std::string& error);
    static bool CheckDescriptor(const CompiledContent& content, const ContentEntry& entry, std::string& error);
    static bool CheckBitmap(const ContentEntry& entry, std::string& error);
    static bool CheckFont(const CompiledContent& content, const FontResources& font, std::string& error);
    static bool CheckTexts(const StringTable& table, std::string& error);
    static bool CheckKeyset(const CompiledContent& content, const ContentEntry& entry, std::string& error);
    static bool CheckSound(const ContentEntry& entry, std::string& error);
    static bool CheckSprites(const SpriteContent& sprites, std::string& error);
    static bool Fail(const SourcePlace& place, const std::string& message, std::string& error);
};

#endif
