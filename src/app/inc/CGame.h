#ifndef CGAME_H
#define CGAME_H

#include <cstdint>

class CSoundManager;
class CStates;

// The game object the application drives: it receives every engine event
// the application does not keep, one update with the measured frame time
// and one paint a frame. It turns the frame time into the game's fixed
// step, pauses and resumes with the device and clears the screen when
// asked. This is its frame; its screens, input and play come with the
// front end.
class CGame {
public:
    static constexpr int32_t kStepMs = 60;

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
    // Takes the screen's size from the graphics device.
    void OnScreenSize();
    void OnStop() {}

    // The application's game object, or null.
    static CGame* Get();
    static CSoundManager* GetSound();
    static CStates* GetStateMachine();

    int32_t GetScreenWidth() const { return m_screenWidth; }
    int32_t GetScreenHeight() const { return m_screenHeight; }
    int32_t GetHalfWidth() const { return m_halfWidth; }
    int32_t GetHalfHeight() const { return m_halfHeight; }
    bool IsPaused() const { return m_paused != 0; }
    // Game time: the fixed steps taken so far.
    uint32_t GetElapsedMs() const { return m_elapsedMs; }

    int32_t clearColour = 0;
    uint8_t repaintPending = 1;

private:
    void ClearScreen() const;

    CStates* m_states = nullptr;
    CSoundManager* m_sound = nullptr;
    uint8_t m_paused = 0;
    uint8_t m_clearPending = 0;
    int32_t m_screenHeight = 0;
    int32_t m_screenWidth = 0;
    int32_t m_halfHeight = 0;
    int32_t m_halfWidth = 0;
    uint32_t m_elapsedMs = 0;
};

#endif
