#ifndef WINCEWAVEOUT_H
#define WINCEWAVEOUT_H

// The handset's waveOut calls. Every open device is one voice of the host's
// audio mixer (HostAudioMixer), which the audio sink drains from its own
// thread; the sink runs at 8000 Hz, so the only format a device accepts is
// 16-bit mono PCM at that rate.
//
// Completion callbacks run on the sink's thread, except WOM_OPEN, WOM_CLOSE
// and the WOM_DONE of buffers returned by waveOutReset, which run inside the
// call that causes them. A callback never runs after waveOutClose has
// returned. A callback must not call waveOut functions: such calls are
// refused with MMSYSERR_ERROR.

#include "WinCeHandle.h"
#include "WinCeTypes.h"

#include <cstdint>

typedef uintptr_t DWORD_PTR;
typedef uint32_t MMRESULT;

struct HostWaveOutTag;
typedef HostWaveOutTag* HWAVEOUT;

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};

// One buffer handed to a device. The device reads lpData in place until the
// buffer is done; the caller keeps both alive until then.
struct WAVEHDR {
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};

// (device, message, instance data, parameter 1, parameter 2). WOM_DONE
// carries the finished WAVEHDR in parameter 1.
typedef void (*WAVEOUTPROC)(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);

constexpr UINT WAVE_MAPPER = 0xFFFFFFFF;
constexpr WORD WAVE_FORMAT_PCM = 1;

constexpr DWORD CALLBACK_NULL = 0x00000000;
constexpr DWORD CALLBACK_FUNCTION = 0x00030000;

constexpr UINT WOM_OPEN = 0x3BB;
constexpr UINT WOM_CLOSE = 0x3BC;
constexpr UINT WOM_DONE = 0x3BD;

constexpr DWORD WHDR_DONE = 0x00000001;
constexpr DWORD WHDR_PREPARED = 0x00000002;
constexpr DWORD WHDR_BEGINLOOP = 0x00000004;
constexpr DWORD WHDR_ENDLOOP = 0x00000008;
constexpr DWORD WHDR_INQUEUE = 0x00000010;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// Device 0 or WAVE_MAPPER; callback kind CALLBACK_NULL or CALLBACK_FUNCTION.
// The device starts playing (not paused) at full volume 0xFFFFFFFF.
MMRESULT waveOutOpen(HWAVEOUT* device, UINT deviceId, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags);
// `size` must be sizeof(WAVEHDR). Loop flags are not supported.
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, UINT size);
// WAVERR_STILLPLAYING while the buffer is queued.
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, UINT size);
// Queues a prepared buffer behind the device's others.
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT size);
MMRESULT waveOutPause(HWAVEOUT device);
MMRESULT waveOutRestart(HWAVEOUT device);
// Returns every queued buffer as done (WOM_DONE each) and rewinds.
MMRESULT waveOutReset(HWAVEOUT device);
// Low word left, high word right, 0 to 0xFFFF each; the mono mix uses the
// left one.
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);
// WAVERR_STILLPLAYING while buffers are queued.
MMRESULT waveOutClose(HWAVEOUT device);

#endif
