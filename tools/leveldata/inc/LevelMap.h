#ifndef LEVELMAP_H
#define LEVELMAP_H

// A level map as plain values, the input of LevelMapWriter. Every field is
// written as it stands (see LevelMapWriter.h for the byte layout); the rules
// the game relies on for a playable level are the content's to keep:
// collision and main layer of one size, collision codes -1 or 0..n-1, actor
// types -1 or 0..69, spawns only of non-empty templates with a sprite,
// reference indexes 0..39 and exactly one player start.

#include <cstdint>
#include <vector>

namespace leveldata {

// Tiles of 24 x 24 pixels, row by row: cells[y * width + x].
struct TileLayer {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> cells;
};

// Collision codes into the tile types; -1 is an empty cell.
struct CollisionLayer {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<int8_t> codes;
};

// Flag bytes as stored: flag k is set when flags[k] is 1. The game reads
// flag 0 passable, 1 platform, 4 deadly, 5 ledge; write six.
struct TileType {
    std::vector<uint8_t> flags;
};

// Type byte value of an empty record and of a typeless decoration.
constexpr uint8_t kEmptyTemplateByte = 0x80;
constexpr int8_t kNoActorType = -1;
// Sprite byte bit that shares the sprite of an earlier template.
constexpr uint8_t kShareSpriteBit = 0x80;

struct Template {
    // An empty record is the single byte 0x80; nothing else is written.
    bool empty = false;
    // Actor type 0..126, or kNoActorType (written as 127).
    int8_t type = kNoActorType;
    // Index below 64 into the game's sprite-set table, or kShareSpriteBit |
    // the index of an earlier template whose sprite is shared.
    uint8_t sprite = 0;
    // 0: spawn y is the bottom of the collision box; 1: its top.
    int8_t anchor = 0;
    // 1: a carrier (other actors ride on it); any other value: none.
    uint8_t flag = 0;
    // Activation range in tiles; 0 always active; negative one view plus
    // the sprite's box.
    int8_t horizontalRange = 0;
    int8_t verticalRange = 0;
    // At most 252 bytes, handed to the actor's constructor.
    std::vector<int8_t> data;
};

struct Spawn {
    int8_t templateIndex = 0;
    int16_t x = 0;  // sprite origin, pixels
    int16_t y = 0;  // box bottom (anchor 0) or top (anchor 1), pixels
};

// Reference record kinds.
constexpr uint8_t kRefPlayerFormARight = 0;
constexpr uint8_t kRefActor = 1;
constexpr uint8_t kRefPlayerFormALeft = 2;
constexpr uint8_t kRefPlayerFormBRight = 3;
constexpr uint8_t kRefPlayerFormBLeft = 4;

// Kind kRefActor names a spawn for reference `index` (0..39); kinds 0, 2,
// 3, 4 give the player's start (x, y in pixels); other kinds are the kind
// byte alone.
struct Reference {
    uint8_t kind = kRefActor;
    uint8_t index = 0;
    int16_t spawn = 0;
    int16_t x = 0;
    int16_t y = 0;
};

struct LevelMap {
    bool hasBackground = false;
    TileLayer background;
    std::vector<TileType> tileTypes;
    CollisionLayer collision;
    TileLayer tiles;
    std::vector<Template> templates;
    std::vector<Spawn> spawns;
    std::vector<Reference> references;
};

}  // namespace leveldata

#endif
