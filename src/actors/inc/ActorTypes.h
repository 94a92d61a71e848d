#ifndef ACTORTYPES_H
#define ACTORTYPES_H

#include <cstdint>

// Actor types, by what the actors are. Where several types share one
// behaviour and differ only in their sprites (doors, switches, use points,
// blocks) or are known only as large enemies, the name keeps the number;
// type 60 has no behaviour of its own, only that it stays in play.
namespace ActorType {

constexpr int32_t kDecoration = -1;
constexpr int32_t kPlayerFormA = 0;
constexpr int32_t kLargeEnemy1 = 1;
constexpr int32_t kPlayerFormB = 2;
constexpr int32_t kLargeEnemy3 = 3;
constexpr int32_t kStopTrigger = 4;
constexpr int32_t kFlyingMine = 6;
constexpr int32_t kBackgroundRunner = 8;
constexpr int32_t kStrikeEffect = 9;
constexpr int32_t kPatrolFlyer = 12;
constexpr int32_t kLift = 14;
constexpr int32_t kPooledShot = 17;
constexpr int32_t kBlock19 = 19;
constexpr int32_t kCheckpoint = 21;
constexpr int32_t kPartner = 22;
constexpr int32_t kContainer = 24;
constexpr int32_t kPickup = 25;
constexpr int32_t kDoor27 = 27;
constexpr int32_t kSwitch28 = 28;
constexpr int32_t kUsePoint30 = 30;
constexpr int32_t kUsePoint31 = 31;
constexpr int32_t kBoss35 = 35;
constexpr int32_t kBossPart36 = 36;
constexpr int32_t kBossMinion = 37;
constexpr int32_t kRemote = 38;
constexpr int32_t kHitSpark = 39;
constexpr int32_t kRock = 40;
constexpr int32_t kBoss41 = 41;
constexpr int32_t kSpikeTrap = 42;
constexpr int32_t kSummoningPoint = 43;
constexpr int32_t kDrainingHazard = 44;
constexpr int32_t kBarrier = 45;
constexpr int32_t kBouncePad = 46;
constexpr int32_t kCommandPoint = 47;
constexpr int32_t kThrownShot = 48;
constexpr int32_t kCrumblingLedge = 49;
constexpr int32_t kDoor50 = 50;
constexpr int32_t kSwitch51 = 51;
constexpr int32_t kHangingObject = 52;
constexpr int32_t kPot = 53;
constexpr int32_t kDoor54 = 54;
constexpr int32_t kSwitch55 = 55;
constexpr int32_t kFlyingBoss = 56;
constexpr int32_t kLaunchPad = 57;
constexpr int32_t kBomber = 58;
constexpr int32_t kLargeEnemy59 = 59;
constexpr int32_t kType60 = 60;
constexpr int32_t kBlock61 = 61;
constexpr int32_t kUsePoint62 = 62;
constexpr int32_t kDispenser = 64;
constexpr int32_t kLargeEnemy67 = 67;
constexpr int32_t kBossShot = 68;
constexpr int32_t kFollowingDisplay = 69;

constexpr int32_t kCount = 70;

// State words per type, 0..69; the checkpoint copy has as many more.
constexpr int8_t kStateCounts[kCount] = {
    47, 2, 47, 16, 1, 0, 6, 2, 4, 3,  //
    6,  1, 6,  0,  10, 1, 0, 3, 4, 2,  //
    1,  0, 3,  0,  1, 4, 0, 3, 4, 0,  //
    4,  4, 2,  1,  1, 8, 0, 3, 2, 0,  //
    2,  9, 3,  3,  0, 0, 1, 2, 3, 3,  //
    3,  4, 2,  4,  3, 4, 8, 2, 3, 6,  //
    0,  2, 4,  4,  2, 0, 0, 14, 3, 0};

constexpr int32_t StateCount(int32_t type) { return type >= 0 && type < kCount ? kStateCounts[type] : 0; }

constexpr bool IsPlayer(int32_t type) { return type == kPlayerFormA || type == kPlayerFormB; }
// The enemies that open key prompts and take finishing moves.
constexpr bool IsLargeEnemy(int32_t type) {
    return type == kLargeEnemy1 || type == kLargeEnemy3 || type == kLargeEnemy59 || type == kLargeEnemy67;
}
// The types tested by actor-versus-actor collision.
constexpr bool IsCollider(int32_t type) {
    return type == kPooledShot || type == kFlyingMine || type == kPot || type == kRock || type == kSpikeTrap ||
           type == kBarrier || type == kRemote || type == kDoor54 || type == kDoor50;
}

}  // namespace ActorType

// The player's state words that the world and the shared routines read and
// write by number.
namespace PlayerWord {

constexpr int32_t kAttackStep = 0;
constexpr int32_t kContactDamage = 2;  // read from a form-B attacker
constexpr int32_t kAttackQueued = 3;
constexpr int32_t kAttackNext = 4;
constexpr int32_t kBossSignal = 6;
constexpr int32_t kPreviousMode = 7;
constexpr int32_t kMode = 8;
constexpr int32_t kBlink = 9;
constexpr int32_t kBlinkReload = 10;
constexpr int32_t kHurtRecovery = 11;
constexpr int32_t kDeathCountdown = 15;
constexpr int32_t kStance = 16;
constexpr int32_t kFollowAnimation = 17;
constexpr int32_t kFollowLoop = 18;
constexpr int32_t kReserve = 19;
constexpr int32_t kReserveMax = 20;
constexpr int32_t kTimedCountdown = 23;
constexpr int32_t kTimedPreset = 24;
constexpr int32_t kFollowValue = 26;
constexpr int32_t kPower = 29;
constexpr int32_t kGauge = 30;
constexpr int32_t kFinisherGauge = 34;
constexpr int32_t kMoveSet = 38;
constexpr int32_t kMeleeOnly = 39;
constexpr int32_t kSpecial = 40;
constexpr int32_t kProtected = 42;
constexpr int32_t kCharge = 44;

// Values of kMode.
constexpr int32_t kModeFree = 0;
constexpr int32_t kModeHeld = 2;
constexpr int32_t kModeAttacking = 3;
constexpr int32_t kModeAimLow = 7;
constexpr int32_t kModeHurt = 8;
constexpr int32_t kModeFormBSpecial = 13;
// Values and bits of kStance.
constexpr int32_t kStanceNormal = 0;
constexpr int32_t kStanceLow = 1;
constexpr int32_t kStanceImmuneBit = 2;

constexpr int32_t kGaugeMax = 700;
constexpr int32_t kFinisherCost = 25;
constexpr int32_t kDeathFrames = 20;

}  // namespace PlayerWord

// Sounds the actors and the world play.
namespace GameSound {

constexpr int32_t kHit = 0x9000298;
constexpr int32_t kHardLanding = 0x9000280;
constexpr int32_t kFormBShot = 0x900016B;
constexpr int32_t kBoost = 0x9000126;
constexpr int32_t kBlowHigh = 0x9000203;
constexpr int32_t kBlowLow = 0x9000250;
constexpr int32_t kPickup = 0x9000223;
constexpr int32_t kPartnerGreeting = 0x9000239;
constexpr int32_t kScriptSound = 0x900012C;

}  // namespace GameSound

#endif
