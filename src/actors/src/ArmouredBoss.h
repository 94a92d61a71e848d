#ifndef ARMOUREDBOSS_H
#define ARMOUREDBOSS_H

#include <cstdint>

// The numbers the armoured boss (type 35) shares with its weak part
// (type 36) and its minions (type 37).
namespace ArmouredBoss {

// The boss's state words the part and the minions write.
constexpr int32_t kAction = 0;
constexpr int32_t kTimer = 1;
constexpr int32_t kPhase = 2;
// Its actions and phases.
constexpr int32_t kApproach = 0;
constexpr int32_t kFirstPhase = 0;
constexpr int32_t kSecondPhase = 1;
constexpr int32_t kLastPhase = 2;
// The boss's hurt animations at a phase change.
constexpr int32_t kFirstPhaseLost = 23;
constexpr int32_t kSecondPhaseLost = 26;
// Hit points of the part in each stage.
constexpr int32_t kPartHitPoints = 5000;
// The timer the boss waits with after the first and the second stage, and
// after a minion left without landing.
constexpr int32_t kWaitWithoutLimit = 0x7FFFFFFF;
constexpr int32_t kLastPhaseDelay = 3000;
constexpr int32_t kMinionGoneDelay = 3000;
// The minion's words and animations.
constexpr int32_t kMinionLife = 0;
constexpr int32_t kMinionLoop = 1;
constexpr int32_t kMinionDrops = 2;
constexpr int32_t kMinionEntry = 27;

}  // namespace ArmouredBoss

#endif
