#include "StartupStatus.h"

#include "CAssert.h"

namespace {
const char* g_reason = nullptr;
bool g_started = false;
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
