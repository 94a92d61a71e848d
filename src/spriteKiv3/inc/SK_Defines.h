#ifndef SK_DEFINES_H
#define SK_DEFINES_H

// The records the sprite data is read into. Module numbers run over the
// image modules first, then the rectangle modules. Little-endian on file.

#include "CClass.h"
#include "CResourceStream.h"
#include "SK_Array.h"
#include "SK_BitSet.h"
#include "SK_DrawContext.h"
#include "SK_ImageSlot.h"

// The value of an optional s8 index in the data.
constexpr int8_t SK_kNone = -1;
// Colour of a rectangle module that is an invisible box.
constexpr int32_t SK_kBoxColour = -1;
// Stored durations are in units of this many milliseconds.
constexpr uint32_t SK_kDurationUnitMs = 10;
// Colours of a palette data block.
constexpr uint32_t SK_kPaletteColours = 256;

// Module-map modes; any other mode draws as kUnderlay.
enum SK_MapMode : uint32_t {
    SK_kMapReplace = 0,  // the replacement instead of the module
    SK_kMapOverlay = 1,  // the module, then the replacement over it
    SK_kMapUnderlay = 2, // the replacement, then the module over it
};

// A data block of the definition as read, and the palette of 256 colours
// decoded from it (zeros past its end) for the image decoder.
struct SK_Image {
    SK_Array<uint8_t> bytes;
    SK_Array<uint32_t> palette;
};

struct SK_ImageModule {
    uint16_t slotIndex;
    uint8_t attribute;
    uint8_t variant;
};

struct SK_RectModule {
    int32_t colour;
    uint16_t width;
    uint16_t height;
    int8_t attribute;
};

struct SK_ModuleMapEntry {
    uint16_t module;
    uint16_t replacement;
    uint32_t mode;
    int16_t dx;
    int16_t dy;
};

// Entries ascend by module number.
struct SK_ModuleMap {
    SK_Array<SK_ModuleMapEntry> entries;
};

struct SK_Part {
    uint16_t module;
    int16_t dx;
    int16_t dy;
};

struct SK_Frame {
    SK_Array<SK_Part> parts;
};

struct SK_PoseEntry {
    uint16_t frame;
    int16_t dx;
    int16_t dy;
};

struct SK_Pose {
    SK_Array<SK_PoseEntry> entries;
};

// Durations in milliseconds.
struct SK_Animation {
    uint8_t transformMask;
    uint8_t frameCount;
    SK_Array<uint16_t> poseIndices;
    SK_Array<uint16_t> durations;
};

struct SK_Sprite {
    SK_BitSet usedImageModules;
    uint8_t prepared;
    int8_t moduleMapIndex;
};

struct SK_SpriteSet {
    SK_Array<SK_Frame> frames;
    SK_Array<SK_Pose> poses;
    SK_Array<SK_Animation> animations;
    SK_Array<SK_Sprite> sprites;

    // On the engine heap; null when it is full.
    static void* operator new(size_t bytes) noexcept { return MemAlloc(bytes); }
    static void operator delete(void* block) noexcept { MemFree(block); }
};

// One step of drawing a part: a module at an offset from the part.
struct SK_DrawStep {
    uint16_t module;
    int16_t dx;
    int16_t dy;
};

#endif
