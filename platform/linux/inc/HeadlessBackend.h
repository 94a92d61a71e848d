#ifndef HEADLESSBACKEND_H
#define HEADLESSBACKEND_H

#include "HostBackend.h"
#include "HostFrame.h"
#include "HostInputScript.h"

#include <string>

// The handset without a screen: input comes from an input script at its
// times, presented frames are kept in memory.
class HeadlessBackend : public HostBackend {
public:
    // With an empty path there is no input. Null, with the reason in
    // `error`, when the script cannot be read or is malformed.
    static HeadlessBackend* Create(const std::string& scriptPath, std::string* error);

    explicit HeadlessBackend(HostInputScript script) : m_script(std::move(script)) {}

    bool Pump(uint32_t timeoutMs) override;
    bool PresentFrame(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format) override;
    const HostFrame* KeptFrame() const override { return m_keepFrames ? &m_frame : nullptr; }

    // A run that never looks at its frames need not copy them: while off,
    // frames are checked and counted but not kept. On at first.
    void KeepFrames(bool keep) { m_keepFrames = keep; }
    const HostFrame& LastFrame() const { return m_frame; }
    uint32_t FramesPresented() const { return m_framesPresented; }
    // Script events not yet carried out.
    size_t PendingEvents() const { return m_script.Events().size() - m_next; }

private:
    // Carries out every event due at `now`; true when there was one.
    bool ApplyDue(uint32_t now);
    // Waits `ms` of host time, or nothing on the virtual clock.
    static void Idle(uint32_t ms);

    HostInputScript m_script;
    size_t m_next = 0;
    bool m_started = false;
    uint32_t m_startTicks = 0;
    HostFrame m_frame;
    bool m_keepFrames = true;
    uint32_t m_framesPresented = 0;
};

#endif
