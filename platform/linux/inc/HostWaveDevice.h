#ifndef HOSTWAVEDEVICE_H
#define HOSTWAVEDEVICE_H

#include "WinCeWaveOut.h"

#include <deque>
#include <vector>

// One open waveOut device: its callback, volume, pause state and the
// buffers queued on it. The mixer owns it and serialises every call.
class HostWaveDevice {
public:
    HostWaveDevice(WAVEOUTPROC callback, DWORD_PTR instance) : m_callback(callback), m_instance(instance) {}

    HostWaveDevice(const HostWaveDevice&) = delete;
    HostWaveDevice& operator=(const HostWaveDevice&) = delete;

    HWAVEOUT Handle() { return reinterpret_cast<HWAVEOUT>(this); }

    // Calls the owner's callback, when it gave one.
    void Notify(UINT message, DWORD_PTR param1);

    MMRESULT Prepare(WAVEHDR* header);
    MMRESULT Unprepare(WAVEHDR* header);
    MMRESULT Write(WAVEHDR* header);
    // Takes every queued buffer off, in order, marked done, and rewinds.
    void Reset(std::vector<WAVEHDR*>* finished);
    // Adds to `tail` the next `count` samples the device would play, at its
    // volume, faded from full to nothing: what a stop lets out so that the
    // wave ends without a step. Nothing while paused, which is silent.
    void AddFadeOut(int32_t* tail, uint32_t count) const;

    void Pause() { m_paused = true; }
    void Restart() { m_paused = false; }
    void SetVolume(DWORD volume) { m_volume = volume; }

    // Adds the next `count` samples of the queued buffers, scaled by the
    // volume, to `mix`; nothing while paused. Buffers played to their end
    // are taken off and appended to `finished`.
    void MixInto(int32_t* mix, uint32_t count, std::vector<WAVEHDR*>* finished);

    DWORD Volume() const { return m_volume; }
    bool IsPaused() const { return m_paused; }
    uint32_t QueuedCount() const { return static_cast<uint32_t>(m_queue.size()); }

private:
    // The sample at the device's volume.
    int32_t AtVolume(int16_t sample) const;
    // Samples of the head buffer not played yet.
    uint32_t SamplesLeftInHead() const;
    void FinishHead(std::vector<WAVEHDR*>* finished);

    WAVEOUTPROC m_callback;
    DWORD_PTR m_instance;
    DWORD m_volume = 0xFFFFFFFF;
    bool m_paused = false;
    std::deque<WAVEHDR*> m_queue;
    // Samples of the head buffer played so far.
    uint32_t m_headPosition = 0;
};

#endif
