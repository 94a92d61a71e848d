#ifndef ICMEDIAPLAYER_H
#define ICMEDIAPLAYER_H

#include "CSingleton.h"

class CBinary;

// The engine's sound and vibration service, an engine singleton. Sounds are
// raw 16-bit mono PCM at 8000 Hz; every sound that plays is a voice with an
// id, and vibrations take their ids from the same counter. Volume runs in
// steps from 0 (silent) to 10.
class ICMediaPlayer : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0xF4F71410;
    static constexpr uint8_t kMaxVolume = 10;

    ICMediaPlayer() : CSingleton(kClassKey) {}
    ~ICMediaPlayer() override = default;

    virtual void SetSoundEnabled(bool enabled) = 0;
    virtual void SetVibrationEnabled(bool enabled) = 0;
    // Levels above kMaxVolume count as kMaxVolume.
    virtual void SetVolume(uint8_t level) = 0;
    virtual bool IsSoundEnabled() = 0;
    virtual bool IsVibrationEnabled() = 0;
    virtual uint8_t GetVolume() = 0;
    // Id 0 asks about any voice or vibration.
    virtual bool IsPlaying(uint32_t id) = 0;
    virtual bool IsVibrating(uint32_t id) = 0;
    // Starts the sound and answers its voice id, 0 when nothing started.
    // The sound's bytes are played in place: they must outlive the voice.
    virtual uint32_t Play(const CBinary* sound, uint32_t unused, uint8_t priority) = 0;
    // Id 0 stops every voice.
    virtual void Stop(uint32_t id) = 0;
    // Lower priority numbers win over a running vibration. Answers the
    // vibration's id, 0 when refused.
    virtual uint32_t Vibrate(uint32_t durationMs, uint8_t priority) = 0;
    // Id 0 stops whatever vibration runs.
    virtual void StopVibrate(uint32_t id) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // The per-frame clean-up, with the frame's time.
    virtual void Update(int32_t elapsedMs) = 0;
};

#endif
