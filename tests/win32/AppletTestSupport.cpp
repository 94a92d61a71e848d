#include "AppletTestSupport.h"

#include "CApplet.h"
#include "EngineEvents.h"
#include "HostClock.h"
#include "HostDeviceRecord.h"
#include "HostPowerRequest.h"
#include "HostTestEnvironment.h"
#include "HostWindowSystem.h"
#include "ICCore.h"
#include "WinCeMsgQueue.h"
#include "WinMain.h"

#include <algorithm>

namespace {

constexpr uint32_t kPowerSuspendResumeBits = 0x1400000;

uint32_t Now() { return HostTestEnvironment::Elapsed(); }

// The application object the shell makes in these tests.
class RecordingApp : public CAppBase {
public:
    ~RecordingApp() override {
        AppletRecord::Get().calls.push_back("delete");
        AppletRecord::Get().coreAtDelete = GetCore() != nullptr;
    }

    int32_t Init() override {
        AppletRecord::Get().calls.push_back("Init");
        return AppletRecord::Get().initResult;
    }

    void Shutdown() override {
        AppletRecord& record = AppletRecord::Get();
        record.calls.push_back("Shutdown");
        record.displayClaimedAtShutdown = HostDeviceRecord::Get().displayClaimed;
        record.barsHiddenAtShutdown = HostDeviceRecord::Get().taskbarHidden;
        record.powerQueuesAtShutdown = HostPowerRequest::Broadcast(PBT_TRANSITION, 0, u"");
        record.coreAtShutdown = GetCore() != nullptr;
    }

    void RunFrame() override {
        AppletRecord& record = AppletRecord::Get();
        record.frames.push_back(Now());
        if (record.drainPowerQueue) DrainPowerQueue();
        if (record.onFrame) record.onFrame();
    }

    void HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2) override {
        AppletRecord& record = AppletRecord::Get();
        record.events.push_back(AppletRecord::Event{id, arg1, arg2, Now(), record.frames.size()});
        if (record.onEvent) record.onEvent(record.events.back());
    }

    const DeviceKeyMapping* GetDeviceKeyTable(int32_t* outCount) const override {
        const std::vector<DeviceKeyMapping>& table = AppletRecord::Get().keyTable;
        *outCount = static_cast<int32_t>(table.size());
        return table.empty() ? nullptr : table.data();
    }
    bool IsNumpadDisabled() const override { return AppletRecord::Get().numpadDisabled; }
    bool UsesGXDisplay() const override { return AppletRecord::Get().usesGXDisplay; }

private:
    static void DrainPowerQueue() {
        uint8_t message[1024];
        DWORD read = 0;
        DWORD flags = 0;
        while (ReadMsgQueue(GetApplet()->GetPowerQueue(), message, sizeof(message), &read, 0, &flags) != 0) {
            if (read < 8) continue;
            const uint32_t stateFlags = static_cast<uint32_t>(message[4]) | static_cast<uint32_t>(message[5]) << 8 |
                                        static_cast<uint32_t>(message[6]) << 16 |
                                        static_cast<uint32_t>(message[7]) << 24;
            if ((stateFlags & kPowerSuspendResumeBits) == 0) continue;
            GetApplet()->GetEventQueue()->Post(EngineEvent::kAppSuspend, 0, 0);
            GetApplet()->GetEventQueue()->Post(EngineEvent::kAppResume, 0, 0);
        }
    }
};

CAppBase* CreateRecordingApp() {
    if (AppletRecord::Get().createFails) return nullptr;
    return new RecordingApp();
}

}  // namespace

AppletRecord& AppletRecord::Get() {
    static AppletRecord record;
    return record;
}

void AppletRecord::Reset() { Get() = AppletRecord(); }

std::vector<AppletRecord::Event> AppletRecord::EventsFrom(uint32_t ms) const {
    std::vector<Event> selected;
    for (const Event& event : events) {
        if (event.ms >= ms && event.id != EngineEvent::kAppStop) selected.push_back(event);
    }
    return selected;
}

std::vector<uint32_t> AppletRecord::IdsFrom(uint32_t ms) const {
    std::vector<uint32_t> ids;
    for (const Event& event : EventsFrom(ms)) ids.push_back(event.id);
    return ids;
}

TimelineBackend& TimelineBackend::At(uint32_t atMs, std::function<void()> step) {
    m_steps.push_back(Step{atMs, std::move(step)});
    std::stable_sort(m_steps.begin(), m_steps.end(),
                     [](const Step& left, const Step& right) { return left.atMs < right.atMs; });
    return *this;
}

bool TimelineBackend::RunDue() {
    bool ran = false;
    while (!m_steps.empty() && m_steps.front().atMs <= Now()) {
        const std::function<void()> action = std::move(m_steps.front().action);
        m_steps.erase(m_steps.begin());
        action();
        ran = true;
    }
    return ran;
}

bool TimelineBackend::Pump(uint32_t timeoutMs) {
    if (RunDue()) return true;
    if (m_steps.empty()) return false;
    const uint32_t wait = m_steps.front().atMs - Now();
    if (timeoutMs != kForever && wait > timeoutMs) return true;
    HostClock::Advance(wait);
    RunDue();
    return true;
}

TimelineBackend& InstallTimeline() {
    TimelineBackend* timeline = new TimelineBackend();
    HostWindowSystem::SetBackend(timeline);
    return *timeline;
}

int32_t RunProgram() {
    CApplet::SetAppFactory(&CreateRecordingApp);
    return WinMain(nullptr, nullptr, nullptr, 0);
}
