#ifndef HOSTAUDIOSINK_H
#define HOSTAUDIOSINK_H

#include <memory>

class HostAudioMixer;

// Where the mixed sound goes: a sink drains the mixer at 8000 samples a
// second from a thread of its own, from creation until destruction.
class HostAudioSink {
public:
    HostAudioSink() = default;
    virtual ~HostAudioSink() = default;

    HostAudioSink(const HostAudioSink&) = delete;
    HostAudioSink& operator=(const HostAudioSink&) = delete;

    // The sink of a run that chose none: on the virtual clock one that
    // follows the clock (ClockAudioSink); otherwise the host's audio device
    // (SdlAudioSink), or the clock sink when the host has no audio. Null
    // only when neither can start.
    static std::unique_ptr<HostAudioSink> CreateDefault(HostAudioMixer& mixer);
};

#endif
