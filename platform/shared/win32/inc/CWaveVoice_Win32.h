#ifndef CWAVEVOICE_WIN32_H
#define CWAVEVOICE_WIN32_H

#include "CLinkList.h"
#include "CMemory.h"
#include "WinCeWaveOut.h"

#include <atomic>

class CBinary;

// One playing sound: its own waveOut device and one prepared buffer over the
// sound's bytes. The device's callback only marks the voice finished; the
// media player deletes finished voices on its own thread.
class CWaveVoice_Win32 : public CLinkListNode {
public:
    CWaveVoice_Win32() = default;
    // Closes the device first, so no callback can reach a deleted voice.
    ~CWaveVoice_Win32() override;

    // Voices live on the engine heap; a failed allocation yields null.
    static void* operator new(size_t bytes) noexcept { return MemAlloc(bytes); }
    static void operator delete(void* block) noexcept { MemFree(block); }

    void SetInfo(uint32_t id, uint32_t unused, uint8_t priority);
    // Opens the device for the format and prepares the sound's buffer;
    // answers the first failing waveOut result, MMSYSERR_NOERROR when both
    // went through.
    MMRESULT Open(const CBinary& sound, uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample);
    MMRESULT Write();
    // Marks the voice finished and releases the device; again is harmless.
    void Close();
    void Pause();
    void Restart();
    void SetVolume(uint32_t deviceVolume);

    bool IsActive() const { return m_finished.load() == 0; }
    uint32_t GetId() const { return m_id; }

    static void OnWaveDone(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);

private:
    uint32_t m_id = 0;
    uint8_t m_priority = 0;
    HWAVEOUT m_device = nullptr;
    WAVEHDR m_header{};
    // Written by the device's callback thread.
    std::atomic<uint8_t> m_finished{0};
};

#endif
