#include "CMediaPlayer_Win32.h"

#include "CBinary.h"
#include "CWaveVoice_Win32.h"
#include "WinCeVibrate.h"

#include <algorithm>

namespace {

constexpr uint32_t kFullChannel = 0xFFFF;
// The vibration runs until it is stopped: no notes, repeated, no time-out.
constexpr BOOL kRepeat = 1;

CWaveVoice_Win32* VoiceOf(CLinkListNode* node) {
    return static_cast<CWaveVoice_Win32*>(node);
}

}  // namespace

CMediaPlayer_Win32* CMediaPlayer_Win32::Create() {
    return new CMediaPlayer_Win32();
}

CMediaPlayer_Win32::~CMediaPlayer_Win32() {
    Stop(0);
    StopVibrate(0);
    m_voices.RemoveAll();
}

uint32_t CMediaPlayer_Win32::VolumeToWave(uint8_t level) {
    if (level == 0) {
        return 0;
    }
    const uint32_t channel = level * kFullChannel / kMaxVolume;
    return channel | channel << 16;
}

void CMediaPlayer_Win32::SetSoundEnabled(bool enabled) {
    m_soundEnabled = enabled;
    if (!enabled) {
        Stop(0);
    }
}

void CMediaPlayer_Win32::SetVibrationEnabled(bool enabled) {
    m_vibrationEnabled = enabled;
    if (!enabled) {
        StopVibrate(0);
    }
}

void CMediaPlayer_Win32::SetVolume(uint8_t level) {
    m_volume = std::min(level, kMaxVolume);
    const uint32_t deviceVolume = VolumeToWave(m_volume);
    for (CLinkListNode* node = m_voices.GetHead(); node != nullptr; node = node->GetNext()) {
        VoiceOf(node)->SetVolume(deviceVolume);
    }
}

bool CMediaPlayer_Win32::IsPlaying(uint32_t id) {
    for (CLinkListNode* node = m_voices.GetHead(); node != nullptr; node = node->GetNext()) {
        const CWaveVoice_Win32* voice = VoiceOf(node);
        if (voice->IsActive() && (id == 0 || voice->GetId() == id)) {
            return true;
        }
    }
    return false;
}

bool CMediaPlayer_Win32::IsVibrating(uint32_t id) {
    return id == 0 ? m_vibrationId != 0 : m_vibrationId == id;
}

uint32_t CMediaPlayer_Win32::Play(const CBinary* sound, uint32_t unused, uint8_t priority) {
    (void)unused;
    if (!m_soundEnabled || sound == nullptr) {
        return 0;
    }
    const uint32_t id = NextId();
    CWaveVoice_Win32* voice = StartVoice(*sound, id, priority);
    if (voice == nullptr) {
        return 0;
    }
    m_voices.AddTail(voice, voice);
    return id;
}

CWaveVoice_Win32* CMediaPlayer_Win32::StartVoice(const CBinary& sound, uint32_t id, uint8_t priority) {
    CWaveVoice_Win32* voice = new CWaveVoice_Win32();
    if (voice == nullptr) {
        return nullptr;
    }
    voice->SetInfo(id, 0, priority);
    // A voice whose device did not open would never finish: it is dropped
    // rather than reported as playing.
    if (voice->Open(sound, kChannels, kSampleRate, kBitsPerSample) != MMSYSERR_NOERROR) {
        delete voice;
        return nullptr;
    }
    voice->SetVolume(VolumeToWave(m_volume));
    if (voice->Write() != MMSYSERR_NOERROR) {
        delete voice;
        return nullptr;
    }
    return voice;
}

template <typename Predicate>
void CMediaPlayer_Win32::DeleteVoices(Predicate pick) {
    CLinkListNode* node = m_voices.GetHead();
    while (node != nullptr) {
        CLinkListNode* next = node->GetNext();
        CWaveVoice_Win32* voice = VoiceOf(node);
        if (pick(voice)) {
            voice->Close();
            m_voices.Remove(voice);
            delete voice;
        }
        node = next;
    }
}

void CMediaPlayer_Win32::Stop(uint32_t id) {
    DeleteVoices([id](const CWaveVoice_Win32* voice) { return id == 0 || voice->GetId() == id; });
}

uint32_t CMediaPlayer_Win32::Vibrate(uint32_t durationMs, uint8_t priority) {
    if (!m_vibrationEnabled || durationMs == 0) {
        return 0;
    }
    if (m_vibrationId == 0) {
        return StartVibration(durationMs, priority);
    }
    return JoinVibration(durationMs, priority);
}

uint32_t CMediaPlayer_Win32::StartVibration(uint32_t durationMs, uint8_t priority) {
    if (::Vibrate(0, nullptr, kRepeat, INFINITE) != 0) {
        return 0;
    }
    m_vibrationId = NextId();
    m_vibrationPriority = priority;
    m_vibrationTimeLeft = static_cast<int32_t>(std::min<uint32_t>(durationMs, INT32_MAX));
    m_vibrationRunning = true;
    return m_vibrationId;
}

uint32_t CMediaPlayer_Win32::JoinVibration(uint32_t durationMs, uint8_t priority) {
    if (priority > m_vibrationPriority) {
        return 0;
    }
    m_vibrationId = NextId();
    m_vibrationPriority = priority;
    const int32_t duration = static_cast<int32_t>(std::min<uint32_t>(durationMs, INT32_MAX));
    m_vibrationTimeLeft = std::max(m_vibrationTimeLeft, duration);
    m_vibrationRunning = true;
    return m_vibrationId;
}

void CMediaPlayer_Win32::StopVibrate(uint32_t id) {
    if (m_vibrationId == 0 || (id != 0 && id != m_vibrationId)) {
        return;
    }
    if (m_vibrationRunning) {
        VibrateStop();
    }
    m_vibrationId = 0;
    m_vibrationPriority = kNoVibrationPriority;
    m_vibrationTimeLeft = 0;
    m_vibrationRunning = false;
}

void CMediaPlayer_Win32::Pause() {
    for (CLinkListNode* node = m_voices.GetHead(); node != nullptr; node = node->GetNext()) {
        VoiceOf(node)->Pause();
    }
    StopVibrate(0);
}

void CMediaPlayer_Win32::Resume() {
    for (CLinkListNode* node = m_voices.GetHead(); node != nullptr; node = node->GetNext()) {
        VoiceOf(node)->Restart();
    }
}

void CMediaPlayer_Win32::Update(int32_t elapsedMs) {
    DeleteVoices([](const CWaveVoice_Win32* voice) { return !voice->IsActive(); });
    if (!IsVibrating(0)) {
        return;
    }
    m_vibrationTimeLeft -= elapsedMs;
    if (m_vibrationTimeLeft <= 0) {
        StopVibrate(0);
    }
}
