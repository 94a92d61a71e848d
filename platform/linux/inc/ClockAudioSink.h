#ifndef CLOCKAUDIOSINK_H
#define CLOCKAUDIOSINK_H

#include "HostAudioSink.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A sink without a device: its thread consumes the mixer's samples at the
// rate HostClock's ticks go by, 8 samples a millisecond, and throws them
// away. On the virtual clock, sound therefore plays exactly as long as the
// clock is advanced, which keeps headless runs and tests deterministic.
class ClockAudioSink : public HostAudioSink {
public:
    // Started; null when its thread cannot be created.
    static std::unique_ptr<ClockAudioSink> Create(HostAudioMixer& mixer);
    // Stops and joins the thread.
    ~ClockAudioSink() override;

    // Waits until every sample due up to the clock's present tick has been
    // mixed and its callbacks delivered. False when that took longer than
    // `timeoutMs` of real time.
    bool WaitUntilCurrent(uint32_t timeoutMs);
    uint64_t SamplesConsumed();

private:
    explicit ClockAudioSink(HostAudioMixer& mixer);

    void Run();
    // Mixes the samples of the ticks between the last consumed one and `now`.
    void ConsumeUntil(uint32_t now);

    HostAudioMixer& m_mixer;
    std::vector<int16_t> m_scratch;
    uint32_t m_lastTick = 0;

    std::mutex m_stateLock;
    std::condition_variable m_wake;
    std::condition_variable m_caughtUp;
    bool m_stopping = false;
    bool m_kicked = false;
    uint32_t m_currentTick = 0;
    uint64_t m_consumed = 0;
    std::thread m_thread;
};

#endif
