// The sound manager against the platform's media player (SDL's dummy audio
// in the tests): one sound at a time, the loop's id, loading once, the
// sound-allowed rule, and the pauses of the game and the message screens.

#include "GameAppFixture.h"

#include "AppServices.h"
#include "CCore_Win32.h"
#include "CGame.h"
#include "CResource.h"
#include "CResourceManager.h"
#include "CSoundManager.h"
#include "EngineEvents.h"
#include "HostClock.h"
#include "ICMediaPlayer.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

constexpr int32_t kMusic = 0x09000169;
constexpr int32_t kJingle = 0x09000223;
constexpr int32_t kAbsent = 0x09000777;
// Twenty seconds: still playing at every check, however slowly a loaded
// machine runs the test (the media player plays on the real clock).
constexpr uint32_t kLongSound = 160000;
// A tenth of a second.
constexpr int32_t kShort = 0x09000163;
constexpr uint32_t kShortSound = 800;

apptest::ArchiveSpec WithSounds() {
    apptest::ArchiveSpec spec;
    spec.sounds = {{static_cast<uint32_t>(kMusic), kLongSound}, {static_cast<uint32_t>(kJingle), kLongSound}};
    return spec;
}

// A core whose device profile is silent.
class SilentCore : public CCore_Win32 {
public:
    SilentCore() { m_soundAllowed = 0; }
};

int32_t References(int32_t id) {
    CResource* resource = nullptr;
    if (!GetAppResourceManager()->GetResource(static_cast<uint32_t>(id), &resource)) return 0;
    return resource->GetRefCount();
}

}  // namespace

class SoundManagerTest : public GameAppFixture {
protected:
    void SetUp() override {
        StartRunning(WithSounds());
        m_sound = CGame::GetSound();
        m_sound->soundOn = 1;
    }
    CSoundManager* m_sound = nullptr;
};

TEST_F(SoundManagerTest, NothingPlaysForIdZeroOrBelowOrWithTheOptionOff) {
    m_sound->Play(kMusic, true);
    for (int32_t id : {0, -5}) {
        m_sound->Play(id, false);
        EXPECT_TRUE(m_sound->IsPlaying()) << id;
        EXPECT_EQ(m_sound->loopingId, kMusic) << id;
    }
    m_sound->Stop(false);
    m_sound->soundOn = 0;
    m_sound->Play(kJingle, true);
    EXPECT_FALSE(m_sound->IsPlaying());
    EXPECT_EQ(m_sound->loopingId, CSoundManager::kNoLoop);
}

TEST_F(SoundManagerTest, ANewSoundStopsTheLastAndAOneShotForgetsTheLoop) {
    m_sound->Play(kMusic, true);
    EXPECT_TRUE(GetMediaPlayer()->IsPlaying(0));
    EXPECT_EQ(m_sound->loopingId, kMusic);
    m_sound->Play(kJingle, false);
    EXPECT_TRUE(m_sound->IsPlaying());
    EXPECT_EQ(m_sound->loopingId, CSoundManager::kNoLoop);
    // A missing sound stops the current one and plays nothing.
    m_sound->Play(kAbsent, true);
    EXPECT_FALSE(m_sound->IsPlaying());
    EXPECT_EQ(m_sound->loopingId, CSoundManager::kNoLoop);
}

TEST_F(SoundManagerTest, ASoundIsLoadedOnceAndReleasedAtTheEnd) {
    m_sound->Play(kMusic, false);
    m_sound->Play(kJingle, false);
    m_sound->Play(kMusic, false);
    EXPECT_EQ(m_sound->GetCachedCount(), 2);
    EXPECT_EQ(References(kMusic), 1);
    m_sound->ReleaseAll();
    EXPECT_EQ(m_sound->GetCachedCount(), 0);
    EXPECT_EQ(References(kMusic), 0);
}

TEST_F(SoundManagerTest, SuspendKeepsTheLoopAndResumeStartsItAgain) {
    m_sound->Play(kMusic, true);
    Event(EngineEvent::kAppSuspend);
    EXPECT_FALSE(m_sound->IsPlaying());
    EXPECT_EQ(m_sound->loopingId, kMusic);
    Event(EngineEvent::kAppResume);
    EXPECT_TRUE(m_sound->IsPlaying());
    // Without a loop, a resume starts nothing.
    m_sound->Play(kJingle, false);
    Event(EngineEvent::kAppSuspend);
    Event(EngineEvent::kAppResume);
    EXPECT_FALSE(m_sound->IsPlaying());
}

TEST_F(SoundManagerTest, SoundIsSwitchedOnOnlyWhenTheDeviceAllowsItOrConfigurationOverrides) {
    GetMediaPlayer()->SetSoundEnabled(false);
    m_sound->SetEnabled(true);
    EXPECT_TRUE(GetMediaPlayer()->IsSoundEnabled());
    m_sound->SetEnabled(false);
    EXPECT_FALSE(GetMediaPlayer()->IsSoundEnabled());
    SilentCore silent;
    SetCore(&silent);
    m_sound->SetEnabled(true);
    EXPECT_FALSE(GetMediaPlayer()->IsSoundEnabled());
    SetCore(m_core);
}

TEST_F(SoundManagerTest, VibrationFollowsThePlayersSwitch) {
    m_sound->SetVibrationEnabled(true);
    EXPECT_TRUE(GetMediaPlayer()->IsVibrationEnabled());
    m_sound->Vibrate(200);
    EXPECT_TRUE(GetMediaPlayer()->IsVibrating(0));
    m_sound->SetVibrationEnabled(false);
    EXPECT_FALSE(GetMediaPlayer()->IsVibrationEnabled());
}

class SilentDeviceSoundTest : public GameAppFixture {};

TEST_F(SilentDeviceSoundTest, TheConfigurationOverridesASilentProfile) {
    WriteFile("device.conf", "KEYS=0\nDISABLE_MANNERMODEDETECT=1\n");
    StartRunning(WithSounds());
    SilentCore silent;
    SetCore(&silent);
    GetMediaPlayer()->SetSoundEnabled(false);
    CGame::GetSound()->SetEnabled(true);
    EXPECT_TRUE(GetMediaPlayer()->IsSoundEnabled());
    SetCore(m_core);
}

TEST_F(SoundManagerTest, AMessageScreenStopsTheLoopAndItsEndStartsItAgain) {
    Stop();
    WriteFile("device.conf", "KEYS=0\nHIBERNATION_MESSAGE=ASLEEP\n");
    SetUp();
    m_sound->Play(kMusic, true);
    Event(EngineEvent::kHibernate);
    Frame();
    EXPECT_FALSE(m_sound->IsPlaying());
    EXPECT_TRUE(m_app->IsSoundPausedBySystem());
    Event(EngineEvent::kKeyPressed, CGameApp::kKeySelect);
    Frame();
    EXPECT_TRUE(m_sound->IsPlaying());
    EXPECT_EQ(m_sound->loopingId, kMusic);
    // A one-shot stopped by the screen is not started again.
    m_sound->Play(kJingle, false);
    Event(EngineEvent::kHibernate);
    Frame();
    Event(EngineEvent::kKeyPressed, CGameApp::kKeySelect);
    Frame();
    EXPECT_FALSE(m_sound->IsPlaying());
    EXPECT_FALSE(m_app->IsSoundPausedBySystem());
}

// On the real clock the media player plays through SDL's audio (its dummy
// driver here), which takes the samples at their own pace: a short sound
// ends by itself, the long one started after it is still playing.
class SoundOnTheAudioDeviceTest : public GameAppFixture {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        HostClock::UseMonotonic();
    }
};

TEST_F(SoundOnTheAudioDeviceTest, AShortSoundEndsByItselfAndALongOneGoesOn) {
    apptest::ArchiveSpec spec = WithSounds();
    spec.sounds.push_back({static_cast<uint32_t>(kShort), kShortSound});
    StartRunning(spec);
    CSoundManager* sound = CGame::GetSound();
    sound->soundOn = 1;
    sound->Play(kShort, false);
    EXPECT_TRUE(sound->IsPlaying());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (sound->IsPlaying() && std::chrono::steady_clock::now() < deadline) {
        Frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(sound->IsPlaying());
    sound->Play(kMusic, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Frame();
    EXPECT_TRUE(sound->IsPlaying());
}
