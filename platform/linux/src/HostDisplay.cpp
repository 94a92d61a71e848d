#include "HostDisplay.h"

#include "HostFrame.h"

#include <cstddef>

namespace {

constexpr uint32_t kNever = 0xFFFFFFFF;
constexpr size_t kCallCount = static_cast<size_t>(HostDDrawCall::Count);

struct DisplayState {
    DDPIXELFORMAT format;
    uint32_t pitchPadding;
    // Successful calls left before each call starts failing; kNever for none.
    uint32_t passesLeft[kCallCount];
    int32_t liveDrivers;
    int32_t liveSurfaces;
    int32_t releasedWhileLocked;
    uint32_t primaryBlits;
    uint32_t framesShown;
};

DDPIXELFORMAT RgbFormat(uint32_t bitCount, uint32_t red, uint32_t green, uint32_t blue) {
    return DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, bitCount, red, green, blue, 0};
}

DisplayState& State() {
    static DisplayState state = [] {
        DisplayState initial{};
        initial.format = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
        for (uint32_t& passes : initial.passesLeft) passes = kNever;
        return initial;
    }();
    return state;
}

}  // namespace

void HostDisplay::Reset() {
    const int32_t liveDrivers = State().liveDrivers;
    const int32_t liveSurfaces = State().liveSurfaces;
    State() = DisplayState{};
    State().liveDrivers = liveDrivers;
    State().liveSurfaces = liveSurfaces;
    UseR5G6B5();
    ClearFailures();
}

bool HostDisplay::SetPixelFormat(uint32_t bitCount, uint32_t redMask, uint32_t greenMask, uint32_t blueMask) {
    if (bitCount != 16 && bitCount != 32) return false;
    State().format = RgbFormat(bitCount, redMask, greenMask, blueMask);
    return true;
}

void HostDisplay::UseR5G6B5() { SetPixelFormat(16, 0xF800, 0x07E0, 0x001F); }

void HostDisplay::UseX8R8G8B8() { SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF); }

DDPIXELFORMAT HostDisplay::PixelFormat() { return State().format; }

void HostDisplay::SetPitchPadding(uint32_t bytes) { State().pitchPadding = bytes; }

uint32_t HostDisplay::PitchPadding() { return State().pitchPadding; }

void HostDisplay::FailAfter(HostDDrawCall call, uint32_t passes) {
    if (call < HostDDrawCall::Count) State().passesLeft[static_cast<size_t>(call)] = passes;
}

void HostDisplay::ClearFailures() {
    for (uint32_t& passes : State().passesLeft) passes = kNever;
}

bool HostDisplay::ShouldFail(HostDDrawCall call) {
    if (call >= HostDDrawCall::Count) return false;
    uint32_t& passes = State().passesLeft[static_cast<size_t>(call)];
    if (passes == kNever) return false;
    if (passes == 0) return true;
    --passes;
    return false;
}

uint32_t HostDisplay::FrameFormatOf(const DDPIXELFORMAT& format) {
    if (format.dwRGBBitCount == 16 && format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0 &&
        format.dwBBitMask == 0x001F) {
        return HostFrame::kR5G6B5;
    }
    if (format.dwRGBBitCount == 32 && format.dwRBitMask == 0xFF0000 && format.dwGBitMask == 0xFF00 &&
        format.dwBBitMask == 0xFF) {
        return HostFrame::kX8R8G8B8;
    }
    return 0;
}

void HostDisplay::NoteCreated(bool surface) {
    if (surface) {
        ++State().liveSurfaces;
    } else {
        ++State().liveDrivers;
    }
}

void HostDisplay::NoteDestroyed(bool surface, bool wasLocked) {
    if (surface) {
        --State().liveSurfaces;
    } else {
        --State().liveDrivers;
    }
    if (wasLocked) ++State().releasedWhileLocked;
}

void HostDisplay::NotePresented(bool shown) {
    ++State().primaryBlits;
    if (shown) ++State().framesShown;
}

int32_t HostDisplay::LiveDrivers() { return State().liveDrivers; }

int32_t HostDisplay::LiveSurfaces() { return State().liveSurfaces; }

int32_t HostDisplay::ReleasedWhileLocked() { return State().releasedWhileLocked; }

uint32_t HostDisplay::PrimaryBlits() { return State().primaryBlits; }

uint32_t HostDisplay::FramesShown() { return State().framesShown; }
