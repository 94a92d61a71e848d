#include "HostTestEnvironment.h"

#include "HostClock.h"
#include "HostDeviceRecord.h"
#include "HostDisplay.h"
#include "HostFaults.h"
#include "HostInput.h"
#include "HostInstanceLock.h"
#include "HostPath.h"
#include "HostSystemInfo.h"
#include "HostWindowSystem.h"

HostTestEnvironment::HostTestEnvironment() {
    HostPath::SetAppDirectory(m_directory.c_str());
    HostClock::UseVirtual(kStartTicks, 1700000000000ull);
    ClearStandIn();
}

HostTestEnvironment::~HostTestEnvironment() {
    ClearStandIn();
    HostClock::UseMonotonic();
    HostPath::SetAppDirectory(nullptr);
}

unsigned HostTestEnvironment::Elapsed() { return HostClock::Ticks() - kStartTicks; }

void HostTestEnvironment::ClearStandIn() {
    HostWindowSystem::Reset();
    HostInstanceLock::ReleaseAll();
    HostDeviceRecord::Reset();
    HostFaults::Clear();
    HostSystemInfo::Reset();
    HostInput::Reset();
    HostDisplay::Reset();
}
