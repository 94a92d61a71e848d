#include "HostRunRecorder.h"

#include "HostPngWriter.h"
#include "HostWindowSystem.h"

#include <cstdio>
#include <utility>

HostRunRecorder::HostRunRecorder(HostBackend* backend, Settings settings)
    : m_backend(backend), m_settings(std::move(settings)) {}

HostRunRecorder::~HostRunRecorder() { delete m_backend; }

std::string HostRunRecorder::ScreenshotName(uint32_t frame) {
    char name[32];
    std::snprintf(name, sizeof(name), "frame-%06u.png", frame);
    return name;
}

bool HostRunRecorder::PresentFrame(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
    const bool shown = m_backend->PresentFrame(pixels, width, height, pitch, format);
    if (!HostFrame::Fits(pixels, width, height, pitch, format)) return shown;
    if (m_backend->KeptFrame() == nullptr && !m_settings.screenshotDirectory.empty()) {
        m_lastFrame.Assign(pixels, width, height, pitch, format);
    }
    ++m_frames;
    const uint32_t every = m_settings.screenshotEvery;
    if (every != 0 && m_frames % every == 0) SaveScreenshot();
    if (!m_ending && ShouldEnd()) {
        m_ending = true;
        HostWindowSystem::PostQuit(0);
    }
    return shown;
}

bool HostRunRecorder::ShouldEnd() const {
    if (m_settings.frameLimit != 0 && m_frames >= m_settings.frameLimit) return true;
    return m_settings.inputEnded && m_settings.inputEnded();
}

// After the first that cannot be written (a full disk) none is tried: each
// would fail as it did, and the run ends with its reason.
void HostRunRecorder::SaveScreenshot() {
    if (m_settings.screenshotDirectory.empty() || m_lastSaved == m_frames || !m_error.empty()) return;
    m_lastSaved = m_frames;
    const std::string path = m_settings.screenshotDirectory + "/" + ScreenshotName(m_frames);
    static_cast<void>(HostPngWriter::Write(ShownFrame(), path, &m_error));
}

const HostFrame& HostRunRecorder::ShownFrame() const {
    const HostFrame* kept = m_backend->KeptFrame();
    return kept != nullptr ? *kept : m_lastFrame;
}

bool HostRunRecorder::Finish() {
    if (m_frames != 0) SaveScreenshot();
    return m_error.empty();
}
