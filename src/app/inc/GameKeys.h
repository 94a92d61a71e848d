#ifndef GAMEKEYS_H
#define GAMEKEYS_H

#include <cstdint>

// The game's key bits: one 32-bit mask per frame, made from hardware keys
// and touch buttons alike and tested by the screens, the HUD, the play
// world and the actors.
namespace GameKey {

constexpr uint32_t kFire = 0x00000010;
constexpr uint32_t kRight = 0x00000020;
constexpr uint32_t kLeft = 0x00000040;
constexpr uint32_t kDown = 0x00000080;
constexpr uint32_t kUp = 0x00000100;
constexpr uint32_t kStar = 0x00000200;
constexpr uint32_t kPound = 0x00000400;
constexpr uint32_t kNum9 = 0x00000800;
constexpr uint32_t kNum8 = 0x00001000;
constexpr uint32_t kNum7 = 0x00002000;
constexpr uint32_t kNum6 = 0x00004000;
constexpr uint32_t kNum5 = 0x00008000;
constexpr uint32_t kNum4 = 0x00010000;
constexpr uint32_t kNum3 = 0x00020000;
constexpr uint32_t kNum2 = 0x00040000;
constexpr uint32_t kNum1 = 0x00080000;
constexpr uint32_t kNum0 = 0x00100000;
constexpr uint32_t kSoftRight = 0x00200000;
constexpr uint32_t kSoftLeft = 0x00400000;
constexpr uint32_t kCancel = 0x00800000;
constexpr uint32_t kConfirm = 0x01000000;
constexpr uint32_t kOther = 0x02000000;
constexpr uint32_t kBack = 0x04000000;

// The masks the readers test.
constexpr uint32_t kOpenOrConfirm = kConfirm | kNum5 | kFire;
constexpr uint32_t kFireInPlay = kNum5 | kFire;
constexpr uint32_t kUpOrDown = kUp | kDown;
constexpr uint32_t kAll = 0xFFFFFFFF;

}  // namespace GameKey

// The engine's key codes that the game maps (digits are their characters).
namespace EngineKey {

constexpr int32_t kUp = 4;
constexpr int32_t kDown = 5;
constexpr int32_t kLeft = 6;
constexpr int32_t kRight = 7;
constexpr int32_t kSelect = 11;
constexpr int32_t kBack = 12;
constexpr int32_t kSoftLeft = 15;
constexpr int32_t kSoftRight = 16;
constexpr int32_t kPound = '#';
constexpr int32_t kStar = '*';

}  // namespace EngineKey

#endif
