#ifndef HOSTAUDIOMIXER_H
#define HOSTAUDIOMIXER_H

#include "HostAudioSink.h"
#include "WinCeWaveOut.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class HostWaveDevice;

// The host side of waveOut: the open devices, mixed into one 16-bit mono
// stream at 8000 Hz that the audio sink drains.
//
// One lock guards the devices. Every callback runs while it is held, so once
// Close has taken a device out no callback of it can be running or start.
// A thread that is inside a callback is refused every other call, since it
// already holds the lock.
class HostAudioMixer {
public:
    static constexpr uint32_t kSampleRate = 8000;
    // A reset or a pause lets the device's sound fade out over 5 ms instead
    // of cutting it off mid-wave, which clicks.
    static constexpr uint32_t kFadeOutSamples = kSampleRate * 5 / 1000;

    // What a test can see of an open device, in the order of opening.
    struct DeviceState {
        DWORD volume;
        bool paused;
        uint32_t queued;
    };

    // The process's mixer. It stops its sink and drops leftover devices at
    // exit.
    static HostAudioMixer& Instance();

    HostAudioMixer() = default;
    ~HostAudioMixer();

    HostAudioMixer(const HostAudioMixer&) = delete;
    HostAudioMixer& operator=(const HostAudioMixer&) = delete;

    // The waveOut calls, with their arguments checked already.
    MMRESULT Open(HWAVEOUT* device, WAVEOUTPROC callback, DWORD_PTR instance);
    MMRESULT Prepare(HWAVEOUT device, WAVEHDR* header);
    MMRESULT Unprepare(HWAVEOUT device, WAVEHDR* header);
    MMRESULT Write(HWAVEOUT device, WAVEHDR* header);
    MMRESULT Pause(HWAVEOUT device);
    MMRESULT Restart(HWAVEOUT device);
    MMRESULT Reset(HWAVEOUT device);
    MMRESULT SetVolume(HWAVEOUT device, DWORD volume);
    MMRESULT Close(HWAVEOUT device);

    // Produces the next `count` samples and delivers WOM_DONE for every
    // buffer that ran out. Called by the sink's thread, or by a test that
    // runs without a sink.
    void Mix(int16_t* out, uint32_t count);

    // Replaces the sink (the old one stops first). Null leaves the mixer
    // without one: nothing plays until someone calls Mix. Until a sink is
    // chosen, the first Open starts HostAudioSink::CreateDefault's.
    void UseSink(std::unique_ptr<HostAudioSink> sink);
    HostAudioSink* Sink();

    std::vector<DeviceState> Devices();

private:
    // Runs `action` on the live device of the handle under the lock, or
    // answers MMSYSERR_INVALHANDLE (MMSYSERR_ERROR inside a callback).
    template <typename Action>
    MMRESULT WithDevice(HWAVEOUT device, Action action);
    HostWaveDevice* FindLocked(HWAVEOUT device) const;
    void DeliverDone(HostWaveDevice* device);
    // Adds the device's fading end to what the next Mix calls play.
    void FadeOutLocked(const HostWaveDevice& device);
    void StartDefaultSink();

    std::mutex m_deviceLock;
    std::vector<HostWaveDevice*> m_devices;
    // Scratch space of Mix, kept to spare the audio thread allocations.
    std::vector<int32_t> m_mix;
    std::vector<WAVEHDR*> m_finished;
    // The fading ends of reset and paused devices still to be played, the
    // next sample first.
    std::vector<int32_t> m_fadeOut;

    // Separate from the device lock: stopping a sink waits for its thread,
    // which may be waiting for the device lock.
    std::mutex m_sinkLock;
    std::unique_ptr<HostAudioSink> m_sink;
    bool m_sinkChosen = false;
};

#endif
