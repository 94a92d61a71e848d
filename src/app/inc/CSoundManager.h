#ifndef CSOUNDMANAGER_H
#define CSOUNDMANAGER_H

#include "JHashtable.h"
#include "JInteger.h"

#include <cstdint>

class CBinary;

// The game's one way to play sounds and to vibrate. A sound is named by its
// resource id; it is loaded on its first play and kept to the end of the
// run. One sound plays at a time: a new one stops the last. The media player
// plays every sound once; the id of the last sound started as a loop is
// kept, so that the game can start it again after a pause.
class CSoundManager {
public:
    static constexpr int32_t kNoLoop = -1;
    static constexpr uint8_t kPlayPriority = 255;
    static constexpr uint8_t kVibrationPriority = 255;

    CSoundManager() = default;
    ~CSoundManager();

    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    void Play(int32_t id, bool loop);
    // Stops every sound; the loop's id stays only when asked to and known.
    void Stop(bool keepLooping);
    bool IsPlaying() const;
    void Load(int32_t id);
    void Release(int32_t id);
    void ReleaseAll();
    // On only while the core allows sound or device.conf overrides it.
    void SetEnabled(bool on);
    void SetVibrationEnabled(bool on);
    void Vibrate(int32_t ms);

    int32_t GetLoopingId() const { return loopingId; }
    // How many sounds are loaded and kept.
    int32_t GetCachedCount() const { return m_cache.size(); }

    // The user's options, written by the option screens.
    uint8_t soundOn = 0;
    uint8_t vibrationOn = 1;
    int32_t loopingId = kNoLoop;

private:
    const CBinary* Cached(int32_t id) const;
    static bool IsSoundAllowed();

    JHashtable<JInteger, const CBinary*> m_cache;
};

#endif
