#ifndef CGAMEPROGRESS_H
#define CGAMEPROGRESS_H

#include <cstdint>

class CGame;
class CGameInput;
class CGameWorld;
class JGraphics;
class JImage;

// The player's progress (the level to play and the highest level reached,
// which persists as record 1) and the play states of the screens: loading
// a level step by step, playing, and opening the pause and game-over pages
// over the frozen level.
class CGameProgress {
public:
    static constexpr int32_t kLastLevel = 8;
    // What a confirm takes off the interlude's countdown.
    static constexpr uint32_t kInterludeSkipMs = 3000;
    // The fourth level holds an interlude image for three seconds after
    // loading.
    static constexpr int32_t kInterludeLevel = 3;
    static constexpr int32_t kInterludeMs = 3000;
    static constexpr int32_t kInterludeImage = 453;
    static constexpr int32_t kMenuMusic = 0x9000169;

    CGameProgress() = default;
    // An interlude image still held (the game ended during the interlude)
    // goes with the record.
    ~CGameProgress();

    CGameProgress(const CGameProgress&) = delete;
    CGameProgress& operator=(const CGameProgress&) = delete;

    // Entry into a play state (100 to 103).
    void StartLevel(int32_t state);
    // One tick in a play state: the next state, 0 to stay.
    int32_t UpdatePlay(int32_t dt);
    void PaintPlay(JGraphics& g);
    // Unloads the level, if any.
    void ClosePlay();
    // Makes "back" in the next page return to state s.
    void PushPlayReturn(int32_t s);
    void PlaySound(int32_t id, bool loop, bool stopFirst);

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

private:
    int32_t UpdateLoading();
    int32_t UpdateInterlude();
    int32_t UpdatePlaying(int32_t dt);
    static void FollowPointerOrKeys(CGame& game, const CGameInput& input);
    // True when a tap went down this frame, which then shows the pictures.
    static bool ShowPicturesOnTap(CGame& game);
    bool WorldCoversScreen(const CGame& game) const;
    void EndInterlude();
};

#endif
