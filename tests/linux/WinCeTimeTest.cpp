#include "HostClock.h"
#include "WinCeTime.h"

#include <gtest/gtest.h>

namespace {

TEST(WinCeTime, VirtualClockMovesOnlyWhenAdvanced) {
    HostClock::UseVirtual(0xFFFFFFF0u, 86400000);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    HostClock::Advance(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    SYSTEMTIME now{};
    GetSystemTime(&now);
    EXPECT_EQ(now.wYear, 1970);
    EXPECT_EQ(now.wDay, 2);
    EXPECT_EQ(now.wMilliseconds, 32);
    HostClock::UseMonotonic();
}

TEST(WinCeTime, FileTimeCountsFrom1601) {
    const SYSTEMTIME epoch{1970, 1, 4, 1, 0, 0, 0, 0};
    FILETIME file{};
    ASSERT_TRUE(SystemTimeToFileTime(&epoch, &file));
    const uint64_t intervals = (static_cast<uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
    EXPECT_EQ(intervals, 116444736000000000ull);
    const SYSTEMTIME invalid{1970, 13, 0, 1, 0, 0, 0, 0};
    EXPECT_FALSE(SystemTimeToFileTime(&invalid, &file));
}

}  // namespace
