#include "AppServices.h"
#include "CArrayInputStream.h"
#include "CBinary.h"
#include "CHash.h"
#include "CMedia.h"
#include "CMediaPlayer_Win32.h"
#include "HostAudioFaults.h"
#include "HostAudioMixer.h"
#include "HostVibrator.h"
#include "SdlAudioSink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

// A sound resource's payload: the samples as little-endian 16-bit PCM.
std::unique_ptr<CBinary> Sound(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t sample : samples) {
        const uint16_t bits = static_cast<uint16_t>(sample);
        bytes.push_back(static_cast<uint8_t>(bits & 0xFF));
        bytes.push_back(static_cast<uint8_t>(bits >> 8));
    }
    CArrayInputStream stream;
    EXPECT_TRUE(stream.Open(bytes.data(), static_cast<uint32_t>(bytes.size())));
    std::unique_ptr<CBinary> sound(new CBinary());
    EXPECT_TRUE(sound->Load(stream, CMedia::kRawPcmType));
    return sound;
}

std::vector<int16_t> Mixed(uint32_t count) {
    std::vector<int16_t> out(count, 0x5A5A);
    HostAudioMixer::Instance().Mix(out.data(), count);
    return out;
}

size_t OpenDevices() {
    return HostAudioMixer::Instance().Devices().size();
}

// The player on a mixer without a sink: the test pulls the samples itself,
// so a voice ends exactly when the test says.
class MediaPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_singletons.Init(20, 20, true));
        CSingleton::SetTable(&m_singletons);
        HostAudioMixer::Instance().UseSink(nullptr);
        // What an earlier test stopped may still be fading out.
        Mixed(HostAudioMixer::kFadeOutSamples);
        HostVibrator::Reset();
        m_player = GetMediaPlayer();
        ASSERT_NE(m_player, nullptr);
    }
    void TearDown() override {
        delete CSingleton::GetInstance(ICMediaPlayer::kClassKey);
        CSingleton::SetTable(nullptr);
        HostAudioFaults::Clear();
        HostVibrator::Reset();
        EXPECT_EQ(OpenDevices(), 0u) << "a voice's device was left open";
    }

    CHash m_singletons;
    ICMediaPlayer* m_player = nullptr;
};

TEST(GetMediaPlayer, IsNullWithoutASingletonTable) {
    EXPECT_EQ(GetMediaPlayer(), nullptr);
}

TEST_F(MediaPlayer, IsOneSingletonUntilDeleted) {
    EXPECT_EQ(GetMediaPlayer(), m_player);
    EXPECT_EQ(m_player->GetClassKey(), 0xF4F71410u);
    delete m_player;
    EXPECT_EQ(CSingleton::GetInstance(ICMediaPlayer::kClassKey), nullptr);
    m_player = GetMediaPlayer();
    ASSERT_NE(m_player, nullptr);
    EXPECT_EQ(CSingleton::GetInstance(ICMediaPlayer::kClassKey), m_player);
}

TEST(CMediaPlayerWin32, VolumeStepsToDeviceValues) {
    EXPECT_EQ(CMediaPlayer_Win32::VolumeToWave(10), 0xFFFFFFFFu);
    EXPECT_EQ(CMediaPlayer_Win32::VolumeToWave(5), 0x7FFF7FFFu);
    EXPECT_EQ(CMediaPlayer_Win32::VolumeToWave(1), 0x19991999u);
    EXPECT_EQ(CMediaPlayer_Win32::VolumeToWave(0), 0u);
}

TEST_F(MediaPlayer, EachSoundIsAVoiceDeletedAtTheUpdateAfterItEnds) {
    std::unique_ptr<CBinary> shortSound = Sound({100, 200});
    std::unique_ptr<CBinary> longSound = Sound({1, 2, 3, 4});
    const uint32_t first = m_player->Play(shortSound.get(), 0, 255);
    const uint32_t second = m_player->Play(longSound.get(), 0, 255);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 2u);
    EXPECT_EQ(OpenDevices(), 2u);

    EXPECT_EQ(Mixed(2), std::vector<int16_t>({101, 202}));
    EXPECT_FALSE(m_player->IsPlaying(first));
    EXPECT_TRUE(m_player->IsPlaying(second));
    EXPECT_TRUE(m_player->IsPlaying(0));
    // Finished, but kept until the frame's update.
    EXPECT_EQ(OpenDevices(), 2u);
    m_player->Update(40);
    EXPECT_EQ(OpenDevices(), 1u);

    EXPECT_EQ(Mixed(3), std::vector<int16_t>({3, 4, 0}));
    EXPECT_FALSE(m_player->IsPlaying(0));
    m_player->Update(40);
    EXPECT_EQ(OpenDevices(), 0u);
}

TEST_F(MediaPlayer, NothingStartsWhenDisabledNullOrTheDeviceFails) {
    std::unique_ptr<CBinary> sound = Sound({1, 2});
    EXPECT_EQ(m_player->Play(nullptr, 0, 255), 0u);
    m_player->SetSoundEnabled(false);
    EXPECT_EQ(m_player->Play(sound.get(), 0, 255), 0u);
    m_player->SetSoundEnabled(true);

    // A voice whose device did not open or prepare would never end; none
    // is kept and no id is reported.
    HostAudioFaults::Set(HostAudioFault::Open, true);
    EXPECT_EQ(m_player->Play(sound.get(), 0, 255), 0u);
    HostAudioFaults::Clear();
    HostAudioFaults::Set(HostAudioFault::Prepare, true);
    EXPECT_EQ(m_player->Play(sound.get(), 0, 255), 0u);
    HostAudioFaults::Clear();
    EXPECT_FALSE(m_player->IsPlaying(0));
    EXPECT_EQ(OpenDevices(), 0u);

    EXPECT_NE(m_player->Play(sound.get(), 0, 255), 0u);
    EXPECT_EQ(OpenDevices(), 1u);
    // A stop still reads the samples it fades out: they outlive the voice.
    m_player->Stop(0);
}

TEST_F(MediaPlayer, VolumeReachesEveryVoiceAndNewOnes) {
    std::unique_ptr<CBinary> sound = Sound({1000, 1000, 1000});
    m_player->Play(sound.get(), 0, 255);
    m_player->Play(sound.get(), 0, 255);
    m_player->SetVolume(200);
    EXPECT_EQ(m_player->GetVolume(), 10);
    m_player->SetVolume(5);
    for (const HostAudioMixer::DeviceState& device : HostAudioMixer::Instance().Devices()) {
        EXPECT_EQ(device.volume, 0x7FFF7FFFu);
    }
    m_player->SetVolume(0);
    EXPECT_EQ(Mixed(1), std::vector<int16_t>({0}));

    m_player->SetVolume(3);
    m_player->Stop(0);
    m_player->Play(sound.get(), 0, 255);
    // 3 / 10 of 0xFFFF is 19660 = 0x4CCC on each channel.
    EXPECT_EQ(HostAudioMixer::Instance().Devices()[0].volume, 0x4CCC4CCCu);
    m_player->Stop(0);
}

TEST_F(MediaPlayer, StopTakesOneVoiceOrAll) {
    std::unique_ptr<CBinary> sound = Sound({1, 2, 3});
    const uint32_t a = m_player->Play(sound.get(), 0, 255);
    const uint32_t b = m_player->Play(sound.get(), 0, 255);
    const uint32_t c = m_player->Play(sound.get(), 0, 255);
    m_player->Stop(b);
    EXPECT_EQ(OpenDevices(), 2u);
    EXPECT_FALSE(m_player->IsPlaying(b));
    EXPECT_TRUE(m_player->IsPlaying(a));
    EXPECT_TRUE(m_player->IsPlaying(c));
    m_player->Stop(0);
    EXPECT_FALSE(m_player->IsPlaying(0));
    EXPECT_EQ(OpenDevices(), 0u);

    // Turning sound off stops every voice too.
    m_player->Play(sound.get(), 0, 255);
    m_player->Play(sound.get(), 0, 255);
    m_player->SetSoundEnabled(false);
    EXPECT_FALSE(m_player->IsPlaying(0));
    EXPECT_EQ(OpenDevices(), 0u);
}

TEST_F(MediaPlayer, PauseHoldsVoicesAndEndsVibrationResumeContinuesOnlyVoices) {
    std::unique_ptr<CBinary> sound = Sound({5, 6, 7});
    m_player->Play(sound.get(), 0, 255);
    ASSERT_NE(m_player->Vibrate(1000, 1), 0u);
    EXPECT_EQ(Mixed(1), std::vector<int16_t>({5}));

    m_player->Pause();
    EXPECT_TRUE(HostAudioMixer::Instance().Devices()[0].paused);
    Mixed(HostAudioMixer::kFadeOutSamples);
    EXPECT_EQ(Mixed(2), std::vector<int16_t>({0, 0}));
    EXPECT_FALSE(m_player->IsVibrating(0));
    EXPECT_FALSE(HostVibrator::IsOn());

    m_player->Resume();
    EXPECT_FALSE(HostAudioMixer::Instance().Devices()[0].paused);
    EXPECT_EQ(Mixed(2), std::vector<int16_t>({6, 7}));
    EXPECT_FALSE(m_player->IsVibrating(0));
    EXPECT_FALSE(HostVibrator::IsOn());
    m_player->Update(40);
}

TEST_F(MediaPlayer, IdsComeFromOneCounterForVoicesAndVibrations) {
    std::unique_ptr<CBinary> sound = Sound({1});
    EXPECT_EQ(m_player->Play(sound.get(), 0, 255), 1u);
    EXPECT_EQ(m_player->Vibrate(100, 3), 2u);
    EXPECT_EQ(m_player->Play(sound.get(), 0, 255), 3u);
    EXPECT_TRUE(m_player->IsVibrating(2));
    EXPECT_FALSE(m_player->IsVibrating(3));
    m_player->Stop(0);
}

TEST_F(MediaPlayer, VibrationOf300MsStopsInTheEighthUpdateOf40Ms) {
    const uint32_t id = m_player->Vibrate(300, 5);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(HostVibrator::IsOn());
    for (int frame = 1; frame <= 7; ++frame) {
        m_player->Update(40);
        EXPECT_TRUE(m_player->IsVibrating(id)) << "frame " << frame;
    }
    m_player->Update(40);
    EXPECT_FALSE(m_player->IsVibrating(0));
    EXPECT_FALSE(HostVibrator::IsOn());
    EXPECT_EQ(HostVibrator::StartCount(), 1u);
    EXPECT_EQ(HostVibrator::StopCount(), 1u);
}

TEST_F(MediaPlayer, LowerPriorityNumbersTakeOverAndExtendTheVibration) {
    const uint32_t first = m_player->Vibrate(300, 5);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(m_player->Vibrate(1000, 6), 0u);

    const uint32_t second = m_player->Vibrate(100, 5);
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_FALSE(m_player->IsVibrating(first));
    EXPECT_TRUE(m_player->IsVibrating(second));
    // The old id no longer stops it.
    m_player->StopVibrate(first);
    EXPECT_TRUE(m_player->IsVibrating(0));

    // The longer of what was left (300) and the new duration (100) holds.
    const uint32_t third = m_player->Vibrate(100, 2);
    ASSERT_NE(third, 0u);
    EXPECT_EQ(m_player->Vibrate(50, 3), 0u);
    m_player->Update(299);
    EXPECT_TRUE(m_player->IsVibrating(third));
    m_player->Update(1);
    EXPECT_FALSE(m_player->IsVibrating(0));
    // The vibrator ran on through the take-overs.
    EXPECT_EQ(HostVibrator::StartCount(), 1u);
    EXPECT_EQ(HostVibrator::StopCount(), 1u);
}

TEST_F(MediaPlayer, VibrationIsRefusedWhenOffEmptyOrFailing) {
    EXPECT_EQ(m_player->Vibrate(0, 1), 0u);
    m_player->SetVibrationEnabled(false);
    EXPECT_EQ(m_player->Vibrate(100, 1), 0u);
    m_player->SetVibrationEnabled(true);
    HostVibrator::SetStartFails(true);
    EXPECT_EQ(m_player->Vibrate(100, 1), 0u);
    EXPECT_FALSE(m_player->IsVibrating(0));
    HostVibrator::SetStartFails(false);

    ASSERT_NE(m_player->Vibrate(100, 1), 0u);
    m_player->SetVibrationEnabled(false);
    EXPECT_FALSE(m_player->IsVibrating(0));
    EXPECT_FALSE(HostVibrator::IsOn());
}

TEST_F(MediaPlayer, DeletingThePlayerStopsEverything) {
    std::unique_ptr<CBinary> sound = Sound({1, 2, 3});
    m_player->Play(sound.get(), 0, 255);
    ASSERT_NE(m_player->Vibrate(1000, 1), 0u);
    delete m_player;
    m_player = nullptr;
    EXPECT_EQ(OpenDevices(), 0u);
    EXPECT_FALSE(HostVibrator::IsOn());
    EXPECT_EQ(CSingleton::GetInstance(ICMediaPlayer::kClassKey), nullptr);
}

TEST_F(MediaPlayer, PlaysThroughSdlAudio) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string error;
    std::unique_ptr<SdlAudioSink> sink = SdlAudioSink::Create(HostAudioMixer::Instance(), &error);
    ASSERT_NE(sink, nullptr) << error;
    HostAudioMixer::Instance().UseSink(std::move(sink));

    std::unique_ptr<CBinary> sound = Sound(std::vector<int16_t>(320, 1000));  // 40 ms
    const uint32_t id = m_player->Play(sound.get(), 0, 255);
    ASSERT_NE(id, 0u);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_player->IsPlaying(id) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(m_player->IsPlaying(id));
    m_player->Update(40);
    EXPECT_EQ(OpenDevices(), 0u);
    HostAudioMixer::Instance().UseSink(nullptr);
}

}  // namespace
