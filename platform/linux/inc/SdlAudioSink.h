#ifndef SDLAUDIOSINK_H
#define SDLAUDIOSINK_H

#include "HostAudioSink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The host's audio device through SDL: SDL's audio thread pulls the mixer's
// 16-bit mono 8000 Hz stream (SDL converts it to what the device takes).
// SDL_AUDIODRIVER chooses the driver; "dummy" plays into nothing at the
// device's pace.
class SdlAudioSink : public HostAudioSink {
public:
    // Started; null with the reason in `error` when SDL has no audio.
    static std::unique_ptr<SdlAudioSink> Create(HostAudioMixer& mixer, std::string* error);
    // Closes the device; SDL waits for a running feed to end first.
    ~SdlAudioSink() override;

    // The name of SDL's audio driver in use.
    std::string DriverName() const;
    uint64_t SamplesConsumed() const;

private:
    explicit SdlAudioSink(HostAudioMixer& mixer) : m_mixer(mixer) {}

    bool Open(std::string* error);
    static void Feed(void* sink, uint8_t* stream, int length);

    HostAudioMixer& m_mixer;
    uint32_t m_device = 0;
    bool m_subsystemStarted = false;
    // Touched only by SDL's audio thread while the device is open.
    std::vector<int16_t> m_scratch;
    uint64_t m_consumed = 0;
};

#endif
