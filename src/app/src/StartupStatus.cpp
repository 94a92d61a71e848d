#include "StartupStatus.h"

#include "CAssert.h"

namespace {
const char* g_reason = nullptr;
bool g_started = false;
StartupStatus::StepObserver g_observer = nullptr;
}  // namespace

bool StartupStatus::Fail(const char* reason) {
    DebugPrintf("start-up failed: %s", reason);
    if (g_reason == nullptr) g_reason = reason;
    return false;
}

void StartupStatus::MarkStarted() { g_started = true; }

const char* StartupStatus::FailureReason() { return g_reason; }

bool StartupStatus::HasStarted() { return g_started; }

void StartupStatus::Clear() {
    g_reason = nullptr;
    g_started = false;
}

void StartupStatus::SetStepObserver(StepObserver observer) { g_observer = observer; }

void StartupStatus::StepDone(const char* step) {
    if (g_observer != nullptr) g_observer(step);
}
