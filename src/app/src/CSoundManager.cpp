#include "CSoundManager.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CBinary.h"
#include "CGameApp.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "ICCore.h"
#include "ICMediaPlayer.h"

CSoundManager::~CSoundManager() { ReleaseAll(); }

void CSoundManager::Play(int32_t id, bool loop) {
    if (soundOn == 0 || id < 1) return;
    Stop(false);
    ICMediaPlayer* player = GetMediaPlayer();
    if (player == nullptr || !player->IsSoundEnabled()) return;
    const CBinary* sound = Cached(id);
    if (sound == nullptr) {
        Load(id);
        sound = Cached(id);
    }
    if (sound == nullptr) return;
    loopingId = loop ? id : kNoLoop;
    player->Play(sound, 0, kPlayPriority);
}

void CSoundManager::Stop(bool keepLooping) {
    ICMediaPlayer* player = GetMediaPlayer();
    if (player != nullptr) player->Stop(0);
    if (!keepLooping || loopingId == kNoLoop) loopingId = kNoLoop;
}

bool CSoundManager::IsPlaying() const {
    ICMediaPlayer* player = GetMediaPlayer();
    return player != nullptr && player->IsPlaying(0);
}

const CBinary* CSoundManager::Cached(int32_t id) const { return m_cache.get(JInteger(id)); }

void CSoundManager::Load(int32_t id) {
    if (Cached(id) != nullptr) return;
    CResourceManager* manager = GetAppResourceManager();
    CResource* resource = nullptr;
    if (manager != nullptr) manager->CreateByHandle(static_cast<uint32_t>(id), &resource);
    if (resource == nullptr) {
        DebugPrintf("sound 0x%08X is not in the archive: silence", static_cast<uint32_t>(id));
        return;
    }
    const CBinary* sound = dynamic_cast<const CBinary*>(resource->GetObject());
    if (sound == nullptr) {
        DebugPrintf("resource 0x%08X is no sound", static_cast<uint32_t>(id));
        manager->ReleaseByHandle(static_cast<uint32_t>(id));
        return;
    }
    m_cache.put(JInteger(id), sound);
}

void CSoundManager::Release(int32_t id) {
    CResourceManager* manager = GetAppResourceManager();
    if (manager != nullptr) manager->ReleaseByHandle(static_cast<uint32_t>(id));
}

void CSoundManager::ReleaseAll() {
    Stop(false);
    JSmartPtr<JEnumeration> ids = m_cache.keys();
    while (ids->hasMoreElements()) {
        const JInteger* id = static_cast<const JInteger*>(ids->nextElement());
        if (id != nullptr) Release(id->intValue());
    }
    m_cache.clear();
}

bool CSoundManager::IsSoundAllowed() {
    const ICCore* core = GetCore();
    const CGameApp* app = GetGameApp();
    const bool overridden = app != nullptr && app->GetDeviceConfig().IsMannerModeDetectDisabled();
    return (core != nullptr && core->IsSoundAllowed()) || overridden;
}

void CSoundManager::SetEnabled(bool on) {
    ICMediaPlayer* player = GetMediaPlayer();
    if (player == nullptr) return;
    if (!on) {
        player->SetSoundEnabled(false);
    } else if (IsSoundAllowed() && !player->IsSoundEnabled()) {
        player->SetSoundEnabled(true);
    }
}

void CSoundManager::SetVibrationEnabled(bool on) {
    ICMediaPlayer* player = GetMediaPlayer();
    if (player == nullptr) return;
    if (!on) {
        player->SetVibrationEnabled(false);
    } else if (!player->IsVibrationEnabled()) {
        player->SetVibrationEnabled(true);
    }
}

void CSoundManager::Vibrate(int32_t ms) {
    ICMediaPlayer* player = GetMediaPlayer();
    if (player != nullptr && player->IsVibrationEnabled() && ms > 0) {
        player->Vibrate(static_cast<uint32_t>(ms), kVibrationPriority);
    }
}
