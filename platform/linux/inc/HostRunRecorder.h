#ifndef HOSTRUNRECORDER_H
#define HOSTRUNRECORDER_H

#include "HostBackend.h"
#include "HostFrame.h"

#include <functional>
#include <string>

// Stands between the window system and the real backend of a run of the
// game: counts the presented frames, keeps screenshots of them as PNG files
// and ends the run after a number of frames or once its input is over. The
// screenshots are taken from the frame the backend keeps; only behind a
// backend that keeps none does the recorder copy frames itself, and only
// when it is to take screenshots.
class HostRunRecorder : public HostBackend {
public:
    struct Settings {
        // Frames to present before the run ends; 0 for no limit.
        uint32_t frameLimit = 0;
        // Where screenshots go; empty for none.
        std::string screenshotDirectory;
        // Every this many frames a screenshot; 0 for the last frame only.
        uint32_t screenshotEvery = 0;
        // When set, the run ends after a frame for which it answers true.
        std::function<bool()> inputEnded;
    };

    // Takes the backend.
    HostRunRecorder(HostBackend* backend, Settings settings);
    ~HostRunRecorder() override;

    bool Pump(uint32_t timeoutMs) override { return m_backend->Pump(timeoutMs); }
    bool PresentFrame(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format) override;
    void OnWindowShown(HWND window) override { m_backend->OnWindowShown(window); }
    void OnWindowDestroyed(HWND window) override { m_backend->OnWindowDestroyed(window); }
    void OnScreenSizeChanged(int32_t width, int32_t height) override {
        m_backend->OnScreenSizeChanged(width, height);
    }
    void ShowMessage(const std::string& caption, const std::string& text) override {
        m_backend->ShowMessage(caption, text);
    }

    // Writes the screenshot of the last frame unless it has one. False
    // when a screenshot could not be written (the reason in Error()); none
    // is written after it.
    bool Finish();

    HostBackend* Backend() const { return m_backend; }
    uint32_t FramesPresented() const { return m_frames; }
    const std::string& Error() const { return m_error; }
    // The screenshot file of a frame (numbered from 1).
    static std::string ScreenshotName(uint32_t frame);

private:
    void SaveScreenshot();
    // The frame screenshots are taken from.
    const HostFrame& ShownFrame() const;
    bool ShouldEnd() const;

    HostBackend* m_backend;
    Settings m_settings;
    // The recorder's own copy, behind a backend that keeps no frame.
    HostFrame m_lastFrame;
    uint32_t m_frames = 0;
    uint32_t m_lastSaved = 0;
    bool m_ending = false;
    std::string m_error;
};

#endif
