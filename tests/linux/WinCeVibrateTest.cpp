#include "HostVibrator.h"
#include "WinCeVibrate.h"

#include <gtest/gtest.h>

namespace {

TEST(WinCeVibrate, RecordsTheVibratorState) {
    HostVibrator::Reset();
    EXPECT_EQ(Vibrate(0, nullptr, 1, INFINITE), 0);
    EXPECT_TRUE(HostVibrator::IsOn());
    EXPECT_EQ(VibrateStop(), 0);
    EXPECT_FALSE(HostVibrator::IsOn());
    EXPECT_EQ(VibrateStop(), 0);
    EXPECT_EQ(HostVibrator::StartCount(), 1u);
    EXPECT_EQ(HostVibrator::StopCount(), 2u);
}

TEST(WinCeVibrate, RefusesPatternsTimeOutsAndInjectedFailures) {
    HostVibrator::Reset();
    EXPECT_LT(Vibrate(1, nullptr, 1, INFINITE), 0);
    EXPECT_LT(Vibrate(0, nullptr, 1, 500), 0);
    HostVibrator::SetStartFails(true);
    EXPECT_LT(Vibrate(0, nullptr, 1, INFINITE), 0);
    EXPECT_FALSE(HostVibrator::IsOn());
    EXPECT_EQ(HostVibrator::StartCount(), 0u);
    HostVibrator::Reset();
}

}  // namespace
