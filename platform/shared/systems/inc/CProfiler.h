#ifndef CPROFILER_H
#define CPROFILER_H

#include "CEventListener.h"
#include "CExecutableRegistry.h"
#include "CHash.h"

class CTimedExecutableRegistry;

// An executable registry of named timers. A timer created while another is
// current nests inside it. Optionally keeps a history of the timers handed
// out and listens for message ids with a callback.
class CProfiler : public CExecutableRegistry {
public:
    typedef CTimedExecutableRegistry* (*TimerFactory)(uint32_t a, uint32_t b, uint32_t c);

    struct HistoryRecord {
        uint32_t key;
        CTimedExecutableRegistry* timer;
    };

    CProfiler() = default;
    ~CProfiler() override;

    CProfiler(const CProfiler&) = delete;
    CProfiler& operator=(const CProfiler&) = delete;

    // Callback and ids (zero-terminated) come together or not at all.
    virtual bool AddProfile(int32_t bucketRequest, CEventCallback callback, const uint32_t* ids,
                            uint32_t blocksPerChunk, bool growable, uint32_t historySize);
    // Empties the profiles; the registry's Clear of one argument stays
    // callable beside it.
    using CExecutableRegistry::Clear;
    virtual void Clear();
    void Execute() override;

    // The timer of the key, created (by the factory when given) when absent.
    CTimedExecutableRegistry* GetTimer(uint32_t key, uint32_t a, uint32_t b, uint32_t c, TimerFactory factory);

    void SetCurrent(CTimedExecutableRegistry* timer) { m_current = timer; }
    CTimedExecutableRegistry* GetCurrent() const { return m_current; }
    void CountEvent() { ++m_events; }
    int32_t GetRate() const { return m_rate; }
    uint32_t GetHistorySize() const { return m_historySize; }
    const HistoryRecord* GetHistory() const { return m_history; }

    // The process-wide switches reach a profiler instance that the system
    // never creates: setting them does nothing and the mode reads 0 (off),
    // 1 (sampling) or 2 (sampling and running).
    static CProfiler* GetActive() { return nullptr; }
    static void SetSampling(bool sampling);
    static void SetRunWhileSampling(bool run);
    static uint32_t GetSamplingMode();

protected:
    // Called on each frozen frame while sampling.
    virtual void OnSampleFrame() {}

private:
    void RecordHistory(uint32_t key, CTimedExecutableRegistry* timer);
    void DeleteTimers();

    CHash m_timers;
    CEventListener* m_listener = nullptr;
    CTimedExecutableRegistry* m_current = nullptr;
    HistoryRecord* m_history = nullptr;
    uint32_t m_historySize = 0;
    uint32_t m_startMs = 0;
    int32_t m_rate = 0;
    int32_t m_period = 0x10000;
    int32_t m_accumulated = 0;
    int32_t m_events = 0;
    uint8_t m_sampling = 0;
    uint8_t m_runWhileSampling = 0;
};

#endif
