#include "GameLevelRules.h"

#include <iterator>

namespace {

// The game's table from a template's sprite index to a sprite set.
constexpr int8_t kSpriteSets[GameLevelRules::kSpriteTableSize] = {
    -1, 1,  -1, 2,  8,  6,  7,  -1, 5,  -1, 10, -1, 18, -1, 13, -1, -1, 14, -1, 38, -1, 34,
    -1, -1, 44, 17, -1, 19, 19, -1, 21, 22, -1, -1, -1, 50, 50, -1, 23, -1, 26, 49, 27, 29,
    28, 30, 24, 31, -1, 33, 32, 32, 35, 9,  36, 36, 40, 24, 40, 3,  41, 39, 43, -1};

constexpr int32_t kPlayerFormA = 0;
constexpr int32_t kPlayerFormB = 2;
constexpr int32_t kPartner = 22;
constexpr int32_t kMineType = 6;
constexpr int32_t kSpikesType = 42;
constexpr int32_t kPartnerPointType = 43;
constexpr size_t kTouchedPointDataCount = 2;

}  // namespace

int32_t GameLevelRules::SpriteSetFor(int32_t spriteIndex) {
    if (spriteIndex < 0 || spriteIndex >= kSpriteTableSize) return -1;
    return kSpriteSets[spriteIndex];
}

bool GameLevelRules::IsSpawnable(int32_t type) {
    return type >= 0 && type < kActorTypeCount && type != kPlayerFormA && type != kPlayerFormB && type != kPartner;
}

bool GameLevelRules::DataLengthFits(int32_t type, size_t count) {
    switch (type) {
        case 3:  // patrol flag; a second byte makes it wait hidden and run in
            return count == 1 || count == 2;
        case 24:  // kind of the pickup inside
        case 25:  // pickup kind
        case 41:  // reference of its return point
        case 47:  // command
        case 49:  // variant
            return count == 1;
        case 12:  // one byte 0: approaches; otherwise waits for a signal
        case 19:
        case 61:  // side it may be pushed from
        case 42:  // variant
        case 45:  // damage of its moves
        case 57:  // direction
        case 59:  // stay flag
        case 67:  // reference of the door it counts down
            return count <= 1;
        case 14:  // animation, mode, self-running
            return count == 3;
        case 28:
        case 51:
        case 55:  // door reference, mode
            return count == 2;
        case 43:  // variant; two bytes: touched rather than scripted
            return count == 1 || count == 2;
        case 27:
        case 50:
        case 54:  // none: an ordinary door; 1: mode; 2: presses needed
            return count <= 2;
        case -1:  // animation and depth
            return count == 0 || count == 2;
        default:
            return count == 0;
    }
}

const char* GameLevelRules::DataLengthRule(int32_t type) {
    switch (type) {
        case 3:
        case 43:
            return "one or two data bytes";
        case 12:
        case 19:
        case 61:
        case 42:
        case 45:
        case 57:
        case 59:
        case 67:
            return "at most one data byte";
        case 14:
            return "three data bytes (animation, mode, self-running)";
        case 28:
        case 51:
        case 55:
            return "two data bytes (door reference, mode)";
        case 27:
        case 50:
        case 54:
            return "at most two data bytes";
        case -1:
            return "no data or two bytes (animation, depth)";
        default:
            return DataLengthFits(type, 1) ? "exactly one data byte" : "no data";
    }
}

bool GameLevelRules::AnswersSignal(int32_t type) {
    static const int32_t kTypes[] = {1, 12, 35, 41, 56, 58, 67};
    for (int32_t answering : kTypes) {
        if (answering == type) return true;
    }
    return false;
}

bool GameLevelRules::ReleasesWaitingScript(int32_t type, size_t dataCount) {
    // A point touched rather than scripted calls the partner itself and
    // never tells the script.
    if (type == kPartnerPointType) return dataCount != kTouchedPointDataCount;
    static const int32_t kTypes[] = {4, 35, 41, 56, 58};
    for (int32_t releasing : kTypes) {
        if (releasing == type) return true;
    }
    return false;
}

bool GameLevelRules::StaysInPlay(int32_t type) {
    static const int32_t kTypes[] = {8, 27, 38, 41, 50, 54, 56, 60};
    for (int32_t staying : kTypes) {
        if (staying == type) return true;
    }
    return false;
}

bool GameLevelRules::IsDoor(int32_t type) { return type == 27 || type == 50 || type == 54; }

bool GameLevelRules::IsSwitch(int32_t type) { return type == 28 || type == 51 || type == 55; }

bool GameLevelRules::IsHazard(int32_t type) { return type == kSpikesType || type == kMineType; }
