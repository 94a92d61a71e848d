#include "WinCeVibrate.h"

#include "HostVibrator.h"

namespace {

constexpr HRESULT kOk = 0;
constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT kFailed = static_cast<HRESULT>(0x80004005u);

}  // namespace

HRESULT Vibrate(DWORD noteCount, const VIBRATENOTE* notes, BOOL repeat, DWORD timeout) {
    (void)repeat;
    if (noteCount != 0 || notes != nullptr || timeout != INFINITE) {
        return kNotImplemented;
    }
    if (HostVibrator::StartFails()) {
        return kFailed;
    }
    HostVibrator::RecordStart();
    return kOk;
}

HRESULT VibrateStop() {
    HostVibrator::RecordStop();
    return kOk;
}
