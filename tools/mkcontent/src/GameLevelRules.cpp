#include "GameLevelRules.h"

#include "ActorTypes.h"

#include <iterator>

namespace {

// The game's table from a template's sprite index to a sprite set.
constexpr int8_t kSpriteSets[GameLevelRules::kSpriteTableSize] = {
    -1, 1,  -1, 2,  8,  6,  7,  -1, 5,  -1, 10, -1, 18, -1, 13, -1, -1, 14, -1, 38, -1, 34,
    -1, -1, 44, 17, -1, 19, 19, -1, 21, 22, -1, -1, -1, 50, 50, -1, 23, -1, 26, 49, 27, 29,
    28, 30, 24, 31, -1, 33, 32, 32, 35, 9,  36, 36, 40, 24, 40, 3,  41, 39, 43, -1};

constexpr size_t kTouchedPointDataCount = 2;

}  // namespace

using namespace ActorType;

int32_t GameLevelRules::SpriteSetFor(int32_t spriteIndex) {
    if (spriteIndex < 0 || spriteIndex >= kSpriteTableSize) return -1;
    return kSpriteSets[spriteIndex];
}

bool GameLevelRules::IsSpawnable(int32_t type) {
    return type >= 0 && type < kActorTypeCount && type != kPlayerFormA && type != kPlayerFormB && type != kPartner;
}

bool GameLevelRules::DataLengthFits(int32_t type, size_t count) {
    switch (type) {
        case kLargeEnemy3:  // patrol flag; a second byte makes it wait hidden and run in
            return count == 1 || count == 2;
        case kContainer:  // kind of the pickup inside
        case kPickup:  // pickup kind
        case kBoss41:  // reference of its return point
        case kCommandPoint:  // command
        case kCrumblingLedge:  // variant
            return count == 1;
        case kPatrolFlyer:  // one byte 0: approaches; otherwise waits for a signal
        case kBlock19:
        case kBlock61:  // side it may be pushed from
        case kSpikeTrap:  // variant
        case kBarrier:  // damage of its moves
        case kLaunchPad:  // direction
        case kLargeEnemy59:  // stay flag
        case kLargeEnemy67:  // reference of the door it counts down
            return count <= 1;
        case kLift:  // animation, mode, self-running
            return count == 3;
        case kSwitch28:
        case kSwitch51:
        case kSwitch55:  // door reference, mode
            return count == 2;
        case kSummoningPoint:  // variant; two bytes: touched rather than scripted
            return count == 1 || count == 2;
        case kDoor27:
        case kDoor50:
        case kDoor54:  // none: an ordinary door; 1: mode; 2: presses needed
            return count <= 2;
        case kDecoration:  // animation and depth
            return count == 0 || count == 2;
        default:
            return count == 0;
    }
}

const char* GameLevelRules::DataLengthRule(int32_t type) {
    switch (type) {
        case kLargeEnemy3:
        case kSummoningPoint:
            return "one or two data bytes";
        case kPatrolFlyer:
        case kBlock19:
        case kBlock61:
        case kSpikeTrap:
        case kBarrier:
        case kLaunchPad:
        case kLargeEnemy59:
        case kLargeEnemy67:
            return "at most one data byte";
        case kLift:
            return "three data bytes (animation, mode, self-running)";
        case kSwitch28:
        case kSwitch51:
        case kSwitch55:
            return "two data bytes (door reference, mode)";
        case kDoor27:
        case kDoor50:
        case kDoor54:
            return "at most two data bytes";
        case kDecoration:
            return "no data or two bytes (animation, depth)";
        default:
            return DataLengthFits(type, 1) ? "exactly one data byte" : "no data";
    }
}

bool GameLevelRules::AnswersSignal(int32_t type) {
    static const int32_t kTypes[] = {kLargeEnemy1, kPatrolFlyer, kBoss35, kBoss41, kFlyingBoss, kBomber, kLargeEnemy67};
    for (int32_t answering : kTypes) {
        if (answering == type) return true;
    }
    return false;
}

bool GameLevelRules::ReleasesWaitingScript(int32_t type, size_t dataCount) {
    // A point touched rather than scripted calls the partner itself and
    // never tells the script.
    if (type == kSummoningPoint) return dataCount != kTouchedPointDataCount;
    static const int32_t kTypes[] = {kStopTrigger, kBoss35, kBoss41, kFlyingBoss, kBomber};
    for (int32_t releasing : kTypes) {
        if (releasing == type) return true;
    }
    return false;
}

bool GameLevelRules::StaysInPlay(int32_t type) {
    static const int32_t kTypes[] = {kBackgroundRunner, kDoor27, kRemote, kBoss41,
                                     kDoor50, kDoor54, kFlyingBoss, kType60};
    for (int32_t staying : kTypes) {
        if (staying == type) return true;
    }
    return false;
}

bool GameLevelRules::IsDoor(int32_t type) { return type == kDoor27 || type == kDoor50 || type == kDoor54; }

bool GameLevelRules::IsSwitch(int32_t type) { return type == kSwitch28 || type == kSwitch51 || type == kSwitch55; }

bool GameLevelRules::IsHazard(int32_t type) { return type == kSpikeTrap || type == kFlyingMine; }
