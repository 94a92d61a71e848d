#ifndef SPRITEDATA_H
#define SPRITEDATA_H

// The sprite module's data as a tool builds it, before it is written (see
// SpriteDataWriter). Field names follow the stored records; all counts come
// from the vectors' sizes.

#include <cstdint>
#include <vector>

namespace spritedata {

// The value of an optional s8 index (block of a slot, module map of a sprite).
constexpr int8_t kNone = -1;
// A rectangle module of this colour is an invisible box.
constexpr uint32_t kBoxColour = 0xFFFFFFFF;
// Module-map modes: draw the replacement instead of the module; the module
// then the replacement over it; the replacement then the module over it.
constexpr uint8_t kMapReplace = 0;
constexpr uint8_t kMapOverlay = 1;
constexpr uint8_t kMapUnderlay = 2;
// Largest stored duration (10 ms units) that the reader keeps unwrapped.
constexpr uint16_t kMaxDuration = 6553;
// Every transform allowed.
constexpr uint8_t kAllTransforms = 0xFF;

// One image slot: the image entry's offset from the image base id, and the
// palette block handed to the decoder (kNone: the image's own palette).
struct Slot {
    uint16_t imageIndex = 0;
    int8_t blockIndex = kNone;
};

// Module numbers: image modules first (0 .. imageModules.size() - 1), then
// rectangle modules.
struct ImageModule {
    uint16_t slotIndex = 0;
    uint8_t variant = 0;  // 0-7: bit 0 mirrors vertically, bit 1 horizontally, bit 2 exchanges the axes
    uint8_t attribute = 0;
};

struct RectModule {
    uint32_t colour = kBoxColour;  // a8r8g8b8; kBoxColour for an invisible box
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t attribute = 0;  // 1 body box, 2-4 further boxes
};

struct MapEntry {
    uint16_t module = 0;
    uint16_t replacement = 0;
    uint8_t mode = kMapReplace;
    int16_t dx = 0;
    int16_t dy = 0;
};

// Entries are written in the order given; the reader finds them only when
// they ascend by module (SpriteDataChecker reports it).
using ModuleMap = std::vector<MapEntry>;

struct Definition {
    // Palette blocks: 256 colours of 4 bytes each (blue, green, red, 0).
    std::vector<std::vector<uint8_t>> blocks;
    uint16_t reserved = 0;
    std::vector<Slot> slots;
    std::vector<ImageModule> imageModules;
    std::vector<RectModule> rectModules;
    std::vector<ModuleMap> maps;
    uint8_t setCount = 0;
};

struct Part {
    uint16_t module = 0;
    int16_t dx = 0;
    int16_t dy = 0;
};

using Frame = std::vector<Part>;

struct PoseEntry {
    uint16_t frame = 0;
    int16_t dx = 0;
    int16_t dy = 0;
};

using Pose = std::vector<PoseEntry>;

struct AnimationFrame {
    uint16_t pose = 0;
    uint16_t duration = 0;  // in units of 10 ms, as stored
};

struct Animation {
    uint8_t transformMask = kAllTransforms;  // bit t allows transform t
    std::vector<AnimationFrame> frames;
};

struct Sprite {
    // The image modules the sprite can draw (directly or through its map).
    std::vector<uint16_t> imageModules;
    int8_t moduleMapIndex = kNone;
};

struct SpriteSet {
    std::vector<Frame> frames;
    std::vector<Pose> poses;
    std::vector<Animation> animations;
    std::vector<Sprite> sprites;
};

// Where the data lies: the definition's resource id, the first set's id (set
// s is setBase + s) and the image base (slot k's image is imageBase +
// imageIndex). Plain archive handles: 0x05000000 | archive id.
struct Ids {
    uint32_t definition = 0x05000110;
    uint32_t setBase = 0x05000120;
    uint32_t imageBase = 0x05000200;
};

}  // namespace spritedata

#endif
