#include "HostVibrator.h"

#include <atomic>

namespace {

std::atomic<bool> g_on{false};
std::atomic<bool> g_startFails{false};
std::atomic<uint32_t> g_starts{0};
std::atomic<uint32_t> g_stops{0};

}  // namespace

bool HostVibrator::IsOn() {
    return g_on.load();
}

uint32_t HostVibrator::StartCount() {
    return g_starts.load();
}

uint32_t HostVibrator::StopCount() {
    return g_stops.load();
}

void HostVibrator::SetStartFails(bool failing) {
    g_startFails.store(failing);
}

bool HostVibrator::StartFails() {
    return g_startFails.load();
}

void HostVibrator::RecordStart() {
    g_on.store(true);
    ++g_starts;
}

void HostVibrator::RecordStop() {
    g_on.store(false);
    ++g_stops;
}

void HostVibrator::Reset() {
    g_on.store(false);
    g_startFails.store(false);
    g_starts.store(0);
    g_stops.store(0);
}
