#ifndef CGAME_H
#define CGAME_H

#include <cstdint>

#include "CShownMenuPage.h"
#include "JGraphics.h"
#include "JString.h"

class CGameInput;
class CGameProgress;
class CGameTimers;
class CGameWorld;
class CHud;
class CSoundManager;
class CStates;
class CTouchButtonLayout;
class CTouchButtonManager;

// The game's top-level object: it owns the input object, the touch
// buttons, the screens' state machine, the HUD, the timers, the progress
// record, the sound manager and the play world. The application hands it
// every engine event it does not keep, one update a frame and one paint.
// The game moves in fixed steps of 60 ms whatever time has passed, stands
// still while the device is suspended, and keeps the player's settings and
// progress in records 0 and 1.
class CGame {
public:
    static constexpr int32_t kStepMs = 60;
    static constexpr int32_t kStorageTestBytes = 100;
    static constexpr uint32_t kVersionUnits = 10;
    static constexpr char kInitialVersion[] = "1.0.0";

    CGame();
    virtual ~CGame();

    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // Always true.
    virtual bool HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2);
    virtual bool Update(int32_t frameMs);
    virtual bool Paint();

    void Pause();
    void Resume();
    // Every key and the stylus let go, for when their releases could not
    // reach the game.
    void LetGoOfInput();
    // Takes the screen's size from the graphics device.
    void OnScreenSize();
    void OnStop() {}
    // Start-up: the version text, the soft-key images and, unless skipped,
    // whether records can be written at all (record 9, written and
    // deleted).
    void CheckStorage(bool skipTest);
    // A record that is there but cannot be read is never written over in
    // this run (only a progress reset the player confirms deletes it): the
    // player may mend it and start again. The storage notice then tells
    // that a saved file cannot be read.
    void LoadSettings();
    [[nodiscard]] bool SaveSettings();
    void LoadProgress();
    // Stores the larger of the run's highest level and the record's, and
    // the run takes it too.
    bool SaveProgress();
    // What a progress reset left of the records it deletes.
    enum class ResetOutcome {
        kDone,
        // The progress record is there still: the next start reads it.
        kProgressKept,
        // The progress is gone, but the settings or the level state stay.
        kOthersKept
    };
    // The progress reset: the settings, the progress and the level state.
    [[nodiscard]] ResetOutcome DeleteRecords();
    bool IsTouchNoticeShown() const { return touchNoticeShown != 0; }
    void SetTouchNoticeShown(bool shown) { touchNoticeShown = shown ? 1 : 0; }

    // The application's game object, or null; the getters answer null
    // without one.
    static CGame* Get();
    static CGameInput* GetInput();
    static CTouchButtonManager* GetTouchButtons();
    static CStates* GetStateMachine();
    static CHud* GetHud();
    static CGameTimers* GetTimers();
    static CGameProgress* GetProgress();
    static CSoundManager* GetSound();
    static CGameWorld* GetWorld();

    JGraphics& GetGraphics() { return graphics; }
    int32_t GetScreenWidth() const { return screenWidth; }
    int32_t GetScreenHeight() const { return screenHeight; }
    int32_t GetHalfWidth() const { return halfWidth; }
    int32_t GetHalfHeight() const { return halfHeight; }
    bool IsPaused() const { return paused != 0; }
    // Game time: the fixed steps taken so far.
    uint32_t GetElapsedMs() const { return m_elapsedMs; }

    int32_t clearColour = 0;
    JString titleText;
    JString versionText;
    uint8_t repaintPending = 1;
    // The play world's on-screen controls are on.
    uint8_t playControlsShown = 0;
    // Their pictures are drawn over play: the stylus drives it. A level
    // starts with them; a key pressed in play hides them until the next tap,
    // and the buttons answer taps all the same.
    bool touchPicturesShown = true;

private:
    void BuildTouchButtons();
    void ClearScreen();
    // The page as the states paint it, then the soft keys and the buttons.
    void PaintPage();
    bool RepaintLeavesScreenAsItIs();
    void KeepIfUnreadable(bool unreadable, uint8_t* kept);
    void TakeStoredProgress();
    bool DeleteOnReset(int32_t n, uint8_t* kept);

    JGraphics graphics;
    CGameInput* input = nullptr;
    CTouchButtonManager* touchButtons = nullptr;
    CStates* states = nullptr;
    CHud* hud = nullptr;
    CGameTimers* timers = nullptr;
    CGameProgress* progress = nullptr;
    CSoundManager* sound = nullptr;
    CGameWorld* world = nullptr;
    CTouchButtonLayout* touchLayout = nullptr;
    uint8_t paused = 0;
    uint8_t clearPending = 0;
    int32_t screenHeight = 0;
    int32_t screenWidth = 0;
    int32_t halfHeight = 0;
    int32_t halfWidth = 0;
    uint8_t touchNoticeShown = 0;
    // Records 0 and 1 could not be read: they stay as they are.
    uint8_t settingsKept = 0;
    uint8_t progressKept = 0;
    uint32_t m_elapsedMs = 0;
    CShownMenuPage m_shownPage;
};

#endif
