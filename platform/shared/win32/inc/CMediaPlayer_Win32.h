#ifndef CMEDIAPLAYER_WIN32_H
#define CMEDIAPLAYER_WIN32_H

#include "CLinkList.h"
#include "ICMediaPlayer.h"

class CWaveVoice_Win32;

// The media player over waveOut and the shell's vibrator: one device per
// playing sound, the device mixing them. Everything but the devices'
// completion callbacks runs on the application's thread.
class CMediaPlayer_Win32 : public ICMediaPlayer {
public:
    static constexpr uint32_t kSampleRate = 8000;
    static constexpr uint16_t kChannels = 1;
    static constexpr uint16_t kBitsPerSample = 16;

    // Constructs and registers the singleton; null when memory is exhausted.
    static CMediaPlayer_Win32* Create();

    CMediaPlayer_Win32() = default;
    // Stops every voice and the vibrator.
    ~CMediaPlayer_Win32() override;

    void SetSoundEnabled(bool enabled) override;
    void SetVibrationEnabled(bool enabled) override;
    void SetVolume(uint8_t level) override;
    bool IsSoundEnabled() override { return m_soundEnabled; }
    bool IsVibrationEnabled() override { return m_vibrationEnabled; }
    uint8_t GetVolume() override { return m_volume; }
    bool IsPlaying(uint32_t id) override;
    bool IsVibrating(uint32_t id) override;
    uint32_t Play(const CBinary* sound, uint32_t unused, uint8_t priority) override;
    void Stop(uint32_t id) override;
    uint32_t Vibrate(uint32_t durationMs, uint8_t priority) override;
    void StopVibrate(uint32_t id) override;
    void Pause() override;
    void Resume() override;
    void Update(int32_t elapsedMs) override;

    // The device volume of a level: both channels at level / 10 of full.
    static uint32_t VolumeToWave(uint8_t level);

private:
    static constexpr uint8_t kNoVibrationPriority = 255;

    uint32_t NextId() { return ++m_idCounter; }
    // Starts the voice of a sound; null when it cannot play.
    CWaveVoice_Win32* StartVoice(const CBinary& sound, uint32_t id, uint8_t priority);
    // Unlinks and deletes every voice the predicate picks.
    template <typename Predicate>
    void DeleteVoices(Predicate pick);
    uint32_t StartVibration(uint32_t durationMs, uint8_t priority);
    uint32_t JoinVibration(uint32_t durationMs, uint8_t priority);

    bool m_soundEnabled = true;
    bool m_vibrationEnabled = true;
    uint8_t m_volume = kMaxVolume;
    uint32_t m_idCounter = 0;
    // The voices, oldest first.
    CLinkList m_voices;
    uint32_t m_vibrationId = 0;
    uint8_t m_vibrationPriority = kNoVibrationPriority;
    int32_t m_vibrationTimeLeft = 0;
    bool m_vibrationRunning = false;
};

#endif
