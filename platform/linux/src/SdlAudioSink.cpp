#include "SdlAudioSink.h"

#include "HostAudioMixer.h"

#include <SDL.h>

#include <cstring>
#include <new>

namespace {

constexpr uint16_t kDeviceSamples = 256;

}  // namespace

std::unique_ptr<SdlAudioSink> SdlAudioSink::Create(HostAudioMixer& mixer, std::string* error) {
    std::unique_ptr<SdlAudioSink> sink(new (std::nothrow) SdlAudioSink(mixer));
    if (sink == nullptr) {
        *error = "no memory for the audio sink";
        return nullptr;
    }
    if (!sink->Open(error)) {
        return nullptr;
    }
    return sink;
}

bool SdlAudioSink::Open(std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        *error = std::string("SDL audio cannot start: ") + SDL_GetError();
        return false;
    }
    m_subsystemStarted = true;
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(HostAudioMixer::kSampleRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = kDeviceSamples;
    wanted.callback = &SdlAudioSink::Feed;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts our stream to the device's format.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0) {
        *error = std::string("no SDL audio device: ") + SDL_GetError();
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

SdlAudioSink::~SdlAudioSink() {
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);
    }
    if (m_subsystemStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

std::string SdlAudioSink::DriverName() const {
    const char* name = SDL_GetCurrentAudioDriver();
    return name != nullptr ? name : "";
}

uint64_t SdlAudioSink::SamplesConsumed() const {
    SDL_LockAudioDevice(m_device);
    const uint64_t consumed = m_consumed;
    SDL_UnlockAudioDevice(m_device);
    return consumed;
}

void SdlAudioSink::Feed(void* sink, uint8_t* stream, int length) {
    SdlAudioSink* self = static_cast<SdlAudioSink*>(sink);
    const uint32_t count = static_cast<uint32_t>(length) / sizeof(int16_t);
    self->m_scratch.resize(count);
    self->m_mixer.Mix(self->m_scratch.data(), count);
    std::memcpy(stream, self->m_scratch.data(), static_cast<size_t>(count) * sizeof(int16_t));
    self->m_consumed += count;
}
