#include "ClockAudioSink.h"

#include "HostAudioMixer.h"
#include "HostClock.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>

namespace {

constexpr uint32_t kSamplesPerMs = HostAudioMixer::kSampleRate / 1000;
constexpr uint32_t kChunkSamples = 256;
// How often the thread looks at the clock when nobody waits for it.
constexpr std::chrono::milliseconds kPollPeriod(2);
// A jump of the clock beyond this is played as this much: a clock that was
// reset or switched must not keep the thread mixing for hours.
constexpr uint32_t kMaxCatchUpMs = 60000;

}  // namespace

std::unique_ptr<ClockAudioSink> ClockAudioSink::Create(HostAudioMixer& mixer) {
    std::unique_ptr<ClockAudioSink> sink(new (std::nothrow) ClockAudioSink(mixer));
    if (sink == nullptr) {
        return nullptr;
    }
    try {
        sink->m_thread = std::thread(&ClockAudioSink::Run, sink.get());
    } catch (const std::system_error&) {
        return nullptr;
    }
    return sink;
}

ClockAudioSink::ClockAudioSink(HostAudioMixer& mixer)
    : m_mixer(mixer), m_scratch(kChunkSamples), m_lastTick(HostClock::Ticks()), m_currentTick(m_lastTick) {}

ClockAudioSink::~ClockAudioSink() {
    {
        std::lock_guard<std::mutex> guard(m_stateLock);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void ClockAudioSink::Run() {
    std::unique_lock<std::mutex> lock(m_stateLock);
    while (!m_stopping) {
        const uint32_t now = HostClock::Ticks();
        lock.unlock();
        ConsumeUntil(now);
        lock.lock();
        m_currentTick = now;
        m_caughtUp.notify_all();
        m_wake.wait_for(lock, kPollPeriod, [this] { return m_stopping || m_kicked; });
        m_kicked = false;
    }
}

void ClockAudioSink::ConsumeUntil(uint32_t now) {
    const int32_t elapsed = static_cast<int32_t>(now - m_lastTick);
    m_lastTick = now;
    if (elapsed <= 0) {
        return;
    }
    uint64_t due = static_cast<uint64_t>(std::min<uint32_t>(elapsed, kMaxCatchUpMs)) * kSamplesPerMs;
    while (due > 0) {
        const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(due, kChunkSamples));
        m_mixer.Mix(m_scratch.data(), count);
        due -= count;
        std::lock_guard<std::mutex> guard(m_stateLock);
        m_consumed += count;
    }
}

bool ClockAudioSink::WaitUntilCurrent(uint32_t timeoutMs) {
    const uint32_t target = HostClock::Ticks();
    std::unique_lock<std::mutex> lock(m_stateLock);
    m_kicked = true;
    m_wake.notify_all();
    return m_caughtUp.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this, target] {
        return m_stopping || static_cast<int32_t>(m_currentTick - target) >= 0;
    });
}

uint64_t ClockAudioSink::SamplesConsumed() {
    std::lock_guard<std::mutex> guard(m_stateLock);
    return m_consumed;
}
