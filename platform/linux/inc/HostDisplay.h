#ifndef HOSTDISPLAY_H
#define HOSTDISPLAY_H

#include "WinCeDDraw.h"

#include <cstdint>

// Display-driver calls a test can make fail.
enum class HostDDrawCall {
    DirectDrawCreate,
    SetCooperativeLevel,
    GetDisplayMode,
    GetCaps,
    CreateSurface,
    GetSurfaceDesc,
    Lock,
    Blt,
    Count
};

// The handset's display as the stand-in's display driver sees it: the pixel
// format of the screen (its size is HostSystemInfo's and turns with the
// device), extra bytes at the end of every surface row, calls that fail on
// request, and counts that let tests find leaks and presented frames.
class HostDisplay {
public:
    // r5g6b5, rows without padding, no failures, counts at 0. Drivers and
    // surfaces still alive are left alone.
    static void Reset();

    // An RGB format of 16 or 32 bits per pixel; others are refused.
    static bool SetPixelFormat(uint32_t bitCount, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
    static void UseR5G6B5();
    static void UseX8R8G8B8();
    static DDPIXELFORMAT PixelFormat();

    // Bytes added to every row of the surfaces created from now on.
    static void SetPitchPadding(uint32_t bytes);
    static uint32_t PitchPadding();

    // The call succeeds `passes` more times, then fails every time until
    // the failures are cleared.
    static void FailAfter(HostDDrawCall call, uint32_t passes);
    static void ClearFailures();
    // Whether this call of `call` fails; counts it.
    static bool ShouldFail(HostDDrawCall call);

    // The host frame format (HostFrame) that shows a pixel format, else 0.
    static uint32_t FrameFormatOf(const DDPIXELFORMAT& format);

    // Book-keeping of the driver's objects.
    static void NoteCreated(bool surface);
    static void NoteDestroyed(bool surface, bool wasLocked);
    static void NotePresented(bool shown);
    static int32_t LiveDrivers();
    static int32_t LiveSurfaces();
    // Surfaces whose last reference went while they were locked.
    static int32_t ReleasedWhileLocked();
    // Blits onto the primary surface, and those the backend showed.
    static uint32_t PrimaryBlits();
    static uint32_t FramesShown();
};

#endif
