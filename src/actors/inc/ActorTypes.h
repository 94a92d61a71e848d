#ifndef ACTORTYPES_H
#define ACTORTYPES_H

#include <cstdint>

// Actor types. Most types are known by their number alone; the names say so.
namespace ActorType {

constexpr int32_t kDecoration = -1;
constexpr int32_t kPlayerFormA = 0;
constexpr int32_t kType1 = 1;
constexpr int32_t kPlayerFormB = 2;
constexpr int32_t kType3 = 3;
constexpr int32_t kType4 = 4;
constexpr int32_t kType6 = 6;
constexpr int32_t kType8 = 8;
constexpr int32_t kType9 = 9;
constexpr int32_t kType12 = 12;
constexpr int32_t kType14 = 14;
constexpr int32_t kPooledShot = 17;
constexpr int32_t kType19 = 19;
constexpr int32_t kType22 = 22;
constexpr int32_t kType24 = 24;
constexpr int32_t kPickup = 25;
constexpr int32_t kType27 = 27;
constexpr int32_t kType28 = 28;
constexpr int32_t kType30 = 30;
constexpr int32_t kType31 = 31;
constexpr int32_t kBoss35 = 35;
constexpr int32_t kBossPart36 = 36;
constexpr int32_t kType37 = 37;
constexpr int32_t kType38 = 38;
constexpr int32_t kHitSpark = 39;
constexpr int32_t kType40 = 40;
constexpr int32_t kBoss41 = 41;
constexpr int32_t kType42 = 42;
constexpr int32_t kType43 = 43;
constexpr int32_t kType44 = 44;
constexpr int32_t kType45 = 45;
constexpr int32_t kType46 = 46;
constexpr int32_t kType47 = 47;
constexpr int32_t kType48 = 48;
constexpr int32_t kType49 = 49;
constexpr int32_t kType50 = 50;
constexpr int32_t kType51 = 51;
constexpr int32_t kType52 = 52;
constexpr int32_t kType53 = 53;
constexpr int32_t kType54 = 54;
constexpr int32_t kType55 = 55;
constexpr int32_t kType56 = 56;
constexpr int32_t kType57 = 57;
constexpr int32_t kType58 = 58;
constexpr int32_t kType59 = 59;
constexpr int32_t kType60 = 60;
constexpr int32_t kType61 = 61;
constexpr int32_t kType62 = 62;
constexpr int32_t kType64 = 64;
constexpr int32_t kType67 = 67;
constexpr int32_t kType68 = 68;
constexpr int32_t kType69 = 69;

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
constexpr bool IsLargeEnemy(int32_t type) { return type == kType1 || type == kType3 || type == kType59 || type == kType67; }
// The types tested by actor-versus-actor collision.
constexpr bool IsCollider(int32_t type) {
    return type == kPooledShot || type == kType6 || type == kType53 || type == kType40 || type == kType42 ||
           type == kType45 || type == kType38 || type == kType54 || type == kType50;
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
