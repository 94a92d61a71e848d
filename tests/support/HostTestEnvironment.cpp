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

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

HostTestEnvironment::HostTestEnvironment() {
    std::string pattern = (fs::temp_directory_path() / "engine-host-XXXXXX").string();
    EXPECT_NE(mkdtemp(pattern.data()), nullptr);
    m_directory = pattern;
    HostPath::SetAppDirectory(m_directory.c_str());
    HostClock::UseVirtual(kStartTicks, 1700000000000ull);
    ClearStandIn();
}

HostTestEnvironment::~HostTestEnvironment() {
    ClearStandIn();
    HostClock::UseMonotonic();
    HostPath::SetAppDirectory(nullptr);
    std::error_code ignored;
    fs::remove_all(m_directory, ignored);
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
