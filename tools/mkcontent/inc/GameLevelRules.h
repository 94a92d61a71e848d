#ifndef GAMELEVELRULES_H
#define GAMELEVELRULES_H

#include <cstddef>
#include <cstdint>

// What the game's level loader and actor behaviours expect of level data,
// as numbers the map and script compilers and the validator share.
class GameLevelRules {
public:
    static constexpr int32_t kLevelCount = 9;
    static constexpr int32_t kActorTypeCount = 70;
    static constexpr int32_t kSpriteTableSize = 64;
    static constexpr int32_t kActorRefCount = 40;
    static constexpr int32_t kTileSize = 24;
    // The view is 240 x 320 in portrait and 320 x 240 in landscape: a map
    // or camera window must cover 14 tiles both ways.
    static constexpr int32_t kMinViewTiles = 14;
    // Activation ranges beyond this make an actor leave and come back
    // every other frame.
    static constexpr int32_t kMaxActivationRange = 15;
    static constexpr int32_t kMinSpeaker = -1;
    static constexpr int32_t kMaxSpeaker = 10;
    static constexpr int32_t kTileFlagCount = 6;
    // Collision codes the actors look for.
    static constexpr int32_t kHangingAnchorCode = 4;
    static constexpr int32_t kLiftTrackCode = 9;
    // Level whose form-B start runs by itself.
    static constexpr int32_t kAutoRunLevel = 4;
    // Tile flag of the cells that kill the player.
    static constexpr size_t kTileFlagDeadly = 4;
    // A player restarting at a checkpoint (or starting the level) with the
    // walking key still held needs this many tiles to see a hazard and
    // react: nearer, one jump timing in several saves him.
    static constexpr int32_t kMinRunUpTiles = 4;

    // Sprite set of a template's sprite index, -1 for none.
    static int32_t SpriteSetFor(int32_t spriteIndex);
    // A type a map may spawn: 0..69 but the players and the partner, which
    // the loader makes itself.
    static bool IsSpawnable(int32_t type);
    // Whether `count` extra bytes are what the type's constructor reads
    // (types that read none take none).
    static bool DataLengthFits(int32_t type, size_t count);
    static const char* DataLengthRule(int32_t type);
    // Types that act on a script's signal (opcode 8).
    static bool AnswersSignal(int32_t type);
    // Whether an actor of the type, with `dataCount` extra bytes, can
    // release a script waiting for an actor (opcode 26).
    static bool ReleasesWaitingScript(int32_t type, size_t dataCount);
    // Types that stay in play however far off the view they are: only they
    // may be active everywhere (range 0); any other would leave and come
    // back every other frame.
    static bool StaysInPlay(int32_t type);
    // Doors, which switches and type 67 count down.
    static bool IsDoor(int32_t type);
    static bool IsSwitch(int32_t type);
    // Actors that hurt on contact where they stand: spikes and mines.
    static bool IsHazard(int32_t type);
};

#endif
