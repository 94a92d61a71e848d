#include "HostAudioFaults.h"

#include <atomic>
#include <cstddef>

namespace {

std::atomic<bool> g_failing[static_cast<size_t>(HostAudioFault::Count)];

}  // namespace

void HostAudioFaults::Set(HostAudioFault fault, bool failing) {
    g_failing[static_cast<size_t>(fault)].store(failing);
}

bool HostAudioFaults::IsSet(HostAudioFault fault) {
    return g_failing[static_cast<size_t>(fault)].load();
}

void HostAudioFaults::Clear() {
    for (std::atomic<bool>& failing : g_failing) {
        failing.store(false);
    }
}
