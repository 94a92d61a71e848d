#ifndef WINCEVIBRATE_H
#define WINCEVIBRATE_H

// The shell's vibrator calls (its ordinals 2015 and 2016). The stand-in has
// no vibrator: it records the state one would be in (HostVibrator).

#include "WinCeMsgQueue.h"
#include "WinCeTypes.h"

#include <cstdint>

// A note of a vibration pattern; patterns are not offered here.
struct VIBRATENOTE;

// Starts the vibrator until VibrateStop: only the plain vibration (no notes,
// time-out INFINITE) is offered, anything else fails. 0 on success, a
// negative code on failure.
HRESULT Vibrate(DWORD noteCount, const VIBRATENOTE* notes, BOOL repeat, DWORD timeout);
// Stops it; 0, also when it was not running.
HRESULT VibrateStop();

#endif
