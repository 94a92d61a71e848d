#include "HostFaults.h"

namespace {
bool g_failing[static_cast<int>(HostFault::Count)] = {};
}

void HostFaults::Set(HostFault fault, bool failing) { g_failing[static_cast<int>(fault)] = failing; }

bool HostFaults::IsSet(HostFault fault) { return g_failing[static_cast<int>(fault)]; }

void HostFaults::Clear() {
    for (bool& failing : g_failing) failing = false;
}
