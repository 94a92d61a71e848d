#include "HostAudioMixer.h"

#include "HostWaveDevice.h"

#include <algorithm>
#include <new>

namespace {

// Set while this thread runs a device callback (and so holds the lock).
thread_local bool t_inCallback = false;

class CallbackScope {
public:
    CallbackScope() { t_inCallback = true; }
    ~CallbackScope() { t_inCallback = false; }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;
};

int16_t Saturate(int32_t sample) {
    return static_cast<int16_t>(std::clamp<int32_t>(sample, INT16_MIN, INT16_MAX));
}

}  // namespace

HostAudioMixer& HostAudioMixer::Instance() {
    static HostAudioMixer mixer;
    return mixer;
}

HostAudioMixer::~HostAudioMixer() {
    UseSink(nullptr);
    for (HostWaveDevice* device : m_devices) {
        delete device;
    }
}

template <typename Action>
MMRESULT HostAudioMixer::WithDevice(HWAVEOUT device, Action action) {
    if (t_inCallback) {
        return MMSYSERR_ERROR;
    }
    std::lock_guard<std::mutex> guard(m_deviceLock);
    HostWaveDevice* found = FindLocked(device);
    if (found == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    return action(found);
}

HostWaveDevice* HostAudioMixer::FindLocked(HWAVEOUT device) const {
    for (HostWaveDevice* open : m_devices) {
        if (open->Handle() == device) {
            return open;
        }
    }
    return nullptr;
}

MMRESULT HostAudioMixer::Open(HWAVEOUT* device, WAVEOUTPROC callback, DWORD_PTR instance) {
    if (t_inCallback) {
        return MMSYSERR_ERROR;
    }
    StartDefaultSink();
    HostWaveDevice* opened = new (std::nothrow) HostWaveDevice(callback, instance);
    if (opened == nullptr) {
        return MMSYSERR_NOMEM;
    }
    std::lock_guard<std::mutex> guard(m_deviceLock);
    m_devices.push_back(opened);
    *device = opened->Handle();
    CallbackScope scope;
    opened->Notify(WOM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT HostAudioMixer::Prepare(HWAVEOUT device, WAVEHDR* header) {
    return WithDevice(device, [header](HostWaveDevice* found) { return found->Prepare(header); });
}

MMRESULT HostAudioMixer::Unprepare(HWAVEOUT device, WAVEHDR* header) {
    return WithDevice(device, [header](HostWaveDevice* found) { return found->Unprepare(header); });
}

MMRESULT HostAudioMixer::Write(HWAVEOUT device, WAVEHDR* header) {
    return WithDevice(device, [header](HostWaveDevice* found) { return found->Write(header); });
}

MMRESULT HostAudioMixer::Pause(HWAVEOUT device) {
    return WithDevice(device, [this](HostWaveDevice* found) {
        FadeOutLocked(*found);
        found->Pause();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT HostAudioMixer::Restart(HWAVEOUT device) {
    return WithDevice(device, [](HostWaveDevice* found) {
        found->Restart();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT HostAudioMixer::Reset(HWAVEOUT device) {
    return WithDevice(device, [this](HostWaveDevice* found) {
        m_finished.clear();
        FadeOutLocked(*found);
        found->Reset(&m_finished);
        DeliverDone(found);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT HostAudioMixer::SetVolume(HWAVEOUT device, DWORD volume) {
    return WithDevice(device, [volume](HostWaveDevice* found) {
        found->SetVolume(volume);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT HostAudioMixer::Close(HWAVEOUT device) {
    return WithDevice(device, [this](HostWaveDevice* found) {
        if (found->QueuedCount() != 0) {
            return WAVERR_STILLPLAYING;
        }
        m_devices.erase(std::find(m_devices.begin(), m_devices.end(), found));
        {
            CallbackScope scope;
            found->Notify(WOM_CLOSE, 0);
        }
        delete found;
        return MMSYSERR_NOERROR;
    });
}

void HostAudioMixer::Mix(int16_t* out, uint32_t count) {
    std::lock_guard<std::mutex> guard(m_deviceLock);
    m_mix.assign(count, 0);
    const size_t faded = std::min<size_t>(count, m_fadeOut.size());
    std::copy_n(m_fadeOut.begin(), faded, m_mix.begin());
    m_fadeOut.erase(m_fadeOut.begin(), m_fadeOut.begin() + static_cast<std::ptrdiff_t>(faded));
    for (HostWaveDevice* device : m_devices) {
        m_finished.clear();
        device->MixInto(m_mix.data(), count, &m_finished);
        DeliverDone(device);
    }
    std::transform(m_mix.begin(), m_mix.end(), out, Saturate);
}

void HostAudioMixer::FadeOutLocked(const HostWaveDevice& device) {
    if (m_fadeOut.size() < kFadeOutSamples) {
        m_fadeOut.resize(kFadeOutSamples, 0);
    }
    device.AddFadeOut(m_fadeOut.data(), kFadeOutSamples);
}

void HostAudioMixer::DeliverDone(HostWaveDevice* device) {
    CallbackScope scope;
    for (WAVEHDR* header : m_finished) {
        device->Notify(WOM_DONE, reinterpret_cast<DWORD_PTR>(header));
    }
}

void HostAudioMixer::UseSink(std::unique_ptr<HostAudioSink> sink) {
    std::lock_guard<std::mutex> guard(m_sinkLock);
    m_sink.reset();
    m_sink = std::move(sink);
    m_sinkChosen = true;
}

HostAudioSink* HostAudioMixer::Sink() {
    std::lock_guard<std::mutex> guard(m_sinkLock);
    return m_sink.get();
}

void HostAudioMixer::StartDefaultSink() {
    std::lock_guard<std::mutex> guard(m_sinkLock);
    if (m_sinkChosen) {
        return;
    }
    m_sink = HostAudioSink::CreateDefault(*this);
    m_sinkChosen = true;
}

std::vector<HostAudioMixer::DeviceState> HostAudioMixer::Devices() {
    std::lock_guard<std::mutex> guard(m_deviceLock);
    std::vector<DeviceState> states;
    for (const HostWaveDevice* device : m_devices) {
        states.push_back({device->Volume(), device->IsPaused(), device->QueuedCount()});
    }
    return states;
}
