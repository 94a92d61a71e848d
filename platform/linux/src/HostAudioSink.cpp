#include "HostAudioSink.h"

#include "ClockAudioSink.h"
#include "HostClock.h"
#include "SdlAudioSink.h"

#include <cstdio>
#include <string>

std::unique_ptr<HostAudioSink> HostAudioSink::CreateDefault(HostAudioMixer& mixer) {
    if (!HostClock::IsVirtual()) {
        std::string error;
        std::unique_ptr<HostAudioSink> device = SdlAudioSink::Create(mixer, &error);
        if (device != nullptr) {
            return device;
        }
        std::fprintf(stderr, "%s; sound is timed by the clock instead\n", error.c_str());
    }
    return ClockAudioSink::Create(mixer);
}
