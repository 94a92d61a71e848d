#ifndef LEVELMAPRECORDS_H
#define LEVELMAPRECORDS_H

// The records a level map is read into (LevelMapData). Every index in them
// has been checked against its table: the world can use them as they are.

#include <cstdint>
#include <vector>

// A layer of 24 x 24 tiles, row by row; At takes x < width, y < height.
struct LevelTileLayer {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> cells;

    uint8_t At(uint32_t x, uint32_t y) const { return cells[y * width + x]; }
};

// Flag k of a tile type is set when its stored byte is exactly 1. At least
// six bytes are kept (zeros where the map gave fewer), so flags 0 to 5 can
// always be asked for.
struct LevelTileType {
    std::vector<uint8_t> flagBytes;

    bool HasFlag(uint32_t flag) const { return flag < flagBytes.size() && flagBytes[flag] == 1; }
};

// Tile flags the game reads.
constexpr uint32_t kTileFlagPassable = 0;
constexpr uint32_t kTileFlagPlatform = 1;
constexpr uint32_t kTileFlagDeadly = 4;
constexpr uint32_t kTileFlagLedge = 5;

constexpr int8_t kNoActorType = -1;
constexpr int8_t kNoSpriteSet = -1;
constexpr int16_t kNoTemplate = -1;

struct LevelTemplate {
    // False for an empty record and for one whose type the game has no
    // actor for: no actor is ever made of it.
    bool present = false;
    // Actor type 0..69, or kNoActorType for a typeless decoration.
    int8_t type = kNoActorType;
    // The sprite byte as stored.
    uint8_t spriteByte = 0;
    // An earlier template whose sprite instance this one copies, or
    // kNoTemplate; when there is none, a new instance of spriteSet.
    int16_t sharedTemplate = kNoTemplate;
    int8_t spriteSet = kNoSpriteSet;
    // 0: spawn y is the box bottom; 1: the box top; other values: as given.
    int8_t anchor = 0;
    // 1 for a carrier, else 0.
    uint8_t createFlag = 0;
    // Activation ranges as stored: tiles, 0 always, negative view + box.
    int8_t horizontalRange = 0;
    int8_t verticalRange = 0;
    std::vector<int8_t> extraData;

    bool HasSprite() const { return sharedTemplate != kNoTemplate || spriteSet != kNoSpriteSet; }
};

// A spawn point. templateIndex is kNoTemplate when the map named a template
// that cannot make an actor: such a spawn stays empty for the whole level.
struct LevelSpawn {
    int16_t templateIndex = kNoTemplate;
    int16_t x = 0;
    int16_t y = 0;  // as stored, before the anchor adjustment
};

// Reference record kinds.
constexpr uint8_t kRefPlayerFormARight = 0;
constexpr uint8_t kRefActor = 1;
constexpr uint8_t kRefPlayerFormALeft = 2;
constexpr uint8_t kRefPlayerFormBRight = 3;
constexpr uint8_t kRefPlayerFormBLeft = 4;

// The player's start: the last start record of the map.
struct LevelPlayerStart {
    bool present = false;
    uint8_t kind = kRefPlayerFormARight;
    int16_t x = 0;
    int16_t y = 0;

    bool IsFormB() const { return kind == kRefPlayerFormBRight || kind == kRefPlayerFormBLeft; }
    bool FacesLeft() const { return kind == kRefPlayerFormALeft || kind == kRefPlayerFormBLeft; }
};

#endif
