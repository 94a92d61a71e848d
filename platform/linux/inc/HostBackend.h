#ifndef HOSTBACKEND_H
#define HOSTBACKEND_H

#include "WinCeWindow.h"

#include <cstdint>
#include <string>

class HostFrame;

// Where the handset's screen and input live on the host: a desktop window
// (SdlBackend) or nothing but a script of timed input (HeadlessBackend).
// The window system owns the one backend and asks it for input whenever
// the message loop runs dry.
class HostBackend {
public:
    static constexpr uint32_t kForever = 0xFFFFFFFF;

    HostBackend() = default;
    virtual ~HostBackend() = default;

    HostBackend(const HostBackend&) = delete;
    HostBackend& operator=(const HostBackend&) = delete;

    // Turns pending host input into window messages (see HostInput). When
    // there is none, waits up to `timeoutMs` (kForever: no limit) for some.
    // On the virtual clock it never sleeps, but may move the clock forward
    // to input it knows will come within the timeout. False when no input
    // can ever come again.
    virtual bool Pump(uint32_t timeoutMs) = 0;

    // Shows one frame of the handset's screen. Rows are `pitch` bytes apart
    // from the top row at `pixels` (negative for bottom-up storage); the
    // format is a pixel format id (see HostFrame). False when the frame
    // cannot be shown (format, size).
    virtual bool PresentFrame(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format) = 0;

    // The last frame shown, as the backend keeps it; null when it keeps none.
    virtual const HostFrame* KeptFrame() const { return nullptr; }

    // A top-level window became visible, or went away.
    virtual void OnWindowShown(HWND window) { (void)window; }
    virtual void OnWindowDestroyed(HWND window) { (void)window; }
    // The handset's screen turned (new width and height).
    virtual void OnScreenSizeChanged(int32_t width, int32_t height) {
        (void)width;
        (void)height;
    }
    // A message box the program shows; it has been logged already.
    virtual void ShowMessage(const std::string& caption, const std::string& text) {
        (void)caption;
        (void)text;
    }
};

#endif
