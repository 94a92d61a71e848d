#include "StartupStatus.h"

#include "CAssert.h"

#include <string>

namespace {
// A copy, so that a reason may be built for the occasion.
std::string g_reason;
bool g_failed = false;
bool g_started = false;
StartupStatus::StepObserver g_observer = nullptr;
}  // namespace

bool StartupStatus::Fail(const char* reason) {
    DebugPrintf("start-up failed: %s", reason);
    if (!g_failed) g_reason = reason;
    g_failed = true;
    return false;
}

void StartupStatus::MarkStarted() { g_started = true; }

const char* StartupStatus::FailureReason() { return g_failed ? g_reason.c_str() : nullptr; }

bool StartupStatus::HasStarted() { return g_started; }

void StartupStatus::Clear() {
    g_reason.clear();
    g_failed = false;
    g_started = false;
}

void StartupStatus::SetStepObserver(StepObserver observer) { g_observer = observer; }

void StartupStatus::StepDone(const char* step) {
    if (g_observer != nullptr) g_observer(step);
}
