#ifndef APPLETTESTSUPPORT_H
#define APPLETTESTSUPPORT_H

#include "CAppBase.h"
#include "HostBackend.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the application object the shell creates (RecordingApp) saw, and how
// it should behave. The shell deletes the application, so the record lives
// outside it; times are milliseconds of the test environment's clock.
struct AppletRecord {
    struct Event {
        uint32_t id;
        uint32_t arg1;
        uint32_t arg2;
        uint32_t ms;
        // Frames run before the event was handed out.
        size_t frame;
    };

    static AppletRecord& Get();
    static void Reset();

    std::vector<Event> events;
    std::vector<uint32_t> frames;
    // "Init", "Shutdown" and "delete", in order.
    std::vector<std::string> calls;

    // The platform's state when Shutdown ran, and whether the core object
    // was still alive then and when the application was deleted.
    bool displayClaimedAtShutdown = false;
    bool barsHiddenAtShutdown = true;
    int32_t powerQueuesAtShutdown = -1;
    bool coreAtShutdown = false;
    bool coreAtDelete = true;

    // Behaviour.
    bool createFails = false;
    int32_t initResult = 0;
    std::vector<DeviceKeyMapping> keyTable;
    bool numpadDisabled = false;
    bool usesGXDisplay = true;
    // Drains the power queue every frame as the game does: a message with
    // any of the bits 0x1400000 queues AppSuspend and AppResume.
    bool drainPowerQueue = false;
    std::function<void(const Event&)> onEvent;
    std::function<void()> onFrame;

    // The ids of the events handed out at or after `ms`, without AppStop.
    std::vector<uint32_t> IdsFrom(uint32_t ms) const;
    std::vector<Event> EventsFrom(uint32_t ms) const;
};

// Steps run by the message loop at given times while it waits.
class TimelineBackend : public HostBackend {
public:
    // `step` runs when the loop waits and the clock has reached `atMs`
    // (milliseconds of the test environment's clock). Steps run in order.
    TimelineBackend& At(uint32_t atMs, std::function<void()> step);

    bool Pump(uint32_t timeoutMs) override;
    bool PresentFrame(const void*, int32_t, int32_t, int32_t, uint32_t) override { return false; }

private:
    bool RunDue();

    struct Step {
        uint32_t atMs;
        std::function<void()> action;
    };
    std::vector<Step> m_steps;
};

// Installs a new timeline as the window system's backend.
TimelineBackend& InstallTimeline();

// WinMain as the shell starts the program.
int32_t RunProgram();

#endif
