#ifndef CGAMEPROGRESS_H
#define CGAMEPROGRESS_H

#include <cstdint>

class CGameWorld;
class JImage;

// The player's progress (the level to play and the highest level reached,
// which persists as record 1) and the flags the game object and the HUD
// share with the play. The play control itself comes with the screens.
class CGameProgress {
public:
    static constexpr int32_t kLastLevel = 8;
    // What a confirm takes off the interlude's countdown.
    static constexpr uint32_t kInterludeSkipMs = 3000;

    CGameProgress() = default;

    CGameProgress(const CGameProgress&) = delete;
    CGameProgress& operator=(const CGameProgress&) = delete;

    uint8_t closeRequested = 0;
    // The device was suspended during play: the next play update pauses.
    uint8_t pauseRequested = 0;
    int32_t level = 0;
    int32_t highestLevel = 0;
    CGameWorld* world = nullptr;
    JImage* interludeImage = nullptr;
    // When the interlude began (0 before), and whether it is shown.
    uint32_t interludeStart = 0;
    uint8_t interludeShown = 0;
};

#endif
