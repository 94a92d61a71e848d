#ifndef SPRITEDATACHECKER_H
#define SPRITEDATACHECKER_H

// The rules sprite data must keep for the game to show it, beyond what its
// fields can hold: every index within its table, module maps sorted, every
// animation at least one frame long and its durations within 16 bits of
// milliseconds, and every sprite holding the image modules it can draw.

#include <cstdint>
#include <string>
#include <vector>

#include "SpriteData.h"

class SpriteDataChecker {
public:
    // Size of a palette block: 256 colours of 4 bytes.
    static constexpr size_t kPaletteBlockSize = 1024;
    static constexpr uint8_t kMaxVariant = 7;
    // Sum of an animation's durations, in ms, must stay below this.
    static constexpr uint32_t kDurationLimitMs = 65536;

    // False with the first broken rule in `error`.
    static bool Check(const spritedata::Definition& definition, const std::vector<spritedata::SpriteSet>& sets,
                      std::string* error);
    static bool CheckDefinition(const spritedata::Definition& definition, std::string* error);
    static bool CheckSet(const spritedata::Definition& definition, const spritedata::SpriteSet& set,
                         std::string* error);

    // The image modules, ascending, that the set's frames draw through the
    // module map (kNone: none): what a sprite of the set must hold.
    static std::vector<uint16_t> DrawnImageModules(const spritedata::Definition& definition,
                                                   const spritedata::SpriteSet& set, int8_t moduleMapIndex);
};

#endif
