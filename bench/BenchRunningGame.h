#ifndef BENCHRUNNINGGAME_H
#define BENCHRUNNINGGAME_H

#include <cstdint>

#include "BenchRunFolder.h"

class CCore_Win32;
class CGameApp;

// The game application on the stand-in handset, headless, on a copy of the
// content in a data folder of its own, with the virtual clock; brought to
// the main menu on construction.
class BenchRunningGame {
public:
    BenchRunningGame();
    ~BenchRunningGame();

    BenchRunningGame(const BenchRunningGame&) = delete;
    BenchRunningGame& operator=(const BenchRunningGame&) = delete;

    bool Ready() const { return m_ready; }
    CGameApp& App() { return *m_app; }
    // One frame, and the frame's time on the virtual clock.
    void Frame();
    int32_t State() const;
    void Key(uint32_t event, int32_t engineKey);

    // Asks for the level; the frames that follow load it.
    void StartLevel(int32_t level);
    // Loads the level and plays until it is on screen.
    bool Play(int32_t level);
    // The level with the most spawn points.
    int32_t BusiestLevel();

private:
    bool RunUntil(int32_t state, int32_t limit);
    bool BootToMainMenu();

    BenchRunFolder m_folder;
    CCore_Win32* m_core = nullptr;
    CGameApp* m_app = nullptr;
    bool m_ready = false;
};

#endif
