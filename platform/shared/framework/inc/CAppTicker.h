#ifndef CAPPTICKER_H
#define CAPPTICKER_H

#include "CPrioritizedObject.h"

class CExecutableRegistry;

// Measures frame time, keeps the application's life-cycle state and owns
// the registry of per-frame executables. The application supplies OnTick,
// the work of one timer tick.
class CAppTicker : public CPrioritizedObject {
public:
    static constexpr uint32_t kClassKey = 0x2E3C54F6;
    static constexpr int32_t kMaxStepMs = 1000;

    enum State : uint32_t { kRunning = 0, kStarting = 1, kQuitting = 2, kPaused = 3, kResuming = 4 };

    CAppTicker() : CPrioritizedObject(kClassKey) {}
    ~CAppTicker() override;

    CAppTicker(const CAppTicker&) = delete;
    CAppTicker& operator=(const CAppTicker&) = delete;

    // Creates the registry and lets the application register its own
    // registries in it; false when either fails.
    virtual bool Create();
    virtual void Destroy();
    // Measures the frame (unless time is frozen), then runs OnTick.
    virtual void Tick();
    virtual void OnStart();
    virtual void OnQuit();
    virtual void OnPause();
    virtual void OnResume();
    virtual void OnTick() = 0;
    virtual void SetTimeFrozen(bool frozen) { m_frozen = frozen ? 1 : 0; }
    virtual void SetState(uint32_t state) { m_state = state; }

    CExecutableRegistry* GetRegistry() const { return m_registry; }
    int32_t GetFrameMs() const { return m_frameMs; }
    // The frame time in 16.16 seconds: 40 ms is 0x0A3D.
    int32_t GetFrameSeconds() const { return m_frameSeconds; }
    uint32_t GetLastTime() const { return m_lastMs; }
    bool IsTimeHalted() const { return m_frozen != 0; }
    uint32_t GetState() const { return m_state; }

private:
    void MeasureFrame(uint32_t now);

    uint32_t m_frozen = 0;
    uint32_t m_state = kStarting;
    CExecutableRegistry* m_registry = nullptr;
    int32_t m_maxStepMs = kMaxStepMs;
    int32_t m_frameMs = 0;
    int32_t m_frameSeconds = 0;
    uint32_t m_lastMs = 0;
};

#endif
