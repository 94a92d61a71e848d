#include "ClockAudioSink.h"
#include "HostAudioFaults.h"
#include "HostAudioMixer.h"
#include "HostClock.h"
#include "SdlAudioSink.h"
#include "WinCeWaveOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

WAVEFORMATEX MonoPcm8k() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 8000;
    format.nAvgBytesPerSec = 16000;
    format.nBlockAlign = 2;
    format.wBitsPerSample = 16;
    return format;
}

struct Event {
    HWAVEOUT device;
    UINT message;
    DWORD_PTR param1;
};

// Collects the callbacks of the devices opened with it.
struct Recorder {
    std::mutex lock;
    std::vector<Event> events;

    std::vector<Event> Taken() {
        std::lock_guard<std::mutex> guard(lock);
        std::vector<Event> taken;
        taken.swap(events);
        return taken;
    }
    size_t DoneCount(const WAVEHDR& header) {
        std::lock_guard<std::mutex> guard(lock);
        size_t count = 0;
        for (const Event& event : events) {
            count += event.message == WOM_DONE && event.param1 == reinterpret_cast<DWORD_PTR>(&header);
        }
        return count;
    }
};

void Record(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
    Recorder* recorder = reinterpret_cast<Recorder*>(instance);
    std::lock_guard<std::mutex> guard(recorder->lock);
    recorder->events.push_back({device, message, param1});
}

// A buffer of samples with its header, prepared on a device.
struct Buffer {
    std::vector<int16_t> samples;
    WAVEHDR header{};

    explicit Buffer(std::vector<int16_t> values) : samples(std::move(values)) {
        header.lpData = reinterpret_cast<char*>(samples.data());
        header.dwBufferLength = static_cast<DWORD>(samples.size() * sizeof(int16_t));
    }
};

HWAVEOUT OpenRecorded(Recorder* recorder) {
    const WAVEFORMATEX format = MonoPcm8k();
    HWAVEOUT device = nullptr;
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&Record),
                          reinterpret_cast<DWORD_PTR>(recorder), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    return device;
}

void PlayOn(HWAVEOUT device, Buffer* buffer) {
    ASSERT_EQ(waveOutPrepareHeader(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
}

void CloseAfter(HWAVEOUT device, Buffer* buffer) {
    EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutUnprepareHeader(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

std::vector<int16_t> Mixed(uint32_t count) {
    std::vector<int16_t> out(count, 0x5A5A);
    HostAudioMixer::Instance().Mix(out.data(), count);
    return out;
}

// The mixer without a sink: the test itself pulls the samples.
class WaveOutMixing : public ::testing::Test {
protected:
    void SetUp() override { HostAudioMixer::Instance().UseSink(nullptr); }
    void TearDown() override {
        HostAudioFaults::Clear();
        EXPECT_TRUE(HostAudioMixer::Instance().Devices().empty()) << "a device was left open";
    }

    Recorder m_recorder;
};

TEST_F(WaveOutMixing, OpenRefusesWhatTheMixerCannotPlay) {
    const WAVEFORMATEX good = MonoPcm8k();
    HWAVEOUT device = reinterpret_cast<HWAVEOUT>(&m_recorder);
    const DWORD_PTR callback = reinterpret_cast<DWORD_PTR>(&Record);

    const auto sampleRate = [](WAVEFORMATEX* f) { f->nSamplesPerSec = 22050, f->nAvgBytesPerSec = 44100; };
    const auto stereo = [](WAVEFORMATEX* f) { f->nChannels = 2; };
    const auto eightBit = [](WAVEFORMATEX* f) { f->wBitsPerSample = 8; };
    const auto byteRate = [](WAVEFORMATEX* f) { f->nAvgBytesPerSec = 8000; };
    for (void (*change)(WAVEFORMATEX*) : {+sampleRate, +stereo, +eightBit, +byteRate}) {
        WAVEFORMATEX format = good;
        change(&format);
        EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), WAVERR_BADFORMAT);
        EXPECT_EQ(device, nullptr);
    }

    EXPECT_EQ(waveOutOpen(&device, 1, &good, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &good, callback, 0, 0x00010000), MMSYSERR_INVALFLAG);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &good, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &good, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, nullptr, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
    EXPECT_TRUE(HostAudioMixer::Instance().Devices().empty());

    // Device 0 is the one device; without a callback nothing is reported.
    ASSERT_EQ(waveOutOpen(&device, 0, &good, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

TEST_F(WaveOutMixing, InjectedFaultsLeaveNothingBehind) {
    HostAudioFaults::Set(HostAudioFault::Open, true);
    HWAVEOUT device = nullptr;
    const WAVEFORMATEX format = MonoPcm8k();
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOMEM);
    EXPECT_EQ(device, nullptr);
    EXPECT_TRUE(HostAudioMixer::Instance().Devices().empty());
    HostAudioFaults::Clear();

    device = OpenRecorded(&m_recorder);
    HostAudioFaults::Set(HostAudioFault::Prepare, true);
    Buffer buffer({1, 2});
    EXPECT_EQ(waveOutPrepareHeader(device, &buffer.header, sizeof(WAVEHDR)), MMSYSERR_NOMEM);
    EXPECT_EQ(buffer.header.dwFlags, 0u);
    EXPECT_EQ(waveOutWrite(device, &buffer.header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

TEST_F(WaveOutMixing, ReportsOpenDoneAndCloseWithTheInstanceData) {
    HWAVEOUT device = OpenRecorded(&m_recorder);
    Buffer buffer({7, 7, 7});
    PlayOn(device, &buffer);
    EXPECT_EQ(buffer.header.dwFlags, WHDR_PREPARED | WHDR_INQUEUE);
    Mixed(2);
    EXPECT_EQ(m_recorder.DoneCount(buffer.header), 0u);
    Mixed(2);
    EXPECT_EQ(m_recorder.DoneCount(buffer.header), 1u);
    EXPECT_EQ(buffer.header.dwFlags, WHDR_PREPARED | WHDR_DONE);
    CloseAfter(device, &buffer);

    const std::vector<Event> events = m_recorder.Taken();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].message, WOM_OPEN);
    EXPECT_EQ(events[1].message, WOM_DONE);
    EXPECT_EQ(events[1].param1, reinterpret_cast<DWORD_PTR>(&buffer.header));
    EXPECT_EQ(events[2].message, WOM_CLOSE);
    for (const Event& event : events) {
        EXPECT_EQ(event.device, device);
    }
}

TEST_F(WaveOutMixing, SumsVoicesAtTheirVolumesAndSaturates) {
    Recorder other;
    HWAVEOUT loud = OpenRecorded(&m_recorder);
    HWAVEOUT soft = OpenRecorded(&other);
    Buffer a({1000, 1000, 30000, -30000});
    Buffer b({-500, -500, 10000, -10000, -500, -500});
    PlayOn(loud, &a);
    // A left channel of 0x3333 is exactly a fifth of 0xFFFF; the right one
    // does not count in the mono mix.
    EXPECT_EQ(waveOutSetVolume(soft, 0xFFFF3333), MMSYSERR_NOERROR);
    PlayOn(soft, &b);

    EXPECT_EQ(Mixed(8), std::vector<int16_t>({900, 900, 32000, -32000, -100, -100, 0, 0}));
    EXPECT_EQ(m_recorder.DoneCount(a.header), 1u);
    EXPECT_EQ(other.DoneCount(b.header), 1u);

    Buffer c({30000, -30000});
    Buffer d({30000, -30000});
    EXPECT_EQ(waveOutSetVolume(soft, 0xFFFF), MMSYSERR_NOERROR);
    PlayOn(loud, &c);
    PlayOn(soft, &d);
    EXPECT_EQ(Mixed(2), std::vector<int16_t>({32767, -32768}));

    EXPECT_EQ(waveOutSetVolume(loud, 0), MMSYSERR_NOERROR);
    Buffer e({1234});
    PlayOn(loud, &e);
    EXPECT_EQ(Mixed(1), std::vector<int16_t>({0}));
    CloseAfter(loud, &e);
    CloseAfter(soft, &d);
}

TEST_F(WaveOutMixing, PauseHoldsThePlaceAndRestartGoesOn) {
    HWAVEOUT device = OpenRecorded(&m_recorder);
    Buffer buffer({1, 2, 3, 4});
    PlayOn(device, &buffer);
    EXPECT_EQ(Mixed(2), std::vector<int16_t>({1, 2}));
    EXPECT_EQ(waveOutPause(device), MMSYSERR_NOERROR);
    Mixed(HostAudioMixer::kFadeOutSamples);
    EXPECT_EQ(Mixed(3), std::vector<int16_t>({0, 0, 0}));
    EXPECT_EQ(HostAudioMixer::Instance().Devices()[0].paused, true);
    EXPECT_EQ(waveOutRestart(device), MMSYSERR_NOERROR);
    EXPECT_EQ(Mixed(3), std::vector<int16_t>({3, 4, 0}));
    EXPECT_EQ(m_recorder.DoneCount(buffer.header), 1u);
    CloseAfter(device, &buffer);
}

TEST_F(WaveOutMixing, QueuePlaysInOrderAndResetReturnsTheRest) {
    HWAVEOUT device = OpenRecorded(&m_recorder);
    Buffer first({1, 2});
    Buffer second({3, 4});
    Buffer third({5, 6});
    PlayOn(device, &first);
    PlayOn(device, &second);
    PlayOn(device, &third);
    EXPECT_EQ(waveOutWrite(device, &second.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(device, &second.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);

    EXPECT_EQ(Mixed(3), std::vector<int16_t>({1, 2, 3}));
    m_recorder.Taken();
    EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    std::vector<Event> events = m_recorder.Taken();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].param1, reinterpret_cast<DWORD_PTR>(&second.header));
    EXPECT_EQ(events[1].param1, reinterpret_cast<DWORD_PTR>(&third.header));
    EXPECT_EQ(HostAudioMixer::Instance().Devices()[0].queued, 0u);
    Mixed(HostAudioMixer::kFadeOutSamples);
    EXPECT_EQ(Mixed(2), std::vector<int16_t>({0, 0}));

    // A reset buffer plays again from its start.
    EXPECT_EQ(waveOutWrite(device, &second.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(Mixed(2), std::vector<int16_t>({3, 4}));
    for (Buffer* buffer : {&first, &second}) {
        EXPECT_EQ(waveOutUnprepareHeader(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    CloseAfter(device, &third);
}

// A reset or a pause in the middle of a wave lets it fade out, across the
// buffers still queued and across the mixer's calls, instead of dropping it
// to silence in one step; a paused device has nothing left to fade.
TEST_F(WaveOutMixing, StopMidWaveEndsInARampNotAStep) {
    constexpr uint32_t kFade = HostAudioMixer::kFadeOutSamples;
    constexpr uint32_t kPlayed = 20;
    constexpr uint32_t kFirstCall = 17;
    // A rising wave: each sample tells where it comes from.
    const auto sampleAt = [](uint32_t i) { return static_cast<int32_t>(1000 + 100 * i); };
    const auto wave = [&](uint32_t from, uint32_t count) {
        std::vector<int16_t> samples;
        for (uint32_t i = from; i < from + count; ++i) samples.push_back(static_cast<int16_t>(sampleAt(i)));
        return samples;
    };
    std::vector<int16_t> ramp;
    for (uint32_t i = 0; i < kFade; ++i) {
        const int32_t weight = static_cast<int32_t>(kFade - i);
        ramp.push_back(static_cast<int16_t>(sampleAt(kPlayed + i) * weight / static_cast<int32_t>(kFade)));
    }
    ramp.insert(ramp.end(), 4, 0);
    for (MMRESULT (*stop)(HWAVEOUT) : {&waveOutReset, &waveOutPause}) {
        HWAVEOUT device = OpenRecorded(&m_recorder);
        Buffer first(wave(0, 24));
        Buffer second(wave(24, 100));
        PlayOn(device, &first);
        PlayOn(device, &second);
        Mixed(kPlayed);
        EXPECT_EQ(stop(device), MMSYSERR_NOERROR);
        std::vector<int16_t> after = Mixed(kFirstCall);
        const std::vector<int16_t> rest = Mixed(kFade + 4 - kFirstCall);
        after.insert(after.end(), rest.begin(), rest.end());
        EXPECT_EQ(after, ramp);
        EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
        EXPECT_EQ(Mixed(kFade), std::vector<int16_t>(kFade, 0));
        EXPECT_EQ(waveOutUnprepareHeader(device, &first.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        CloseAfter(device, &second);
    }
}

TEST_F(WaveOutMixing, ClosedHandleIsRefused) {
    HWAVEOUT device = OpenRecorded(&m_recorder);
    ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    Buffer buffer({1});
    EXPECT_EQ(waveOutPrepareHeader(device, &buffer.header, sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutPause(device), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutSetVolume(device, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(nullptr), MMSYSERR_INVALHANDLE);
    // A header of another size is refused before the handle is looked at.
    EXPECT_EQ(waveOutWrite(device, &buffer.header, 32), MMSYSERR_INVALPARAM);
}

struct Reentry {
    HWAVEOUT device = nullptr;
    MMRESULT result = MMSYSERR_NOERROR;
    int calls = 0;
};

void CallBackIn(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    if (message != WOM_DONE) {
        return;
    }
    Reentry* reentry = reinterpret_cast<Reentry*>(instance);
    ++reentry->calls;
    reentry->result = waveOutPause(device);
}

TEST_F(WaveOutMixing, CallbackThatCallsBackInIsRefusedNotDeadlocked) {
    Reentry reentry;
    const WAVEFORMATEX format = MonoPcm8k();
    ASSERT_EQ(waveOutOpen(&reentry.device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&CallBackIn),
                          reinterpret_cast<DWORD_PTR>(&reentry), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    Buffer buffer({1});
    PlayOn(reentry.device, &buffer);
    Mixed(1);
    EXPECT_EQ(reentry.calls, 1);
    EXPECT_EQ(reentry.result, MMSYSERR_ERROR);
    EXPECT_FALSE(HostAudioMixer::Instance().Devices()[0].paused);
    CloseAfter(reentry.device, &buffer);
}

TEST(ClockAudioSink, PlaysExactlyAsLongAsTheClockAdvances) {
    HostClock::UseVirtual(5000, 0);
    HostAudioMixer& mixer = HostAudioMixer::Instance();
    std::unique_ptr<ClockAudioSink> created = ClockAudioSink::Create(mixer);
    ASSERT_NE(created, nullptr);
    ClockAudioSink* sink = created.get();
    mixer.UseSink(std::move(created));

    Recorder recorder;
    HWAVEOUT device = OpenRecorded(&recorder);
    Buffer buffer(std::vector<int16_t>(800, 100));  // 100 ms at 8000 Hz
    PlayOn(device, &buffer);
    HostClock::Advance(99);
    ASSERT_TRUE(sink->WaitUntilCurrent(5000));
    EXPECT_EQ(recorder.DoneCount(buffer.header), 0u);
    HostClock::Advance(1);
    ASSERT_TRUE(sink->WaitUntilCurrent(5000));
    EXPECT_EQ(recorder.DoneCount(buffer.header), 1u);
    EXPECT_EQ(sink->SamplesConsumed(), 800u);
    CloseAfter(device, &buffer);

    mixer.UseSink(nullptr);
    HostClock::UseMonotonic();
}

TEST(SdlAudioSink, PlaysThroughSdlAudio) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    HostAudioMixer& mixer = HostAudioMixer::Instance();
    std::string error;
    std::unique_ptr<SdlAudioSink> created = SdlAudioSink::Create(mixer, &error);
    ASSERT_NE(created, nullptr) << error;
    EXPECT_FALSE(created->DriverName().empty());
    SdlAudioSink* sink = created.get();
    mixer.UseSink(std::move(created));

    Recorder recorder;
    HWAVEOUT device = OpenRecorded(&recorder);
    Buffer buffer(std::vector<int16_t>(400, -100));  // 50 ms
    PlayOn(device, &buffer);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (recorder.DoneCount(buffer.header) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(recorder.DoneCount(buffer.header), 1u);
    EXPECT_GE(sink->SamplesConsumed(), 400u);
    CloseAfter(device, &buffer);
    mixer.UseSink(nullptr);
}

// What one device's callback saw: whether any call came after the close
// had returned, and which thread delivered its WOM_DONE.
struct Probe {
    std::atomic<bool> closed{false};
    std::atomic<int> lateCalls{0};
    std::atomic<bool> doneOnOtherThread{false};
    std::thread::id owner = std::this_thread::get_id();
};

void ProbeCallback(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    Probe* probe = reinterpret_cast<Probe*>(instance);
    if (message == WOM_DONE && std::this_thread::get_id() != probe->owner) {
        probe->doneOnOtherThread.store(true);
        // Linger before looking, so that a close from the test thread that
        // did not wait for this callback would be seen.
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (probe->closed.load()) {
        ++probe->lateCalls;
    }
}

TEST(WaveOutStress, NoCallbackRunsAfterCloseReturns) {
    HostClock::UseMonotonic();
    HostAudioMixer& mixer = HostAudioMixer::Instance();
    mixer.UseSink(ClockAudioSink::Create(mixer));
    const WAVEFORMATEX format = MonoPcm8k();
    std::vector<int16_t> samples(8, 1);  // 1 ms
    std::vector<std::unique_ptr<Probe>> probes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (int round = 0; round < 4000 && std::chrono::steady_clock::now() < deadline; ++round) {
        probes.push_back(std::make_unique<Probe>());
        Probe* probe = probes.back().get();
        HWAVEOUT device = nullptr;
        ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&ProbeCallback),
                              reinterpret_cast<DWORD_PTR>(probe), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
        WAVEHDR header{};
        header.lpData = reinterpret_cast<char*>(samples.data());
        header.dwBufferLength = static_cast<DWORD>(samples.size() * sizeof(int16_t));
        ASSERT_EQ(waveOutPrepareHeader(device, &header, sizeof(header)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(device, &header, sizeof(header)), MMSYSERR_NOERROR);
        // Some voices end on the audio thread, some are cut short here.
        std::this_thread::sleep_for(std::chrono::microseconds((round % 5) * 400));
        ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutUnprepareHeader(device, &header, sizeof(header)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
        probe->closed.store(true);
    }
    mixer.UseSink(nullptr);

    int lateCalls = 0;
    int doneOnAudioThread = 0;
    for (const std::unique_ptr<Probe>& probe : probes) {
        lateCalls += probe->lateCalls.load();
        doneOnAudioThread += probe->doneOnOtherThread.load();
    }
    EXPECT_EQ(lateCalls, 0);
    // The audio thread really delivered completions meanwhile.
    EXPECT_GT(doneOnAudioThread, 10);
    EXPECT_TRUE(mixer.Devices().empty());
}

}  // namespace
