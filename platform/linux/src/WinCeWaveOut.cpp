#include "WinCeWaveOut.h"

#include "HostAudioFaults.h"
#include "HostAudioMixer.h"

namespace {

constexpr DWORD kCallbackKindMask = 0x00070000;
constexpr WORD kBitsPerSample = 16;
constexpr WORD kChannels = 1;
constexpr WORD kBlockAlign = kChannels * kBitsPerSample / 8;

bool IsMixerFormat(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM && format.nChannels == kChannels &&
           format.nSamplesPerSec == HostAudioMixer::kSampleRate && format.wBitsPerSample == kBitsPerSample &&
           format.nBlockAlign == kBlockAlign && format.nAvgBytesPerSec == HostAudioMixer::kSampleRate * kBlockAlign;
}

MMRESULT CheckOpenFlags(DWORD_PTR callback, DWORD flags) {
    if ((flags & ~kCallbackKindMask) != 0) {
        return MMSYSERR_INVALFLAG;
    }
    const DWORD kind = flags & kCallbackKindMask;
    if (kind == CALLBACK_NULL) {
        return MMSYSERR_NOERROR;
    }
    if (kind != CALLBACK_FUNCTION) {
        return MMSYSERR_INVALFLAG;
    }
    return callback != 0 ? MMSYSERR_NOERROR : MMSYSERR_INVALPARAM;
}

bool IsHeaderArgument(const WAVEHDR* header, UINT size) {
    return header != nullptr && size == sizeof(WAVEHDR);
}

}  // namespace

MMRESULT waveOutOpen(HWAVEOUT* device, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags) {
    if (device == nullptr || format == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *device = nullptr;
    if (deviceId != 0 && deviceId != WAVE_MAPPER) {
        return MMSYSERR_BADDEVICEID;
    }
    const MMRESULT flagCheck = CheckOpenFlags(callback, flags);
    if (flagCheck != MMSYSERR_NOERROR) {
        return flagCheck;
    }
    if (!IsMixerFormat(*format)) {
        return WAVERR_BADFORMAT;
    }
    if (HostAudioFaults::IsSet(HostAudioFault::Open)) {
        return MMSYSERR_NOMEM;
    }
    WAVEOUTPROC function =
        (flags & kCallbackKindMask) == CALLBACK_FUNCTION ? reinterpret_cast<WAVEOUTPROC>(callback) : nullptr;
    return HostAudioMixer::Instance().Open(device, function, instance);
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, UINT size) {
    if (!IsHeaderArgument(header, size)) {
        return MMSYSERR_INVALPARAM;
    }
    if (HostAudioFaults::IsSet(HostAudioFault::Prepare)) {
        return MMSYSERR_NOMEM;
    }
    return HostAudioMixer::Instance().Prepare(device, header);
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, UINT size) {
    if (!IsHeaderArgument(header, size)) {
        return MMSYSERR_INVALPARAM;
    }
    return HostAudioMixer::Instance().Unprepare(device, header);
}

MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT size) {
    if (!IsHeaderArgument(header, size)) {
        return MMSYSERR_INVALPARAM;
    }
    return HostAudioMixer::Instance().Write(device, header);
}

MMRESULT waveOutPause(HWAVEOUT device) {
    return HostAudioMixer::Instance().Pause(device);
}

MMRESULT waveOutRestart(HWAVEOUT device) {
    return HostAudioMixer::Instance().Restart(device);
}

MMRESULT waveOutReset(HWAVEOUT device) {
    return HostAudioMixer::Instance().Reset(device);
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
    return HostAudioMixer::Instance().SetVolume(device, volume);
}

MMRESULT waveOutClose(HWAVEOUT device) {
    return HostAudioMixer::Instance().Close(device);
}
